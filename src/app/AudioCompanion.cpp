#include "app/AudioCompanion.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusServer>
#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

#include "app/audio/CompanionProtocol.h"
#include "platform/DebugLog.h"

namespace vx::app {

using vx::platform::DebugLog;

namespace protocol = vx::audio::companion;

namespace {

QDBusMessage CompanionCall(const char* method) {
    return QDBusMessage::createMethodCall(QString(), QString::fromLatin1(protocol::kCompanionPath),
                                          QString::fromLatin1(protocol::kInterface), QString::fromLatin1(method));
}

}  // namespace

CAudioCompanion::CAudioCompanion(QObject* parent) : QObject(parent) {
    connect(&m_inbox, &CAudioCompanionInbox::Received, this,
            [this](qlonglong, int tag, const QByteArray& data) { emit Record(tag, data); });
    connect(&m_inbox, &CAudioCompanionInbox::CompanionReady, this, &CAudioCompanion::OnReady);
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        if (m_state == State::Starting) Fail(QStringLiteral("audio_companion_ended"));
    });
}

CAudioCompanion::~CAudioCompanion() { Stop(); }

QString CAudioCompanion::DefaultProgram() {
    const QString named = qEnvironmentVariable("VX_AUDIO_COMPANION");
    if (!named.isEmpty()) return named;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(protocol::kProgramName));
}

void CAudioCompanion::Start() {
    if (m_state == State::Starting || m_state == State::Connected) return;
    m_failureKey.clear();
    m_stopping = false;
    // The peer address lives in the user's runtime folder: other users cannot reach it, and the
    // server admits only this user's processes.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    m_server = new QDBusServer(QStringLiteral("unix:dir=") + folder, this);
    if (!m_server->isConnected()) {
        DebugLog("audio companion: no peer address: " + m_server->lastError().message().toStdString());
        Fail(QStringLiteral("audio_companion_missing"));
        return;
    }
    connect(m_server, &QDBusServer::newConnection, this, &CAudioCompanion::OnNewConnection);

    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) Fail(QStringLiteral("audio_companion_missing"));
    });
    connect(m_process, &QProcess::finished, this, &CAudioCompanion::OnFinished);
    m_state = State::Starting;
    m_connectTimer.start(kConnectTimeoutMs);
    m_process->start(m_program, {QStringLiteral("--peer"), m_server->address(), QStringLiteral("--parent"),
                                 QString::number(getpid())});
}

void CAudioCompanion::OnNewConnection(const QDBusConnection& connection) {
    // One companion: a second connection to the same address is not it.
    if (m_state != State::Starting || m_peer) {
        QDBusConnection::disconnectFromPeer(connection.name());
        return;
    }
    m_peer = connection;
    m_peer->registerObject(QString::fromLatin1(protocol::kWindowPath), &m_inbox,
                           QDBusConnection::ExportScriptableSlots);
}

void CAudioCompanion::OnReady() {
    if (m_state != State::Starting || !m_peer) return;
    m_connectTimer.stop();
    m_state = State::Connected;
    SendCommand(protocol::kConnect, m_windowHandle);
    SendCommand(protocol::kOpenCapture, 0);
    SendCommand(protocol::kStartSending, 0);
    emit Connected();
}

bool CAudioCompanion::SendCommand(int command, qint64 argument) {
    if (!IsConnected()) return false;
    QDBusMessage call = CompanionCall("Command");
    call << command << qlonglong(argument);
    return m_peer->send(call);
}

bool CAudioCompanion::SendRecord(int tag, const QByteArray& data) {
    if (!IsConnected()) return false;
    QDBusMessage call = CompanionCall("CopyData");
    call << qlonglong(m_windowHandle) << tag << data;
    const QDBusMessage reply = m_peer->call(call, QDBus::Block, kColourTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

void CAudioCompanion::Stop() {
    if (m_stopping || m_state == State::Stopped || m_state == State::Failed) {
        Teardown();
        return;
    }
    m_stopping = true;
    SendCommand(protocol::kStopSending, 0);
    SendCommand(protocol::kCloseCapture, 0);
    SendCommand(protocol::kQuit, 0);
    Teardown();
    m_state = State::Stopped;
    emit Ended();
}

void CAudioCompanion::Teardown() {
    m_connectTimer.stop();
    if (m_process) {
        QProcess* process = m_process;
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning && !process->waitForFinished(kStopWaitMs)) {
            process->kill();
            process->waitForFinished(kStopWaitMs);
        }
        delete process;
    }
    if (m_peer) {
        QDBusConnection::disconnectFromPeer(m_peer->name());
        m_peer.reset();
    }
    delete m_server.data();
}

void CAudioCompanion::OnFinished(int exitCode, QProcess::ExitStatus status) {
    if (m_stopping) return;
    DebugLog("audio companion ended: " + std::to_string(exitCode) +
             (status == QProcess::CrashExit ? " (crashed)" : ""));
    Fail(status == QProcess::NormalExit && exitCode == protocol::kExitNoCapture
             ? QStringLiteral("audio_capture_failed")
             : QStringLiteral("audio_companion_ended"));
}

void CAudioCompanion::Fail(const QString& key) {
    if (m_state == State::Failed) return;
    m_failureKey = key;
    m_state = State::Failed;
    // Not from inside the process's own signal: the process object goes in Teardown.
    QTimer::singleShot(0, this, [this] {
        if (m_state == State::Failed) Teardown();
    });
    emit Failed(key);
}

}  // namespace vx::app
