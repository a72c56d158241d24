#pragma once
// The companion's D-Bus object: obeys the window's commands, records while asked to and sends
// the frames to the window over the peer connection.

#include <QByteArray>
#include <QDBusConnection>
#include <QObject>
#include <array>
#include <deque>
#include <memory>
#include <mutex>

#include "app/audio/CompanionProtocol.h"
#include "app/companion/PulseCapture.h"

namespace vx::companion {

class CAudioRecordCompanion : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.vexorumbrel.VexorUmbrelControlCenterAudioRecord")
public:
    explicit CAudioRecordCompanion(const QDBusConnection& window, QObject* parent = nullptr);
    ~CAudioRecordCompanion() override;

public slots:
    Q_SCRIPTABLE void Command(int command, qlonglong argument);
    Q_SCRIPTABLE void CopyData(qlonglong window, int tag, const QByteArray& data);

private:
    // Called on the capture thread: the frame or the failure waits in the mailbox, and the
    // companion's own thread is woken once to take what is there.
    void Post(QByteArray frame, QString failure);
    void TakeMail();
    void SendFrame(const QByteArray& frame);
    void Fail(const QString& reason);

    QDBusConnection m_window;
    std::unique_ptr<PulseCapture> m_capture;
    qlonglong m_windowHandle = 0;
    bool m_sending = false;
    // The colour of the selected style and the sliders' components; kept for the lighting the
    // companion may colour itself, not used by the levels.
    std::array<int, 3> m_colour{};

    // The mailbox between the capture thread and this one, woken through an eventfd so that no
    // Qt object or event crosses threads. Frames that wait too long are stale:
    // only the newest few are kept.
    static constexpr std::size_t kMaxWaitingFrames = 8;
    std::mutex m_mailLock;
    std::deque<QByteArray> m_frames;
    QString m_failure;
    bool m_wakePosted = false;
    int m_wakeFd = -1;
};

}  // namespace vx::companion
