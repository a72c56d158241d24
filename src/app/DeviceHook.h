#pragma once
// The program's input hook: a keyboard hook of its own, which turns every key of the desktop
// into the registered message of its mode and keeps the keys from other programs while it is
// installed, and the hook library's mouse side. The main window embeds one and owns its state.
// UI thread only.

#include <cstdint>

#include "app/InputEventSource.h"
#include "widgets/WindowMessages.h"

namespace vx::app {

class CDeviceHook {
public:
    CDeviceHook() = default;
    ~CDeviceHook();
    CDeviceHook(const CDeviceHook&) = delete;
    CDeviceHook& operator=(const CDeviceHook&) = delete;

    // 1 when installed, 0 when the keyboard hook could not be installed (mode and window stay as
    // they were, the library is not asked).
    int SetHook(uintptr_t callerValue, int mode, vx::widgets::WindowHandle window, bool useKeyboardHook, bool useLibrary);
    // The result of removing the keyboard hook: 0 when none was installed.
    int RemoveHook();

    bool KeyboardHookInstalled() const { return m_keyListener != 0; }
    int Mode() const { return m_mode; }
    vx::widgets::WindowHandle Window() const { return m_window; }
    uintptr_t CallerValue() const { return m_callerValue; }
    // What the running capture reaches (None while nothing runs).
    CaptureScope Scope() const;

    // The message a keyboard event is sent as in a mode; 0 for a mode that sends nothing.
    static uint KeyMessageForMode(int mode);

private:
    void RemoveKeyboardHook();
    void OnKey(uint32_t message, const vx::platform::KeyboardEventRecord& record);

    int m_keyListener = 0;
    bool m_libraryInstalled = false;
    uintptr_t m_callerValue = 0;
    int m_mode = 0;
    vx::widgets::WindowHandle m_window = 0;
};

}  // namespace vx::app
