#pragma once

#include <QObject>
#include <functional>

namespace vx::app {

// Follows the machine's sleep through logind's PrepareForSleep signal on the system bus, where
// the machine has one. true = about to suspend, false = resumed.
class CSessionSleepWatch : public QObject {
    Q_OBJECT
public:
    explicit CSessionSleepWatch(std::function<void(bool suspending)> onChange, QObject* parent = nullptr);
    // False without a system bus (the program then runs as if the machine never slept).
    bool Start();
    bool IsWatching() const { return m_watching; }

private slots:
    void OnPrepareForSleep(bool suspending);

private:
    std::function<void(bool)> m_onChange;
    bool m_watching = false;
};

}  // namespace vx::app
