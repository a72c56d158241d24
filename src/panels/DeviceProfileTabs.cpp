// Tab names and visibility by device kind, as the profile panel's layout names them.
#include "panels/DeviceProfileTabs.h"

#include <QWidget>
#include <iterator>

// The page header keeps QPointer members of classes it only declares; their definitions must come
// first.
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
// clang-format off
#include "devices/TavimondUSBDevice.h"

namespace functionpage = vx::devices::functionpage;
namespace vx::panels {

// clang-format on

namespace {

// clang-format off
constexpr const char* kTabNames[] = {
    "deng_Op_tab",          // 1 lighting
    "key_Op_tab",           // 2 keys
    "macro_Op_tab",         // 3 macros
    "system_Op_tab",        // 4 system
    "cursor_Op_tab",        // 5 pointer
    "6533_voice_Op_tab",    // 6 headset voice and equaliser
    "magic_Op_tab",         // 7 voice effects
    "Virtual7.1_Op_tab",    // 8 virtual surround
};

constexpr const char* kKeyboardHidden[] = {"cursor_Op_tab"};
constexpr const char* kPadHidden[]      = {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"};
constexpr const char* kKind5Hidden[]    = {"cursor_Op_tab", "macro_Op_tab", "key_Op_tab"};
constexpr const char* kHeadsetHidden[]  = {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"};
constexpr const char* kHeadsetShown[]   = {"6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};

const ProfileTabVisibility kVisibility[] = {
    {1, kKeyboardHidden, {}},
    {3, kPadHidden,      {}},
    {4, kPadHidden,      {}},
    {5, kKind5Hidden,    {}},
    {7, kHeadsetHidden,  kHeadsetShown},
};

constexpr int kTabFunctionPages[] = {
    functionpage::kLighting,    // 1
    functionpage::kKeySet,      // 2
    functionpage::kMacro,       // 3
    functionpage::kSettings,    // 4
    functionpage::kSettings,    // 5: the mouse's pointer settings share the settings page
};
// clang-format on

}  // namespace

std::span<const char* const> ProfileTabNames() {
    return kTabNames;
}

std::span<const ProfileTabVisibility> ProfileTabVisibilityTable() {
    return kVisibility;
}

int FunctionPageOfTab(int tab) {
    if (tab < 1 || tab > static_cast<int>(std::size(kTabFunctionPages))) return 0;
    return kTabFunctionPages[tab - 1];
}

}  // namespace vx::panels
