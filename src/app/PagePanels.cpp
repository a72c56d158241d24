#include "app/PagePanels.h"

#include <QLayout>
#include <QVBoxLayout>
#include <QWidget>

#include "app/LightingSyncPages.h"
#include "devices/TavimondUSBDevice.h"
#include "panels/DeviceProfileUI.h"
#include "panels/KeySetControlUI.h"
#include "panels/LightControlUI.h"
#include "panels/MacroControlUI.h"
#include "panels/ShootControlUI.h"
#include "devices/TavimondMouseDevice.h"
#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/MacroFiles.h"
#include "widgets/ControlUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"

using vx::devices::CTavimondUSBDevice;
using vx::devices::CTavimondMouseDevice;
using vx::panels::CDeviceProfileUI;
using vx::panels::CLightControlUI;
using vx::widgets::IDialogBuilderCallback;
using vx::widgets::CDialogBuilder;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
namespace ui = vx::widgets::ui;

namespace vx::app {

using vx::platform::DebugLog;
using vx::panels::CKeySetControlUI;
using vx::panels::CMacroControlUI;
using vx::profiles::DefaultDataFolder;
using vx::profiles::MacroFiles;

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

// Builds a panel from its layout into the page's placeholder container; the panel found there
// already when the page was connected before.
template <class Panel>
Panel* PlacePanel(CTavimondUSBDevice& page, const QString& itemName, const QString& layout,
                  IDialogBuilderCallback* callback) {
    QWidget* item = CPaintManagerUI::FindSubControlByName(page.GetPage(), itemName);
    if (item == nullptr) return nullptr;
    if (auto* panel = item->findChild<Panel*>()) return panel;
    Panel::RegisterControlClass();
    QWidget* root = CDialogBuilder::Create(layout, callback, item);
    auto* panel = qobject_cast<Panel*>(root);
    if (panel == nullptr) {
        DebugLog("panel not built from " + layout.toStdString() + ": " + CDialogBuilder::LastError().toStdString());
        delete root;
        return nullptr;
    }
    HidePlaceholderChildren(item, panel);
    QLayout* box = item->layout();
    if (box == nullptr) {
        box = new QVBoxLayout(item);
        box->setContentsMargins(0, 0, 0, 0);
    }
    box->addWidget(panel);
    COptionUI::SetGroupScope(panel);
    if (CPaintManagerUI* manager = CPaintManagerUI::FromControl(item)) manager->AttachControls(panel);
    return panel;
}

// Keyboard and mouse pages carry the key-assignment and macro panels.
bool HasKeyPanels(int kind) {
    return kind == 1 || kind == 2;
}

const QString kShootItem = QStringLiteral("ShootControlItem");
const QString kShootLayout = QStringLiteral("XML\\CustomControlXML\\ShootControl.xml");

vx::panels::CShootControlUI* PlaceShootPanel(CTavimondMouseDevice& mouse, IDialogBuilderCallback* callback) {
    auto* panel = PlacePanel<vx::panels::CShootControlUI>(mouse, kShootItem, kShootLayout, callback);
    if (panel == nullptr) return nullptr;
    panel->SetMousePage(&mouse);
    panel->SetShootFolder(mouse.ShootFolder());
    panel->SetDefaultShootFolder(DefaultDataFolder());
    panel->InitShootPanel();
    panel->SelectGun(0);
    panel->SelectBullet(0);
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
    if (HasKeyPanels(kind)) {
        if (auto* keys = PlacePanel<CKeySetControlUI>(page, CKeySetControlUI::kPageItemName, CKeySetControlUI::kLayout,
                                                       callback)) {
            keys->BindControls();
            keys->SetDevicePage(&page);
            keys->SetDeviceVariant(kind);
            std::vector<std::u16string> names;
            for (const auto& macro : MacroFiles(page.MacroFolder()).LoadList()) names.push_back(macro.name);
            keys->SetMacroList(names);
            ++connected;
        }
        if (auto* macros = PlacePanel<CMacroControlUI>(page, CMacroControlUI::kPageItemName, CMacroControlUI::kLayout,
                                                       callback)) {
            macros->BindControls();
            macros->SetDevicePage(&page);
            macros->SetMacroFolder(page.MacroFolder());
            macros->LoadMacroList();
            ++connected;
        }
    }
    if (CDeviceProfileUI* profile = CDeviceProfileUI::ConnectPageItem(page, kind, callback)) {
        COptionUI::SetGroupScope(profile);
        ++connected;
    }
    if (auto* mouse = dynamic_cast<CTavimondMouseDevice*>(&page)) {
        if (PlaceShootPanel(*mouse, callback) != nullptr) ++connected;
    }
    return connected;
}

CLightControlUI* CPagePanels::LightPanelOf(CTavimondUSBDevice* page) {
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CLightControlUI*>();
}

CKeySetControlUI* CPagePanels::KeyPanelOf(CTavimondUSBDevice* page) {
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CKeySetControlUI*>();
}

CMacroControlUI* CPagePanels::MacroPanelOf(CTavimondUSBDevice* page) {
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CMacroControlUI*>();
}

vx::panels::CShootControlUI* CPagePanels::ShootPanelOf(CTavimondUSBDevice* page) {
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<vx::panels::CShootControlUI*>();
}

CDeviceProfileUI* CPagePanels::ProfilePanelOf(CTavimondUSBDevice* page) {
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CDeviceProfileUI*>();
}

}  // namespace vx::app
