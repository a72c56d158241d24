// The audio-capture companion at work: its CPU share of one core while a tone plays into a
// private PulseAudio server (target: under 2 %), the frames it delivers a second, and a picture
// of what the keyboard's audio style 0 (column bars) makes of a tone rising from 60 Hz to 8 kHz:
// one small keyboard grid (23 columns of 6 cells, as the lighting engine lays them out) per
// hand-over of band levels, left to right, top to bottom, written to
// build/screenshots/audio/style0_rising_tone.png.
//
//   build/bench/audio/bench_audio_companion [seconds to measure, default 10]

#include "BuildPaths.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

#include "app/AudioLighting.h"
#include "devices/lighting/KeyboardGeometry.h"
#include "devices/lighting/KeyboardLightingEngine.h"
#include "tests/app/audio/PulseFixture.h"
#include "bench/support/CpuTime.h"

using namespace vx::lighting;
using vx::app::CAudioCompanion;
using vx::app::CAudioLighting;

namespace {

const QString kCompanion = QStringLiteral(VX_BINARY_DIR "/src/app/VexorUmbrelControlCenterAudioRecord");

void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;

    vxtest::PrivatePulseServer server;
    std::string log;
    if (!server.Start(log)) {
        std::fprintf(stderr, "no PulseAudio server: %s\n", log.c_str());
        return 1;
    }
    CAudioLighting lighting(1, {});
    lighting.Companion().SetProgram(kCompanion);
    lighting.Companion().Start();
    QElapsedTimer wait;
    wait.start();
    while (!lighting.Companion().IsConnected() && wait.elapsed() < 5000) Pump(20);
    if (!lighting.Companion().IsConnected()) {
        std::fprintf(stderr, "the companion did not start: %s\n", qPrintable(lighting.Companion().FailureKey()));
        return 1;
    }
    int records = 0;
    QObject::connect(&lighting.Companion(), &CAudioCompanion::Record, [&] { ++records; });

    // --- CPU share while a tone plays ---
    vxtest::ToneSource tone;
    tone.Play([](double) { return 1000.0; }, 0.5);
    Pump(1500);
    const qint64 pid = lighting.Companion().ProcessId();
    const long long ticks0 = vxbench::ProcessCpuTicks(static_cast<pid_t>(pid));
    const int records0 = records;
    QElapsedTimer measured;
    measured.start();
    Pump(seconds * 1000);
    const double wallS = measured.elapsed() / 1000.0;
    const double cpuS = static_cast<double>(vxbench::ProcessCpuTicks(static_cast<pid_t>(pid)) - ticks0) / static_cast<double>(sysconf(_SC_CLK_TCK));
    const double share = 100.0 * cpuS / wallS;
    std::printf("companion CPU: %.2f %% of one core over %.1f s (target under 2 %%): %s\n", share, wallS,
                share < 2.0 ? "met" : "MISSED");
    std::printf("frames received: %.1f a second\n", (records - records0) / wallS);

    // --- Audio style 0 while a tone rises ---
    KeyboardLightingEngine keyboard;
    LightInfo info;
    info.selectItem = 21;
    info.light = 4;
    info.speed = 4;
    info.fx = 1;
    keyboard.ApplyLightInfo(info);
    AudioLightInfo audio;
    audio.audioMode = 0;
    audio.sevenColorFlags = 1;
    keyboard.SetAudioLightInfo(audio);

    constexpr int kCell = 5;
    constexpr int kGap = 6;
    const int gridW = kColumns * kCell;
    const int gridH = kColumnCells * kCell;
    std::vector<QImage> frames;
    QObject::connect(&lighting, &CAudioLighting::LevelsHandedOver, [&] {
        const auto& bands = lighting.Feed().KeyboardBands();
        keyboard.OnAudioLevels(bands.data(), bands.size());
        keyboard.AudioLighting();
        QImage grid(gridW, gridH, QImage::Format_RGB32);
        grid.fill(QColor(12, 13, 16));
        QPainter painter(&grid);
        for (int c = 0; c < kColumns; ++c) {
            for (int j = 0; j < kColumnCells; ++j) {
                const uint8_t led = kColumnMap[c][j];
                if (led >= kKeyboardLeds) continue;
                const LedEntry e = keyboard.GetLed(led);
                const int scale = std::max<int>(e.brightness, 0);
                QColor colour(e.red * scale / 255, e.green * scale / 255, e.blue * scale / 255);
                if (e.brightness == 0) colour = QColor(e.red, e.green, e.blue);
                painter.fillRect(c * kCell, j * kCell, kCell - 1, kCell - 1,
                                 colour.value() < 20 ? QColor(30, 32, 38) : colour);
            }
        }
        frames.push_back(grid);
    });
    static constexpr double kSweepS = 6.0;
    tone.Play([](double t) { return 60.0 * std::pow(8000.0 / 60.0, std::min(t, kSweepS) / kSweepS); }, 0.5);
    Pump(static_cast<int>(kSweepS * 1000) + 300);
    tone.Stop();

    const int perRow = 10;
    const int rows = (static_cast<int>(frames.size()) + perRow - 1) / perRow;
    QImage strip(perRow * (gridW + kGap) + kGap, std::max(1, rows) * (gridH + kGap) + kGap, QImage::Format_RGB32);
    strip.fill(QColor(20, 22, 27));
    QPainter painter(&strip);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const int x = kGap + static_cast<int>(i % perRow) * (gridW + kGap);
        const int y = kGap + static_cast<int>(i / perRow) * (gridH + kGap);
        painter.drawImage(x, y, frames[i]);
    }
    painter.end();
    const QString folder = QStringLiteral(VX_BINARY_DIR "/screenshots/audio");
    QDir().mkpath(folder);
    const QString file = folder + QStringLiteral("/style0_rising_tone.png");
    strip.save(file);
    std::printf("%zu keyboard frames of a tone rising from 60 Hz to 8 kHz over %.0f s: %s\n", frames.size(),
                kSweepS, qPrintable(file));
    lighting.Shutdown();
    return share < 2.0 ? 0 : 2;
}
