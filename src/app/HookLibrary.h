#pragma once
// The mouse side of the input hook, behind the two calls the main window's hook object makes.
// It runs inside the program: the X server (or the evdev nodes) hand the desktop's events to any
// client that asks, so nothing has to be loaded into other programs as a system-wide hook does
// elsewhere, and a separate library would only add a loading step that can fail.
//
// While installed for a window, every mouse button and move is sent to that window as the
// registered messages of the recording target that the mode names (4, 8, 16, 32: the
// "WM_HOOK_KEY_MS..." messages; other modes send none), plus the "UWM_MOUSE..." messages.
// UI thread only.

#include "widgets/WindowMessages.h"

namespace vx::app {

int InstallHook(vx::widgets::WindowHandle window, int mode);
int UnInstallHook(vx::widgets::WindowHandle window);

// The recording message of a mouse event for a hook mode; 0 when the mode records no mouse.
uint MouseMessageForMode(int mode);

}  // namespace vx::app
