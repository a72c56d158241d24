// Audio-reactive lighting as a user meets it: the Music effect chosen while the computer plays a
// tone lights the keyboard picture, silence leaves it dark, and the capture companion goes with
// the program. The shell's small windows: the audio-style window changes a style that is still
// there after a restart; the skin panel changes the background; the about window names the
// version. The sound comes from a private PulseAudio server with a null sink as its output.

#include "BuildPaths.h"
#include <QSettings>
#include <fstream>

#include "support/JourneyFixture.h"
#include "../app/audio/PulseFixture.h"
// The window's headers after the fixture's: what the window holds is read, never set.
#include "app/AudioLighting.h"
#include "app/MainWnd.h"
#include "app/ShellWindows.h"
#include "devices/TavimondUSBDevice.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "tests/app/support/ProcessAlive.h"

namespace fs = std::filesystem;
using vx::app::CAudioLighting;

namespace journeys {
namespace {

using vxtest::ProcessAlive;

class AudioLightingJourney : public JourneyTest {
protected:
    // The sound server is there before the program starts, as on a desktop.
    void SetUp() override {
        std::string log;
        ASSERT_TRUE(m_sound.Start(log)) << log;
        // What a desktop plays when nothing is heard: silence, not nothing.
        ASSERT_TRUE(m_tone.Play([](double) { return 1000.0; }, 0.0));
        JourneyTest::SetUp();
    }
    void TearDown() override {
        JourneyTest::TearDown();
        m_tone.Stop();
        m_sound.Stop();
    }

    void ChooseMusic() {
        PlugAndWait(Device::KeyboardWired);
        ShowDevicePage(Device::KeyboardWired);
        if (!Shown("light_combo_modeSelect")) {
            ASSERT_TRUE(Click("deng_Op_tab"));
        }
        ASSERT_TRUE(WaitUntil([this] { return Shown("light_combo_modeSelect"); }, 1000));
        ASSERT_TRUE(ChooseItem("light_combo_modeSelect", "Music"));
    }

    // LEDs of the keyboard picture lit now.
    int LitLeds() {
        int lit = 0;
        for (int led = 0; led < 126; ++led) {
            const QString name = QStringLiteral("light_%1").arg(led);
            if (Find(name) && !IsDark(ShownColour(name))) ++lit;
        }
        return lit;
    }

    vxtest::PrivatePulseServer m_sound;
    vxtest::ToneSource m_tone;
};

TEST_F(AudioLightingJourney, MusicEffectFollowsTheSoundAndTheCompanionGoesWithTheProgram) {
    ASSERT_NO_FATAL_FAILURE(ChooseMusic());
    CAudioLighting* audio = Window().AudioLighting();
    ASSERT_NE(audio, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return audio->Companion().IsConnected(); }, kDeviceWaitMs))
        << "the companion did not start: " << audio->Companion().FailureKey().toStdString();
    EXPECT_FALSE(Shown("audio_companion_status")) << "a working companion is not reported as a problem";

    // Silence: the picture stays dark.
    Run(800);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(LitLeds(), 0) << "silence lit the keyboard";
        Run(100);
    }
    const std::size_t streamedBefore = Devices().StreamFrameCount(Device::KeyboardWired);

    ASSERT_TRUE(m_tone.Play([](double) { return 1000.0; }, 0.5));
    int mostLit = 0;
    WaitUntil([&] {
        mostLit = std::max(mostLit, LitLeds());
        return mostLit > 0;
    }, 5000 * kSlowdown);
    EXPECT_GT(mostLit, 0) << "a 1 kHz tone did not light the keyboard picture";
    Screenshot("audio_music_tone.png");
    EXPECT_GT(Devices().StreamFrameCount(Device::KeyboardWired), streamedBefore)
        << "the keyboard itself got no frames of the music";

    ASSERT_TRUE(m_tone.Play([](double) { return 1000.0; }, 0.0));
    EXPECT_TRUE(WaitUntil([&] { return LitLeds() == 0; }, 3000 * kSlowdown)) << "the picture stays lit after the tone";

    const qint64 companion = audio->Companion().ProcessId();
    ASSERT_TRUE(ProcessAlive(companion));
    ExitProgram();
    EXPECT_TRUE(WaitUntil([&] { return !ProcessAlive(companion); }, 2000)) << "the companion outlived the program";
}

TEST_F(AudioLightingJourney, StyleSkinAndAboutWindows) {
    ASSERT_NO_FATAL_FAILURE(ChooseMusic());

    // The second style gets a name and more red.
    ASSERT_TRUE(Click("music_setting_btn"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("audio_select_tab1"); }, 2000)) << "no style window";
    ASSERT_TRUE(Click("audio_select_tab2"));
    ASSERT_TRUE(DragSlider("audio_r_slider", 7));
    ASSERT_TRUE(TypeInto("audio_edit_name2", "Party"));
    vxtest::RenderToPng(Window().ShellWindows().AudioStyles(),
                        QStringLiteral(VX_BINARY_DIR "/screenshots/journeys/audio_style_window.png"));
    ASSERT_TRUE(Click("okbtn"));
    ASSERT_TRUE(WaitUntil([this] { return !Shown("audio_select_tab1"); }, 2000));
    const Json::Value info = ReadJson(DataFolder() / "AudioFile.json")["Device"]["AudioLightInfo"];
    EXPECT_EQ(info["nAudioStyle"].asInt(), 1);
    EXPECT_EQ(info["nStyleR1"].asInt(), 7);
    EXPECT_EQ(info["nStyleName2"].asString(), "Party");
    EXPECT_EQ(info["nStyleName1"].asString(), "Music") << "the other styles stay";

    // Closing without OK keeps nothing.
    ASSERT_TRUE(Click("music_setting_btn"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("audio_select_tab1"); }, 2000));
    ASSERT_TRUE(DragSlider("audio_r_slider", 2));
    ASSERT_TRUE(Click("closebtn"));
    ASSERT_TRUE(WaitUntil([this] { return !Shown("audio_select_tab1"); }, 2000));
    EXPECT_EQ(ReadJson(DataFolder() / "AudioFile.json")["Device"]["AudioLightInfo"]["nStyleR1"].asInt(), 7);

    // The skin panel under the skin button: an image for the background, recorded in "main.ini".
    ASSERT_TRUE(Click("skinbtn"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("skin_tab"); }, 2000)) << "no skin panel";
    ASSERT_TRUE(Click("skin_image_btn"));
    vxtest::RenderToPng(Window().ShellWindows().Skin(),
                        QStringLiteral(VX_BINARY_DIR "/screenshots/journeys/audio_skin_panel.png"));
    Screenshot("audio_skin_changed.png");
    QSettings record(QString::fromStdString((DataFolder() / "main.ini").string()), QSettings::IniFormat);
    EXPECT_EQ(record.value("SKINIMAGE/FLAGS").toString(), "1");
    EXPECT_TRUE(record.value("SKINIMAGE/IMAGE").toString().startsWith("common/skin/"));
    EXPECT_TRUE(Window().findChild<QWidget*>("root")->styleSheet().contains("border-image"))
        << "the background did not change";

    // About, from the tray menu.
    Window().GetTray().ReportRightClick();
    ASSERT_TRUE(WaitUntil([this] { return MenuOffers("about_menu"); }, 2000));
    ASSERT_TRUE(ChooseMenuItem("about_menu"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("software_ver_label"); }, 2000)) << "no about window";
    EXPECT_TRUE(TextOf("software_ver_label").contains(QStringLiteral(VX_PROGRAM_VERSION)))
        << TextOf("software_ver_label").toStdString();
    vxtest::RenderToPng(Window().ShellWindows().About(),
                        QStringLiteral(VX_BINARY_DIR "/screenshots/journeys/audio_about.png"));
    ASSERT_TRUE(Click("closebtn"));
    ASSERT_TRUE(WaitUntil([this] { return !Shown("software_ver_label"); }, 2000));

    // Started again, the window shows the changed style.
    ExitProgram();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(ChooseMusic());
    ASSERT_TRUE(Click("music_setting_btn"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("audio_select_tab1"); }, 2000));
    EXPECT_TRUE(IsSelected("audio_select_tab2"));
    EXPECT_EQ(SliderValue("audio_r_slider"), 7);
    EXPECT_EQ(TextOf("audio_edit_name2"), "Party");
    ASSERT_TRUE(Click("closebtn"));
}

// The companion cannot be started, then cannot record: the lighting panel says so instead of
// showing a Music effect that never moves.
TEST_F(AudioLightingJourney, LightingPanelTellsWhenTheCompanionFails) {
    const QByteArray companion = qgetenv("VX_AUDIO_COMPANION");
    ExitProgram();
    qputenv("VX_AUDIO_COMPANION", QByteArray::fromStdString((HomeFolder() / "no-companion").string()));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(ChooseMusic());
    EXPECT_TRUE(WaitUntil([this] { return Shown("audio_companion_status"); }, 3000));
    EXPECT_TRUE(TextOf("audio_companion_status").contains("could not be started"))
        << TextOf("audio_companion_status").toStdString();
    Screenshot("audio_companion_missing.png");

    ExitProgram();
    qputenv("VX_AUDIO_COMPANION", companion);
    m_tone.Stop();
    m_sound.Stop();
    qputenv("PULSE_SERVER", QByteArray::fromStdString("unix:" + (HomeFolder() / "no-server").string()));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(ChooseMusic());
    EXPECT_TRUE(WaitUntil([this] { return Shown("audio_companion_status"); }, kDeviceWaitMs));
    EXPECT_TRUE(TextOf("audio_companion_status").contains("refused the recording"))
        << TextOf("audio_companion_status").toStdString();

    // Another effect: the problem of the Music effect is no longer shown.
    ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 0));
    EXPECT_TRUE(WaitUntil([this] { return !Shown("audio_companion_status"); }, 2000));
}

}  // namespace
}  // namespace journeys
