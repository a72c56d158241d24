// The main window shell: title-bar buttons, the tray's clicks, the wake-up of a second instance.
#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "app/MainWnd.h"
#include "app/RegisteredMessages.h"
#include "app/StartUp.h"
#include "tests/widgets/support/QtTestEnv.h"

using vx::app::CMainWnd;
using vx::app::SetupResources;
using vx::app::UWM_ACTIVATE_MSG;
namespace registered_messages = vx::app::registered_messages;
using vx::discovery::DiscoveryOptions;
using vx::widgets::CWindowMessages;

namespace {

class MainWndTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        ASSERT_TRUE(registered_messages::RegisterActivateMessage());
        // No device of the machine takes part: discovery looks at an empty virtual directory.
        qputenv("VX_VIRTUAL_HID_DIR", QDir::tempPath().toUtf8() + "/vx-main-window-test-none");
        DiscoveryOptions options;
        options.useUdevMonitor = false;
        wnd.SetDiscoveryOptions(options);
        ASSERT_TRUE(
            wnd.Create(nullptr, CMainWnd::kTitle, 0, 0, QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight)));
        wnd.show();
        // The window hides while the first scan runs and shows itself when it has finished.
        for (int i = 0; i < 400 && !wnd.FirstScanDone(); ++i) vxtest::Pump(5);
        ASSERT_TRUE(wnd.FirstScanDone());
        vxtest::Pump(10);
    }
    void TearDown() override {
        wnd.OnMenuItem("exit");
        qunsetenv("VX_VIRTUAL_HID_DIR");
    }
    void Tray(uint button) {
        CWindowMessages::PostMessage(wnd.GetHWND(), CMainWnd::WM_TRAY_NOTIFY, 0, button);
        vxtest::Pump(10);
    }
    CMainWnd wnd;
};

TEST_F(MainWndTest, TitleAndSizeAndTitleBarControls) {
    EXPECT_EQ(wnd.windowTitle(), "Vexor Umbrel Control Center");
    EXPECT_EQ(wnd.size(), QSize(800, 572));
    for (const char* name :
         {"closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn", "gamemodebtn", "cloudbtn", "smarteyesbtn",
          "setbtn", "No_device_Link", "device_switch", "device_select_layout", "device_power_switch",
          "control_light_status", "setting_progress"}) {
        EXPECT_NE(wnd.GetPaintManager().FindControl(name), nullptr) << name;
    }
}

TEST_F(MainWndTest, CloseButtonHidesAndTrayBringsItBack) {
    QTest::mouseClick(wnd.GetPaintManager().FindControl("closebtn"), Qt::LeftButton);
    EXPECT_FALSE(wnd.isVisible());
    EXPECT_TRUE(wnd.GetTray().IsVisible());  // the program lives on in the notification area
    Tray(CMainWnd::kTrayLeftUp);
    EXPECT_TRUE(wnd.isVisible());
    Tray(CMainWnd::kTrayLeftUp);
    EXPECT_FALSE(wnd.isVisible());
    // A minimised window counts as not shown: the tray restores it.
    wnd.showMinimized();
    Tray(CMainWnd::kTrayLeftUp);
    EXPECT_TRUE(wnd.isVisible());
    EXPECT_FALSE(wnd.isMinimized());
}

TEST_F(MainWndTest, WakeUpRestoresTheWindow) {
    wnd.hide();
    CWindowMessages::PostMessage(wnd.GetHWND(), UWM_ACTIVATE_MSG, 0, 1);
    vxtest::Pump(10);
    EXPECT_TRUE(wnd.isVisible());
    // Closing by the window manager hides as the close button does.
    wnd.close();
    EXPECT_FALSE(wnd.isVisible());
    EXPECT_TRUE(CWindowMessages::IsWindow(wnd.GetHWND()));
}

}  // namespace
