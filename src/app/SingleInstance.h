#pragma once

#include <QString>
#include <memory>

class QLockFile;
namespace vx::app {


// The single-instance guard: the D-Bus session-bus name of the program, or, without a session
// bus, a lock file in the user's runtime folder. Held until Release or destruction.
class CSingleInstance {
public:
    enum class Result { First, AlreadyRunning, Failed };

    CSingleInstance();
    ~CSingleInstance();

    // Takes the guard. `lockDir` overrides the runtime folder used without a session bus.
    Result Acquire(const QString& lockDir = QString());
    // Wakes the running instance (UWM_ACTIVATE_MSG, wParam 0, lParam 1). False when it could not
    // be reached (lock-file guard, or the program is still starting).
    static bool WakeRunning();
    void Release();
    bool UsesBus() const { return m_bus; }

private:
    bool m_bus = false;
    bool m_held = false;
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace vx::app
