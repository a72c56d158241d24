#include "app/RegisteredMessages.h"

#include "widgets/WindowMessages.h"

#include "platform/DebugLog.h"

using vx::widgets::CWindowMessages;
namespace wm = vx::widgets::wm;

namespace vx::app {

uint UWM_ACTIVATE_MSG = 0;
uint UWM_UPDATE_PROGRESS_MSG = 0;
uint UWM_LIGHT_STATUS_MSG = 0;
uint UWM_LIGHT_CONTROL_MSG = 0;
uint UWM_WORKTOOL_MSG = 0;
uint UWM_AUDIO_RECORD_MSG = 0;

uint WM_HOOK_KEY_SINGLEKEY_MSG = 0;
uint WM_HOOK_KEY_HITKEY_MSG = 0;
uint WM_HOOK_KEY_KBMACRO_MSG = 0;
uint WM_HOOK_KEY_MSMACRO_MSG = 0;
uint WM_HOOK_KEY_KBMACROSINGLE_MSG = 0;
uint WM_HOOK_KEY_KBMACROPREVIOUS_MSG = 0;
uint WM_HOOK_KEY_KBMACROLATER_MSG = 0;
uint WM_HOOK_MOU_SINGLEKEY_MSG = 0;
uint WM_HOOK_MOU_HITKEY_MSG = 0;
uint WM_HOOK_MOU_KBMACRO_MSG = 0;
uint WM_HOOK_MOU_MSMACRO_MSG = 0;
uint WM_HOOK_KEY_MSMACROSINGLE_MSG = 0;
uint WM_HOOK_KEY_MSMACROLATER_MSG = 0;
uint WM_HOOK_KEY_MSMACROPREVIOUS_MSG = 0;
uint UWM_MOUSERBUTTONDOWN_USER_MSG = 0;
uint UWM_MOUSELBUTTONUP_USER_MSG = 0;
uint UWM_MOUSELBUTTONDOWN_USER_MSG = 0;
uint UWM_MOUSERBUTTONUP_USER_MSG = 0;
uint UWM_MOUSERBUTTONDOWN_USER_MSG2 = 0;
uint UWM_MOUSEMOVE_USER_MSG = 0;
uint UWM_GAME_START_MSG = 0;
uint UWM_GAME_END_MSG = 0;
uint UWM_GAME_KILL_MSG = 0;
uint UWM_GAME_DEATH_MSG = 0;

namespace {
struct NamedMessage {
    uint* number;
    const char* text;
};

// Registered in this order. The last text ends in EBE19 where the others have EBF and a number;
// peers register it exactly so.
// clang-format off
const NamedMessage kGuidMessages[] = {
    {&UWM_UPDATE_PROGRESS_MSG, "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}"},
    {&UWM_LIGHT_STATUS_MSG,    "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}"},
    {&UWM_LIGHT_CONTROL_MSG,   "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}"},
    {&UWM_WORKTOOL_MSG,        "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}"},
    {&UWM_AUDIO_RECORD_MSG,    "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}"},
};

const NamedMessage kHookMessages[] = {
    {&WM_HOOK_KEY_SINGLEKEY_MSG,        "WM_HOOK_KEY_SINGLEKEY_MSG"},
    {&WM_HOOK_KEY_HITKEY_MSG,           "WM_HOOK_KEY_HITKEY_MSG"},
    {&WM_HOOK_KEY_KBMACRO_MSG,          "WM_HOOK_KEY_KBMACRO_MSG"},
    {&WM_HOOK_KEY_MSMACRO_MSG,          "WM_HOOK_KEY_MSMACRO_MSG"},
    {&WM_HOOK_KEY_KBMACROSINGLE_MSG,    "WM_HOOK_KEY_KBMACROSINGLE_MSG"},
    {&WM_HOOK_KEY_KBMACROPREVIOUS_MSG,  "WM_HOOK_KEY_KBMACROPREVIOUS_MSG"},
    {&WM_HOOK_KEY_KBMACROLATER_MSG,     "WM_HOOK_KEY_KBMACROLATER_MSG"},
    {&WM_HOOK_MOU_SINGLEKEY_MSG,        "WM_HOOK_MOU_SINGLEKEY_MSG"},
    {&WM_HOOK_MOU_HITKEY_MSG,           "WM_HOOK_MOU_HITKEY_MSG"},
    {&WM_HOOK_MOU_KBMACRO_MSG,          "WM_HOOK_MOU_KBMACRO_MSG"},
    {&WM_HOOK_MOU_MSMACRO_MSG,          "WM_HOOK_MOU_MSMACRO_MSG"},
    {&WM_HOOK_KEY_MSMACROSINGLE_MSG,    "WM_HOOK_KEY_MSMACROSINGLE_MSG"},
    {&WM_HOOK_KEY_MSMACROLATER_MSG,     "WM_HOOK_KEY_MSMACROLATER_MSG"},
    {&WM_HOOK_KEY_MSMACROPREVIOUS_MSG,  "WM_HOOK_KEY_MSMACROPREVIOUS_MSG"},
    {&UWM_MOUSERBUTTONDOWN_USER_MSG,    "UWM_MOUSERBUTTONDOWN_USER_MSG"},
    {&UWM_MOUSELBUTTONUP_USER_MSG,      "UWM_MOUSELBUTTONUP_USER_MSG"},
    {&UWM_MOUSELBUTTONDOWN_USER_MSG,    "UWM_MOUSELBUTTONDOWN_USER_MSG"},
    {&UWM_MOUSERBUTTONUP_USER_MSG,      "UWM_MOUSERBUTTONUP_USER_MSG"},
    {&UWM_MOUSERBUTTONDOWN_USER_MSG2,   "UWM_MOUSERBUTTONDOWN_USER_MSG"},
    {&UWM_MOUSEMOVE_USER_MSG,           "UWM_MOUSEMOVE_USER_MSG"},
    {&UWM_GAME_START_MSG,               "Game_Start"},
    {&UWM_GAME_END_MSG,                 "Game_End"},
    {&UWM_GAME_KILL_MSG,                "Game_Kill"},
    {&UWM_GAME_DEATH_MSG,               "Game_Death"},
};
// clang-format on

template <size_t N>
void RegisterTable(const NamedMessage (&table)[N]) {
    for (const NamedMessage& m : table)
        *m.number = CWindowMessages::RegisterWindowMessage(QString::fromLatin1(m.text));
}
}  // namespace

namespace registered_messages {

bool RegisterActivateMessage() {
    UWM_ACTIVATE_MSG = CWindowMessages::RegisterWindowMessage(kProductName);
    vx::platform::DebugLog(QString::asprintf("软件标示：%u", UWM_ACTIVATE_MSG).toStdString());
    return UWM_ACTIVATE_MSG >= wm::kFirstRegistered && UWM_ACTIVATE_MSG <= wm::kLastRegistered;
}

void RegisterGuidMessages() {
    RegisterTable(kGuidMessages);
}

void RegisterHookMessages() {
    RegisterTable(kHookMessages);
}

QStringList AllNames() {
    QStringList names{kProductName};
    for (const NamedMessage& m : kGuidMessages) names << QString::fromLatin1(m.text);
    for (const NamedMessage& m : kHookMessages) {
        if (!names.contains(QLatin1String(m.text))) names << QString::fromLatin1(m.text);
    }
    return names;
}

}  // namespace registered_messages

}  // namespace vx::app
