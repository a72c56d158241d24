#pragma once
// The main window's notification routing: every control of the main layout and of the device
// pages reports to the window, and the router looks up the notification type and the control's
// name in the routing tables (ControlRouterTables.h). The row names the handler and the owner
// of the control -- the window, the current device page, or one of the page's panels; the router
// finds that owner and calls the handler with what it needs (the index of a prefix row, the
// control, the value).
//
// UI thread only.

#include <QString>
#include <memory>

#include "app/ControlRouterHost.h"
#include "app/ControlRouterTables.h"
#include "widgets/UIDefs.h"

namespace vx::panels { class IPanelPrompts; }
namespace vx::app {

class CLightingSyncPages;
class CRouterPanelPrompts;
class CRouterProfilePrompts;
class CWindowRoutes;

class CControlRouter {
public:
    explicit CControlRouter(IControlRouterHost& host);
    ~CControlRouter();
    CControlRouter(const CControlRouter&) = delete;
    CControlRouter& operator=(const CControlRouter&) = delete;

    void SetLightingSync(CLightingSyncPages* sync);

    // Routes one notification. Returns false when the UI library's default handling must be
    // skipped (the "click_wp..." types), true otherwise.
    bool Notify(vx::widgets::TNotifyUI& msg);
    // A menu command other than "exit" (the tray menu, the macro-action menu).
    void OnMenuCommand(const QString& itemName);
    // The window's timer 1055 fired: the profile panel takes the profile chosen in its combo.
    void OnTimer(int id);

    // The table of a notification type (empty for types without one).
    static std::span<const RouteRow> TableOf(const QString& type);
    // The row a notification type and control name route to (nullptr: none), with the index of a
    // prefix row.
    static const RouteRow* Resolve(const QString& type, const QString& name, int& index);

    // What a row's handler receives for a notification: the sender, the prefix row's index, the
    // slider's value for value notifications (otherwise the notification's own parameter: a
    // combo position, a colour), whether an option is now selected, and the row's constant.
    static vx::widgets::ControlEvent MakeEvent(const vx::widgets::TNotifyUI& msg, int index, const RouteRow* row);

    // The last row run (nullptr: none), for the diagnostic output and tests.
    const RouteRow* LastRow() const { return m_lastRow; }

private:
    void Route(std::span<const RouteRow> table, const QString& name, const vx::widgets::TNotifyUI& msg);
    // The object a row of that owner is run on, or null (no current page, a page of another
    // kind, a page without that panel).
    void* OwnerOf(RouteOwner owner);
    void* MacroPanelOwner(vx::devices::CTavimondUSBDevice* page);
    // The questions, dialogs and menus of the key and macro panels, answered through the host.
    vx::panels::IPanelPrompts& PanelPrompts();

    IControlRouterHost& m_host;
    std::unique_ptr<CWindowRoutes> m_window;
    // The profile panel's questions and dialogs, answered through the host.
    std::unique_ptr<CRouterProfilePrompts> m_profilePrompts;
    std::unique_ptr<CRouterPanelPrompts> m_panelPrompts;
    const RouteRow* m_lastRow = nullptr;
};

}  // namespace vx::app
