#pragma once
// The program's end of the audio-capture companion: starts the companion beside the program,
// listens for it on a private D-Bus peer address, sends it the numbered commands and the colour
// record, and hands the records it sends to the window. UI thread only.

#include <QByteArray>
#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <optional>

class QDBusServer;
namespace vx::app {


// The window's D-Bus object on the peer connection: what the companion calls.
class CAudioCompanionInbox : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.vexorumbrel.VexorUmbrelControlCenterAudioRecord")
public:
    using QObject::QObject;
public slots:
    Q_SCRIPTABLE void CopyData(qlonglong window, int tag, const QByteArray& data) {
        emit Received(window, tag, data);
    }
    // The companion has set up its side and takes commands now.
    Q_SCRIPTABLE void Ready() { emit CompanionReady(); }
signals:
    void CompanionReady();
    void Received(qlonglong window, int tag, const QByteArray& data);
};

class CAudioCompanion : public QObject {
    Q_OBJECT
public:
    enum class State { Stopped, Starting, Connected, Failed };
    // How long a started companion may take to reach the window.
    static constexpr int kConnectTimeoutMs = 5000;
    // Bound of the companion's exit after the disconnect commands.
    static constexpr int kStopWaitMs = 1000;
    // The colour record is abandoned after this long.
    static constexpr int kColourTimeoutMs = 1500;

    explicit CAudioCompanion(QObject* parent = nullptr);
    ~CAudioCompanion() override;

    // The companion beside the program; VX_AUDIO_COMPANION names another (a build tree's tests
    // run from their own folders).
    static QString DefaultProgram();
    void SetProgram(const QString& path) { m_program = path; }
    void SetWindowHandle(qint64 handle) { m_windowHandle = handle; }

    // Starts the companion unless it runs or is starting. On connection it gets commands 0 (the
    // window handle), 3 and 1, so that frames start at once.
    void Start();
    // Commands 2, 4 and 5, then waits for the companion's exit within kStopWaitMs and ends it
    // when it does not. Idempotent.
    void Stop();

    State GetState() const { return m_state; }
    bool IsConnected() const { return m_state == State::Connected; }
    // The language key of the last failure, empty when none.
    QString FailureKey() const { return m_failureKey; }
    qint64 ProcessId() const { return m_process ? m_process->processId() : 0; }

    // A numbered command; false when no companion is connected. Not answered.
    bool SendCommand(int command, qint64 argument);
    // A record with a tag, waiting at most kColourTimeoutMs for the companion; false when none is
    // connected or it did not answer in time.
    bool SendRecord(int tag, const QByteArray& data);

signals:
    void Connected();
    void Failed(const QString& key);
    void Ended();
    void Record(int tag, const QByteArray& data);

private:
    void OnNewConnection(const QDBusConnection& connection);
    void OnReady();
    void OnFinished(int exitCode, QProcess::ExitStatus status);
    void Fail(const QString& key);
    void Teardown();

    QString m_program = DefaultProgram();
    qint64 m_windowHandle = 0;
    State m_state = State::Stopped;
    QString m_failureKey;
    QPointer<QDBusServer> m_server;
    QPointer<QProcess> m_process;
    std::optional<QDBusConnection> m_peer;
    CAudioCompanionInbox m_inbox;
    QTimer m_connectTimer;
    bool m_stopping = false;
};

}  // namespace vx::app
