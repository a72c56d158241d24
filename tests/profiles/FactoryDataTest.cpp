// The shipped factory data: every file parses, survives load and save unchanged, and agrees with
// the device tables (key functions, light modes, LED counts, equaliser presets).

#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "TempDir.h"
#include "profiles/AudioFile.h"
#include "profiles/FactoryKeyFunctions.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/LightNameTables.h"
#include "profiles/MacroFiles.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/Ru6533Profiledata.h"

namespace fs = std::filesystem;

namespace {

const fs::path kDefaultData = fs::path(VX_SOURCE_DIR) / "DefaultData";

const char* const kShippedFiles[] = {
    "keyboard.Json",      "mouse.Json",        "MousePad.Json",     "HD.Json",
    "default_light.json", "AudioFile.json",    "Language.config",   "color_option_info.config",
    "ShootData_0.Shoot",  "ShootData_1.Shoot", "ShootData_2.Shoot", "ShootData_3.Shoot"};

Json::Value Read(const std::string& name) {
    return JsonFile().ReadJson(kDefaultData / name);
}

// Copies a factory profile into a temporary profile file and loads it.
template <typename Data>
void LoadCopy(Data& data, const TempDir& dir, const std::string& factory) {
    fs::copy_file(kDefaultData / factory, dir / "p.Json");
    data.SetDefaultPath(kDefaultData / factory);
    data.SetProfilePath(dir / "p.Json");
    data.LoadProfile(dir / "p.Json");
}

// Reads every record the base class knows and writes it back.
void RoundTripBase(CBasicProfiledata& data) {
    data.SetLightInfo(data.GetLightInfo());
    data.SetAudioLightInfo(data.GetAudioLightInfo());
    data.GetLightList();
    data.SetKeyList(data.GetKeyList());
}

}  // namespace

TEST(FactoryData, EveryShippedFileIsInTheWritersOwnForm) {
    for (const char* name : kShippedFiles) {
        SCOPED_TRACE(name);
        const Json::Value value = Read(name);
        ASSERT_TRUE(value.isObject());
        EXPECT_EQ(JsonFile::StyledText(value), ReadText(kDefaultData / name));
    }
}

TEST(FactoryData, KeyboardProfileSurvivesLoadAndSave) {
    TempDir dir;
    CKeyboardProfiledata data;
    LoadCopy(data, dir, "keyboard.Json");
    RoundTripBase(data);
    data.SetKeyboardSystemStages(data.GetKeyboardSystemStages());
    const int32_t group = data.GetCustomGroupIndex();
    data.SetCustomGroupIndex(group);
    data.SetCustomLightColors(data.GetCustomLightColors(group, kKeyboardLogicalKeys), group);
    data.SaveProfile();
    EXPECT_EQ(ReadText(dir / "p.Json"), ReadText(kDefaultData / "keyboard.Json"));
}

TEST(FactoryData, MouseProfileSurvivesLoadAndSave) {
    TempDir dir;
    CMouseProfiledata data;
    LoadCopy(data, dir, "mouse.Json");
    RoundTripBase(data);
    data.SetDpiStages(data.GetDpiStages());
    data.SetActiveStage(data.GetActiveStage());
    data.SetMouseSystemStages(data.GetMouseSystemStages());
    data.GetCorrectInfo();
    data.SaveProfile();
    EXPECT_EQ(ReadText(dir / "p.Json"), ReadText(kDefaultData / "mouse.Json"));
}

TEST(FactoryData, MousepadAndHeadsetProfilesSurviveLoadAndSave) {
    {
        TempDir dir;
        CBasicProfiledata data;
        LoadCopy(data, dir, "MousePad.Json");
        RoundTripBase(data);
        data.SaveProfile();
        EXPECT_EQ(ReadText(dir / "p.Json"), ReadText(kDefaultData / "MousePad.Json"));
    }
    TempDir dir;
    CRu6533Profiledata data;
    LoadCopy(data, dir, "HD.Json");
    RoundTripBase(data);
    data.SetSystemSetStages(data.GetSystemSetStages());
    for (int32_t preset = 1; preset <= 12; ++preset) data.SetEqValues(preset, data.GetEqValues(preset));
    const auto names = data.GetCustomEqNames();
    for (size_t k = 0; k < names.size(); ++k)
        data.SetCustomEqValues(int32_t(k), data.GetCustomEqValues(int32_t(k)));
    data.SetCustomEqNames(names);
    data.SaveProfile();
    EXPECT_EQ(ReadText(dir / "p.Json"), ReadText(kDefaultData / "HD.Json"));
}

TEST(FactoryData, KeyListsHoldTheFactoryKeyFunctions) {
    CKeyboardProfiledata keyboard;
    keyboard.SetDefaultPath(kDefaultData / "keyboard.Json");
    keyboard.LoadProfile(kDefaultData / "keyboard.Json");
    const auto keys = keyboard.GetKeyList();
    ASSERT_EQ(keys.size(), kKeyboardLogicalKeys);
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].defaults.Code(), kKeyboardFactoryKeys[i].Code()) << "key " << i;
        EXPECT_EQ(keys[i].current, keys[i].defaults) << "key " << i;
    }
    EXPECT_EQ(kKeyboardFactoryKeys[kKeyboardFnKey].Code(), 0xA00100u);
    EXPECT_EQ(kKeyboardFactoryKeys[0].Code(), 0x200029u);    // Esc
    EXPECT_EQ(kKeyboardFactoryKeys[125].Code(), 0x208000u);  // right Win

    CMouseProfiledata mouse;
    mouse.LoadProfile(kDefaultData / "mouse.Json");
    const auto buttons = mouse.GetKeyList();
    ASSERT_EQ(buttons.size(), kMouseLogicalButtons);
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].defaults.Code(), kMouseFactoryButtons[i].Code()) << "button " << i;
    }
    for (const char* name : {"MousePad.Json", "HD.Json"}) {
        CBasicProfiledata data;
        data.LoadProfile(kDefaultData / name);
        EXPECT_TRUE(data.GetKeyList().empty()) << name;
    }
}

TEST(FactoryData, EveryShowableLightModeHasANameAndACode) {
    // Light-table index, factory profile, modes a page can show, LED count.
    struct Device {
        int32_t table;
        const char* profile;
        size_t modes;
        size_t leds;
    };
    const Device devices[] = {{0, "keyboard.Json", 32, 170},
                              {1, "mouse.Json", 12, 15},
                              {2, "MousePad.Json", 9, 15},
                              {3, "HD.Json", 9, 13}};
    for (const Device& d : devices) {
        SCOPED_TRACE(d.profile);
        LightNameTables tables;
        ASSERT_TRUE(tables.LoadDefaultLightNames(kDefaultData / "default_light.json", d.table));
        ASSERT_EQ(tables.ModeNames().size(), d.modes);
        ASSERT_EQ(tables.ModeCodes().size(), d.modes);
        std::set<uint8_t> codes(tables.ModeCodes().begin(), tables.ModeCodes().end());
        EXPECT_EQ(codes.size(), d.modes);  // unique, so a code read from the device maps back
        for (size_t i = 0; i < d.modes; ++i) {
            EXPECT_FALSE(tables.ModeNames()[i].empty());
            EXPECT_EQ(tables.ModeOfCode(tables.ModeCodes()[i]), int32_t(i));
        }
        CBasicProfiledata data;
        data.LoadProfile(kDefaultData / d.profile);
        const LightInfo light = data.GetLightInfo();
        ASSERT_LT(light.selectItem, d.modes);
        EXPECT_TRUE(tables.ModeVisible()[light.selectItem]);
        EXPECT_LE(light.light, 4);
        EXPECT_LE(light.speed, 4);
        EXPECT_EQ(data.GetLightList().size(), d.leds);
        for (const auto& entry : data.GetLightList()) EXPECT_EQ(entry.present, 0);
    }
    // The modes of the same-mode classes are offered on every device.
    LightNameTables keyboard;
    keyboard.LoadDefaultLightNames(kDefaultData / "default_light.json", 0);
    for (int mode : {5, 6, 23, 4, 28}) EXPECT_TRUE(keyboard.ModeVisible()[mode]) << mode;
    EXPECT_EQ(keyboard.CodeOfMode(40, 31), keyboard.ModeCodes()[0]);
}

TEST(FactoryData, DeviceSettingsAreInRange) {
    CKeyboardProfiledata keyboard;
    keyboard.LoadProfile(kDefaultData / "keyboard.Json");
    const auto k = keyboard.GetKeyboardSystemStages();
    EXPECT_LE(k.pollingRate, 3);
    EXPECT_LE(k.repeatDelay, 3);
    EXPECT_EQ(keyboard.GetCustomLightColors(keyboard.GetCustomGroupIndex(), kKeyboardLogicalKeys).size(),
              kKeyboardLogicalKeys);

    CMouseProfiledata mouse;
    mouse.LoadProfile(kDefaultData / "mouse.Json");
    ASSERT_EQ(mouse.GetDpiStages().size(), 5u);
    EXPECT_LT(mouse.GetActiveStage(), 5);
    EXPECT_LE(mouse.GetMouseSystemStages().reportStage, 4);
    const auto presets = mouse.GetCorrectInfo();
    ASSERT_FALSE(presets.empty());
    EXPECT_EQ(presets[0].select, 1);

    CRu6533Profiledata headset;
    headset.LoadProfile(kDefaultData / "HD.Json");
    EXPECT_EQ(headset.GetEqValues(1), (std::vector<int32_t>{7, 11, 2, -3, -1, 4, 9, 12, 9, 5}));
    EXPECT_EQ(headset.GetEqValues(12), (std::vector<int32_t>{2, 1, -2, -4, -8, 4, 12, 16, 18, 15}));
    const auto s = headset.GetSystemSetStages();
    EXPECT_GE(s.eqType, 0);
    EXPECT_LE(s.eqType, 13);
    EXPECT_LE(s.micInValue, 100);
}

TEST(FactoryData, AudioFileIsCopiedToTheUserAndRoundTrips) {
    TempDir dir;
    AudioFile audio(dir / "AudioFile.json", kDefaultData / "AudioFile.json");
    Json::Value device = audio.LoadDevice();
    EXPECT_EQ(ReadText(dir / "AudioFile.json"), ReadText(kDefaultData / "AudioFile.json"));
    AudioStyles styles = AudioFile::ReadStyles(device);
    EXPECT_FALSE(styles.names[0].empty());
    styles.selected = 2;
    styles.names[3] = u"Sp\u00e4t";
    styles.colours[11] = 77;
    AudioFile::WriteStyles(device, styles);
    audio.SaveDevice(device);
    EXPECT_EQ(AudioFile::ReadStyles(audio.LoadDevice()), styles);
    EXPECT_EQ(AudioFile::ReadStyles(Json::Value()), AudioStyles{});
}

TEST(FactoryData, SharedDefaultsHaveTheirMembers) {
    const Json::Value languages = Read("Language.config")["Language"];
    ASSERT_GE(languages.size(), 1u);
    for (const auto& entry : languages) {
        EXPECT_TRUE(entry["Language_ID"].isInt());
        EXPECT_TRUE(entry["Language_name"].isString());
        EXPECT_TRUE(entry["Language_file"].isString());
        EXPECT_TRUE(entry["Language_text"].isString());
    }
    const Json::Value colours = Read("color_option_info.config")["coloroptioninfo"];
    const std::regex hex("[0-9A-F]{8}");
    ASSERT_EQ(colours["palletDialogcoloroption"].size(), 20u);
    ASSERT_EQ(colours["palletDialogcollectcoloroption"].size(), 20u);
    for (const auto& c : colours["palletDialogcoloroption"])
        EXPECT_TRUE(std::regex_match(c["color"].asString(), hex));
    for (int gun = 0; gun < 4; ++gun) {
        const Json::Value events = Read("ShootData_" + std::to_string(gun) + ".Shoot")["Events"];
        ASSERT_EQ(events.size(), 180u);
        for (Json::ArrayIndex b = 0; b < 30; ++b) {
            EXPECT_EQ(MacroFiles::Pack(MacroFiles::EventFromJson(events[6 * b])),
                      (std::array<uint8_t, 4>{10, 0, 0x81, 1}));
            EXPECT_EQ(events[6 * b + 3]["Type"].asInt(), 5);
            EXPECT_TRUE(events[6 * b + 3]["Delay"].isInt());
        }
    }
}
