// The running program as a user meets it: a second start wakes the first and exits 0, a script
// posts "Game_Start" from a shell, and without a session bus the lock file keeps the guard.
// Each test runs the real executable under a private D-Bus session bus.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "app/ControlCenterBus.h"
#include "widgets/WindowMessages.h"

using vx::app::CControlCenterBus;
using vx::widgets::CWindowMessages;

namespace {

const QString kProgram = QStringLiteral(VX_BINARY_DIR "/src/app/VexorUmbrelControlCenter");

class SingleInstanceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::exists(kProgram));
        ASSERT_TRUE(runtime.isValid());
        QFile::setPermissions(runtime.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    void TearDown() override {
        for (QProcess* p : {&first, &bus}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }

    bool StartBus() {
        bus.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (!bus.waitForStarted(3000)) return false;
        QElapsedTimer t;
        t.start();
        while (!bus.canReadLine() && t.elapsed() < 5000) bus.waitForReadyRead(100);
        address = QString::fromUtf8(bus.readLine()).trimmed();
        return !address.isEmpty();
    }
    QProcessEnvironment Env(const QString& busAddress) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("VX_SKIN_DIR", VX_SOURCE_DIR "/skin/");
        // The wake-up is observed through the diagnostic line the first instance writes.
        env.insert("VX_DEBUG", "1");
        return env;
    }
    // Runs the program to its end and returns its exit code (-1 when it did not end in time).
    int RunOnce(const QString& busAddress, const QStringList& args, QString* out = nullptr,
                int timeoutMs = 5000) {
        QProcess p;
        p.setProcessEnvironment(Env(busAddress));
        p.start(kProgram, args);
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        if (out) *out = QString::fromUtf8(p.readAllStandardOutput());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    bool WaitForServiceOwner() {
        QDBusConnection conn = QDBusConnection::connectToBus(address, "vx-test-observer");
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 8000) {
            if (conn.isConnected() && conn.interface()->isServiceRegistered(CControlCenterBus::kService))
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    bool WaitForOutput(const QString& needle, int timeoutMs = 5000) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            first.waitForReadyRead(50);
            output += QString::fromUtf8(first.readAllStandardError());
            if (output.contains(needle)) return true;
        }
        return false;
    }

    QTemporaryDir runtime;
    QProcess bus;
    QProcess first;
    QString address;
    QString output;
};

TEST_F(SingleInstanceTest, SecondInstanceWakesTheFirstAndExitsZero) {
    ASSERT_TRUE(StartBus());
    first.setProcessEnvironment(Env(address));
    first.start(kProgram, {});
    ASSERT_TRUE(first.waitForStarted(3000));
    ASSERT_TRUE(WaitForServiceOwner());

    EXPECT_EQ(RunOnce(address, {}), 0);
    const uint activate = CWindowMessages::RegisterWindowMessage("Vexor Umbrel");
    // The first instance logs the wake-up with lParam 1, which only a second instance sends.
    EXPECT_TRUE(WaitForOutput(QStringLiteral("软件标示 %1，01").arg(activate)));
    EXPECT_EQ(first.state(), QProcess::Running);

    // A game or a script posts a registered message by its text; other texts are refused.
    EXPECT_EQ(RunOnce(address, {"--post-message", "Game_Start"}), 0);
    EXPECT_EQ(RunOnce(address, {"--post-message", "Not_A_Message"}), 2);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(3000);
    EXPECT_EQ(RunOnce(address, {"--post-message", "Game_Start"}), 1);
}

TEST_F(SingleInstanceTest, LockFileGuardsWithoutASessionBus) {
    const QString noBus = "unix:path=" + runtime.path() + "/no-such-bus";
    first.setProcessEnvironment(Env(noBus));
    first.start(kProgram, {});
    ASSERT_TRUE(first.waitForStarted(3000));
    const QString lock = runtime.path() + "/VexorUmbrelControlCenter.lock";
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(lock) && t.elapsed() < 8000) QThread::msleep(50);
    ASSERT_TRUE(QFile::exists(lock));
    QString out;
    EXPECT_EQ(RunOnce(noBus, {"--exit-after-first-paint"}, &out), 0);
    EXPECT_FALSE(out.contains("first-paint"));  // it stopped at the guard
    EXPECT_EQ(first.state(), QProcess::Running);

    // A lock left behind by a program that died is taken over by the next start.
    first.kill();
    first.waitForFinished(3000);
    EXPECT_EQ(RunOnce(noBus, {"--exit-after-first-paint"}, &out), 0);
    EXPECT_TRUE(out.contains("first-paint"));
}

}  // namespace
