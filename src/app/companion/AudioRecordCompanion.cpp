#include "app/companion/AudioRecordCompanion.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QSocketNotifier>
#include <QtEndian>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdio>

namespace vx::companion {

namespace protocol = vx::audio::companion;

CAudioRecordCompanion::CAudioRecordCompanion(const QDBusConnection& window, QObject* parent)
    : QObject(parent), m_window(window) {
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd >= 0) {
        auto* notifier = new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] { TakeMail(); });
    }
    // Frames are made on the capture thread and sent from this one, so that the connection is
    // used from one thread only.
    m_capture = std::make_unique<PulseCapture>(
        [this](const FrequencyFrames::Frame& frame) {
            QByteArray bytes(static_cast<int>(frame.size() * 4), Qt::Uninitialized);
            for (std::size_t i = 0; i < frame.size(); ++i)
                qToLittleEndian<qint32>(frame[i], bytes.data() + 4 * i);
            Post(std::move(bytes), QString());
        },
        [this](const std::string& reason) { Post(QByteArray(), QString::fromStdString(reason)); });
}

void CAudioRecordCompanion::Post(QByteArray frame, QString failure) {
    {
        std::lock_guard lock(m_mailLock);
        if (!frame.isNull()) {
            m_frames.push_back(std::move(frame));
            if (m_frames.size() > kMaxWaitingFrames) m_frames.pop_front();
        }
        if (!failure.isEmpty() && m_failure.isEmpty()) m_failure = std::move(failure);
        if (m_wakePosted || m_wakeFd < 0) return;
        m_wakePosted = true;
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
}

void CAudioRecordCompanion::TakeMail() {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(m_wakeFd, &count, sizeof count);
    std::deque<QByteArray> frames;
    QString failure;
    {
        std::lock_guard lock(m_mailLock);
        frames.swap(m_frames);
        failure = std::move(m_failure);
        m_failure.clear();
        m_wakePosted = false;
    }
    for (const QByteArray& frame : frames) SendFrame(frame);
    if (!failure.isEmpty()) Fail(failure);
}

CAudioRecordCompanion::~CAudioRecordCompanion() {
    // After Close no capture callback runs any more, so the eventfd can go.
    m_capture->Close();
    if (m_wakeFd >= 0) ::close(m_wakeFd);
}

void CAudioRecordCompanion::Command(int command, qlonglong argument) {
    switch (command) {
        case protocol::kConnect:
            m_windowHandle = argument;
            break;
        case protocol::kOpenCapture: {
            std::string reason;
            if (!m_capture->Open(reason)) Fail(QString::fromStdString(reason));
            break;
        }
        case protocol::kStartSending:
            m_sending = true;
            break;
        case protocol::kStopSending:
            m_sending = false;
            break;
        case protocol::kCloseCapture:
            m_capture->Close();
            break;
        case protocol::kQuit:
            QCoreApplication::exit(protocol::kExitNormal);
            break;
        case protocol::kRed:
        case protocol::kGreen:
        case protocol::kBlue:
            m_colour[command - protocol::kRed] = static_cast<int>(argument);
            break;
        default:
            break;
    }
}

void CAudioRecordCompanion::CopyData(qlonglong, int tag, const QByteArray& data) {
    if (tag != protocol::kTagColour || data.size() < 12) return;
    for (int i = 0; i < 3; ++i) m_colour[i] = qFromLittleEndian<qint32>(data.constData() + 4 * i);
}

void CAudioRecordCompanion::SendFrame(const QByteArray& frame) {
    if (!m_sending) return;
    QDBusMessage message = QDBusMessage::createMethodCall(QString(), QString::fromLatin1(protocol::kWindowPath),
                                                          QString::fromLatin1(protocol::kInterface),
                                                          QStringLiteral("CopyData"));
    message << m_windowHandle << protocol::kTagFrame << frame;
    // Frames are not answered: a window that is busy must not hold up the recording.
    message.setAutoStartService(false);
    m_window.send(message);
}

void CAudioRecordCompanion::Fail(const QString& reason) {
    std::fprintf(stderr, "audio capture: %s\n", qPrintable(reason));
    QCoreApplication::exit(protocol::kExitNoCapture);
}

}  // namespace vx::companion
