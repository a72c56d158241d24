#pragma once

#include <QString>
#include <QStringList>

namespace vx::app {

// Process-wide message numbers registered by name at start-up; written once on the UI thread
// before any worker starts, read-only afterwards.

// The single-instance wake-up; also "the first device scan has finished".
extern uint UWM_ACTIVATE_MSG;

extern uint UWM_UPDATE_PROGRESS_MSG;
extern uint UWM_LIGHT_STATUS_MSG;
extern uint UWM_LIGHT_CONTROL_MSG;
extern uint UWM_WORKTOOL_MSG;
extern uint UWM_AUDIO_RECORD_MSG;

extern uint WM_HOOK_KEY_SINGLEKEY_MSG;
extern uint WM_HOOK_KEY_HITKEY_MSG;
extern uint WM_HOOK_KEY_KBMACRO_MSG;
extern uint WM_HOOK_KEY_MSMACRO_MSG;
extern uint WM_HOOK_KEY_KBMACROSINGLE_MSG;
extern uint WM_HOOK_KEY_KBMACROPREVIOUS_MSG;
extern uint WM_HOOK_KEY_KBMACROLATER_MSG;
extern uint WM_HOOK_MOU_SINGLEKEY_MSG;
extern uint WM_HOOK_MOU_HITKEY_MSG;
extern uint WM_HOOK_MOU_KBMACRO_MSG;
extern uint WM_HOOK_MOU_MSMACRO_MSG;
extern uint WM_HOOK_KEY_MSMACROSINGLE_MSG;
extern uint WM_HOOK_KEY_MSMACROLATER_MSG;
extern uint WM_HOOK_KEY_MSMACROPREVIOUS_MSG;
extern uint UWM_MOUSERBUTTONDOWN_USER_MSG;
extern uint UWM_MOUSELBUTTONUP_USER_MSG;
extern uint UWM_MOUSELBUTTONDOWN_USER_MSG;
extern uint UWM_MOUSERBUTTONUP_USER_MSG;
extern uint UWM_MOUSERBUTTONDOWN_USER_MSG2;  // the same text registered a second time
extern uint UWM_MOUSEMOVE_USER_MSG;
extern uint UWM_GAME_START_MSG;
extern uint UWM_GAME_END_MSG;
extern uint UWM_GAME_KILL_MSG;
extern uint UWM_GAME_DEATH_MSG;

namespace registered_messages {
// The product name under which the wake-up is registered.
inline const QString kProductName = QStringLiteral("Vexor Umbrel");

// Registers UWM_ACTIVATE_MSG; false when its number lies outside the registered range.
bool RegisterActivateMessage();
void RegisterGuidMessages();
void RegisterHookMessages();
// Every text registered by this program, in registration order.
QStringList AllNames();
}  // namespace registered_messages

}  // namespace vx::app
