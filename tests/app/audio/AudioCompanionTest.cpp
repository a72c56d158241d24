// The companion against a private PulseAudio server with a null sink: a tone played into the
// sink reaches the band levels the keyboards get, in the tone's band; silence lights nothing; the
// companion ends when the program stops it, when the program dies, and reports what it cannot do.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusServer>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "PulseFixture.h"
#include "app/AudioLighting.h"
#include "app/audio/CompanionProtocol.h"
#include "app/companion/FrequencyFrames.h"
#include "tests/app/support/ProcessAlive.h"

using vx::app::CAudioCompanion;
using vx::app::CAudioCompanionInbox;
using vx::app::CAudioLighting;

namespace {

using vxtest::ProcessAlive;

const QString kCompanion = QStringLiteral(VX_BINARY_DIR "/src/app/VexorUmbrelControlCenterAudioRecord");

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class AudioCompanionTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(kCompanion.toStdString())) << "build the companion first";
        qputenv("VX_DATA_HOME", m_data.path().toLocal8Bit());
        std::string log;
        ASSERT_TRUE(m_server.Start(log)) << log;
    }

    vxtest::PrivatePulseServer m_server;
    QTemporaryDir m_data;
};

int LoudestBand(const std::array<int32_t, 25>& bands) {
    return static_cast<int>(std::max_element(bands.begin(), bands.end()) - bands.begin());
}

}  // namespace

TEST_F(AudioCompanionTest, ToneReachesItsBandAndSilenceLightsNothing) {
    CAudioLighting lighting(1, {});
    int handOvers = 0;
    QObject::connect(&lighting, &CAudioLighting::LevelsHandedOver, [&] { ++handOvers; });
    lighting.Companion().SetProgram(kCompanion);
    lighting.Companion().Start();
    ASSERT_TRUE(WaitUntil([&] { return lighting.Companion().IsConnected(); }, 5000))
        << lighting.Companion().FailureKey().toStdString();

    // Silence plays (an idle output delivers nothing at all): frames arrive and are handed over,
    // every band at 0.
    vxtest::ToneSource tone;
    ASSERT_TRUE(tone.Play([](double) { return 1000.0; }, 0.0));
    int records = 0;
    QObject::connect(&lighting.Companion(), &CAudioCompanion::Record, [&] { ++records; });
    ASSERT_TRUE(WaitUntil([&] { return handOvers >= 3; }, 5000)) << records << " records";
    for (int32_t band : lighting.Feed().KeyboardBands()) EXPECT_EQ(band, 0);

    // 1 kHz lies in level 75 of the companion's frame, the keyboard's band 15.
    const int expectedBand = static_cast<int>(vx::companion::FrequencyFrames::LevelOf(1000.0) / 5);
    ASSERT_TRUE(tone.Play([](double) { return 1000.0; }, 0.5));
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto& bands = lighting.Feed().KeyboardBands();
            return bands[expectedBand] > 1000 && LoudestBand(bands) == expectedBand;
        },
        5000))
        << "band " << expectedBand << " reads " << lighting.Feed().KeyboardBands()[expectedBand];
    // The onset's click lights every band for a frame or two; a held tone only its own.
    WaitUntil([] { return false; }, 1000);
    const auto bands = lighting.Feed().KeyboardBands();
    EXPECT_GT(bands[expectedBand], 1000);
    for (int b = 0; b < 25; ++b) {
        if (std::abs(b - expectedBand) > 1) {
            EXPECT_EQ(bands[b], 0) << "band " << b << " lit by a 1 kHz tone";
        }
    }
    EXPECT_EQ(lighting.Feed().MouseBands()[0], 0) << "the mouse's bands are the bass";

    ASSERT_TRUE(tone.Play([](double) { return 1000.0; }, 0.0));
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto& b = lighting.Feed().KeyboardBands();
            return std::all_of(b.begin(), b.end(), [](int32_t v) { return v == 0; });
        },
        5000))
        << "the bands did not fall back to 0 after the tone stopped";

    const qint64 pid = lighting.Companion().ProcessId();
    ASSERT_TRUE(ProcessAlive(pid));
    lighting.Shutdown();
    EXPECT_FALSE(ProcessAlive(pid)) << "the companion outlived its stop";
}

// The companion's parent is killed without a word: the companion ends by itself.
TEST_F(AudioCompanionTest, CompanionEndsWhenItsProgramIsKilled) {
    QDBusServer server(QStringLiteral("unix:dir=") + m_data.path());
    ASSERT_TRUE(server.isConnected());
    CAudioCompanionInbox inbox;
    bool ready = false;
    QObject::connect(&inbox, &CAudioCompanionInbox::CompanionReady, [&] { ready = true; });
    QObject::connect(&server, &QDBusServer::newConnection, [&](const QDBusConnection& connection) {
        QDBusConnection(connection).registerObject(QString::fromLatin1(vx::audio::companion::kWindowPath), &inbox,
                                                   QDBusConnection::ExportScriptableSlots);
    });
    // A shell stands in for the program: it starts the companion with itself as the parent and
    // waits, then is killed with SIGKILL, which leaves it no chance to tell the companion.
    QProcess program;
    program.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("\"$0\" --peer \"$1\" --parent $$ & echo $!; wait"),
                   kCompanion, server.address()});
    ASSERT_TRUE(program.waitForStarted(3000));
    ASSERT_TRUE(WaitUntil([&] { return program.canReadLine(); }, 3000));
    const qint64 companion = program.readLine().trimmed().toLongLong();
    ASSERT_TRUE(WaitUntil([&] { return ready; }, 5000)) << "the companion never said it was ready";
    // Connected and idle for a while: it does not end on its own.
    WaitUntil([] { return false; }, 700);
    ASSERT_TRUE(ProcessAlive(companion));
    ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
    program.waitForFinished(3000);
    EXPECT_TRUE(WaitUntil([&] { return !ProcessAlive(companion); }, 3000))
        << "the companion lives on after its program was killed";
}

// What the lighting panel is told when the companion cannot start or cannot record.
TEST_F(AudioCompanionTest, FailuresAreReported) {
    {
        CAudioCompanion missing;
        QSignalSpy failed(&missing, &CAudioCompanion::Failed);
        missing.SetProgram(m_data.filePath(QStringLiteral("no-such-companion")));
        missing.Start();
        ASSERT_TRUE(WaitUntil([&] { return failed.count() == 1; }, 3000));
        EXPECT_EQ(missing.FailureKey(), QStringLiteral("audio_companion_missing"));
    }
    // A sound server that is not there (set explicitly, so that no client starts one of its own).
    m_server.Stop();
    qputenv("PULSE_SERVER", "unix:" + m_data.filePath(QStringLiteral("no-server")).toLocal8Bit());
    CAudioCompanion unheard;
    QSignalSpy failed(&unheard, &CAudioCompanion::Failed);
    unheard.SetProgram(kCompanion);
    unheard.Start();
    ASSERT_TRUE(WaitUntil([&] { return failed.count() == 1; }, 8000));
    EXPECT_EQ(unheard.FailureKey(), QStringLiteral("audio_capture_failed"));
    EXPECT_FALSE(unheard.IsConnected());
}
