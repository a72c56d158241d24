// Every field of a record that a profile stores comes back after a save and a reload. Each field
// gets a value of its own, none of them a default, so that a member written under one key and read
// under another, or written and never read, shows as a difference.

#include <gtest/gtest.h>

#include "TempDir.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"

using vx::profiles::CKeyboardProfiledata;
using vx::profiles::CMouseProfiledata;

namespace {

template <typename Data>
Data Reload(const std::filesystem::path& path) {
    Data data;
    data.SetProfilePath(path);
    data.LoadProfile(path);
    return data;
}

TEST(ProfileRecordRoundTrip, KeyboardRecordsComeBackWhole) {
    TempDir dir;
    const auto path = dir / "k.Json";
    CKeyboardProfiledata data;
    data.SetProfilePath(path);
    data.LoadProfile(path);

    const LightInfo light{9, 4, 3, 2, 1, 10, 20, 30, 0, 0, 0, 5, 6, 7};
    const AudioLightInfo audio{3, 11, 12, 13, 14, 15, 16, 1, 1};
    const KeyboardSystemStages stages{21, 22, 23, 24, 25, 26};
    data.SetLightInfo(light);
    data.SetAudioLightInfo(audio);
    data.SetKeyboardSystemStages(stages);
    data.SaveProfile();

    auto back = Reload<CKeyboardProfiledata>(path);
    EXPECT_EQ(back.GetLightInfo(), light);
    EXPECT_EQ(back.GetAudioLightInfo(), audio);
    EXPECT_EQ(back.GetKeyboardSystemStages(), stages);
}

TEST(ProfileRecordRoundTrip, MouseRecordsComeBackWhole) {
    TempDir dir;
    const auto path = dir / "m.Json";
    CMouseProfiledata data;
    data.SetProfilePath(path);
    data.LoadProfile(path);

    const std::vector<DpiStage> stages = {{1, 2, 0x0301, 0x0402, 5, 6, 7},
                                          {8, 9, 0x0A0B, 0x0C0D, 14, 15, 16}};
    const MouseSystemStages system{31, 32, 33, 34, 35, 36};
    data.SetDpiStages(stages);
    data.SetMouseSystemStages(system);
    data.SaveProfile();

    auto back = Reload<CMouseProfiledata>(path);
    EXPECT_EQ(back.GetDpiStages(), stages);
    EXPECT_EQ(back.GetMouseSystemStages(), system);
}

}  // namespace
