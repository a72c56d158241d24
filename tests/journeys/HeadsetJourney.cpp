// A user with the virtual headset: opens its page, sets the microphone level, mutes the
// microphone, turns monitoring on and sets its level, makes a custom equaliser and saves it
// under a name (a name already taken is refused with a notice), then switches to a new profile
// and back and sees every value follow the profile, and last restores the page's defaults.
// After each step the window shows the value, the audio library (the in-memory one behind the
// virtual headset) holds what the page wrote, and the profile file holds what the page stored.

#include <dlfcn.h>

#include <cmath>
#include <string>

#include "headset/audio/memory/MemoryAudioControl.h"
#include "headset/page/TavimondRU6533Device.h"
#include "support/JourneyFixture.h"

namespace journeys {
namespace {

// The in-memory library's endpoints: 1 the headphones (render), 2 the microphone (capture).
constexpr int32_t kRender = 1;
constexpr int32_t kCapture = 2;

class HeadsetJourney : public JourneyTest {
protected:
    vx::headset::CTavimondRU6533Device* Headset() {
        return dynamic_cast<vx::headset::CTavimondRU6533Device*>(PageOf(Device::Headset));
    }

    // A property's value as the audio library holds it, or "" when it holds none.
    std::string LibraryValue(int32_t endpoint, const char* name) {
        auto* page = Headset();
        if (page == nullptr || page->Audio().Handle() == nullptr) return {};
        auto get = reinterpret_cast<VxMemAudioGetValueFn>(dlsym(page->Audio().Handle(), "VxMemAudioGetValue"));
        if (get == nullptr) return {};
        char text[128] = {};
        return get(endpoint, name, text, sizeof text) ? std::string(text) : std::string();
    }
    double LibraryNumber(int32_t endpoint, const char* name) {
        const std::string text = LibraryValue(endpoint, name);
        return text.empty() ? -1000.0 : std::stod(text);
    }

    Json::Value Stored() { return SelectedDeviceRecord("HD"); }
    int StoredStage(const char* key) { return Stored()["SystemSetStages"][key].asInt(); }

    void OpenTab(const char* tab, const char* shownControl) {
        if (Shown("device_add_btn")) { ASSERT_TRUE(Click("profile_fun_spread_btn")); }
        ASSERT_TRUE(Click(tab));
        ASSERT_TRUE(WaitUntil([&] { return Shown(shownControl); }, 1000)) << shownControl << " is not shown";
    }
    void OpenProfileMenu() {
        if (!Shown("device_add_btn")) { ASSERT_TRUE(Click("profile_fun_spread_btn")); }
        ASSERT_TRUE(WaitUntil([this] { return Shown("device_add_btn"); }, 1000)) << "no profile menu";
    }
};

TEST_F(HeadsetJourney, VoiceAndEqualiserSettingsFollowTheProfile) {
    PlugAndWait(Device::Headset);
    ShowDevicePage(Device::Headset);
    ASSERT_NE(Headset(), nullptr) << "the headset has no page of its own";
    ASSERT_TRUE(Shown("light_0")) << "no headset picture";

    // The lights: the factory effect reaches the headset frame by frame; "off" darkens it, and
    // the settings record carries the mode.
    ASSERT_TRUE(WaitUntil([&] { return Devices().HeadsetLedReportCount() >= 24; }, kDeviceWaitMs))
        << "no LED reports reached the headset";
    auto anyLit = [&] {
        for (uint8_t v : Devices().HeadsetLeds()) {
            if (v != 0) return true;
        }
        return false;
    };
    EXPECT_TRUE(WaitUntil(anyLit, 2000));
    OpenTab("deng_Op_tab", "light_combo_modeSelect");
    Screenshot("headset_lighting.png");
    ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 8));  // "off" (a hidden mode keeps its row)
    EXPECT_TRUE(WaitUntil([&] { return !anyLit(); }, 2000)) << "the headset stayed lit after \"off\"";
    EXPECT_TRUE(WaitUntil([&] { return Devices().ActiveConfigBlock(Device::Headset)[1] == 8; }, 2000));
    EXPECT_EQ(Stored()["LightInfo"]["SelectItem"].asInt(), 8);

    // The voice tab shows what the headset holds: the microphone at 75 %, unmuted.
    OpenTab("6533_voice_Op_tab", "6533_MicIn_slider");
    EXPECT_EQ(SliderValue("6533_MicIn_slider"), 75);
    EXPECT_TRUE(IsSelected("6533_MicIn_option"));
    EXPECT_FALSE(IsSelected("6533_MicMoniter_option"));

    // Microphone level.
    ASSERT_TRUE(DragSlider("6533_MicIn_slider", 30));
    EXPECT_TRUE(WaitUntil([&] { return std::abs(LibraryNumber(kCapture, "VolumeScalarControl") - 0.30) < 0.006; }, 2000))
        << LibraryValue(kCapture, "VolumeScalarControl");
    EXPECT_EQ(StoredStage("MicInValue"), 30);

    // Mute.
    ASSERT_TRUE(Click("6533_MicIn_option"));
    EXPECT_TRUE(WaitUntil([&] { return LibraryValue(kCapture, "MuteControl") == "1"; }, 2000));
    EXPECT_FALSE(IsSelected("6533_MicIn_option"));
    EXPECT_EQ(StoredStage("MicInSelect"), 0);

    // Monitoring on, and its level.
    ASSERT_TRUE(Click("6533_MicMoniter_option"));
    EXPECT_TRUE(WaitUntil([&] { return LibraryValue(kCapture, "AAMuteControl") == "0"; }, 2000));
    EXPECT_TRUE(IsSelected("6533_MicMoniter_option"));
    EXPECT_EQ(StoredStage("MicMoniterSelect"), 1);
    ASSERT_TRUE(DragSlider("6533_MicMoniter_slider", 60));
    EXPECT_TRUE(WaitUntil([&] { return std::abs(LibraryNumber(kCapture, "AAVolumeScalarControl") - 0.60) < 0.006; }, 2000));
    EXPECT_EQ(StoredStage("MicMoniterValue"), 60);

    // A custom equaliser: the custom option frees the bands; one band moved goes to the headset.
    ASSERT_TRUE(Click("6533_eq_option_13"));
    ASSERT_TRUE(WaitUntil([&] { return Find("6533_eq_hz_slider_2") && Find("6533_eq_hz_slider_2")->isEnabled(); }, 1000));
    ASSERT_TRUE(DragSlider("6533_eq_hz_slider_2", 8));
    EXPECT_TRUE(WaitUntil([&] { return LibraryValue(kRender, "EQ_Slider3") == "8"; }, 2000))
        << LibraryValue(kRender, "EQ_Slider3");
    ASSERT_TRUE(TypeInto("custom_eq_name_edit", "Night"));
    ASSERT_TRUE(Click("hs_EQ_btn_save"));
    EXPECT_EQ(ComboItems("custom_eq_name_combo"), QStringList{"Night"});
    EXPECT_EQ(ComboText("custom_eq_name_combo"), QStringLiteral("Night"));
    EXPECT_EQ(TextOf("custom_eq_name_edit"), QString());
    Json::Value stored = Stored();
    EXPECT_EQ(stored["CustomEQNameInfo"][0]["Name"].asString(), "Night");
    EXPECT_EQ(stored["CustomEQHzValueInfo"][0][2]["value"].asInt(), 8);

    // The same name again, in capitals: refused with a notice, the list unchanged.
    AnswerNextMessageBox(true);
    ASSERT_TRUE(TypeInto("custom_eq_name_edit", "NIGHT"));
    ASSERT_TRUE(Click("hs_EQ_btn_save"));
    EXPECT_TRUE(MessageBoxWasShown());
    EXPECT_TRUE(LastMessageText().contains("already in use")) << LastMessageText().toStdString();
    EXPECT_EQ(ComboItems("custom_eq_name_combo"), QStringList{"Night"});

    // A second curve under another name, then the first one picked from the list again: the
    // headset takes its curve back and the profile remembers the choice.
    ASSERT_TRUE(DragSlider("6533_eq_hz_slider_2", -5));
    EXPECT_TRUE(WaitUntil([&] { return LibraryValue(kRender, "EQ_Slider3") == "-5"; }, 2000));
    ASSERT_TRUE(TypeInto("custom_eq_name_edit", "Day"));
    ASSERT_TRUE(Click("hs_EQ_btn_save"));
    EXPECT_EQ(ComboItems("custom_eq_name_combo"), (QStringList{"Night", "Day"}));
    EXPECT_EQ(ComboText("custom_eq_name_combo"), QStringLiteral("Day"));
    ASSERT_TRUE(ChooseItem("custom_eq_name_combo", "Night"));
    EXPECT_TRUE(WaitUntil([&] { return LibraryValue(kRender, "EQ_Slider3") == "8"; }, 2000))
        << LibraryValue(kRender, "EQ_Slider3");
    EXPECT_EQ(SliderValue("6533_eq_hz_slider_2"), 8);
    EXPECT_EQ(StoredStage("CustomEqSeletIndex"), 0);
    EXPECT_EQ(Stored()["CustomEQHzValueInfo"][1][2]["value"].asInt(), -5);

    // A new profile starts from the factory's settings: the panel shows them.
    OpenProfileMenu();
    ASSERT_TRUE(Click("device_add_btn"));
    EXPECT_TRUE(WaitUntil([&] { return ComboText("device_profile_combo") == "profile2"; }, 2000));
    OpenTab("6533_voice_Op_tab", "6533_MicIn_slider");
    EXPECT_TRUE(WaitUntil([&] { return SliderValue("6533_MicIn_slider") == 80; }, 2000))
        << SliderValue("6533_MicIn_slider");
    EXPECT_TRUE(IsSelected("6533_MicIn_option"));
    EXPECT_EQ(SliderValue("6533_MicMoniter_slider"), 50);
    EXPECT_TRUE(IsSelected("6533_eq_option_5"));
    EXPECT_FALSE(IsSelected("6533_eq_option_13"));
    EXPECT_TRUE(ComboItems("custom_eq_name_combo").isEmpty());
    EXPECT_FALSE(Find("6533_eq_hz_slider_2")->isEnabled());
    Screenshot("headset_new_profile.png");

    // Back to the first: everything the user set there comes back.
    OpenProfileMenu();
    ASSERT_TRUE(ChooseItem("device_profile_combo", "profile1"));
    OpenTab("6533_voice_Op_tab", "6533_MicIn_slider");
    EXPECT_TRUE(WaitUntil([&] { return SliderValue("6533_MicIn_slider") == 30; }, 3000))
        << SliderValue("6533_MicIn_slider");
    EXPECT_FALSE(IsSelected("6533_MicIn_option"));
    EXPECT_TRUE(IsSelected("6533_MicMoniter_option"));
    EXPECT_EQ(SliderValue("6533_MicMoniter_slider"), 60);
    EXPECT_TRUE(IsSelected("6533_eq_option_13"));
    EXPECT_EQ(ComboItems("custom_eq_name_combo"), (QStringList{"Night", "Day"}));
    EXPECT_EQ(ComboText("custom_eq_name_combo"), QStringLiteral("Night"));
    EXPECT_EQ(SliderValue("6533_eq_hz_slider_2"), 8);
    EXPECT_TRUE(Find("6533_eq_hz_slider_2")->isEnabled());
    // Its lights are off again, as the user left them.
    EXPECT_EQ(Stored()["LightInfo"]["SelectItem"].asInt(), 8);
    EXPECT_EQ(Headset()->GetLightInfo().selectItem, 8);
    EXPECT_TRUE(WaitUntil([&] { return !anyLit(); }, 2000)) << "profile1's lights came back on";
    Screenshot("headset_voice.png");

    // Restoring the page's defaults brings back the factory's sound and lights and keeps the
    // user's own equalisers, on the panel and in the file.
    AnswerNextMessageBox(true);
    ASSERT_TRUE(Click("default_btn"));
    EXPECT_TRUE(MessageBoxWasShown());
    EXPECT_TRUE(WaitUntil([&] { return SliderValue("6533_MicIn_slider") == 80; }, 2000))
        << SliderValue("6533_MicIn_slider");
    EXPECT_TRUE(IsSelected("6533_MicIn_option"));
    EXPECT_TRUE(IsSelected("6533_eq_option_5"));
    EXPECT_FALSE(Find("6533_eq_hz_slider_2")->isEnabled());
    EXPECT_EQ(ComboItems("custom_eq_name_combo"), (QStringList{"Night", "Day"}));
    EXPECT_EQ(StoredStage("MicInValue"), 80);
    EXPECT_EQ(StoredStage("EqType"), 5);
    EXPECT_EQ(Stored()["CustomEQNameInfo"].size(), 2u);
    EXPECT_EQ(Stored()["CustomEQHzValueInfo"][0][2]["value"].asInt(), 8);
    EXPECT_EQ(Stored()["CustomEQHzValueInfo"][1][2]["value"].asInt(), -5);
    EXPECT_NE(Stored()["LightInfo"]["SelectItem"].asInt(), 8);
    EXPECT_TRUE(WaitUntil(anyLit, 3000)) << "the factory lights did not come back";
    Screenshot("headset_defaults.png");

    OpenTab("magic_Op_tab", "magic_enable_option");
    Screenshot("headset_effects.png");
}

}  // namespace
}  // namespace journeys
