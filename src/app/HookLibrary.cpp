#include "app/HookLibrary.h"

#include "app/InputEventSource.h"
#include "app/RegisteredMessages.h"

using vx::platform::MouseEventRecord;

using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;

namespace vx::app {

namespace {

struct LibraryState {
    int listener = 0;
    WindowHandle window = 0;
    int mode = 0;
};

LibraryState& State() {
    static LibraryState state;
    return state;
}

uint ButtonMessage(uint32_t message) {
    using namespace vx::platform;
    switch (message) {
        case kWmLButtonDown: return UWM_MOUSELBUTTONDOWN_USER_MSG;
        case kWmLButtonUp: return UWM_MOUSELBUTTONUP_USER_MSG;
        case kWmRButtonDown: return UWM_MOUSERBUTTONDOWN_USER_MSG;
        case kWmRButtonUp: return UWM_MOUSERBUTTONUP_USER_MSG;
        case kWmMouseMove: return UWM_MOUSEMOVE_USER_MSG;
        default: return 0;
    }
}

}  // namespace

uint MouseMessageForMode(int mode) {
    switch (mode) {
        case vx::platform::kHookMacro: return WM_HOOK_KEY_MSMACRO_MSG;
        case vx::platform::kHookMacroPrevious: return WM_HOOK_KEY_MSMACROPREVIOUS_MSG;
        case vx::platform::kHookMacroLater: return WM_HOOK_KEY_MSMACROLATER_MSG;
        case vx::platform::kHookMacroSingle: return WM_HOOK_KEY_MSMACROSINGLE_MSG;
        default: return 0;
    }
}

int InstallHook(WindowHandle window, int mode) {
    LibraryState& state = State();
    if (state.listener != 0) CInputEventSource::Instance().RemoveListener(state.listener);
    state.window = window;
    state.mode = mode;
    state.listener = CInputEventSource::Instance().AddMouseListener(
        [](uint32_t message, const MouseEventRecord& record) {
            const LibraryState& now = State();
            const auto lParam = reinterpret_cast<qintptr>(&record);
            // The record lives on this stack: every message is sent, never posted.
            if (const uint recording = MouseMessageForMode(now.mode))
                CWindowMessages::SendMessage(now.window, recording, message, lParam);
            if (const uint plain = ButtonMessage(message)) CWindowMessages::SendMessage(now.window, plain, message, lParam);
        });
    return state.listener != 0 ? 1 : 0;
}

int UnInstallHook(WindowHandle window) {
    LibraryState& state = State();
    if (state.listener == 0 || state.window != window) return 0;
    CInputEventSource::Instance().RemoveListener(state.listener);
    state = LibraryState{};
    return 1;
}

}  // namespace vx::app
