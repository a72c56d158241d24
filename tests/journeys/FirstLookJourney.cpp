// A new user plugs in a keyboard, finds its lighting and picks another effect: the window shows
// the choice, the keyboard runs it and the profile keeps it.

#include <QComboBox>

#include "support/JourneyFixture.h"

namespace fs = std::filesystem;

namespace journeys {
namespace {

class FirstLookJourney : public JourneyTest {
protected:
    // The profile files of every device, found the way a user would: the data folder's .json files.
    std::vector<fs::path> ProfileFiles() {
        std::vector<fs::path> files;
        if (!fs::exists(DataFolder())) return files;
        for (const auto& entry : fs::recursive_directory_iterator(DataFolder())) {
            if (entry.is_regular_file() && entry.path().extension() == ".json") files.push_back(entry.path());
        }
        return files;
    }

    // "SelectItem" of the light record of every profile file that has one.
    std::vector<int> StoredModes() {
        std::vector<int> modes;
        for (const fs::path& file : ProfileFiles()) {
            const Json::Value profile = ReadJson(file);
            const Json::Value& light = profile["Device"][0]["LightInfo"];
            if (light.isObject()) modes.push_back(light["SelectItem"].asInt());
        }
        return modes;
    }
};

TEST_F(FirstLookJourney, DISABLED_KeyboardEffectChosenOnTheLightingTabReachesDeviceAndProfile) {
    PlugAndWait(Device::KeyboardWired);
    ShowDevicePage(Device::KeyboardWired);
    ASSERT_TRUE(Click("deng_Op_tab"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("light_combo_modeSelect"); }, 1000))
        << "the lighting tab shows no effect list";

    const QStringList effects = ComboItems("light_combo_modeSelect");
    ASSERT_GE(effects.size(), 3);
    const QString before = ComboText("light_combo_modeSelect");
    const std::vector<uint8_t> blockBefore = Devices().ActiveConfigBlock(Device::KeyboardWired);
    const std::vector<int> modesBefore = StoredModes();

    const QString chosen = effects.at(before == effects.at(2) ? 3 : 2);
    ASSERT_TRUE(ChooseItem("light_combo_modeSelect", chosen));

    EXPECT_EQ(ComboText("light_combo_modeSelect"), chosen);
    EXPECT_TRUE(WaitUntil([&] { return Devices().ActiveConfigBlock(Device::KeyboardWired) != blockBefore; },
                          kDeviceWaitMs))
        << "the keyboard's settings block did not change";
    EXPECT_FALSE(Devices().Commands(Device::KeyboardWired).empty());
    const std::vector<int> modesAfter = StoredModes();
    ASSERT_FALSE(modesAfter.empty()) << "no profile file holds a light record";
    EXPECT_NE(modesAfter, modesBefore) << "the profile file did not keep the new effect";
    Screenshot("first_look_keyboard_effect.png");
}

}  // namespace
}  // namespace journeys
