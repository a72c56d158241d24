// Start-up pieces: the control registry (class and element names, nested sub-layouts), the
// registered message names, private fonts, and the D-Bus entry that posts registered messages.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "app/ControlCenterBus.h"
#include "app/ControlRegistry.h"
#include "app/FontResource.h"
#include "app/RegisteredMessages.h"
#include "headset/page/HeadsetPanels.h"
#include "panels/DeviceProfileUI.h"
#include "panels/KeySetControlUI.h"
#include "panels/LightControlUI.h"
#include "panels/MacroControlUI.h"
#include "panels/ShootControlUI.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/CircleProgressUI.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlFactory.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/HandImgButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/RedioMacroButtonUI.h"
#include "widgets/ResourceManager.h"
#include "widgets/SelectPanelUI.h"

using vx::app::CControlCenterBus;
using vx::app::CControlRegistry;
using vx::app::FontResource;
using vx::app::UWM_ACTIVATE_MSG;
using vx::app::UWM_AUDIO_RECORD_MSG;
using vx::app::UWM_GAME_DEATH_MSG;
using vx::app::UWM_GAME_END_MSG;
using vx::app::UWM_GAME_KILL_MSG;
using vx::app::UWM_GAME_START_MSG;
using vx::app::UWM_LIGHT_CONTROL_MSG;
using vx::app::UWM_LIGHT_STATUS_MSG;
using vx::app::UWM_MOUSEMOVE_USER_MSG;
using vx::app::UWM_MOUSERBUTTONDOWN_USER_MSG;
using vx::app::UWM_MOUSERBUTTONDOWN_USER_MSG2;
using vx::app::UWM_UPDATE_PROGRESS_MSG;
using vx::app::UWM_WORKTOOL_MSG;
using vx::app::WM_HOOK_KEY_SINGLEKEY_MSG;
using vx::app::WM_HOOK_MOU_MSMACRO_MSG;
namespace registered_messages = vx::app::registered_messages;
using vx::widgets::CCircleProgressUI;
using vx::widgets::CComboUI;
using vx::widgets::CControlFactory;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CDialogBuilder;
using vx::widgets::CHandImgButtonUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CRedioMacroButtonUI;
using vx::widgets::CResourceManager;
using vx::widgets::CSelectPanelUI;
using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;

namespace {

// Resolves element names as the main window does.
class MainCallback : public vx::widgets::IDialogBuilderCallback {
public:
    QWidget* CreateControl(const QString& name, QWidget* parent) override {
        return CControlRegistry::CreateElement(name, parent, this);
    }
};

TEST(ControlRegistryTest, PageLayoutBuildsProgramControlsInAnyCase) {
    CResourceManager::GetInstance().SetResourcePath(vxtest::FixtureDir("app/skin"));
    ASSERT_TRUE(CResourceManager::GetInstance().LoadResource());
    CControlRegistry::RegisterControlClasses();
    MainCallback callback;
    std::unique_ptr<QWidget> page(CDialogBuilder::Create("XML_PAGE", &callback));
    ASSERT_NE(page, nullptr);
    CPaintManagerUI pm;
    pm.AttachRoot(page.get());

    auto* panel = pm.FindControl<CSelectPanelUI>("key_panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->findChildren<CDeviceKeyButtonUI*>().size(), 2);
    EXPECT_NE(pm.FindControl<CCircleProgressUI>("battery_ring"), nullptr);
    // Registered class name (factory), written in lower case.
    EXPECT_NE(pm.FindControl<CDeviceKeyButtonUI>("factory_key"), nullptr);

    // A sub-layout that nests another, both resolved through the same callback.
    QWidget* light = pm.FindControl("light_panel");
    ASSERT_NE(light, nullptr);
    EXPECT_NE(CPaintManagerUI::FindSubControl<CComboUI>(light, "light_mode"), nullptr);
    QWidget* keyset = CPaintManagerUI::FindSubControlByName(light, "nested_keyset");
    ASSERT_NE(keyset, nullptr);
    EXPECT_NE(CPaintManagerUI::FindSubControl<CRedioMacroButtonUI>(keyset, "record_btn"), nullptr);
    EXPECT_NE(CPaintManagerUI::FindSubControl<CHandImgButtonUI>(keyset, "macro_tile"), nullptr);

    // Its layout file does not exist: no control, and the rest of the page is built.
    EXPECT_EQ(pm.FindControl("shoot_panel"), nullptr);
    EXPECT_EQ(CControlRegistry::CreateElement("NotAnElement", nullptr, &callback), nullptr);
}

TEST(ControlRegistryTest, ClassNamesAreRegisteredInTableOrder) {
    CControlRegistry::RegisterControlClasses();
    const QStringList registered = CControlFactory::GetInstance().RegisteredNames();
    const QStringList table = CControlRegistry::ClassNames();
    ASSERT_GE(registered.size(), table.size());
    EXPECT_EQ(registered.mid(0, table.size()), table);
    EXPECT_EQ(table.first(), "CCircleProgressUI");
    std::unique_ptr<QWidget> w(CControlFactory::GetInstance().CreateControl("ccircleprogressui", nullptr));
    EXPECT_NE(qobject_cast<CCircleProgressUI*>(w.get()), nullptr);
    EXPECT_TRUE(CControlRegistry::ElementNames().contains("VirtualSetControlUI"));
}

// The device pages' layouts name their panels by element; built with the main window's
// callback, every panel container holds its panel straight away, and nothing is left for the
// pages to build into a plain container.
TEST(ControlRegistryTest, DevicePageLayoutsMakeEveryPanelThroughTheRegistry) {
    CResourceManager::GetInstance().SetResourcePath(vxtest::RepoSkinDir());
    ASSERT_TRUE(CResourceManager::GetInstance().LoadResource());
    CControlRegistry::RegisterControlClasses();
    MainCallback callback;
    struct Expected {
        const char* item;
        const QMetaObject* panel;
    };
    const Expected profile{"DeviceProfileItem", &vx::panels::CDeviceProfileUI::staticMetaObject};
    const Expected light{"LightControlItem", &vx::panels::CLightControlUI::staticMetaObject};
    const Expected keys{"KeySetControlItem", &vx::panels::CKeySetControlUI::staticMetaObject};
    const Expected macros{"MacroControlItem", &vx::panels::CMacroControlUI::staticMetaObject};
    const Expected shoot{"ShootControlItem", &vx::panels::CShootControlUI::staticMetaObject};
    const Expected voice{"Voice6533ControlItem", &vx::headset::CVoice6533ControlUI::staticMetaObject};
    const Expected effects{"MagicControlItem", &vx::headset::CMagicControlUI::staticMetaObject};
    const std::pair<const char*, std::vector<Expected>> pages[] = {
        // The keyboard's lighting panel is still built into a plain container by the page (its
        // mode list opens where the effect journey expects it only at that size).
        {"XML\\DeviceXml\\keyboarddevice.xml", {profile, keys, macros}},
        {"XML\\DeviceXml\\mousedevice.xml", {profile, light, keys, macros, shoot}},
        {"XML\\DeviceXml\\mousepaddevice.xml", {profile, light}},
        {"XML\\DeviceXml\\ru6533device.xml", {profile, light, voice, effects}},
    };
    for (const auto& [layout, panels] : pages) {
        std::unique_ptr<QWidget> page(CDialogBuilder::Create(layout, &callback));
        ASSERT_NE(page, nullptr) << layout << ": " << CDialogBuilder::LastError().toStdString();
        for (const Expected& e : panels) {
            // The container is the first widget of that name (a panel's root may share it).
            QWidget* item = CPaintManagerUI::FindSubControlByName(page.get(), e.item);
            ASSERT_NE(item, nullptr) << layout << " " << e.item;
            int found = 0;
            for (QWidget* child : item->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                found += child->metaObject()->inherits(e.panel);
            EXPECT_EQ(found, 1) << layout << " " << e.item << " holds no " << e.panel->className();
        }
    }
    std::unique_ptr<QWidget> headset(CDialogBuilder::Create("XML\\DeviceXml\\ru6533device.xml", &callback));
    ASSERT_NE(headset, nullptr);
    EXPECT_NE(CPaintManagerUI::FindSubControlByName(headset.get(), "virtual_set_panel"), nullptr);
}

TEST(RegisteredNamesTest, NumbersAreDistinctInRangeAndStable) {
    ASSERT_TRUE(registered_messages::RegisterActivateMessage());
    registered_messages::RegisterGuidMessages();
    registered_messages::RegisterHookMessages();
    const uint all[] = {UWM_ACTIVATE_MSG,          UWM_UPDATE_PROGRESS_MSG, UWM_LIGHT_STATUS_MSG,
                        UWM_LIGHT_CONTROL_MSG,     UWM_WORKTOOL_MSG,        UWM_AUDIO_RECORD_MSG,
                        WM_HOOK_KEY_SINGLEKEY_MSG, WM_HOOK_MOU_MSMACRO_MSG, UWM_MOUSERBUTTONDOWN_USER_MSG,
                        UWM_MOUSEMOVE_USER_MSG,    UWM_GAME_START_MSG,      UWM_GAME_END_MSG,
                        UWM_GAME_KILL_MSG,         UWM_GAME_DEATH_MSG};
    QSet<uint> seen;
    for (uint n : all) {
        EXPECT_GE(n, 0xC000u);
        EXPECT_LE(n, 0xFFFFu);
        seen.insert(n);
    }
    EXPECT_EQ(seen.size(), int(std::size(all)));
    // The same text registered twice gives the same number.
    EXPECT_EQ(UWM_MOUSERBUTTONDOWN_USER_MSG2, UWM_MOUSERBUTTONDOWN_USER_MSG);
    // A peer that writes EBF19 for the audio-record text does not get our number.
    EXPECT_NE(CWindowMessages::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF19}"),
              UWM_AUDIO_RECORD_MSG);
    EXPECT_EQ(CWindowMessages::GetRegisteredName(UWM_GAME_START_MSG), "Game_Start");
    const QStringList names = registered_messages::AllNames();
    EXPECT_EQ(names.size(), 1 + 5 + 23);
    EXPECT_EQ(names.first(), "Vexor Umbrel");
}

TEST(FontResourceTest, MissingFontsAreSkippedAndRealOnesLoad) {
    QTemporaryDir dir;
    FontResource missing(dir.path());
    EXPECT_FALSE(missing.Load("Font\\Simplified_Chinese.ttf"));
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_TRUE(missing.GetPath().endsWith("/Font/Simplified_Chinese.ttf"));

    ASSERT_TRUE(QDir(dir.path()).mkpath("Font"));
    QFile garbage(dir.path() + "/Font/broken.otf");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a font at all");
    garbage.close();
    FontResource broken(dir.path());
    EXPECT_FALSE(broken.Load("Font\\broken.otf"));

    const QString system = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!QFile::exists(system)) GTEST_SKIP() << "no DejaVu font on this machine";
    ASSERT_TRUE(QFile::copy(system, dir.path() + "/Font/Predator-Regular.ttf"));
    FontResource font(dir.path());
    EXPECT_TRUE(font.Load("Font\\Predator-Regular.ttf"));
    EXPECT_TRUE(font.Families().contains("DejaVu Sans"));
    font.Release();
    EXPECT_FALSE(font.IsLoaded());
}

TEST(ControlCenterBusTest, PostsOnlyRegisteredNamesToTheMainWindow) {
    registered_messages::RegisterActivateMessage();
    registered_messages::RegisterHookMessages();
    QObject window;
    std::vector<uint> received;
    const WindowHandle handle = CWindowMessages::Register(&window, [&](uint m, quintptr, qintptr) {
        received.push_back(m);
        return qintptr(0);
    });
    CControlCenterBus bus;
    EXPECT_FALSE(bus.PostMessage("Game_Start", 0, 0));  // no main window yet
    bus.SetTarget(handle);
    EXPECT_TRUE(bus.PostMessage("Game_Start", 0, 0));
    EXPECT_FALSE(bus.PostMessage("Game_Bogus", 0, 0));
    EXPECT_FALSE(bus.PostMessage("", 0, 0));
    vxtest::Pump(10);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], UWM_GAME_START_MSG);
}

}  // namespace
