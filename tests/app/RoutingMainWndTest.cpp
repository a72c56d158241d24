// The routing and same-mode lighting inside the running main window: pages get their panels as
// they are created, a control's notification reaches the router through the window, the
// synchronisation runs as the window's worker and ends with it.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QWidget>
#include <chrono>

#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
// The page headers need the widget classes above.
#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "devices/lighting/LightingSync.h"
#include "app/LightingSyncPages.h"
#include "app/PagePanels.h"
#include "app/MainWnd.h"
#include "app/RegisteredMessages.h"
#include "app/StartUp.h"
#include "devices/TavimondUSBDevice.h"
#include "panels/DeviceProfileUI.h"
#include "panels/LightControlUI.h"
#include "profiles/BasicProfiledata.h"
#include "tests/devices/support/PageFixture.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"

using vxtest::RigModel;
using vx::app::CDeviceOptionUI;
using vx::app::CMainWnd;
using vx::app::CPagePanels;
using vx::app::SetupResources;
namespace registered_messages = vx::app::registered_messages;
using vx::devices::CTavimondUSBDevice;
using vx::discovery::DiscoveryOptions;
using vx::widgets::CComboUI;
using vx::widgets::CPaintManagerUI;
namespace ui = vx::widgets::ui;
namespace notify = vx::widgets::notify;

namespace {

class RoutingMainWndTest : public vxtest::PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        qputenv("VX_VIRTUAL_HID_DIR", (m_root / "hid").string().c_str());
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        ASSERT_TRUE(registered_messages::RegisterActivateMessage());
        registered_messages::RegisterGuidMessages();
        registered_messages::RegisterHookMessages();
        wnd = std::make_unique<CMainWnd>();
        DiscoveryOptions options;
        options.useUdevMonitor = false;  // only the virtual devices of this test
        wnd->SetDiscoveryOptions(options);
        ASSERT_TRUE(
            wnd->Create(nullptr, CMainWnd::kTitle, 0, 0, QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight)));
        wnd->show();
        ASSERT_TRUE(vxtest::PumpUntil([this] { return wnd->FirstScanDone(); }, 5000));
    }

    void TearDown() override {
        if (wnd) wnd->OnMenuItem("exit");
        wnd.reset();
        qunsetenv("VX_VIRTUAL_HID_DIR");
        PageTest::TearDown();
    }

    std::unique_ptr<CMainWnd> wnd;
};

}  // namespace

TEST_F(RoutingMainWndTest, PagesGetPanelsAndJoinTheSynchronisation) {
    EXPECT_TRUE(wnd->LightingSync().Running());
    const std::vector<CTavimondUSBDevice*> pages = wnd->Pages()->Pages();
    ASSERT_GE(pages.size(), 2u);  // the keyboard and mouse pages exist before any device
    for (CTavimondUSBDevice* page : pages) {
        EXPECT_NE(CPagePanels::LightPanelOf(page), nullptr) << page->GetKindName();
        EXPECT_NE(CPagePanels::ProfilePanelOf(page), nullptr) << page->GetKindName();
    }
    EXPECT_EQ(wnd->LightingSync().TargetCount(), static_cast<int>(pages.size()));
    // Without a device there is no current page.
    EXPECT_EQ(wnd->CurrentDevicePage(), nullptr);
}

TEST_F(RoutingMainWndTest, SameModeThroughTheWindowUntilExit) {
    ASSERT_TRUE(m_rig->Plug(RigModel::KeyboardWired));
    ASSERT_TRUE(m_rig->Plug(RigModel::Mousepad));
    CTavimondUSBDevice* keyboard = nullptr;
    CTavimondUSBDevice* pad = nullptr;
    ASSERT_TRUE(vxtest::PumpUntil(
        [&] {
            keyboard = wnd->Pages()->Keyboards().empty() ? nullptr : wnd->Pages()->Keyboards().front();
            pad = wnd->Pages()->MousePads().empty() ? nullptr : wnd->Pages()->MousePads().front();
            return keyboard && pad && keyboard->CommandLink().IsConnected() &&
                   pad->CommandLink().IsConnected() && ui::IsVisible(wnd->Pages()->EntryOf(keyboard)) &&
                   ui::IsVisible(wnd->Pages()->EntryOf(pad));
        },
        8000));
    ASSERT_NE(CPagePanels::LightPanelOf(pad), nullptr);  // the pad's page came later

    CTavimondUSBDevice* current = wnd->CurrentDevicePage();
    ASSERT_NE(current, nullptr);
    // The keyboard breathes (its mode 5); the choice goes through the window's notifications.
    CDeviceOptionUI* entry = wnd->Pages()->EntryOf(keyboard);
    const int index = wnd->Selector().IndexOf(entry);
    wnd->Selector().ShowEntry(index, true, true);
    wnd->Selector().OnSelectionChanged();
    ASSERT_EQ(wnd->CurrentDevicePage(), keyboard);
    auto* mode = CPaintManagerUI::FindSubControl<CComboUI>(keyboard->GetPage(), "light_combo_modeSelect");
    ASSERT_NE(mode, nullptr);
    mode->SelectItem(5);
    ASSERT_TRUE(CPaintManagerUI::Notify(mode, notify::kItemSelect, 5));
    ASSERT_EQ(keyboard->GetLightInfo().selectItem, 5);

    QWidget* same = CPaintManagerUI::FindSubControlByName(keyboard->GetPage(), "deng_same_mode");
    ASSERT_NE(same, nullptr);
    ASSERT_TRUE(CPaintManagerUI::Notify(same, notify::kClick));
    EXPECT_TRUE(wnd->SyncPages().IsSynchronised(keyboard));
    EXPECT_TRUE(wnd->SyncPages().IsSynchronised(pad));
    EXPECT_EQ(pad->GetLightInfo().selectItem, 2);
    EXPECT_EQ(wnd->LightingSync().GetSharedEffect().type, vx::lighting::sync::kBreathing);

    const uint64_t steps = wnd->LightingSync().Steps();
    ASSERT_TRUE(vxtest::PumpUntil([&] { return wnd->LightingSync().Steps() >= steps + 5; }, 3000));

    QElapsedTimer timer;
    timer.start();
    wnd->OnMenuItem("exit");
    EXPECT_FALSE(wnd->LightingSync().Running());
    EXPECT_LT(timer.elapsed(), 3000);
    // Stopped: the pages keep the last step, and it is the same on both.
    EXPECT_EQ(keyboard->GetLed(0), pad->GetLed(0));
    EXPECT_EQ(keyboard->GetLed(100), pad->GetLed(14));
}
