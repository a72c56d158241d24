// Renders the main window and a message box with the real skin to PNG files in the build folder
// (build/screenshots/), so that their look can be checked by eye; the checks here make sure the
// pictures show the skin and not an unstyled form.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <functional>

#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "app/MainWnd.h"
#include "widgets/MsgWnd.h"
#include "app/RegisteredMessages.h"
#include "app/StartUp.h"
#include "devices/TavimondUSBDevice.h"
#include "profiles/DataFolders.h"
#include "tests/journeys/support/JourneyDevices.h"
#include "tests/link/support/VirtualNodePlayer.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "widgets/ResourceManager.h"

using vx::profiles::SetUserDataFolderOverride;

using journeys::Device;
using journeys::JourneyDevices;
using vx::app::CDevicePageSet;
using vx::app::CMainWnd;
using vx::app::SetupResources;
namespace registered_messages = vx::app::registered_messages;
using vx::devices::CTavimondUSBDevice;
using vx::discovery::DiscoveryOptions;
using vx::widgets::CMsgWnd;
using vx::widgets::CResourceManager;
using vx::widgets::ShowMessageBox;
namespace ui = vx::widgets::ui;

namespace {
const QString kOut = QStringLiteral(VX_BINARY_DIR "/screenshots/");

// The share of pixels darker than the theme's panels: a dark skin is mostly dark.
double DarkShare(const QImage& image) {
    qint64 dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 60;
    }
    return double(dark) / (qint64(image.width()) * image.height());
}

class ScreenshotTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir())); }
};

TEST_F(ScreenshotTest, MainWindowInEnglishAndChinese) {
    CMainWnd wnd;
    ASSERT_TRUE(
        wnd.Create(nullptr, CMainWnd::kTitle, 0, 0, QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight)));
    wnd.show();
    vxtest::Pump(50);
    EXPECT_EQ(wnd.size(), QSize(800, 572));
    ASSERT_TRUE(vxtest::RenderToPng(&wnd, kOut + "main_cn.png"));

    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    CResourceManager::GetInstance().ReloadText();
    vxtest::Pump(20);
    EXPECT_EQ(ui::GetText(wnd.GetPaintManager().FindControl("nodevice_title")), "No device connected");
    ASSERT_TRUE(vxtest::RenderToPng(&wnd, kOut + "main_en.png"));

    const QImage shot(kOut + "main_en.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(DarkShare(shot), 0.8);
    wnd.OnMenuItem("exit");
}

TEST_F(ScreenshotTest, QuestionBox) {
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    bool shot = false;
    QTimer::singleShot(100, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<CMsgWnd*>(w); box && box->isVisible()) {
                shot = vxtest::RenderToPng(box, kOut + "msgbox.png");
                box->Close(0);
            }
        }
    });
    ShowMessageBox(nullptr, QString(), "message_text_22", 96, true, 1);
    ASSERT_TRUE(shot);
    EXPECT_GT(DarkShare(QImage(kOut + "msgbox.png")), 0.7);
}

bool WaitFor(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs) return false;
        vxtest::Pump(5);
    }
    return true;
}

// The share of pixels that differ between two pictures of the same size.
double ChangedShare(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 1.0;
    qint64 changed = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) changed += a.pixel(x, y) != b.pixel(x, y);
    }
    return double(changed) / (qint64(a.width()) * a.height());
}

TEST_F(ScreenshotTest, MainWindowWithNoDeviceAndWithDevicesConnected) {
    vxtest::ScopedTempDir dir;
    vxtest::ScopedTempDir data;
    qputenv("VX_VIRTUAL_HID_DIR", dir.Path().c_str());
    SetUserDataFolderOverride(data.Path());
    JourneyDevices devices(dir.Path());
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    ASSERT_TRUE(registered_messages::RegisterActivateMessage());
    CMainWnd wnd;
    DiscoveryOptions options;
    options.useUdevMonitor = false;
    wnd.SetDiscoveryOptions(options);
    ASSERT_TRUE(
        wnd.Create(nullptr, CMainWnd::kTitle, 0, 0, QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight)));
    wnd.show();
    ASSERT_TRUE(WaitFor([&] { return wnd.FirstScanDone(); }, 3000));
    CResourceManager::GetInstance().LoadLanguage("lan_en.xml");
    CResourceManager::GetInstance().ReloadText();
    vxtest::Pump(50);
    ASSERT_TRUE(vxtest::RenderToPng(&wnd, kOut + "main_no_device.png"));
    EXPECT_TRUE(ui::IsVisible(wnd.GetPaintManager().FindControl("No_device_Link")));

    ASSERT_EQ(devices.Plug(Device::KeyboardWired), 1);
    ASSERT_EQ(devices.SetBattery(Device::MouseReceiver, 80, 2), 1);
    ASSERT_EQ(devices.Plug(Device::MouseReceiver), 1);
    ASSERT_EQ(devices.Plug(Device::Mousepad), 1);
    CDevicePageSet* pages = wnd.Pages();
    ASSERT_TRUE(WaitFor([&] { return wnd.Selector().CountConnected() == 3; }, 6000));
    EXPECT_EQ(wnd.size(), QSize(800, 572));  // the entries fit the window's width
    // Long enough for the connection sequences, a few lighting frames and the mouse's battery.
    vxtest::Pump(1500);
    CTavimondUSBDevice* keyboard = pages->Keyboards().front();
    CTavimondUSBDevice* mouse = pages->Mice().front();
    wnd.Selector().ShowEntry(wnd.Selector().IndexOf(pages->EntryOf(keyboard)), true, true);
    vxtest::Pump(200);
    ASSERT_TRUE(vxtest::RenderToPng(&wnd, kOut + "main_devices_keyboard.png"));
    wnd.Selector().ShowEntry(wnd.Selector().IndexOf(pages->EntryOf(mouse)), true, true);
    vxtest::Pump(200);
    ASSERT_TRUE(vxtest::RenderToPng(&wnd, kOut + "main_devices_mouse.png"));
    EXPECT_FALSE(ui::IsVisible(wnd.GetPaintManager().FindControl("No_device_Link")));
    EXPECT_EQ(ui::GetText(wnd.GetPaintManager().FindControl("device_power_value")).isEmpty(), false);

    const QImage none(kOut + "main_no_device.png");
    const QImage withKeyboard(kOut + "main_devices_keyboard.png");
    const QImage withMouse(kOut + "main_devices_mouse.png");
    EXPECT_GT(ChangedShare(none, withKeyboard), 0.2);
    EXPECT_GT(ChangedShare(withKeyboard, withMouse), 0.1);
    EXPECT_GT(DarkShare(withKeyboard), 0.6);
    wnd.OnMenuItem("exit");
    qunsetenv("VX_VIRTUAL_HID_DIR");
}
}  // namespace
