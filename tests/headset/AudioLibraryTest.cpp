// The binding against the in-memory library: loading and a missing library, the endpoint
// selection, the feature list, the start-up probe and the reads of the audio state.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <fstream>

#include "AudioTestSupport.h"
#include "headset/audio/HeadsetAudioControl.h"
#include "tests/profiles/TempDir.h"

namespace vx::headset::test {
namespace {

class MemoryLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.LoadAudioLibraryFile(BuiltLibrary(AudioLibraryChoice::InMemory)));
        memory = std::make_unique<MemoryAudio>(library.Handle());
        ASSERT_TRUE(memory->Complete());
        memory->reset(0);
    }

    void Start() {
        ASSERT_EQ(library.ConfLibInit(), 0);
        library.CreateDeviceList();
        ASSERT_GT(library.GetDeviceCount(kDirectionOutput), 0u);
        library.SelectEndpoints();
    }

    Notices notices;
    AudioLibrary library{&notices};
    std::unique_ptr<MemoryAudio> memory;
};

TEST(AudioLibraryLoading, MissingOrBrokenLibraryLoadsNothingAndEveryCallFails) {
    TempDir dir;
    Notices notices;
    AudioLibrary library(&notices);
    EXPECT_FALSE(library.LoadAudioLibraryFile(dir / "libvxconf-memory.so"));
    WriteText(dir / "libvxconf-pulse.so", "not a shared object");
    EXPECT_FALSE(library.LoadAudioLibraryFile(dir / "libvxconf-pulse.so"));
    // The test program's own folder holds no library, and no install lies above it.
    EXPECT_FALSE(library.LoadAudioLibrary(AudioLibraryChoice::InMemory));
    EXPECT_FALSE(library.IsLoaded());

    EXPECT_NE(library.ConfLibInit(), 0);
    EXPECT_EQ(library.GetDeviceCount(kDirectionOutput), 0u);
    library.SelectEndpoints();
    library.RunStartupProbe();
    EXPECT_FALSE(library.GetIntProperty(AudioProperty::MuteControl));
    EXPECT_FALSE(library.SetScalarProperty(AudioProperty::VolumeScalarControl, 0.5f));
    EXPECT_TRUE(notices.shown.empty());
}

TEST(AudioLibraryLoading, FromTheInstalledLibraryFolderFirstThenBesideTheProgram) {
    const auto folders = AudioLibraryFolders("/usr/bin");
    EXPECT_EQ(folders[0], std::filesystem::path("/usr/lib/vexor-umbrel"));
    EXPECT_EQ(folders[1], std::filesystem::path("/usr/bin"));

    // The build tree: the libraries lie next to the program.
    Notices notices;
    AudioLibrary built(&notices);
    EXPECT_TRUE(built.LoadAudioLibraryBeside(std::filesystem::path(VX_BINARY_DIR) / "src/app", AudioLibraryChoice::InMemory));

    // An installed prefix whose bin folder holds only the program: found under lib/vexor-umbrel.
    TempDir prefix;
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "lib/vexor-umbrel");
    std::filesystem::copy_file(BuiltLibrary(AudioLibraryChoice::InMemory),
                               prefix / "lib/vexor-umbrel/libvxconf-memory.so");
    AudioLibrary installed(&notices);
    EXPECT_FALSE(installed.LoadAudioLibraryBeside(prefix / "bin", AudioLibraryChoice::SoundServer));
    EXPECT_TRUE(installed.LoadAudioLibraryBeside(prefix / "bin", AudioLibraryChoice::InMemory));
    Dl_info info{};
    ASSERT_NE(dladdr(dlsym(installed.Handle(), "PropertyControl"), &info), 0);
    EXPECT_EQ(std::filesystem::path(info.dli_fname), prefix / "lib/vexor-umbrel/libvxconf-memory.so");
}

TEST_F(MemoryLibraryTest, RenderEndpointByTypeOrderAndActiveStateCaptureByTypeOnly) {
    memory->addEndpoint(kDirectionOutput, 10, 4, 1);
    memory->addEndpoint(kDirectionOutput, 11, 1, 0);  // headphones, but not active
    memory->addEndpoint(kDirectionOutput, 12, 12, 1);
    memory->addEndpoint(kDirectionOutput, 13, 1, 1);
    memory->addEndpoint(kDirectionInput, 20, 3, 1);
    memory->addEndpoint(kDirectionInput, 21, 2, 0);  // the state of an input is not looked at
    memory->addEndpoint(kDirectionInput, 22, 2, 1);
    Start();
    EXPECT_EQ(library.Render().record.id, 13);
    EXPECT_EQ(library.Capture().record.id, 21);
}

TEST_F(MemoryLibraryTest, InactiveHeadphonesAreSkippedForTheNextTypeAndNoMatchLeavesTheEndpointZeroed) {
    memory->addEndpoint(kDirectionOutput, 10, 4, 1);
    memory->addEndpoint(kDirectionOutput, 11, 1, 0);
    memory->addEndpoint(kDirectionOutput, 12, 7, 1);
    Start();
    EXPECT_EQ(library.Render().record.id, 12);  // digital before any other output
    EXPECT_EQ(library.Capture().record.type, 0);

    AudioLibrary other(&notices);
    ASSERT_TRUE(other.LoadAudioLibraryFile(BuiltLibrary(AudioLibraryChoice::InMemory)));
    memory->reset(0);
    memory->addEndpoint(kDirectionOutput, 10, 1, 0);
    memory->addEndpoint(kDirectionOutput, 11, 5, 1);
    other.CreateDeviceList();
    other.SelectEndpoints();
    EXPECT_EQ(other.Render().record.id, 0);
    EXPECT_EQ(other.Render().record.type, 0);
}

TEST_F(MemoryLibraryTest, FeatureListNeedsSevenItemsAndTakesItemsZeroFourAndSix) {
    memory->addEndpoint(kDirectionOutput, 1, 1, 1);
    memory->addEndpoint(kDirectionInput, 2, 2, 1);
    memory->setValue(1, "GetSupportFeature", "5,6,7,8,9,10");
    memory->setValue(2, "GetSupportFeature", "131072,1,2,3,44,5,-66,7");
    Start();
    EXPECT_EQ(notices.shown, std::vector<std::string>{"UpdateAPOAvailable failed!"});
    EXPECT_EQ(library.Render().features, (std::array<int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(library.Capture().features, (std::array<int32_t, 3>{131072, 44, -66}));
}

TEST_F(MemoryLibraryTest, ProbeWritesZeroIntoEveryUnreadablePropertyWithItsParameter) {
    memory->reset(1);
    memory->setFailing(1, "EQ_Slider4", 1, 0);
    memory->setValue(1, "EQ_Slider7", "5");
    Start();
    memory->clearWrites();
    library.RunStartupProbe();

    std::map<std::string, MemoryAudio::Written> written;
    for (const auto& w : memory->Writes()) written[w.name] = w;
    // Readable in the default headset: never written.
    for (const char* name : {"MuteControl", "VolumeScalarControl", "AAMuteControl", "AAVolumeScalarControl", "EQ_Slider7"}) {
        EXPECT_EQ(written.count(name), 0u) << name;
    }
    EXPECT_EQ(memory->Value(2, "VolumeScalarControl"), "0.75");
    // Unreadable: written once as 0, on the right endpoint, with the right parameter.
    struct Expected {
        const char* name;
        int32_t endpoint;
        int32_t parameter;  // INT32_MIN: no parameter buffer
    };
    const Expected expected[] = {
        {"VolumeControl", 2, -1}, {"AAVolumeControl", 2, 0}, {"Enable_MAGICVOICE", 2, INT32_MIN},
        {"MagicVoice_Selection", 2, INT32_MIN}, {"Enable_ENC_LFX", 2, INT32_MIN}, {"Enable_EQ_GFX", 1, INT32_MIN},
        {"EQ_Slider1", 1, INT32_MIN}, {"EQ_Slider4", 1, INT32_MIN}, {"EQ_Slider10", 1, INT32_MIN},
        {"Enable_RFX_GFX", 1, INT32_MIN}, {"RFX_ENVIRONMENT", 1, INT32_MIN}, {"RFX_ROOMSIZE", 1, INT32_MIN},
        {"VirtualSurroundEffectControl", 1, 4},
    };
    for (const auto& e : expected) {
        ASSERT_EQ(written.count(e.name), 1u) << e.name;
        EXPECT_EQ(written[e.name].text, "0") << e.name;
        EXPECT_EQ(written[e.name].endpoint, e.endpoint) << e.name;
        EXPECT_EQ(written[e.name].parameter, e.parameter) << e.name;
    }
    EXPECT_EQ(memory->writeCount(), 19);  // 5 capture and 14 render properties, each once
    EXPECT_EQ(memory->Value(2, "Enable_MAGICVOICE"), "0");
}

// The audio state read at start: levels truncated in single precision, the voice-effect switch
// only with its feature bit, monitoring only where the endpoint has it.
class AudioStateTest : public MemoryLibraryTest {
protected:
    void SetUp() override {
        MemoryLibraryTest::SetUp();
        memory->reset(1);
        WriteText(dir / "p.json", R"({"Device":[{"SystemSetStages":{"MagicEnable":0,"MagicType":4,"EqType":2,
            "MicInSelect":1,"MicInValue":10,"MicMoniterSelect":1,"MicMoniterValue":66}}]})");
        profile.SetProfilePath(dir / "p.json");
        profile.LoadProfile(dir / "p.json");
    }
    HeadsetAudioControl Control() {
        HeadsetAudioControl control(library, profile, panels, panels, [this] { ++saves; });
        control.LoadProfileAudio();
        return control;
    }

    TempDir dir;
    CRu6533Profiledata profile;
    Panels panels;
    int saves = 0;
};

TEST_F(AudioStateTest, LevelsAreTruncatedAndTheVoiceEffectNeedsItsFeatureBit) {
    memory->setValue(2, "VolumeScalarControl", "0.999");
    memory->setValue(2, "AAVolumeScalarControl", "0.295");
    memory->setValue(2, "AAMuteControl", "0");
    memory->setValue(2, "MuteControl", "1");
    memory->setValue(2, "GetSupportFeature", "0,0,0,0,0,0,0");  // no voice-effect bit
    memory->setValue(2, "Enable_MAGICVOICE", "1");
    memory->setValue(2, "MagicVoice_Selection", "2");
    auto control = Control();
    control.StartAudio(AudioLibraryChoice::InMemory);
    EXPECT_EQ(control.Stages().micInValue, 99);
    EXPECT_EQ(control.Stages().micInSelect, 0);
    EXPECT_TRUE(control.MicMuted());
    EXPECT_EQ(control.Stages().micMoniterValue, 29);
    EXPECT_EQ(control.Stages().micMoniterSelect, 1);
    EXPECT_EQ(control.Stages().magicEnable, 0);  // the profile's value: the read counts as failed
    EXPECT_EQ(control.Stages().magicType, 3);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(saves, 0);  // reading stores nothing
}

TEST_F(AudioStateTest, WithoutMonitoringTheProfileValuesStayAndAFailedInitIsShownButStartGoesOn) {
    memory->setInitResult(3);
    memory->setFailing(2, "GetAAMaxVol", 1, 1);
    memory->setValue(2, "AAVolumeScalarControl", "0.1");
    memory->setValue(2, "Enable_MAGICVOICE", "1");
    auto control = Control();
    control.StartAudio(AudioLibraryChoice::InMemory);
    EXPECT_EQ(notices.shown, std::vector<std::string>{"ConfLibInit called failed!"});
    EXPECT_EQ(control.Stages().micMoniterValue, 66);
    EXPECT_EQ(control.Stages().micMoniterSelect, 1);
    EXPECT_EQ(control.Stages().micInValue, 75);
    EXPECT_EQ(control.Stages().magicEnable, 1);
    EXPECT_EQ(library.Render().record.id, 1);
}

TEST_F(AudioStateTest, NoOutputEndpointMeansNothingIsSelectedProbedOrRead) {
    memory->reset(0);
    memory->addEndpoint(kDirectionInput, 2, 2, 1);
    memory->setValue(2, "VolumeScalarControl", "0.5");
    auto control = Control();
    control.StartAudio(AudioLibraryChoice::InMemory);
    EXPECT_EQ(library.Capture().record.id, 0);
    EXPECT_EQ(memory->writeCount(), 0);
    EXPECT_EQ(control.Stages().micInValue, 10);
}

}  // namespace
}  // namespace vx::headset::test
