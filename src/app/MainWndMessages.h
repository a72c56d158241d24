#pragma once
// The main window's private message numbers. Discovery, the selector and the settings window send
// them to the main window; 0x0C00 and 0x0C15 come only from other processes.

#include <QtGlobal>

namespace vx::app {

constexpr uint WM_ACTIVATE = 0x0006;
constexpr uint WM_POWERBROADCAST = 0x0218;
constexpr uint WM_DPICHANGED = 0x02E0;
constexpr uint WM_DISPLAYCHANGE = 0x007E;
constexpr uint WM_TRAY_NOTIFY = 0x0401;
constexpr uint WM_HOOK_SWITCH = 0x041E;
constexpr uint WM_MENU_CLICK = 0x0479;
constexpr uint WM_SHOW_SETTING_PROGRESS = 0x0C00;
constexpr uint WM_LANGUAGE_CHANGED = 0x0C11;
constexpr uint WM_DEVICE_SLOT_ARRIVED = 0x0C12;
constexpr uint WM_DEVICE_SLOT_REMOVED = 0x0C13;
constexpr uint WM_OPEN_SETTINGS = 0x0C15;
constexpr uint WM_CLEAR_UPDATE_MARK = 0x0C16;
// Discovery's permission notice (path text handed over by the window's own queue).
constexpr uint WM_DEVICE_PERMISSION = 0x0C17;
constexpr uint WM_WIRELESS_STATE = 0x0D03;
// A device page's settings write that the device did not take (wParam: the page's kind index).
constexpr uint WM_DEVICE_NOT_ANSWERING = 0x0C18;

// WM_POWERBROADCAST wParam values.
constexpr quintptr kPowerResume = 0x12;
constexpr quintptr kPowerSuspend = 4;

}  // namespace vx::app
