// The PulseAudio library through the binding and the headset's audio control, against a private
// server: what the user's actions change on the server, read back through the client API.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "AudioTestSupport.h"
#include "PulseServer.h"
#include "headset/audio/HeadsetAudioControl.h"

namespace vx::headset::test {
namespace {

bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class PulseAudioLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string why = server.Start();
        if (why == "pulseaudio is not installed") GTEST_SKIP() << "pulseaudio is not installed: no server to test against";
        ASSERT_TRUE(why.empty()) << why;
        client = std::make_unique<PulseClient>();
        ASSERT_TRUE(client->Ready());
        ASSERT_TRUE(library.LoadAudioLibraryFile(BuiltLibrary(AudioLibraryChoice::SoundServer)));
        WriteText(dir / "p.json", R"({"Device":[{"SystemSetStages":{"MicMoniterValue":66}}]})");
        profile.SetProfilePath(dir / "p.json");
        profile.LoadProfile(dir / "p.json");
        control = std::make_unique<HeadsetAudioControl>(library, profile, panels, panels, [this] { profile.SaveProfile(); });
        control->LoadProfileAudio();
        control->StartAudio(AudioLibraryChoice::SoundServer);
        control->ShowAudioState();
    }

    CRu6533Profiledata Saved() {
        CRu6533Profiledata saved;
        saved.LoadProfile(dir / "p.json");
        return saved;
    }

    PulseServer server;
    TempDir dir;
    Notices notices;
    AudioLibrary library{&notices};
    CRu6533Profiledata profile;
    Panels panels;
    std::unique_ptr<HeadsetAudioControl> control;
    std::unique_ptr<PulseClient> client;
};

TEST_F(PulseAudioLibraryTest, EndpointsAreTheNullSinkAndTheSourceNotTheMonitor) {
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(library.Render().record.type, kEndpointOtherOutput);
    EXPECT_EQ(library.Render().record.state, kEndpointActive);
    EXPECT_EQ(library.Capture().record.type, kEndpointMicrophone);
    // Voice effects are not offered, so the switch's read counts as failed.
    EXPECT_EQ(library.Capture().features[0] & kFeatureVoiceEffect, 0);
    EXPECT_FALSE(library.SetIntProperty(AudioProperty::EnableMagicVoice, 1));
    EXPECT_FALSE(library.GetIntProperty(AudioProperty::MagicVoiceSelection));
    // Monitoring is off at start (no loopback), at the loopback's own unity level.
    EXPECT_EQ(control->Stages().micMoniterSelect, 0);
    EXPECT_EQ(control->Stages().micMoniterValue, 100);
}

TEST_F(PulseAudioLibraryTest, MicrophoneLevelAndMuteChangeTheServersSource) {
    auto source = client->SourceInfo(PulseServer::kSource);
    ASSERT_TRUE(source);
    EXPECT_EQ(control->Stages().micInValue, 100);  // the null source starts at 100 %
    EXPECT_EQ(source->mute, 0);

    panels.micSlider = 42;
    control->SetMicLevel();
    source = client->SourceInfo(PulseServer::kSource);
    ASSERT_TRUE(source);
    ASSERT_EQ(source->volume.channels, 2);
    for (int c = 0; c < 2; ++c) EXPECT_NEAR(source->volume.values[c], 0.42 * PA_VOLUME_NORM, 1.0) << c;
    EXPECT_EQ(Saved().GetSystemSetStages().micInValue, 42);

    control->ToggleMicMute();
    EXPECT_EQ(client->SourceInfo(PulseServer::kSource)->mute, 1);
    EXPECT_EQ(Saved().GetSystemSetStages().micInSelect, 0);
    control->ToggleMicMute();
    EXPECT_EQ(client->SourceInfo(PulseServer::kSource)->mute, 0);

    // A change made elsewhere (the desktop's mixer) is what the page reads next.
    client->SetSourceVolume(PulseServer::kSource, 0.25);
    control->ReadAudioState();
    EXPECT_EQ(control->Stages().micInValue, 25);
}

TEST_F(PulseAudioLibraryTest, MonitoringCreatesAndRemovesTheLoopback) {
    EXPECT_TRUE(client->Modules("module-loopback").empty());
    control->ToggleMonitorMute();  // on
    auto loopbacks = client->Modules("module-loopback");
    ASSERT_EQ(loopbacks.size(), 1u);
    EXPECT_NE(loopbacks[0].argument.find(std::string("source=") + PulseServer::kSource), std::string::npos);
    EXPECT_NE(loopbacks[0].argument.find(std::string("sink=") + PulseServer::kSink), std::string::npos);
    EXPECT_EQ(Saved().GetSystemSetStages().micMoniterSelect, 1);

    panels.monitorSlider = 30;
    control->SetMonitorLevel();
    const auto volume = client->ModuleInputVolume(loopbacks[0].index);
    ASSERT_TRUE(volume);
    EXPECT_NEAR(*volume, 0.30 * PA_VOLUME_NORM, 1.0);
    EXPECT_EQ(Saved().GetSystemSetStages().micMoniterValue, 30);

    control->ToggleMonitorMute();  // off
    EXPECT_TRUE(client->Modules("module-loopback").empty());
    EXPECT_EQ(Saved().GetSystemSetStages().micMoniterSelect, 0);

    // On again: the loopback comes back at the level the user set.
    control->ToggleMonitorMute();
    loopbacks = client->Modules("module-loopback");
    ASSERT_EQ(loopbacks.size(), 1u);
    EXPECT_NEAR(client->ModuleInputVolume(loopbacks[0].index).value_or(0), 0.30 * PA_VOLUME_NORM, 1.0);
    control->ReadAudioState();
    EXPECT_EQ(control->Stages().micMoniterValue, 30);
    EXPECT_EQ(control->Stages().micMoniterSelect, 1);
}

TEST_F(PulseAudioLibraryTest, AHungServerCostsEachCallItsTimeOutAndNoMore) {
    server.Freeze();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(library.GetIntProperty(AudioProperty::MuteControl));
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_GE(spent, std::chrono::milliseconds(900));
    EXPECT_LT(spent, std::chrono::milliseconds(2500));
    std::printf("a call to the hung server failed after %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count()));

    // The calls right after fail at once instead of waiting again: the page's whole start
    // against a hung server costs one time-out.
    const auto again = std::chrono::steady_clock::now();
    control->StartAudio(AudioLibraryChoice::SoundServer);
    control->SetMicLevel();
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(200));
}

// With the multiband equaliser plugin installed (swh-plugins) the equaliser is a LADSPA sink in
// front of the headphones carrying the band gains; without it every equaliser call fails.
TEST_F(PulseAudioLibraryTest, EqualiserIsALadspaSinkWhereThePluginIsInstalled) {
    const bool plugin = std::filesystem::exists("/usr/lib/ladspa/mbeq_1197.so");
    if (!plugin) {
        EXPECT_FALSE(library.SetIntProperty(AudioProperty::EnableEqGfx, 1));
        EXPECT_FALSE(library.SetIntProperty(AudioProperty::EqSlider3, 4));
        EXPECT_TRUE(client->Modules("module-ladspa-sink").empty());
        return;
    }
    // The one equaliser sink's argument once the server shows exactly one ("" until then).
    auto equaliser = [this] {
        const auto sinks = client->Modules("module-ladspa-sink");
        return sinks.size() == 1 ? sinks[0].argument : std::string();
    };
    auto settled = [&](const std::string& part) {
        return WaitUntil([&] { return equaliser().find(part) != std::string::npos; });
    };

    const uint32_t modulesBefore = client->LastModuleIndex();
    const auto start = std::chrono::steady_clock::now();
    control->ApplyEqPreset(11);  // 18, 14, 8, 2, -3, -6, -1, 2, 5, 6
    const auto spent = std::chrono::steady_clock::now() - start;
    std::printf("preset call: %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count()));
    // The plugin's fifteen bands (50 Hz .. 20 kHz) take the nearest of the ten gains, its
    // lowest the mean of the two lowest.
    EXPECT_TRUE(settled("control=16,8,8,2,2,-3,-3,-6,-6,-1,-1,2,2,5,6")) << equaliser();
    // Eleven property writes, one sink loaded: the writes only record the curve and the sink
    // follows once they pause, so the preset holds the caller for no reload at all.
    EXPECT_EQ(client->LastModuleIndex(), modulesBefore + 1);
    EXPECT_NE(equaliser().find(std::string("sink_master=") + PulseServer::kSink), std::string::npos);
    EXPECT_EQ(library.GetIntProperty(AudioProperty::EqSlider1), 18);

    panels.eqSliders[9] = -12;
    control->SetEqBand(9);
    EXPECT_TRUE(settled(",5,-12")) << equaliser();

    EXPECT_TRUE(library.SetIntProperty(AudioProperty::EnableEqGfx, 0));
    EXPECT_TRUE(WaitUntil([this] { return client->Modules("module-ladspa-sink").empty(); }));
}

TEST_F(PulseAudioLibraryTest, AVanishedServerFailsAtOnce) {
    const int32_t storedLevel = Saved().GetSystemSetStages().micInValue;
    server.Stop();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(library.GetIntProperty(AudioProperty::MuteControl));
    EXPECT_FALSE(library.SetScalarProperty(AudioProperty::VolumeScalarControl, 0.5f));
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_LT(spent, std::chrono::seconds(5));
    std::printf("two calls to the vanished server failed after %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count()));
    panels.micSlider = 10;
    control->SetMicLevel();
    EXPECT_EQ(Saved().GetSystemSetStages().micInValue, storedLevel);
    EXPECT_EQ(control->Stages().micInValue, 100);
}

TEST(PulseAudioLibraryWithoutServer, InitFailsAndNothingIsSelected) {
    TempDir dir;
    setenv("PULSE_SERVER", ("unix:" + (dir / "no-server").string()).c_str(), 1);
    Notices notices;
    AudioLibrary library(&notices);
    ASSERT_TRUE(library.LoadAudioLibraryFile(BuiltLibrary(AudioLibraryChoice::SoundServer)));
    CRu6533Profiledata profile;
    Panels panels;
    HeadsetAudioControl control(library, profile, panels, panels, nullptr);
    control.StartAudio(AudioLibraryChoice::SoundServer);
    EXPECT_EQ(notices.shown, std::vector<std::string>{"ConfLibInit called failed!"});
    EXPECT_EQ(library.Render().record.type, 0);
    EXPECT_EQ(library.Capture().record.type, 0);
}

}  // namespace
}  // namespace vx::headset::test
