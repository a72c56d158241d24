#include "app/companion/AudioRecordCompanion.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QMetaObject>
#include <QtEndian>
#include <cstdio>

namespace vx::companion {

namespace protocol = vx::audio::companion;

CAudioRecordCompanion::CAudioRecordCompanion(const QDBusConnection& window, QObject* parent)
    : QObject(parent), m_window(window) {
    // Frames are made on the capture thread and sent from this one, so that the connection is
    // used from one thread only.
    m_capture = std::make_unique<PulseCapture>(
        [this](const SpectrumFrames::Frame& frame) {
            QByteArray bytes(static_cast<int>(frame.size() * 4), Qt::Uninitialized);
            for (std::size_t i = 0; i < frame.size(); ++i)
                qToLittleEndian<qint32>(frame[i], bytes.data() + 4 * i);
            QMetaObject::invokeMethod(this, [this, bytes] { SendFrame(bytes); }, Qt::QueuedConnection);
        },
        [this](const std::string& reason) {
            QMetaObject::invokeMethod(
                this, [this, text = QString::fromStdString(reason)] { Fail(text); }, Qt::QueuedConnection);
        });
}

CAudioRecordCompanion::~CAudioRecordCompanion() { m_capture->Close(); }

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
