// The headset's audio control on the in-memory library: what the user's actions write to the
// library, what reaches the profile file, and what the panels show afterwards.
#include <gtest/gtest.h>

#include "AudioTestSupport.h"
#include "headset/audio/EqPresets.h"
#include "headset/audio/HeadsetAudioControl.h"
#include "tests/profiles/TempDir.h"

namespace vx::headset::test {
namespace {

std::vector<int32_t> Gains(std::initializer_list<int32_t> g) { return g; }

class HeadsetAudioControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.LoadAudioLibraryFile(BuiltLibrary(AudioLibraryChoice::InMemory)));
        memory = std::make_unique<MemoryAudio>(library.Handle());
        ASSERT_TRUE(memory->Complete());
        memory->reset(1);
        WriteText(dir / "p.json", R"({"profilename":"p","Device":[{"SystemSetStages":{"EqType":3}}]})");
        profile.SetProfilePath(dir / "p.json");
        profile.LoadProfile(dir / "p.json");
        control = std::make_unique<HeadsetAudioControl>(library, profile, panels, panels, [this] {
            profile.SaveProfile();
            ++saves;
        });
        control->LoadProfileAudio();
        control->StartAudio(AudioLibraryChoice::InMemory);
        control->ShowAudioState();
        memory->clearWrites();
        saves = 0;
    }

    // The profile as a page that opens the file afresh sees it.
    CRu6533Profiledata Saved() {
        CRu6533Profiledata saved;
        saved.LoadProfile(dir / "p.json");
        return saved;
    }

    void SetSliders(std::initializer_list<int32_t> gains) {
        int band = 0;
        for (int32_t g : gains) panels.eqSliders[band++] = g;
    }

    TempDir dir;
    Notices notices;
    AudioLibrary library{&notices};
    std::unique_ptr<MemoryAudio> memory;
    CRu6533Profiledata profile;
    Panels panels;
    std::unique_ptr<HeadsetAudioControl> control;
    int saves = 0;
};

TEST_F(HeadsetAudioControlTest, LevelsAndMuteReachTheLibraryAndTheFileAndAFailedWriteStoresNothing) {
    EXPECT_EQ(panels.micSlider, 75);  // the library's level, shown at start
    panels.micSlider = 42;
    control->SetMicLevel();
    EXPECT_FLOAT_EQ(std::stof(memory->Value(2, "VolumeScalarControl")), 0.42f);
    EXPECT_EQ(Saved().GetSystemSetStages().micInValue, 42);

    control->ToggleMicMute();
    EXPECT_EQ(memory->Value(2, "MuteControl"), "1");
    EXPECT_FALSE(panels.micOn);
    EXPECT_EQ(Saved().GetSystemSetStages().micInSelect, 0);

    panels.monitorSlider = 30;
    control->SetMonitorLevel();
    control->ToggleMonitorMute();  // muted at start: now on
    EXPECT_EQ(memory->Value(2, "AAMuteControl"), "0");
    EXPECT_FLOAT_EQ(std::stof(memory->Value(2, "AAVolumeScalarControl")), 0.30f);
    EXPECT_EQ(Saved().GetSystemSetStages().micMoniterValue, 30);
    EXPECT_EQ(Saved().GetSystemSetStages().micMoniterSelect, 1);

    memory->setFailing(2, "VolumeScalarControl", 0, 1);
    memory->setFailing(2, "MuteControl", 0, 1);
    const int before = saves;
    panels.micSlider = 90;
    control->SetMicLevel();
    control->ToggleMicMute();
    EXPECT_EQ(saves, before);
    EXPECT_EQ(Saved().GetSystemSetStages().micInValue, 42);
    EXPECT_EQ(Saved().GetSystemSetStages().micInSelect, 0);
    // The switch and the mute state follow the user even though the write failed.
    EXPECT_TRUE(panels.micOn);
    EXPECT_FALSE(control->MicMuted());
}

TEST_F(HeadsetAudioControlTest, PresetWritesItsCurveAndTheProfileKeepsItsRow) {
    control->ApplyEqPreset(7);
    const auto names = memory->WrittenNames();
    ASSERT_EQ(names.size(), 11u);
    EXPECT_EQ(names[0], "Enable_EQ_GFX");
    EXPECT_EQ(names[1], "EQ_Slider1");
    EXPECT_EQ(names[10], "EQ_Slider10");
    EXPECT_EQ(memory->Value(1, "EQ_Slider1"), "14");
    EXPECT_EQ(memory->Value(1, "EQ_Slider5"), "-4");
    EXPECT_EQ(panels.preset, 7);
    EXPECT_FALSE(panels.eqSlidersEnabled);
    EXPECT_EQ(panels.eqSliders[9], 3);

    auto saved = Saved();
    EXPECT_EQ(saved.GetSystemSetStages().eqType, 7);
    EXPECT_EQ(saved.GetEqValues(7), Gains({14, 10, 4, 0, -4, -3, -1, 1, 2, 3}));

    // Preset 5 is flat: ten zeros written and stored.
    memory->clearWrites();
    control->ApplyEqPreset(5);
    for (const auto& w : memory->Writes()) {
        if (w.name != "Enable_EQ_GFX") {
            EXPECT_EQ(w.text, "0") << w.name;
        }
    }
    EXPECT_EQ(Saved().GetEqValues(5), std::vector<int32_t>(10, 0));

    // A page opened on the file shows the same curve.
    Panels other;
    HeadsetAudioControl reopened(library, saved, other, other, nullptr);
    saved = Saved();
    reopened.LoadProfileAudio();
    reopened.ShowAudioState();
    EXPECT_EQ(other.preset, 5);
    EXPECT_EQ(reopened.Bands(), (std::array<int32_t, 10>{}));

    memory->clearWrites();
    control->ApplyEqPreset(14);
    control->ApplyEqPreset(0);
    EXPECT_EQ(memory->writeCount(), 0);
}

TEST_F(HeadsetAudioControlTest, MovingABandSwitchesToCustomAndWritesOnlyThatBand) {
    control->ApplyEqPreset(3);
    panels.nameEdit = u"half typed";
    memory->clearWrites();
    const int before = saves;
    panels.eqSliders[4] = 9;
    control->SetEqBand(4);
    EXPECT_EQ(memory->WrittenNames(), std::vector<std::string>{"EQ_Slider5"});
    EXPECT_EQ(memory->Value(1, "EQ_Slider5"), "9");
    EXPECT_EQ(panels.preset, 13);
    EXPECT_EQ(panels.customIndex, -1);
    EXPECT_TRUE(panels.nameEdit.empty());
    EXPECT_TRUE(panels.eqSlidersEnabled);
    EXPECT_EQ(saves, before);
    EXPECT_EQ(Saved().GetSystemSetStages().eqType, 3);
}

TEST_F(HeadsetAudioControlTest, CustomEqualisersRoundTripThroughTheFileAndKeepTheirCurvesOnDelete) {
    control->ApplyEqPreset(3);
    SetSliders({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    panels.nameEdit = u"Bass";
    EXPECT_EQ(control->SaveCustomEq(), kCustomEqSaved);
    SetSliders({-1, -2, -3, -4, -5, -6, -7, -8, -9, -10});
    panels.nameEdit = u"Voice";
    EXPECT_EQ(control->SaveCustomEq(), kCustomEqSaved);
    SetSliders({0, 0, 0, 0, 0, 0, 0, 0, 0, 7});
    panels.nameEdit = u"Film";
    EXPECT_EQ(control->SaveCustomEq(), kCustomEqSaved);
    EXPECT_EQ(panels.customIndex, 2);
    EXPECT_TRUE(panels.nameEdit.empty());
    panels.nameEdit = u"vOICE";
    EXPECT_EQ(control->SaveCustomEq(), kCustomEqNameTaken);
    EXPECT_EQ(panels.customNames.size(), 3u);
    panels.nameEdit.clear();

    auto saved = Saved();
    EXPECT_EQ(saved.GetCustomEqNames(), (std::vector<std::u16string>{u"Bass", u"Voice", u"Film"}));
    EXPECT_EQ(saved.GetCustomEqValues(1), Gains({-1, -2, -3, -4, -5, -6, -7, -8, -9, -10}));
    EXPECT_EQ(saved.GetSystemSetStages().customEqSeletIndex, 2);
    EXPECT_EQ(saved.GetSystemSetStages().eqType, 3);  // saving changes no equaliser
    EXPECT_EQ(memory->Value(1, "EQ_Slider10"), "0");  // nor the headset

    // Choosing one while preset 3 is on writes its curve and keeps the preset number.
    memory->clearWrites();
    panels.customIndex = 0;
    control->ApplyCustomEq();
    EXPECT_EQ(memory->WrittenNames().front(), "Enable_EQ_GFX");
    EXPECT_EQ(memory->Value(1, "EQ_Slider10"), "10");
    EXPECT_EQ(panels.eqSliders[0], 1);
    EXPECT_EQ(Saved().GetSystemSetStages().customEqSeletIndex, 0);
    EXPECT_EQ(Saved().GetSystemSetStages().eqType, 3);

    // Saving without a name gives the selected one the sliders' curve.
    SetSliders({5, 5, 5, 5, 5, 5, 5, 5, 5, 5});
    EXPECT_EQ(control->SaveCustomEq(), kCustomEqSaved);
    EXPECT_EQ(Saved().GetCustomEqValues(0), std::vector<int32_t>(10, 5));

    // Deleting "Bass" moves the later curves up with their names.
    memory->clearWrites();
    panels.customIndex = 0;
    control->DeleteCustomEq();
    saved = Saved();
    EXPECT_EQ(saved.GetCustomEqNames(), (std::vector<std::u16string>{u"Voice", u"Film"}));
    EXPECT_EQ(saved.GetCustomEqValues(0), Gains({-1, -2, -3, -4, -5, -6, -7, -8, -9, -10}));
    EXPECT_EQ(saved.GetCustomEqValues(1), Gains({0, 0, 0, 0, 0, 0, 0, 0, 0, 7}));
    EXPECT_EQ(panels.customIndex, 0);
    EXPECT_EQ(panels.eqSliders[9], -10);
    EXPECT_EQ(memory->writeCount(), 0);

    // Deleting the last ones returns to preset 1, without touching the headset.
    panels.customIndex = -1;
    control->DeleteCustomEq();  // nothing selected: nothing happens
    EXPECT_EQ(Saved().GetCustomEqNames().size(), 2u);
    panels.customIndex = 1;
    control->DeleteCustomEq();
    panels.customIndex = 0;
    control->DeleteCustomEq();
    saved = Saved();
    EXPECT_TRUE(saved.GetCustomEqNames().empty());
    EXPECT_EQ(saved.GetSystemSetStages().eqType, 1);
    EXPECT_EQ(panels.preset, 1);
    EXPECT_FALSE(panels.eqSlidersEnabled);
    EXPECT_EQ(memory->writeCount(), 0);
    EXPECT_EQ(control->CustomNames().size(), 0u);
}

TEST_F(HeadsetAudioControlTest, TwentyNamesAtMostAndAnEmptyNameNeedsASelection) {
    panels.nameEdit.clear();
    EXPECT_EQ(control->SaveCustomEq(), kCustomEqRefused);
    for (int i = 0; i < kMaxCustomEqs; ++i) {
        const std::string name = "eq" + std::to_string(i);
        panels.nameEdit = std::u16string(name.begin(), name.end());
        ASSERT_EQ(control->SaveCustomEq(), kCustomEqSaved) << i;
    }
    panels.nameEdit = u"one more";
    EXPECT_EQ(control->SaveCustomEq(), kCustomEqRefused);
    EXPECT_EQ(Saved().GetCustomEqNames().size(), 20u);
}

TEST_F(HeadsetAudioControlTest, VoiceEffectSwitchAndSelection) {
    panels.effectOn = true;
    control->ToggleVoiceEffect();
    EXPECT_EQ(memory->WrittenNames(), (std::vector<std::string>{"Enable_MAGICVOICE", "Enable_MICECHO"}));
    EXPECT_EQ(memory->Value(2, "Enable_MAGICVOICE"), "1");
    EXPECT_TRUE(panels.effectOptionsEnabled);
    control->SelectVoiceEffect(3);
    EXPECT_EQ(memory->Value(2, "MagicVoice_Selection"), "2");
    EXPECT_EQ(panels.effect, 3);
    auto stages = Saved().GetSystemSetStages();
    EXPECT_EQ(stages.magicEnable, 1);
    EXPECT_EQ(stages.magicType, 3);

    memory->clearWrites();
    control->SelectVoiceEffect(0);
    EXPECT_EQ(memory->writeCount(), 0);
    panels.effectOn = false;
    control->ToggleVoiceEffect();
    EXPECT_EQ(memory->WrittenNames(), std::vector<std::string>{"Enable_MAGICVOICE"});
    EXPECT_FALSE(panels.effectOptionsEnabled);
    EXPECT_EQ(Saved().GetSystemSetStages().magicEnable, 0);
}

TEST(HeadsetAudioWithoutLibrary, LevelsStoreNothingButTheEqualiserStillReachesTheProfile) {
    TempDir dir;
    WriteText(dir / "p.json", R"({"Device":[{"SystemSetStages":{"MicInValue":33,"EqType":2}}]})");
    CRu6533Profiledata profile;
    profile.SetProfilePath(dir / "p.json");
        profile.LoadProfile(dir / "p.json");
    Notices notices;
    AudioLibrary library(&notices);
    Panels panels;
    int saves = 0;
    HeadsetAudioControl control(library, profile, panels, panels, [&] {
        profile.SaveProfile();
        ++saves;
    });
    control.LoadProfileAudio();
    control.StartAudio(AudioLibraryChoice::InMemory);  // not beside the test program
    EXPECT_FALSE(library.IsLoaded());
    control.ShowAudioState();
    EXPECT_EQ(panels.micSlider, 33);  // what the profile holds
    panels.micSlider = 80;
    control.SetMicLevel();
    EXPECT_EQ(saves, 0);
    control.ApplyEqPreset(4);
    EXPECT_EQ(saves, 1);
    CRu6533Profiledata saved;
    saved.LoadProfile(dir / "p.json");
    EXPECT_EQ(saved.GetSystemSetStages().eqType, 4);
    EXPECT_EQ(saved.GetSystemSetStages().micInValue, 33);
    EXPECT_TRUE(notices.shown.empty());
}

}  // namespace
}  // namespace vx::headset::test
