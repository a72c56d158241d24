// The whole program with the keyboard showing the Music effect while a 1 kHz tone plays into a
// private PulseAudio server: main window on the keyboard page, discovery, the keyboard's lighting
// thread streaming frames to the virtual keyboard, and the capture companion. Reports the CPU
// share of one core of the program's process and of the companion over the measured time.
//   build/bench/audio/bench_audio_program [seconds, default 15]
#include "BuildPaths.h"
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/AudioLighting.h"
#include "app/DevicePageSet.h"
#include "app/MainWnd.h"
#include "bench/app/InProcessProgram.h"
#include "devices/TavimondUSBDevice.h"
#include "tests/app/audio/PulseFixture.h"
#include "tests/journeys/support/JourneyDevices.h"
#include "tests/link/support/VirtualNodePlayer.h"
#include "bench/support/CpuTime.h"
#include "bench/support/EventLoop.h"

using vxbench::ProcessCpuSeconds;
using vxbench::RunLoop;

using vx::app::CAudioLighting;
using vx::app::CMainWnd;
using vx::devices::CTavimondUSBDevice;

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VX_AUDIO_COMPANION", VX_BINARY_DIR "/src/app/VexorUmbrelControlCenterAudioRecord");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const int seconds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;

    vxtest::PrivatePulseServer server;
    std::string log;
    if (!server.Start(log)) {
        std::fprintf(stderr, "no PulseAudio server: %s\n", log.c_str());
        return 1;
    }
    vxtest::ToneSource tone;
    tone.Play([](double) { return 1000.0; }, 0.5);

    vxtest::ScopedTempDir dir;
    vxtest::ScopedTempDir data;
    PrepareInProcessProgram(dir.Path(), data.Path());
    journeys::JourneyDevices devices(dir.Path());
    devices.Plug(journeys::Device::KeyboardWired);
    int result = 0;
    {
        CMainWnd wnd;
        OpenMainWindow(wnd);
        RunLoop(4000);
        CTavimondUSBDevice* keyboard = wnd.Pages()->Keyboards().front();
        // What the lighting panel does when the user picks Music.
        LightInfo info = keyboard->GetLightInfo();
        info.selectItem = 21;
        keyboard->SetLightInfo(info);
        keyboard->SaveProfile();
        keyboard->LoadLightingState();
        const QSize screen = QGuiApplication::primaryScreen()->size();
        keyboard->WriteSettings(0, 0, 1, screen.width(), screen.height());
        RunLoop(2000);
        CAudioLighting* audio = wnd.AudioLighting();
        if (audio == nullptr || !audio->Companion().IsConnected()) {
            std::fprintf(stderr, "the companion is not running\n");
            result = 1;
        } else {
            const qint64 pid = audio->Companion().ProcessId();
            const double before = ProcessCpuSeconds();
            const double childBefore = ProcessCpuSeconds(static_cast<pid_t>(pid));
            const auto start = std::chrono::steady_clock::now();
            RunLoop(seconds * 1000);
            const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("program with the Music effect: %.2f %% of one core over %.1f s\n",
                        100.0 * (ProcessCpuSeconds() - before) / wall, wall);
            std::printf("its companion:                 %.2f %% of one core\n",
                        100.0 * (ProcessCpuSeconds(static_cast<pid_t>(pid)) - childBefore) / wall);
        }
        wnd.OnMenuItem("exit");
    }
    tone.Stop();
    return result;
}
