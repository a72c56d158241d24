// Renders the keyboard page, connected to the virtual keyboard with a running effect, to
// build/screenshots/keyboard_page.png (and the mousepad page beside it), so that the picture can be
// checked by eye; the checks make sure that the LEDs show the effect's colours over the keys.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QWidget>
#include <set>

#include "app/StartUp.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMousePadDevice.h"
#include "tests/devices/support/PageFixture.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ResourceManager.h"

using vx::profiles::KeyEntry;
using vx::app::SetupResources;
using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondMousePadDevice;
using vx::devices::CTavimondUSBDevice;
using vx::devices::kTypeKeyboard;
using vx::devices::kTypeMousePad;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;

namespace {

using vxtest::RigModel;

const QString kOut = QStringLiteral(VX_BINARY_DIR "/screenshots/");

class PageScreenshotTest : public vxtest::PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
        QDir().mkpath(kOut);
    }

    // Runs the page's frame timer for a while, as the selector entry does every 50 ms.
    static void RunFrames(CTavimondUSBDevice& page, int frames) {
        for (int i = 0; i < frames; ++i) {
            page.LightingFrame();
            vxtest::Pump(50);
        }
    }

    static std::set<quint32> LitColours(QWidget* root) {
        std::set<quint32> colours;
        for (auto* button : root->findChildren<CDeviceKeyButtonUI*>()) {
            if (button->objectName().startsWith("light_") && button->IsLit() &&
                button->GetLightBrightness() > 0)
                colours.insert(button->GetLightColor());
        }
        return colours;
    }
};

TEST_F(PageScreenshotTest, KeyboardPageWithARunningSpectrum) {
    CTavimondKeyboardDevice page;
    SetUpPage(page, "keyboard", 0xAA, 0xAA, 0, kTypeKeyboard,
              QStringLiteral("XML\\DeviceXml\\keyboarddevice.xml"));
    ASSERT_NE(page.GetPage(), nullptr);
    ASSERT_TRUE(Connect(page, RigModel::KeyboardWired));
    page.OnConnected();
    ASSERT_TRUE(page.LightingThreadRunning());

    LightInfo wave = page.GetLightInfo();
    wave.selectItem = 11;  // a spectrum running over every key
    wave.multiColor = 1;
    wave.light = 4;
    wave.speed = 4;
    page.SetLightInfo(wave);
    // One key with a changed function shows its mark.
    auto* profile = page.GetProfileData();
    std::vector<KeyEntry> keys = profile->GetKeyList();
    ASSERT_GT(keys.size(), 43u);
    keys[43].current.type = 0x70;
    profile->SetKeyList(keys);
    page.SaveProfile();
    page.LoadProfile();
    page.RefreshPage();

    QWidget* root = page.GetPage();
    auto* q = root->findChild<CDeviceKeyButtonUI*>("key_43");
    ASSERT_NE(q, nullptr);
    EXPECT_FALSE(q->IsKeySetImageHidden());
    EXPECT_TRUE(root->findChild<CDeviceKeyButtonUI*>("key_44")->IsKeySetImageHidden());
    CPaintManagerUI manager;
    manager.AttachRoot(root);
    root->resize(800, 470);
    root->show();
    RunFrames(page, 12);

    // A wave in many colours, and every key of the picture bound to its LED.
    EXPECT_GE(LitColours(root).size(), 8u);
    EXPECT_NE(root->findChild<QWidget*>("key_110"), nullptr);
    ASSERT_TRUE(vxtest::RenderToPng(root, kOut + "keyboard_page.png"));
    const QImage shot(kOut + "keyboard_page.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(800, 470));
    // Saturated pixels over the picture: the glow of the lit keys.
    int saturated = 0;
    for (int y = 10; y < 250; y += 2) {
        for (int x = 20; x < 780; x += 2) saturated += QColor(shot.pixel(x, y)).hsvSaturation() > 120;
    }
    EXPECT_GT(saturated, 2000);
    page.StopLightingThread();
    Disconnect(page);
}

TEST_F(PageScreenshotTest, MousepadPageWithARunningWave) {
    CTavimondMousePadDevice page;
    SetUpPage(page, "MousePad", 0, 0x0F, 2, kTypeMousePad,
              QStringLiteral("XML\\DeviceXml\\mousepaddevice.xml"));
    ASSERT_NE(page.GetPage(), nullptr);
    ASSERT_TRUE(Connect(page, RigModel::Mousepad));
    page.OnConnected();
    LightInfo wave = page.GetLightInfo();
    wave.selectItem = 0;  // the pad's wave along its edge
    wave.multiColor = 1;
    wave.light = 4;
    wave.speed = 4;
    page.SetLightInfo(wave);
    page.SaveProfile();
    page.LoadLightingState();
    QWidget* root = page.GetPage();
    CPaintManagerUI manager;
    manager.AttachRoot(root);
    root->resize(800, 470);
    root->show();
    RunFrames(page, 10);
    EXPECT_GE(LitColours(root).size(), 5u);
    ASSERT_TRUE(vxtest::RenderToPng(root, kOut + "mousepad_page.png"));
    page.StopLightingThread();
    Disconnect(page);
}

}  // namespace
