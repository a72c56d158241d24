#pragma once
// The routing tables of the main window: which control name (exact, or a prefix followed by a
// decimal index) reaches which handler, per notification type. Each row names its handler on the
// owner of the control -- the window's own rows, the current device page, or one of that page's
// panels -- and the router only finds that owner and calls the handler. Rows are tested in order;
// the first match wins. Names are compared without regard to letter case.
//
// A new panel gets its handlers, `void OnX(const ControlEvent&)`; its place in RouteOwner,
// RouteOwnerOf and CControlRouter::OwnerOf; and each handler its row at the row's place in the
// tables. A control of a layout with no row fails the layout test.

#include <QString>
#include <span>

#include "widgets/ControlEvent.h"

namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::devices { class CTavimondKeyboardDevice; }
namespace vx::devices { class CTavimondMouseDevice; }
namespace vx::panels { class CLightControlUI; }
namespace vx::panels { class CDeviceProfileUI; }
namespace vx::panels { class CKeySetControlUI; }
namespace vx::panels { class CMacroControlUI; }
namespace vx::panels { class CShootControlUI; }
namespace vx::headset { class CTavimondRU6533Device; }
namespace vx::app {

class CWindowRoutes;

// Who owns a control, that is, whose handler its row names.
enum class RouteOwner {
    Window,        // the main window's own rows (CWindowRoutes)
    Page,          // the current device page, whatever its kind
    KeyboardPage,  // the current page when it is a keyboard's
    MousePage,     // the current page when it is a mouse's
    HeadsetPage,   // the current page when it is a headset's
    LightPanel,    // the current page's lighting panel
    ProfilePanel,  // the current page's profile panel
    KeyPanel,      // the current page's key-assignment panel
    MacroPanel,    // the current page's macro panel
    ShootPanel,    // the current page's recoil panel, when the page is a mouse's
};

template <class Owner>
struct RouteOwnerOf;
template <>
struct RouteOwnerOf<CWindowRoutes> {
    static constexpr RouteOwner kOwner = RouteOwner::Window;
};
template <>
struct RouteOwnerOf<vx::devices::CTavimondUSBDevice> {
    static constexpr RouteOwner kOwner = RouteOwner::Page;
};
template <>
struct RouteOwnerOf<vx::devices::CTavimondKeyboardDevice> {
    static constexpr RouteOwner kOwner = RouteOwner::KeyboardPage;
};
template <>
struct RouteOwnerOf<vx::devices::CTavimondMouseDevice> {
    static constexpr RouteOwner kOwner = RouteOwner::MousePage;
};
template <>
struct RouteOwnerOf<vx::headset::CTavimondRU6533Device> {
    static constexpr RouteOwner kOwner = RouteOwner::HeadsetPage;
};
template <>
struct RouteOwnerOf<vx::panels::CLightControlUI> {
    static constexpr RouteOwner kOwner = RouteOwner::LightPanel;
};
template <>
struct RouteOwnerOf<vx::panels::CDeviceProfileUI> {
    static constexpr RouteOwner kOwner = RouteOwner::ProfilePanel;
};
template <>
struct RouteOwnerOf<vx::panels::CShootControlUI> {
    static constexpr RouteOwner kOwner = RouteOwner::ShootPanel;
};

template <>
struct RouteOwnerOf<vx::panels::CKeySetControlUI> {
    static constexpr RouteOwner kOwner = RouteOwner::KeyPanel;
};
template <>
struct RouteOwnerOf<vx::panels::CMacroControlUI> {
    static constexpr RouteOwner kOwner = RouteOwner::MacroPanel;
};

struct RouteRow {
    const char* name;
    // A prefix row (its name ends in "_") matches only a name that is that prefix followed by a
    // decimal index; the prefix alone matches nothing.
    bool prefix;
    RouteOwner owner;
    // Calls the row's handler on the owner, which the router found for `owner` (an object of
    // exactly the owner's class).
    void (*call)(void* owner, const vx::widgets::ControlEvent& event);
    // The row's constant, handed over as ControlEvent::rowValue.
    int value = 0;
};

namespace routes {

template <auto Handler>
struct Call;
template <class Owner, void (Owner::*Handler)(const vx::widgets::ControlEvent&)>
struct Call<Handler> {
    static constexpr RouteOwner kOwner = RouteOwnerOf<Owner>::kOwner;
    static void Run(void* owner, const vx::widgets::ControlEvent& event) { (static_cast<Owner*>(owner)->*Handler)(event); }
};

// A row for one control name.
template <auto Handler>
constexpr RouteRow Exact(const char* name, int value = 0) {
    return RouteRow{name, false, Call<Handler>::kOwner, &Call<Handler>::Run, value};
}
// A row for a group of controls: the prefix followed by a decimal index.
template <auto Handler>
constexpr RouteRow Prefix(const char* name, int value = 0) {
    return RouteRow{name, true, Call<Handler>::kOwner, &Call<Handler>::Run, value};
}

extern const std::span<const RouteRow> kClick;
extern const std::span<const RouteRow> kSelect;
extern const std::span<const RouteRow> kValue;
extern const std::span<const RouteRow> kDrag;
extern const std::span<const RouteRow> kKillFocus;
// Enter in an edit that takes its value on leaving takes it at once as well; other edits keep
// Enter for themselves (the key capture takes it as a key).
extern const std::span<const RouteRow> kReturn;
extern const std::span<const RouteRow> kItem;
extern const std::span<const RouteRow> kColour;
// Menu commands (menu item names) other than "exit", which the window handles itself.
extern const std::span<const RouteRow> kMenu;
// Controls that ask for a pop-up menu (a right click on a macro event row).
extern const std::span<const RouteRow> kMenuRequest;

// The first row of the table that matches the control name, or nullptr. For a prefix row the
// index is stored in `index`; for an exact row it is -1.
const RouteRow* Find(std::span<const RouteRow> table, const QString& name, int& index);

}  // namespace routes

}  // namespace vx::app
