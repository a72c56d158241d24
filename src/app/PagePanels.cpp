#include "app/PagePanels.h"

#include <QLayout>
#include <QVBoxLayout>
#include <QWidget>

#include "app/LightingSyncPages.h"
#include "devices/TavimondUSBDevice.h"
#include "panels/DeviceProfileUI.h"
#include "panels/LightControlUI.h"
#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "widgets/ControlUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"

using vx::devices::CTavimondUSBDevice;
using vx::panels::CDeviceProfileUI;
using vx::panels::CLightControlUI;
using vx::widgets::IDialogBuilderCallback;
using vx::widgets::CDialogBuilder;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
namespace ui = vx::widgets::ui;

namespace vx::app {

using vx::platform::DebugLog;
using vx::profiles::DefaultDataFolder;

namespace {

const QString kLightItem = QStringLiteral("LightControlItem");
constexpr int kPresetSwatches = 12;
const QString kLightLayout = QStringLiteral("XML\\CustomControlXML\\LightControl.xml");

// The wired type code the panels know a page by.
int PanelKind(const CTavimondUSBDevice& page) {
    switch (page.GetKind()) {
        case 9:
            return 1;
        case 6:
            return 2;
        default:
            return page.GetKind();
    }
}

// The placeholder's own hint texts give way to the panel.
void HidePlaceholderChildren(QWidget* item, QWidget* keep) {
    for (QWidget* child : item->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child != keep) child->hide();
    }
}

CLightControlUI* PlaceLightPanel(CTavimondUSBDevice& page, IDialogBuilderCallback* callback) {
    QWidget* item = CPaintManagerUI::FindSubControlByName(page.GetPage(), kLightItem);
    if (item == nullptr) return nullptr;
    if (auto* panel = qobject_cast<CLightControlUI*>(item)) return panel;
    if (auto* panel = item->findChild<CLightControlUI*>()) return panel;
    CLightControlUI::RegisterControlClass();
    QWidget* root = CDialogBuilder::Create(kLightLayout, callback, item);
    auto* panel = qobject_cast<CLightControlUI*>(root);
    if (panel == nullptr) {
        DebugLog("lighting panel not built: " + CDialogBuilder::LastError().toStdString());
        delete root;
        return nullptr;
    }
    HidePlaceholderChildren(item, panel);
    // A container written without a layout would leave the panel at its first size, clipped or
    // floating, whatever room the page gives it.
    QLayout* box = item->layout();
    if (box == nullptr) {
        box = new QVBoxLayout(item);
        box->setContentsMargins(0, 0, 0, 0);
    }
    box->addWidget(panel);
    COptionUI::SetGroupScope(panel);
    // The preset swatches show only a colour; a screen reader says which one.
    for (int i = 0; i < kPresetSwatches; ++i) {
        ui::SetAccessibleName(CPaintManagerUI::FindSubControlByName(panel, QStringLiteral("color_option_%1").arg(i)),
                              QStringLiteral("light_preset_colour_name"), QString::number(i + 1));
        ui::SetAccessibleName(
            CPaintManagerUI::FindSubControlByName(panel, QStringLiteral("audiocolor_option_%1").arg(i)),
            QStringLiteral("light_audio_preset_colour_name"), QString::number(i + 1));
    }
    if (CPaintManagerUI* manager = CPaintManagerUI::FromControl(item)) manager->AttachControls(panel);
    return panel;
}

}  // namespace

int CPagePanels::Connect(CTavimondUSBDevice& page, CLightingSyncPages* sync,
                         IDialogBuilderCallback* callback) {
    if (page.GetPage() == nullptr) return 0;
    int connected = 0;
    const int kind = PanelKind(page);
    if (CLightControlUI* light = PlaceLightPanel(page, callback)) {
        light->SetDevicePage(&page);
        light->SetDeviceKind(kind);
        light->LoadModeList(DefaultDataFolder() / "default_light.json", page.GetLightTableIndex());
        light->SetLightInfo(page.GetLightInfo());
        if (sync != nullptr) light->SetSyncLeaveHandler([sync](CTavimondUSBDevice& p) { sync->Leave(&p); });
        ++connected;
    }
    if (CDeviceProfileUI* profile = CDeviceProfileUI::ConnectPageItem(page, kind, callback)) {
        COptionUI::SetGroupScope(profile);
        ++connected;
    }
    return connected;
}

CLightControlUI* CPagePanels::LightPanelOf(CTavimondUSBDevice* page) {
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CLightControlUI*>();
}

CDeviceProfileUI* CPagePanels::ProfilePanelOf(CTavimondUSBDevice* page) {
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CDeviceProfileUI*>();
}

}  // namespace vx::app
