#pragma once
// The feature tabs of a device page as the profile panel shows them: their control names by tab
// number, which tabs each kind of device hides or shows, and the page's function page that each
// tab opens.

#include <span>

namespace vx::panels {

struct ProfileTabVisibility {
    int deviceKind;
    std::span<const char* const> hidden;
    std::span<const char* const> shown;
};

// Control name of tab 1 to 8 at index 0 to 7.
std::span<const char* const> ProfileTabNames();

// The rows of the device kinds that change the layout's tab visibility; other kinds keep it.
std::span<const ProfileTabVisibility> ProfileTabVisibilityTable();

// The function page (CTavimondUSBDevice::SetFunctionPage) that tab 1 to 5 opens; 0 for tabs the
// page does not switch itself (the headset's tabs).
int FunctionPageOfTab(int tab);

}  // namespace vx::panels
