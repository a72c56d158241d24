#include "app/ControlRouter.h"

#include <QAbstractButton>
#include <QWidget>

#include "app/PagePanels.h"
#include "app/RouterPanelPrompts.h"
#include "app/RouterProfilePrompts.h"
#include "app/WindowRoutes.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMouseDevice.h"
#include "devices/TavimondUSBDevice.h"
#include "headset/page/TavimondRU6533Device.h"
#include "panels/DeviceProfileUI.h"
#include "panels/KeySetControlUI.h"
#include "panels/LightControlUI.h"
#include "panels/MacroControlUI.h"
#include "platform/DebugLog.h"
#include "widgets/SliderUI.h"

using vx::widgets::CSliderUI;

using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondMouseDevice;
using vx::devices::CTavimondUSBDevice;
using vx::panels::CDeviceProfileUI;
using vx::widgets::ControlEvent;
using vx::widgets::TNotifyUI;
namespace notify = vx::widgets::notify;

namespace vx::app {

using vx::platform::DebugLog;
using vx::platform::DebugLogEnabled;

ControlEvent CControlRouter::MakeEvent(const TNotifyUI& msg, int index, const RouteRow* row) {
    ControlEvent event;
    event.control = msg.pSender;
    event.index = index;
    event.param = static_cast<qint64>(msg.wParam);
    if (msg.sType == notify::kValueChanged || msg.sType == notify::kMoveValueChanged) {
        const auto* slider = qobject_cast<const CSliderUI*>(msg.pSender);
        event.param = slider ? slider->GetValue() : 0;
    }
    const auto* button = qobject_cast<const QAbstractButton*>(msg.pSender);
    event.checked = button != nullptr && button->isChecked();
    event.rowValue = row != nullptr ? row->value : 0;
    return event;
}

CControlRouter::CControlRouter(IControlRouterHost& host)
    : m_host(host), m_window(std::make_unique<CWindowRoutes>(host)) {}

CControlRouter::~CControlRouter() = default;

void CControlRouter::SetLightingSync(CLightingSyncPages* sync) {
    m_window->SetLightingSync(sync);
}

std::span<const RouteRow> CControlRouter::TableOf(const QString& type) {
    if (type == notify::kClick) return routes::kClick;
    if (type == notify::kSelectChanged) return routes::kSelect;
    if (type == notify::kValueChanged) return routes::kValue;
    if (type == notify::kMoveValueChanged) return routes::kDrag;
    if (type == notify::kKillFocus) return routes::kKillFocus;
    if (type == notify::kReturn) return routes::kReturn;
    if (type == notify::kItemSelect) return routes::kItem;
    if (type == notify::kColorChanged) return routes::kColour;
    if (type == notify::kMenu) return routes::kMenuRequest;
    return {};
}

const RouteRow* CControlRouter::Resolve(const QString& type, const QString& name, int& index) {
    return routes::Find(TableOf(type), name, index);
}

bool CControlRouter::Notify(TNotifyUI& msg) {
    const QString name = msg.pSender ? msg.pSender->objectName() : QString();
    if (msg.sType != notify::kTimer && DebugLogEnabled()) {
        DebugLog((msg.sType + QStringLiteral(" ") + name).toStdString());
    }
    if (msg.sType == notify::kWindowInit) {
        m_host.OnWindowInit();
        return true;
    }
    if (msg.sType.startsWith(QStringLiteral("click_wp"))) {
        // Notifications of list rows that the rows act on themselves; the default handling must
        // not see them.
        return msg.sType != QStringLiteral("click_wpremove") && msg.sType != QStringLiteral("click_wpadd") &&
               msg.sType != QStringLiteral("click_wpedit") && msg.sType != QStringLiteral("click_wpselect");
    }
    // "click_select_end": the selection panel marks its buttons itself; nothing here changes a
    // page.
    const std::span<const RouteRow> table = TableOf(msg.sType);
    if (!table.empty()) Route(table, name, msg);
    return true;
}

void CControlRouter::OnMenuCommand(const QString& itemName) {
    const TNotifyUI msg{QStringLiteral("menu"), nullptr, 0, 0};
    Route(routes::kMenu, itemName, msg);
}

void CControlRouter::Route(std::span<const RouteRow> table, const QString& name, const TNotifyUI& msg) {
    int index = -1;
    const RouteRow* row = routes::Find(table, name, index);
    if (row == nullptr) return;
    m_lastRow = row;
    void* owner = OwnerOf(row->owner);
    if (owner == nullptr) return;
    row->call(owner, MakeEvent(msg, index, row));
}

void* CControlRouter::OwnerOf(RouteOwner owner) {
    if (owner == RouteOwner::Window) return m_window.get();
    CTavimondUSBDevice* page = m_host.CurrentDevicePage();
    if (page == nullptr) return nullptr;
    switch (owner) {
        case RouteOwner::Page:
            return page;
        case RouteOwner::KeyboardPage:
            return dynamic_cast<CTavimondKeyboardDevice*>(page);
        case RouteOwner::MousePage:
            return dynamic_cast<CTavimondMouseDevice*>(page);
        case RouteOwner::HeadsetPage:
            return dynamic_cast<vx::headset::CTavimondRU6533Device*>(page);
        case RouteOwner::LightPanel:
            return CPagePanels::LightPanelOf(page);
        case RouteOwner::ShootPanel:
            // Only a mouse page carries one.
            return dynamic_cast<CTavimondMouseDevice*>(page) ? CPagePanels::ShootPanelOf(page) : nullptr;
        case RouteOwner::ProfilePanel: {
            CDeviceProfileUI* panel = CPagePanels::ProfilePanelOf(page);
            if (panel == nullptr) return nullptr;
            if (!m_profilePrompts) m_profilePrompts = std::make_unique<CRouterProfilePrompts>(m_host);
            panel->SetPrompts(m_profilePrompts.get());
            return panel;
        }
        case RouteOwner::KeyPanel: {
            vx::panels::CKeySetControlUI* panel = CPagePanels::KeyPanelOf(page);
            if (panel != nullptr) panel->SetPrompts(&PanelPrompts());
            return panel;
        }
        case RouteOwner::MacroPanel:
            return MacroPanelOwner(page);
        case RouteOwner::Window:
            break;
    }
    return nullptr;
}

vx::panels::IPanelPrompts& CControlRouter::PanelPrompts() {
    if (!m_panelPrompts) {
        m_panelPrompts =
            std::make_unique<CRouterPanelPrompts>(m_host, [this](const QString& item) { OnMenuCommand(item); });
    }
    return *m_panelPrompts;
}

void CControlRouter::OnTimer(int id) {
    if (id != CWindowRoutes::kProfileTimerId) return;
    m_host.KillWindowTimer(id);
    if (CDeviceProfileUI* panel = static_cast<CDeviceProfileUI*>(OwnerOf(RouteOwner::ProfilePanel))) {
        panel->RunDelayedSelect();
    }
}

void* CControlRouter::MacroPanelOwner(CTavimondUSBDevice* page) {
    vx::panels::CMacroControlUI* panel = CPagePanels::MacroPanelOf(page);
    if (panel != nullptr) panel->SetPrompts(&PanelPrompts());
    return panel;
}

}  // namespace vx::app
