#include "app/SessionSleepWatch.h"

#include <QDBusConnection>

namespace vx::app {

CSessionSleepWatch::CSessionSleepWatch(std::function<void(bool)> onChange, QObject* parent)
    : QObject(parent), m_onChange(std::move(onChange)) {}

bool CSessionSleepWatch::Start() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return false;
    m_watching =
        bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                    QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                    SLOT(OnPrepareForSleep(bool)));
    return m_watching;
}

void CSessionSleepWatch::OnPrepareForSleep(bool suspending) {
    if (m_onChange) m_onChange(suspending);
}

}  // namespace vx::app
