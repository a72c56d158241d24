#include "app/DeviceHook.h"

#include "app/HookLibrary.h"
#include "app/RegisteredMessages.h"

using vx::platform::KeyboardEventRecord;

using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;

namespace vx::app {

CDeviceHook::~CDeviceHook() {
    RemoveHook();
}

uint CDeviceHook::KeyMessageForMode(int mode) {
    switch (mode) {
        case 1: return WM_HOOK_KEY_SINGLEKEY_MSG;
        case 2: return WM_HOOK_KEY_HITKEY_MSG;
        case 4: return WM_HOOK_KEY_KBMACRO_MSG;
        case 8: return WM_HOOK_KEY_KBMACROPREVIOUS_MSG;
        case 16: return WM_HOOK_KEY_KBMACROLATER_MSG;
        case 32: return WM_HOOK_KEY_KBMACROSINGLE_MSG;
        case 256: return WM_HOOK_MOU_SINGLEKEY_MSG;
        case 512: return WM_HOOK_MOU_HITKEY_MSG;
        case 1024: return WM_HOOK_MOU_KBMACRO_MSG;
        default: return 0;
    }
}

void CDeviceHook::RemoveKeyboardHook() {
    if (m_keyListener == 0) return;
    CInputEventSource& source = CInputEventSource::Instance();
    source.HoldKeyboardGrab(false);
    source.RemoveListener(m_keyListener);
    m_keyListener = 0;
}

int CDeviceHook::SetHook(uintptr_t callerValue, int mode, WindowHandle window, bool useKeyboardHook,
                         bool useLibrary) {
    RemoveKeyboardHook();
    if (useKeyboardHook) {
        CInputEventSource& source = CInputEventSource::Instance();
        const int listener = source.AddKeyListener(
            [this](uint32_t message, const KeyboardEventRecord& record) { OnKey(message, record); });
        if (listener == 0) return 0;
        m_keyListener = listener;
        // Keys go to this hook only, as long as it is installed.
        source.HoldKeyboardGrab(true);
    }
    if (useLibrary) {
        InstallHook(window, mode);
        m_libraryInstalled = true;
    }
    m_callerValue = callerValue;
    m_window = window;
    m_mode = mode;
    return 1;
}

int CDeviceHook::RemoveHook() {
    const int removed = m_keyListener != 0 ? 1 : 0;
    RemoveKeyboardHook();
    if (m_libraryInstalled) {
        UnInstallHook(m_window);
        m_libraryInstalled = false;
    }
    return removed;
}

CaptureScope CDeviceHook::Scope() const {
    if (m_keyListener == 0 && !m_libraryInstalled) return CaptureScope::None;
    return CInputEventSource::Instance().Scope();
}

void CDeviceHook::OnKey(uint32_t message, const KeyboardEventRecord& record) {
    const uint hookMessage = KeyMessageForMode(m_mode);
    if (hookMessage == 0 || m_window == 0) return;
    // The record lives on this stack: the message is sent, never posted.
    CWindowMessages::SendMessage(m_window, hookMessage, message, reinterpret_cast<qintptr>(&record));
}

}  // namespace vx::app
