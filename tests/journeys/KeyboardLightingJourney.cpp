// Lighting as a user sees it: every keyboard effect chosen on the lighting tab runs on the device
// picture and reaches the keyboard and the profile; brightness, speed, colour and direction; the
// keyboard's per-key colours; the mousepad's own effects; one effect shared by keyboard, mouse and
// mousepad, and leaving it.

#include <QComboBox>
#include <algorithm>
#include <iterator>
#include <set>
#include <QStandardItemModel>

#include "support/JourneyFixture.h"
// The window's headers after the fixture's: what the synchronisation holds is read, never set.
#include "app/LightingSyncPages.h"
#include "app/MainWnd.h"
#include "devices/TavimondUSBDevice.h"

namespace fs = std::filesystem;

namespace journeys {
namespace {

// LEDs spread over the keyboard picture: the column map's, the LED path's, the key grid's.
constexpr int kSampleLeds[] = {0, 22, 42, 63, 84, 105, 26, 48, 70, 90, 108, 34, 55, 75, 95, 112};

class KeyboardLightingJourney : public JourneyTest {
protected:
    void OpenLighting(Device device) {
        PlugAndWait(device);
        ShowDevicePage(device);
        if (!Shown("light_combo_modeSelect")) { ASSERT_TRUE(Click("deng_Op_tab")); }
        ASSERT_TRUE(WaitUntil([this] { return Shown("light_combo_modeSelect"); }, 1000))
            << "the lighting tab shows no effect list";
        // The user waits for the device to light up: its connection has then been run.
        const std::vector<int> leds = device == Device::KeyboardWired
                                          ? std::vector<int>(std::begin(kSampleLeds), std::end(kSampleLeds))
                                          : std::vector<int>{0, 3, 7, 11, 14};
        ASSERT_TRUE(WaitUntil([&] { return AnyLit(leds); }, kDeviceWaitMs)) << "the device never lights up";
    }

    QComboBox* ModeCombo() { return qobject_cast<QComboBox*>(Find("light_combo_modeSelect")); }

    // Rows of the effect list a user can pick (hidden ones are disabled and not shown).
    std::vector<int> ChoosableRows() {
        std::vector<int> rows;
        QComboBox* combo = ModeCombo();
        if (combo == nullptr) return rows;
        auto* model = qobject_cast<QStandardItemModel*>(combo->model());
        for (int row = 0; row < combo->count(); ++row) {
            if (model == nullptr || (model->item(row) && model->item(row)->isEnabled())) rows.push_back(row);
        }
        return rows;
    }

    int Block(Device device, size_t byte) {
        const std::vector<uint8_t> block = Devices().ActiveConfigBlock(device);
        return byte < block.size() ? block[byte] : -1;
    }

    // The light record of the selected profile of a device kind's folder ("keyboard", "MousePad").
    Json::Value StoredLight(const std::string& deviceFolder) {
        return SelectedDeviceRecord(deviceFolder)["LightInfo"];
    }

    bool AnyLit(const std::vector<int>& leds) {
        for (int led : leds) {
            if (!IsDark(ShownColour(QStringLiteral("light_%1").arg(led)))) return true;
        }
        return false;
    }
    bool KeyboardLit() { return AnyLit(std::vector<int>(std::begin(kSampleLeds), std::end(kSampleLeds))); }
};

TEST_F(KeyboardLightingJourney, EveryEffectRunsOnThePictureTheKeyboardAndTheProfile) {
    ASSERT_NO_FATAL_FAILURE(OpenLighting(Device::KeyboardWired));

    // The first look: the keyboard's own effect, lit, named in the list, with its brightness and
    // speed on the sliders.
    QComboBox* combo = ModeCombo();
    ASSERT_NE(combo, nullptr);
    const int factoryMode = Block(Device::KeyboardWired, 1);
    EXPECT_EQ(combo->currentIndex(), factoryMode);
    EXPECT_FALSE(ComboText("light_combo_modeSelect").isEmpty());
    const std::vector<int> rows = ChoosableRows();
    EXPECT_NE(std::find(rows.begin(), rows.end(), factoryMode), rows.end()) << "factory effect not in the list";
    EXPECT_EQ(SliderValue("deng_light_slider"), Block(Device::KeyboardWired, 2));
    EXPECT_EQ(SliderValue("deng_speed_slider"), 4 - Block(Device::KeyboardWired, 3));
    EXPECT_TRUE(WaitUntil([this] { return KeyboardLit(); }, kDeviceWaitMs)) << "the first look is dark";
    Screenshot("keyboard_lighting_first_look.png");

    // Static in one colour lights every key; the column wave after it leaves the keys off its
    // columns dark instead of frozen in the static colour.
    ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 6));
    ASSERT_TRUE(TypeInto("deng_edit_G", "200"));
    ASSERT_TRUE(WaitUntil([this] { return !IsDark(ShownColour("light_1")); }, kDeviceWaitMs));
    ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 1));
    Run(400);
    EXPECT_TRUE(IsDark(ShownColour("light_1"))) << "LED 1 keeps the static colour";
    EXPECT_TRUE(KeyboardLit());

    // Effects that light nothing by themselves: key reactions (no key presses arrive), per-key
    // colours of a fresh group, audio lighting in silence, and off.
    const std::set<int> darkByDesign = {7, 8, 9, 20, 21, 25, 28};
    for (int mode : rows) {
        if (mode == combo->currentIndex()) continue;  // the column wave was just chosen
        SCOPED_TRACE("effect " + std::to_string(mode));
        ASSERT_TRUE(ChooseRow("light_combo_modeSelect", mode));
        EXPECT_EQ(combo->currentIndex(), mode);
        EXPECT_TRUE(WaitUntil([&] { return Block(Device::KeyboardWired, 1) == mode; }, kDeviceWaitMs))
            << "the keyboard did not get the effect";
        EXPECT_EQ(StoredLight("keyboard")["SelectItem"].asInt(), mode);
        if (mode == 28) {
            EXPECT_TRUE(WaitUntil([this] { return !KeyboardLit(); }, kDeviceWaitMs)) << "off is lit";
        } else if (darkByDesign.count(mode) == 0) {
            EXPECT_TRUE(WaitUntil([this] { return KeyboardLit(); }, kDeviceWaitMs)) << "the picture stays dark";
        }
        if (mode == 21) {
            EXPECT_TRUE(Devices().SoftwareLighting(Device::KeyboardWired)) << "0x1C was not sent";
            const size_t frames = Devices().StreamFrameCount(Device::KeyboardWired);
            EXPECT_TRUE(WaitUntil([&] { return Devices().StreamFrameCount(Device::KeyboardWired) > frames; },
                                  kDeviceWaitMs))
                << "no frame streamed in the audio effect";
        }
        if (mode == 13 || mode == 16 || mode == 24) Screenshot(QStringLiteral("keyboard_effect_%1.png").arg(mode));
    }
}

TEST_F(KeyboardLightingJourney, BrightnessSpeedColourAndDirection) {
    ASSERT_NO_FATAL_FAILURE(OpenLighting(Device::KeyboardWired));
    ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 1));
    ASSERT_TRUE(WaitUntil([&] { return Block(Device::KeyboardWired, 1) == 1; }, kDeviceWaitMs));

    ASSERT_TRUE(DragSlider("deng_light_slider", 2));
    EXPECT_TRUE(WaitUntil([&] { return Block(Device::KeyboardWired, 2) == 2; }, kDeviceWaitMs));
    EXPECT_EQ(SliderValue("deng_light_slider"), 2);
    EXPECT_EQ(StoredLight("keyboard")["Light"].asInt(), 2);

    ASSERT_TRUE(DragSlider("deng_speed_slider", 4));
    EXPECT_TRUE(WaitUntil([&] { return Block(Device::KeyboardWired, 3) == 0; }, kDeviceWaitMs));
    EXPECT_EQ(StoredLight("keyboard")["Speed"].asInt(), 4);

    ASSERT_TRUE(Click("deng_FXR_check"));
    EXPECT_TRUE(WaitUntil([&] { return Block(Device::KeyboardWired, 4) == 0; }, kDeviceWaitMs));
    EXPECT_TRUE(IsSelected("deng_FXR_check"));
    EXPECT_FALSE(IsSelected("deng_FXL_check"));
    EXPECT_EQ(StoredLight("keyboard")["Fx"].asInt(), 0);
    ASSERT_TRUE(Click("deng_FXL_check"));
    EXPECT_TRUE(WaitUntil([&] { return Block(Device::KeyboardWired, 4) != 0; }, kDeviceWaitMs));

    // A colour typed in: seven colours off, the keyboard and the picture in red.
    ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 6));
    ASSERT_TRUE(TypeInto("deng_edit_R", "255"));
    ASSERT_TRUE(TypeInto("deng_edit_G", "0"));
    ASSERT_TRUE(TypeInto("deng_edit_B", "0"));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return Block(Device::KeyboardWired, 5) == 0 && Block(Device::KeyboardWired, 6) == 255 &&
                   Block(Device::KeyboardWired, 7) == 0 && Block(Device::KeyboardWired, 8) == 0;
        },
        kDeviceWaitMs));
    EXPECT_FALSE(IsSelected("deng_7color_check"));
    EXPECT_TRUE(WaitUntil([this] { return HueDistance(ShownColour("light_42"), qRgb(255, 0, 0)) < 20; },
                          kDeviceWaitMs))
        << "the picture does not show the red";
    EXPECT_EQ(StoredLight("keyboard")["Red"].asInt(), 255);
    EXPECT_EQ(StoredLight("keyboard")["MultiColor"].asInt(), 0);
}

TEST_F(KeyboardLightingJourney, PerKeyColoursPaintTheKeyTheDeviceAndTheGroup) {
    ASSERT_NO_FATAL_FAILURE(OpenLighting(Device::KeyboardWired));
    ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 20));
    ASSERT_TRUE(WaitUntil([&] { return Block(Device::KeyboardWired, 1) == 20; }, kDeviceWaitMs));
    ASSERT_TRUE(TypeInto("deng_edit_R", "0"));
    ASSERT_TRUE(TypeInto("deng_edit_G", "0"));
    ASSERT_TRUE(TypeInto("deng_edit_B", "255"));
    const int group = Block(Device::KeyboardWired, 25);
    ASSERT_TRUE(Click("light_42"));
    EXPECT_TRUE(WaitUntil([this] { return HueDistance(ShownColour("light_42"), qRgb(0, 0, 255)) < 20; },
                          kDeviceWaitMs))
        << "the clicked key does not show the colour";
    EXPECT_TRUE(IsDark(ShownColour("light_43")) || HueDistance(ShownColour("light_43"), qRgb(0, 0, 255)) > 20);
    // The keyboard's colour table of the group holds the blue (scaled by the key's brightness)
    // once, and the profile's custom colours of the group keep it.
    auto bluesOnDevice = [&] {
        const std::vector<uint8_t> colours = Devices().KeyColours(Device::KeyboardWired, size_t(group));
        int blue = 0;
        for (size_t i = 0; i + 2 < colours.size(); i += 3)
            blue += colours[i] == 0 && colours[i + 1] == 0 && colours[i + 2] >= 250;
        return blue;
    };
    EXPECT_TRUE(WaitUntil([&] { return bluesOnDevice() == 1; }, kDeviceWaitMs)) << bluesOnDevice();
    int bluesStored = 0;
    for (const auto& entry : fs::recursive_directory_iterator(DataFolder())) {
        if (entry.path().string().find("keyboard") == std::string::npos || !entry.is_regular_file()) continue;
        const Json::Value device = ReadJson(entry.path())["Device"][0];
        if (!device.isObject()) continue;
        const Json::Value& colours = device["CustomLightMode"]["LightColorInfo"][group];
        for (Json::ArrayIndex i = 0; colours.isArray() && i < colours.size(); ++i) {
            const Json::Value& c = colours[i];
            bluesStored += c["Red"].asInt() == 0 && c["Green"].asInt() == 0 && c["Blue"].asInt() == 255;
        }
    }
    EXPECT_EQ(bluesStored, 1) << "the profile's group does not keep the painted key";
    Screenshot("keyboard_per_key_colour.png");
}

TEST_F(KeyboardLightingJourney, MousepadEffectsLightItsPicture) {
    ASSERT_NO_FATAL_FAILURE(OpenLighting(Device::Mousepad));
    for (int mode : {6, 7, 2}) {
        SCOPED_TRACE("mousepad effect " + std::to_string(mode));
        ASSERT_TRUE(ChooseRow("light_combo_modeSelect", mode));
        EXPECT_TRUE(WaitUntil([&] { return Block(Device::Mousepad, 1) == mode; }, kDeviceWaitMs));
        EXPECT_EQ(StoredLight("MousePad")["SelectItem"].asInt(), mode);
        EXPECT_TRUE(WaitUntil([this] { return AnyLit({0, 3, 7, 11, 14}); }, kDeviceWaitMs)) << "dark";
    }
}

TEST_F(KeyboardLightingJourney, OneEffectForKeyboardMouseAndMousepadUntilTheMouseLeaves) {
    PlugAndWait(Device::MouseWired);
    PlugAndWait(Device::Mousepad);
    ASSERT_NO_FATAL_FAILURE(OpenLighting(Device::KeyboardWired));
    ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 5));
    ASSERT_TRUE(WaitUntil([this] { return Shown("deng_same_mode"); }, 1000)) << "no same-mode button";
    ASSERT_TRUE(Click("deng_same_mode"));
    // Each device runs its own breathing (keyboard 5, mouse 2, mousepad 2).
    EXPECT_TRUE(WaitUntil([&] { return Block(Device::KeyboardWired, 1) == 5; }, kDeviceWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return Block(Device::MouseWired, 1) == 2; }, kDeviceWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return Block(Device::Mousepad, 1) == 2; }, kDeviceWaitMs));
    EXPECT_EQ(StoredLight("MousePad")["SelectItem"].asInt(), 2);

    // The mousepad's page shows the shared effect, lit.
    ShowDevicePage(Device::Mousepad);
    if (!Shown("light_combo_modeSelect")) { ASSERT_TRUE(Click("deng_Op_tab")); }
    EXPECT_EQ(ModeCombo()->currentIndex(), 2);
    EXPECT_TRUE(WaitUntil([this] { return AnyLit({0, 7, 14}); }, kDeviceWaitMs));

    // The user changes the mouse's brightness: the mouse leaves, the others stay together.
    ShowDevicePage(Device::MouseWired);
    if (!Shown("light_combo_modeSelect")) { ASSERT_TRUE(Click("deng_Op_tab")); }
    ASSERT_TRUE(WaitUntil([this] { return Shown("deng_light_slider"); }, 1000));
    ASSERT_TRUE(DragSlider("deng_light_slider", 1));
    EXPECT_TRUE(WaitUntil([&] { return Block(Device::MouseWired, 2) == 1; }, kDeviceWaitMs));
    EXPECT_FALSE(Window().SyncPages().IsSynchronised(PageOf(Device::MouseWired)));
    EXPECT_TRUE(Window().SyncPages().IsSynchronised(PageOf(Device::KeyboardWired)));
    EXPECT_TRUE(Window().SyncPages().IsSynchronised(PageOf(Device::Mousepad)));
    Screenshot("lighting_sync_left_by_mouse.png");
}

}  // namespace
}  // namespace journeys


