// The headset page against the virtual headset and the audio libraries: the twelve LED output
// reports of a frame as the headset receives them, the settings record, the audio actions of
// the real panels reaching a private PulseAudio server, and the equalisers kept in the profile
// file across a reload.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QObject>
#include <array>
#include <optional>

#include "AudioTestSupport.h"
#include "PulseServer.h"
#include "app/StartUp.h"
#include "headset/page/HeadsetPanels.h"
#include "headset/page/TavimondRU6533Device.h"
#include "tests/devices/support/PageFixture.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ComboUI.h"
#include "widgets/OptionUI.h"
#include "widgets/SliderUI.h"
#include "widgets/WindowMessages.h"

using vx::app::SetupResources;
using vx::devices::kTypeHeadset;
using vx::widgets::CComboUI;
using vx::widgets::COptionUI;
using vx::widgets::CSliderUI;
using vx::widgets::CWindowMessages;
using vx::widgets::ControlEvent;
using vx::widgets::TNotifyUI;
using vx::widgets::WindowHandle;
namespace notify = vx::widgets::notify;

namespace {

using vx::headset::AudioLibraryChoice;
using vx::headset::CTavimondRU6533Device;
using vx::headset::test::BuiltLibrary;
using vx::headset::test::PulseClient;
using vx::headset::test::PulseServer;
using vx::lighting::LedEntry;
using vxtest::RigModel;

constexpr int kHeadsetCodeBase = 0x30;
const QString kLayout = QStringLiteral("XML\\DeviceXml\\ru6533device.xml");

class HeadsetPageTest : public vxtest::PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        WriteModeCodes(3, 9, kHeadsetCodeBase);
        m_ownerHandle = CWindowMessages::Register(&m_owner, [this](uint message, quintptr wParam, qintptr) {
            m_ownerMessages.push_back({message, wParam});
            return qintptr(0);
        });
    }

    void TearDown() override {
        CWindowMessages::Unregister(m_ownerHandle);
        PageTest::TearDown();
    }

    // The page as discovery sets it up, with the audio library already chosen and loaded.
    void Build(CTavimondRU6533Device& page, AudioLibraryChoice choice) {
        page.SetOwnerWindow(m_ownerHandle);
        page.SetAudioLibraryChoice(choice);
        ASSERT_TRUE(page.Audio().LoadAudioLibraryFile(BuiltLibrary(choice)));
        SetUpPage(page, "HD", 0, CTavimondRU6533Device::kLeds, 3, kTypeHeadset, kLayout);
        ASSERT_NE(page.GetPage(), nullptr);
    }

    void Start(CTavimondRU6533Device& page, AudioLibraryChoice choice = AudioLibraryChoice::InMemory) {
        Build(page, choice);
        ASSERT_TRUE(Connect(page, RigModel::Headset));
        page.OnConnected();
        page.StopLightingThread();
    }

    // Waits until the virtual headset has taken at least `count` LED reports since the last clear.
    bool ArrivedReports(size_t count, int timeoutMs = 2000) {
        return vxtest::PumpUntil([&] { return m_rig->ReceivedReports(RigModel::Headset, 0xFF, true).size() >= count; },
                                 timeoutMs);
    }

    template <class T>
    static T* Find(CTavimondRU6533Device& page, const char* name) {
        return page.GetPage()->findChild<T*>(QString::fromLatin1(name));
    }

    QObject m_owner;
    WindowHandle m_ownerHandle = 0;
    std::vector<std::pair<uint, quintptr>> m_ownerMessages;
};

// What the headset must receive for one frame, built from the layout of its reports: red, green,
// blue; for each, target 0x22 LEDs 0-6, 0x22 LEDs 7-12, 0x44 LEDs 0-6, 0x44 LEDs 7-12. A value is
// channel x brightness / 256, at most 247; a second-half report repeats LED 6 in byte 10.
std::vector<std::vector<uint8_t>> ExpectedReports(const std::array<LedEntry, 13>& leds) {
    auto value = [&](int led, int channel) {
        const LedEntry& e = leds[led];
        const int c = channel == 0 ? e.red : channel == 1 ? e.green : e.blue;
        return static_cast<uint8_t>(std::min(247, c * e.brightness / 256));
    };
    std::vector<std::vector<uint8_t>> out;
    for (int channel = 0; channel < 3; ++channel) {
        for (uint8_t target : {0x22, 0x44}) {
            for (int half = 0; half < 2; ++half) {
                std::vector<uint8_t> r(17, 0);
                r[0] = 0xFF;
                r[1] = target;
                r[2] = static_cast<uint8_t>((half ? 0xAD : 0xAA) + channel);
                if (half == 0) {
                    for (int i = 0; i < 7; ++i) r[4 + i] = value(i, channel);
                } else {
                    for (int i = 0; i < 6; ++i) r[4 + i] = value(7 + i, channel);
                    r[10] = value(6, channel);
                }
                out.push_back(r);
            }
        }
    }
    return out;
}

TEST_F(HeadsetPageTest, OneFrameReachesTheHeadsetAsTwelveReportsByteForByte) {
    CTavimondRU6533Device page;
    Start(page);
    std::array<LedEntry, 13> leds{};
    for (int i = 0; i < 13; ++i) {
        leds[i] = {static_cast<uint8_t>(20 * i + 5), static_cast<uint8_t>(250 - 13 * i),
                   static_cast<uint8_t>(i * 7), static_cast<uint8_t>(128 + 9 * i)};
    }
    leds[3] = {255, 255, 255, 255};  // above 247 after scaling: sent as 247
    leds[6] = {200, 100, 50, 255};   // repeated at byte 10 of every second-half report
    leds[9] = {255, 255, 255, 0};    // dark at brightness 0
    for (int i = 0; i < 13; ++i) page.SetLed(i, leds[i].Pack());
    m_rig->ClearReceived(RigModel::Headset);

    page.LightingFrame();
    ASSERT_TRUE(page.WaitForDeviceWork(2000));
    // The virtual headset takes the reports on its own thread.
    EXPECT_TRUE(ArrivedReports(12));
    const auto received = m_rig->ReceivedReports(RigModel::Headset, 0xFF, true);
    const auto expected = ExpectedReports(leds);
    ASSERT_EQ(received.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(received[k], expected[k]) << "report " << k;
    // Nothing else went to the headset for a frame: no command frames, no written reports.
    EXPECT_TRUE(m_rig->ReceivedCommands(RigModel::Headset).empty());
    EXPECT_TRUE(m_rig->ReceivedReports(RigModel::Headset, 0xFF, false).empty());

    // With the software lighting switched off nothing goes out.
    m_rig->ClearReceived(RigModel::Headset);
    page.SetSoftwareLighting(false);
    page.LightingFrame();
    ASSERT_TRUE(page.WaitForDeviceWork(2000));
    EXPECT_FALSE(ArrivedReports(1, 200));

    // Unplugged: the frame's reports fail on the page's worker and the window goes on at once.
    page.SetSoftwareLighting(true);
    m_rig->Unplug(RigModel::Headset);
    QElapsedTimer clock;
    clock.start();
    for (int frame = 0; frame < 5; ++frame) page.LightingFrame();
    EXPECT_LT(clock.elapsed(), 50);
    EXPECT_TRUE(page.WaitForDeviceWork(2000));
}

TEST_F(HeadsetPageTest, LightingThreadDrivesTheReportsOfARunningEffect) {
    CTavimondRU6533Device page;
    Build(page, AudioLibraryChoice::InMemory);
    ASSERT_TRUE(Connect(page, RigModel::Headset));
    page.OnConnected();
    LightInfo info = page.GetLightInfo();
    info.selectItem = 6;  // ripple: it must light up without anything on the headset marking a start
    info.light = 4;
    info.speed = 4;
    info.multiColor = 0;
    info.red = 0;
    info.green = 200;
    info.blue = 0;
    page.SetLightInfo(info);
    page.LoadLightingState();
    ASSERT_TRUE(vxtest::PumpUntil(
        [&] {
            for (int i = 0; i < 13; ++i) {
                if (page.Engine().GetLed(i).brightness > 0) return true;
            }
            return false;
        },
        3000))
        << "the ripple stayed dark";
    page.StopLightingThread();
    m_rig->ClearReceived(RigModel::Headset);
    page.LightingFrame();
    ASSERT_TRUE(page.WaitForDeviceWork(2000));
    EXPECT_TRUE(ArrivedReports(12));
    std::array<LedEntry, 13> leds{};
    for (int i = 0; i < 13; ++i) leds[i] = page.Engine().GetLed(i);
    EXPECT_EQ(m_rig->ReceivedReports(RigModel::Headset, 0xFF, true), ExpectedReports(leds));
}

TEST_F(HeadsetPageTest, RecordGoesOutWithTheModeCodeAndComesBackAsTheIndex) {
    CTavimondRU6533Device page;
    Start(page);
    LightInfo info;
    info.selectItem = 9;  // step player: above the table's 0-8 it is sent as entry 0
    info.light = 3;
    info.speed = 1;
    info.red = 0x11;
    info.green = 0x22;
    info.blue = 0x33;
    page.SetLightInfo(info);
    page.LoadLightingState();
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    auto block = m_rig->ConfigBlock(RigModel::Headset, 0);
    ASSERT_GE(block.size(), 21u);
    EXPECT_EQ(block[1], kHeadsetCodeBase);
    EXPECT_EQ(block[3], 3);  // speed level 1 inverted
    EXPECT_EQ(block[6], 0x11);
    info.selectItem = 7;
    page.SetLightInfo(info);
    page.LoadLightingState();
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    block = m_rig->ConfigBlock(RigModel::Headset, 0);
    EXPECT_EQ(block[1], kHeadsetCodeBase + 7);

    m_ownerMessages.clear();
    ASSERT_EQ(page.RefreshFromDevice(), 1);
    EXPECT_EQ(page.GetRecord()[1], 7);
    EXPECT_EQ(page.GetRecord()[3], 1);
    ASSERT_EQ(m_ownerMessages.size(), 1u);
    EXPECT_EQ(m_ownerMessages[0].first, CTavimondRU6533Device::kMsgActiveProfile);

    // Unplugged: the write still answers 1, the reread still tells the owner.
    Disconnect(page);
    EXPECT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    m_ownerMessages.clear();
    EXPECT_EQ(page.RefreshFromDevice(), 1);
    EXPECT_EQ(m_ownerMessages.size(), 1u);
    EXPECT_EQ(page.GetRecord()[3], 4);  // speed byte 0 reads as level 4
}

TEST_F(HeadsetPageTest, ProfileTabsSwitchTheFunctionArea) {
    CTavimondRU6533Device page;
    Start(page);
    EXPECT_EQ(page.CurrentFeaturePage(), CTavimondRU6533Device::kLightingPage);
    ASSERT_NE(page.VoicePanelControl(), nullptr);
    ASSERT_NE(page.VoiceEffectPanelControl(), nullptr);
    // The names of the tab options as the profile panel's layout has them.
    const char* tabs[] = {"6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab", "deng_Op_tab"};
    const int pages[] = {CTavimondRU6533Device::kVoicePage, CTavimondRU6533Device::kVoiceEffectPage,
                         CTavimondRU6533Device::kSurroundPage, CTavimondRU6533Device::kLightingPage};
    for (int k = 0; k < 4; ++k) {
        COptionUI tab(page.GetPage());
        tab.setObjectName(QString::fromLatin1(tabs[k]));
        TNotifyUI msg{notify::kSelectChanged, &tab};
        page.Notify(msg);
        EXPECT_EQ(page.CurrentFeaturePage(), pages[k]) << tabs[k];
    }
    // A tab of another page leaves this one as it is.
    QWidget elsewhere;
    COptionUI foreign(&elsewhere);
    foreign.setObjectName(QStringLiteral("magic_Op_tab"));
    TNotifyUI msg{notify::kSelectChanged, &foreign};
    page.Notify(msg);
    EXPECT_EQ(page.CurrentFeaturePage(), CTavimondRU6533Device::kLightingPage);
}

TEST_F(HeadsetPageTest, EqualisersRoundTripThroughTheProfileFile) {
    std::filesystem::path profilePath;
    {
        CTavimondRU6533Device page;
        Start(page);
        profilePath = std::filesystem::path(page.GetProfileName());
        auto* voice = page.VoicePanelControl();
        ASSERT_NE(voice, nullptr);
        ControlEvent preset;
        preset.index = 7;
        page.OnEqPresetOption(preset);
        EXPECT_TRUE(Find<COptionUI>(page, "6533_eq_option_7")->IsSelected());
        EXPECT_EQ(Find<CSliderUI>(page, "6533_eq_hz_slider_0")->GetValue(), 14);
        EXPECT_FALSE(Find<QWidget>(page, "custom_eq_option_layout")->isEnabled());

        // A custom curve from the sliders, saved under a name.
        const int curve[10] = {3, -4, 5, -6, 7, -8, 9, -10, 11, -12};
        ControlEvent custom;
        custom.index = 13;
        page.OnEqPresetOption(custom);
        for (int i = 0; i < 10; ++i) Find<CSliderUI>(page, ("6533_eq_hz_slider_" + std::to_string(i)).c_str())->SetValue(curve[i]);
        voice->SetCustomEqNameText(u"Quiet room");
        EXPECT_EQ(page.SaveCustomEq(), vx::headset::kCustomEqSaved);
        voice->SetCustomEqNameText(u"QUIET ROOM");
        EXPECT_EQ(page.SaveCustomEq(), vx::headset::kCustomEqNameTaken);
        // A second one, so that there is something to choose between.
        for (int i = 0; i < 10; ++i) Find<CSliderUI>(page, ("6533_eq_hz_slider_" + std::to_string(i)).c_str())->SetValue(1);
        voice->SetCustomEqNameText(u"Flat-ish");
        EXPECT_EQ(page.SaveCustomEq(), vx::headset::kCustomEqSaved);
        Find<CComboUI>(page, "custom_eq_name_combo")->SelectItem(0);
        page.OnCustomEqCombo({});
    }
    // Another page reading the same file, as after a restart.
    vx::profiles::CRu6533Profiledata saved;
    saved.LoadProfile(profilePath);
    EXPECT_EQ(saved.GetEqValues(7), (std::vector<int32_t>{14, 10, 4, 0, -4, -3, -1, 1, 2, 3}));
    EXPECT_EQ(saved.GetCustomEqNames(), (std::vector<std::u16string>{u"Quiet room", u"Flat-ish"}));
    EXPECT_EQ(saved.GetCustomEqValues(0), (std::vector<int32_t>{3, -4, 5, -6, 7, -8, 9, -10, 11, -12}));
    EXPECT_EQ(saved.GetCustomEqValues(1), std::vector<int32_t>(10, 1));
    EXPECT_EQ(saved.GetSystemSetStages().eqType, 13);
    EXPECT_EQ(saved.GetSystemSetStages().customEqSeletIndex, 0);

    CTavimondRU6533Device again;
    Start(again);
    EXPECT_TRUE(Find<COptionUI>(again, "6533_eq_option_13")->IsSelected());
    EXPECT_TRUE(Find<QWidget>(again, "custom_eq_option_layout")->isEnabled());
    auto* combo = Find<CComboUI>(again, "custom_eq_name_combo");
    ASSERT_EQ(combo->GetCount(), 2);
    EXPECT_EQ(combo->itemText(1), QStringLiteral("Flat-ish"));
    EXPECT_EQ(combo->GetCurSel(), 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(again.VoicePanelControl()->GetEqSlider(i), (std::array{3, -4, 5, -6, 7, -8, 9, -10, 11, -12})[i]) << i;

    // Deleting the first keeps the second with its own curve, now first; deleting that one too
    // leaves preset 1 and an empty list in the file.
    again.OnCustomEqDelete({});
    ASSERT_EQ(combo->GetCount(), 1);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("Flat-ish"));
    EXPECT_EQ(again.VoicePanelControl()->GetEqSlider(0), 1);
    vx::profiles::CRu6533Profiledata middle;
    middle.LoadProfile(profilePath);
    EXPECT_EQ(middle.GetCustomEqNames(), std::vector<std::u16string>{u"Flat-ish"});
    EXPECT_EQ(middle.GetCustomEqValues(0), std::vector<int32_t>(10, 1));
    combo->SelectItem(0);
    again.OnCustomEqDelete({});
    EXPECT_EQ(combo->GetCount(), 0);
    EXPECT_TRUE(Find<COptionUI>(again, "6533_eq_option_1")->IsSelected());
    vx::profiles::CRu6533Profiledata after;
    after.LoadProfile(profilePath);
    EXPECT_TRUE(after.GetCustomEqNames().empty());
    EXPECT_EQ(after.GetSystemSetStages().eqType, 1);
}

TEST_F(HeadsetPageTest, WithoutAnAudioLibraryLevelsStoreNothingAndTheEqualiserStillWorks) {
    CTavimondRU6533Device page;
    page.SetOwnerWindow(m_ownerHandle);
    // No library beside this test program and no folder given: the page starts without one.
    page.SetAudioLibraryChoice(AudioLibraryChoice::SoundServer);
    SetUpPage(page, "HD", 0, CTavimondRU6533Device::kLeds, 3, kTypeHeadset, kLayout);
    ASSERT_FALSE(page.Audio().IsLoaded());
    ASSERT_TRUE(Connect(page, RigModel::Headset));
    page.OnConnected();
    page.StopLightingThread();
    const auto before = page.AudioControl()->Stages();

    Find<CSliderUI>(page, "6533_MicIn_slider")->SetValue(12);
    page.OnMicSlider({});
    page.OnMicOption({});
    vx::profiles::CRu6533Profiledata saved;
    saved.LoadProfile(std::filesystem::path(page.GetProfileName()));
    EXPECT_EQ(saved.GetSystemSetStages().micInValue, before.micInValue);
    EXPECT_EQ(saved.GetSystemSetStages().micInSelect, before.micInSelect);

    ControlEvent preset;
    preset.index = 9;
    page.OnEqPresetOption(preset);
    EXPECT_TRUE(Find<COptionUI>(page, "6533_eq_option_9")->IsSelected());
    saved.LoadProfile(std::filesystem::path(page.GetProfileName()));
    EXPECT_EQ(saved.GetSystemSetStages().eqType, 9);
    EXPECT_EQ(saved.GetEqValues(9), (std::vector<int32_t>{8, 2, -4, -8, 1, 3, 8, 11, 14, 16}));
}

// The audio actions of the page on the desktop's sound server: a private PulseAudio server with a
// null source stands for the headset's microphone.
class HeadsetPagePulseTest : public HeadsetPageTest {
protected:
    void SetUp() override {
        HeadsetPageTest::SetUp();
        const std::string why = server.Start();
        if (why == "pulseaudio is not installed") GTEST_SKIP() << "pulseaudio is not installed";
        ASSERT_TRUE(why.empty()) << why;
        client = std::make_unique<PulseClient>();
        ASSERT_TRUE(client->Ready());
    }
    PulseServer server;
    std::unique_ptr<PulseClient> client;
};

TEST_F(HeadsetPagePulseTest, MicrophoneLevelMuteAndMonitoringFromThePanelReachTheServer) {
    CTavimondRU6533Device page;
    Start(page, AudioLibraryChoice::SoundServer);
    auto* slider = Find<CSliderUI>(page, "6533_MicIn_slider");
    auto* mic = Find<COptionUI>(page, "6533_MicIn_option");
    ASSERT_NE(slider, nullptr);
    ASSERT_NE(mic, nullptr);
    // The page shows what the server holds: the null source starts at 100 % and unmuted.
    EXPECT_EQ(slider->GetValue(), 100);
    EXPECT_TRUE(mic->IsSelected());

    slider->SetValue(37);
    page.OnMicSlider({});
    auto source = client->SourceInfo(PulseServer::kSource);
    ASSERT_TRUE(source);
    ASSERT_GE(source->volume.channels, 1);
    EXPECT_NEAR(source->volume.values[0], 0.37 * PA_VOLUME_NORM, 1.0);

    mic->Selected(false);  // the user's click unselects it, then the routing calls the page
    page.OnMicOption({});
    EXPECT_EQ(client->SourceInfo(PulseServer::kSource)->mute, 1);
    EXPECT_FALSE(mic->IsSelected());
    mic->Selected(true);
    page.OnMicOption({});
    EXPECT_EQ(client->SourceInfo(PulseServer::kSource)->mute, 0);

    // Monitoring: turning it on creates the loopback from the microphone to the headphones.
    auto* monitor = Find<COptionUI>(page, "6533_MicMoniter_option");
    ASSERT_NE(monitor, nullptr);
    EXPECT_FALSE(monitor->IsSelected());
    EXPECT_TRUE(client->Modules("module-loopback").empty());
    monitor->Selected(true);
    page.OnMonitorOption({});
    EXPECT_EQ(client->Modules("module-loopback").size(), 1u);
    monitor->Selected(false);
    page.OnMonitorOption({});
    EXPECT_TRUE(client->Modules("module-loopback").empty());

    vx::profiles::CRu6533Profiledata saved;
    saved.LoadProfile(std::filesystem::path(page.GetProfileName()));
    EXPECT_EQ(saved.GetSystemSetStages().micInValue, 37);
    EXPECT_EQ(saved.GetSystemSetStages().micInSelect, 1);
    EXPECT_EQ(saved.GetSystemSetStages().micMoniterSelect, 0);
}

}  // namespace
