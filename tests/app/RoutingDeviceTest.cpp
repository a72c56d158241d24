// The routing against real device pages connected to virtual devices: a notification of a
// page's control (in any letter case) ends at the device, and same-mode lighting puts every
// connected device into the shared effect in step until a page rereads its settings.
#include <gtest/gtest.h>

#include <QWidget>
#include <chrono>
#include <thread>

#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
// The page headers need the widget classes above.
#include "app/ControlRouter.h"
#include "app/PagePanels.h"
#include "app/WindowRoutes.h"
#include "app/LightingSyncPages.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMousePadDevice.h"
#include "devices/lighting/LightingClock.h"
#include "devices/lighting/LightingEngine.h"
#include "panels/DeviceProfileUI.h"
#include "panels/LightControlUI.h"
#include "tests/devices/support/PageFixture.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ComboUI.h"
#include "widgets/OptionUI.h"
#include "widgets/ResourceManager.h"
#include "widgets/SliderUI.h"
#include "tests/app/support/QuietRouterHost.h"

using vx::profiles::CKeyboardProfiledata;

using vx::lighting::CLightingSync;
using vx::lighting::ILightingSyncTarget;
using vx::lighting::SharedEffect;
using vx::lighting::SyncEffectState;

using vxtest::RigModel;
using vx::app::CControlRouter;
using vx::app::CLightingSyncPages;
using vx::app::CPagePanels;
using vx::app::CWindowRoutes;
using vx::app::WindowButton;
using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondMousePadDevice;
using vx::devices::CTavimondUSBDevice;
using vx::devices::kTypeKeyboard;
using vx::devices::kTypeMousePad;
using vx::panels::CDeviceProfileUI;
using vx::panels::CLightControlUI;
using vx::widgets::CComboUI;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::CSliderUI;
using vx::widgets::TNotifyUI;
namespace notify = vx::widgets::notify;

namespace {

const QString kKeyboardLayout = QStringLiteral("XML\\DeviceXml\\keyboarddevice.xml");
const QString kMousepadLayout = QStringLiteral("XML\\DeviceXml\\mousepaddevice.xml");

class PageHost : public vxtest::QuietRouterHost {
public:
    int AskQuestion(const QString& key) override {
        log.push_back("ask " + key.toStdString());
        return answer;
    }
    void ShowNotice(const QString& key) override { log.push_back("notice " + key.toStdString()); }
    QString OpenFileDialog(const QString& name, const QString& pattern) override {
        log.push_back("open " + name.toStdString() + " " + pattern.toStdString());
        return {};
    }
    QString SaveFileDialog(const QString& name, const QString& pattern) override {
        log.push_back("save " + name.toStdString() + " " + pattern.toStdString());
        return {};
    }
    void SetWindowTimer(int id, int ms) override { timers[id] = ms; }
    void KillWindowTimer(int id) override { timers.erase(id); }

    std::vector<std::string> log;
    std::map<int, int> timers;
    int answer = 0;
};

class RoutingDeviceTest : public vxtest::PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        CResourceManager& resources = CResourceManager::GetInstance();
        resources.SetResourcePath(vxtest::RepoSkinDir());
        ASSERT_TRUE(resources.LoadResource());
        resources.LoadLanguage(QStringLiteral("lan_en.xml"));
        sync = std::make_unique<CLightingSync>(clock);
        pages = std::make_unique<CLightingSyncPages>(*sync);
        router = std::make_unique<CControlRouter>(host);
        router->SetLightingSync(pages.get());
    }

    void TearDown() override {
        sync->Stop();
        for (CTavimondUSBDevice* page : {static_cast<CTavimondUSBDevice*>(keyboard.get()),
                                         static_cast<CTavimondUSBDevice*>(pad.get())}) {
            if (page == nullptr) continue;
            page->StopLightingThread();
            Disconnect(*page);
        }
        router.reset();
        pages.reset();
        keyboard.reset();
        pad.reset();
        sync.reset();
        PageTest::TearDown();
    }

    void ConnectKeyboard() {
        keyboard = std::make_unique<CTavimondKeyboardDevice>();
        SetUpPage(*keyboard, "keyboard", 170, 170, 0, kTypeKeyboard, kKeyboardLayout);
        ASSERT_NE(keyboard->GetPage(), nullptr);
        ASSERT_TRUE(Connect(*keyboard, RigModel::KeyboardWired));
        keyboard->OnConnected();
        ASSERT_EQ(CPagePanels::Connect(*keyboard, pages.get()), 4);
        ASSERT_TRUE(pages->AddPage(keyboard.get()));
        host.current = keyboard.get();
    }

    void ConnectPad() {
        pad = std::make_unique<CTavimondMousePadDevice>();
        SetUpPage(*pad, "mousepad", 0, 15, 2, kTypeMousePad, kMousepadLayout);
        ASSERT_TRUE(Connect(*pad, RigModel::Mousepad));
        pad->OnConnected();
        CPagePanels::Connect(*pad, pages.get());
        ASSERT_TRUE(pages->AddPage(pad.get()));
    }

    template <class T = QWidget>
    T* Find(CTavimondUSBDevice& page, const char* name) {
        return CPaintManagerUI::FindSubControl<T>(page.GetPage(), QString::fromLatin1(name));
    }

    void Send(QWidget* sender, const QString& type, quintptr wParam = 0) {
        ASSERT_NE(sender, nullptr);
        TNotifyUI msg{type, sender, wParam, 0};
        router->Notify(msg);
    }

    vx::lighting::SteadyLightingClock clock;
    std::unique_ptr<CLightingSync> sync;
    std::unique_ptr<CLightingSyncPages> pages;
    PageHost host;
    std::unique_ptr<CControlRouter> router;
    std::unique_ptr<CTavimondKeyboardDevice> keyboard;
    std::unique_ptr<CTavimondMousePadDevice> pad;
};

}  // namespace

TEST_F(RoutingDeviceTest, LightingPanelRowsReachTheKeyboardInAnyLetterCase) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    CTavimondKeyboardDevice& page = *keyboard;
    auto* speed = Find<CSliderUI>(page, "deng_speed_slider");
    auto* mode = Find<CComboUI>(page, "light_combo_modeSelect");
    ASSERT_NE(speed, nullptr);
    ASSERT_NE(mode, nullptr);
    ASSERT_GT(page.ModeCodes().size(), 5u);

    // The layout's names in other letter cases route the same.
    speed->setObjectName("DENG_SPEED_SLIDER");
    speed->SetValue(1);
    Send(speed, notify::kValueChanged);
    mode->setObjectName("Light_Combo_ModeSelect");
    mode->SelectItem(5);
    Send(mode, notify::kItemSelect, 5);

    const std::vector<uint8_t> block = m_rig->ConfigBlock(RigModel::KeyboardWired, 0);
    ASSERT_GE(block.size(), 4u);
    EXPECT_EQ(block[1], page.ModeCodes()[5]);
    EXPECT_EQ(block[3], 4 - 1);
    EXPECT_EQ(page.GetLightInfo().selectItem, 5);
    EXPECT_EQ(page.Engine().GetLightInfo().selectItem, 5);
}

TEST_F(RoutingDeviceTest, KeyboardSettingsRowsStoreSendAndSave) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    CTavimondKeyboardDevice& page = *keyboard;
    auto* winlock = Find<COptionUI>(page, "winlockflag_option");
    auto* polling = Find<COptionUI>(page, "polling_rate_option_2");
    ASSERT_NE(winlock, nullptr);
    ASSERT_NE(polling, nullptr);
    const bool before = page.GetWinLock();
    m_rig->ClearReceived(RigModel::KeyboardWired);
    winlock->Selected(!before);
    Send(winlock, notify::kSelectChanged);
    EXPECT_EQ(page.GetWinLock(), !before);
    // The block went out (configuration session with a write).
    const std::vector<uint8_t> commands = m_rig->ReceivedCommands(RigModel::KeyboardWired);
    EXPECT_NE(std::find(commands.begin(), commands.end(), 0x06), commands.end());

    polling->Selected(true);
    Send(polling, notify::kSelectChanged);
    EXPECT_EQ(page.GetPollingRateOption(), 2);
    // Stored in the saved profile, not only in memory.
    CKeyboardProfiledata saved;
    saved.SetDefaultPath(page.GetProfileData()->GetDefaultPath());
    ASSERT_FALSE(saved.LoadProfile(page.GetProfileData()->GetProfilePath()).isNull());
    EXPECT_EQ(saved.GetKeyboardSystemStages().pollingRate, 2);
    EXPECT_EQ(saved.GetKeyboardSystemStages().winFlag, before ? 0 : 1);
}

TEST_F(RoutingDeviceTest, PollingRateOnAMousepadDoesNothing) {
    ASSERT_NO_FATAL_FAILURE(ConnectPad());
    host.current = pad.get();
    QWidget option;
    option.setObjectName("polling_rate_option_1");
    const std::vector<uint8_t> block = m_rig->ConfigBlock(RigModel::Mousepad, 0);
    m_rig->ClearReceived(RigModel::Mousepad);
    Send(&option, notify::kSelectChanged);
    EXPECT_TRUE(m_rig->ReceivedCommands(RigModel::Mousepad).empty());
    EXPECT_EQ(m_rig->ConfigBlock(RigModel::Mousepad, 0), block);
}

TEST_F(RoutingDeviceTest, ProfileRowsAskThroughTheWindow) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    CTavimondKeyboardDevice& page = *keyboard;
    CDeviceProfileUI* panel = CPagePanels::ProfilePanelOf(&page);
    ASSERT_NE(panel, nullptr);
    const int profiles = panel->GetProfileCount();

    Send(Find(page, "device_add_btn"), notify::kClick);
    EXPECT_EQ(panel->GetProfileCount(), profiles + 1);
    EXPECT_EQ(page.GetProfileId(), panel->GetSelectedIdentifier());

    // A cancelled dialog imports nothing.
    Send(Find(page, "DEVICE_IMPORT_BTN"), notify::kClick);
    EXPECT_EQ(host.log, (std::vector<std::string>{"open Profile Files(*.json) *.json;"}));
    EXPECT_EQ(panel->GetProfileCount(), profiles + 1);

    // A reset answered no changes nothing.
    host.answer = 0;
    Send(Find(page, "device_reset_btn"), notify::kClick);
    EXPECT_EQ(host.log.back(), "ask message_text_22");

    // Choosing another profile waits for timer 1055, then the page takes it.
    auto* combo = Find<CComboUI>(page, "device_profile_combo");
    ASSERT_NE(combo, nullptr);
    ASSERT_GE(combo->GetCount(), 2);
    const std::string chosen = panel->List().Entries().at(0).identifier;
    combo->SelectItem(0);
    Send(combo, notify::kItemSelect, 0);
    EXPECT_EQ(host.timers[CWindowRoutes::kProfileTimerId], CWindowRoutes::kProfileTimerMs);
    EXPECT_NE(page.GetProfileId(), chosen);
    router->OnTimer(CWindowRoutes::kProfileTimerId);
    EXPECT_EQ(page.GetProfileId(), chosen);
    EXPECT_TRUE(host.timers.empty());
}

TEST_F(RoutingDeviceTest, SameModePutsEveryDeviceInStepUntilAReread) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    ASSERT_NO_FATAL_FAILURE(ConnectPad());
    CTavimondKeyboardDevice& kb = *keyboard;
    sync->Start();

    // The keyboard breathes (its mode 5), multicoloured, fast.
    auto* mode = Find<CComboUI>(kb, "light_combo_modeSelect");
    ASSERT_NE(mode, nullptr);
    mode->SelectItem(5);
    Send(mode, notify::kItemSelect, 5);
    LightInfo info = kb.GetLightInfo();
    info.speed = 4;
    info.light = 4;
    kb.SetLightInfo(info);

    Send(Find(kb, "deng_same_mode"), notify::kClick);
    EXPECT_TRUE(pages->IsSynchronised(&kb));
    EXPECT_TRUE(pages->IsSynchronised(pad.get()));
    EXPECT_TRUE(kb.CommandLink().IsHeld());
    EXPECT_TRUE(pad->CommandLink().IsHeld());
    // The pad runs its own breathing (its mode 2), and the device got its code for it.
    EXPECT_EQ(pad->GetLightInfo().selectItem, 2);
    const std::vector<uint8_t> padBlock = m_rig->ConfigBlock(RigModel::Mousepad, 0);
    ASSERT_GE(padBlock.size(), 4u);
    ASSERT_GT(pad->ModeCodes().size(), 2u);
    EXPECT_EQ(padBlock[1], pad->ModeCodes()[2]);
    EXPECT_EQ(padBlock[3], 0);
    // The lighting panel of the pad shows the adopted effect.
    CLightControlUI* padPanel = CPagePanels::LightPanelOf(pad.get());
    ASSERT_NE(padPanel, nullptr);
    EXPECT_EQ(padPanel->GetSelectedMode(), 2);

    // Frames in step: both pages show the synchronisation's last step on every light.
    const uint64_t steps = sync->Steps();
    ASSERT_TRUE(vxtest::PumpUntil([&] { return sync->Steps() >= steps + 20; }, 3000));
    sync->Stop();
    const uint32_t shown = kb.GetLed(0);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(pad->GetLed(i), shown) << i;
    for (int i = 0; i < 170; i += 17) EXPECT_EQ(kb.GetLed(i), shown) << i;
    EXPECT_EQ(sync->GetSharedEffect().type, vx::lighting::sync::kBreathing);

    // The pad rereads its settings from the device: it leaves, the keyboard stays.
    sync->Start();
    EXPECT_EQ(pad->RefreshFromDevice() >= 0, true);
    EXPECT_FALSE(pad->CommandLink().IsHeld());
    ASSERT_TRUE(vxtest::PumpUntil([&] { return !pages->IsSynchronised(pad.get()); }, 1000));
    EXPECT_TRUE(pages->IsSynchronised(&kb));
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(sync->Stop(1000), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1000));
}

TEST_F(RoutingDeviceTest, AUserChangeOnTheLightingPanelLeavesSameMode) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    CTavimondKeyboardDevice& kb = *keyboard;
    auto* mode = Find<CComboUI>(kb, "light_combo_modeSelect");
    ASSERT_NE(mode, nullptr);
    mode->SelectItem(6);
    Send(mode, notify::kItemSelect, 6);
    Send(Find(kb, "deng_same_mode"), notify::kClick);
    ASSERT_TRUE(pages->IsSynchronised(&kb));
    ASSERT_TRUE(kb.CommandLink().IsHeld());

    auto* brightness = Find<CSliderUI>(kb, "deng_light_slider");
    ASSERT_NE(brightness, nullptr);
    brightness->SetValue(2);
    Send(brightness, notify::kValueChanged);
    EXPECT_FALSE(pages->IsSynchronised(&kb));
    // The page's own lighting thread runs again.
    EXPECT_FALSE(kb.CommandLink().IsHeld());
    EXPECT_EQ(kb.GetLightInfo().light, 2);
}

// The lighting panel of a page built before its device arrives (as the main window builds them)
// shows the page's records once the device is connected, and again after a reset: the mode, the
// brightness and speed (never the sliders' minimum, from which a touch would lower the device's
// brightness) and the audio record.
TEST_F(RoutingDeviceTest, TheLightingPanelShowsThePagesRecordsAfterConnectionAndReset) {
    keyboard = std::make_unique<CTavimondKeyboardDevice>();
    SetUpPage(*keyboard, "keyboard", 170, 170, 0, kTypeKeyboard, kKeyboardLayout);
    ASSERT_EQ(CPagePanels::Connect(*keyboard, pages.get()), 4);
    CLightControlUI* panel = CPagePanels::LightPanelOf(keyboard.get());
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(Connect(*keyboard, RigModel::KeyboardWired));
    keyboard->OnConnected();
    host.current = keyboard.get();

    // The virtual keyboard's factory effect: the wave (code 1), brightness 4, speed level 4 - 2.
    const std::vector<uint8_t> block = m_rig->ConfigBlock(RigModel::KeyboardWired, 0);
    ASSERT_GE(block.size(), 4u);
    EXPECT_EQ(keyboard->GetLightInfo().selectItem, 1);
    EXPECT_EQ(panel->GetSelectedMode(), keyboard->GetLightInfo().selectItem);
    EXPECT_EQ(panel->GetBrightness(), block[2]);
    EXPECT_EQ(panel->GetSpeed(), 4 - block[3]);
    EXPECT_GT(panel->GetBrightness(), 0);
    // The factory profile's audio record: foreground (0, 160, 255), seven colours.
    EXPECT_EQ(panel->ShownAudioLightInfo().fgGreen, 160);
    EXPECT_EQ(panel->GetAudioEditText(2), QStringLiteral("255"));

    // The user dims the keyboard and picks the breathing; a reset brings the factory profile back
    // onto the panel too.
    auto* brightness = Find<CSliderUI>(*keyboard, "deng_light_slider");
    ASSERT_NE(brightness, nullptr);
    brightness->SetValue(1);
    Send(brightness, notify::kValueChanged);
    auto* mode = Find<CComboUI>(*keyboard, "light_combo_modeSelect");
    mode->SelectItem(5);
    Send(mode, notify::kItemSelect, 5);
    ASSERT_EQ(keyboard->GetLightInfo().light, 1);
    keyboard->ResetToProfile();
    const LightInfo factory = keyboard->GetLightInfo();
    EXPECT_EQ(factory.selectItem, 1);
    EXPECT_EQ(panel->GetSelectedMode(), factory.selectItem);
    EXPECT_EQ(panel->GetBrightness(), factory.light);
    EXPECT_EQ(panel->GetSpeed(), factory.speed);
    EXPECT_EQ(panel->GetSevenColor(), factory.multiColor != 0);
}
