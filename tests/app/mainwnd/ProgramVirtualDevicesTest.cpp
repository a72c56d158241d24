// The real program started with its built-in virtual devices: it finds them and binds their
// pages without any device of the machine, and a second start only wakes it. Stopped by a
// signal, it closes as "exit" does: the devices' folder is gone and their memory is on disk.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kProgram = QStringLiteral(VX_BINARY_DIR "/src/app/VexorUmbrelControlCenter");
const QString kControl = QStringLiteral(VX_BINARY_DIR "/tools/emulator-ctl/vx-emulator-ctl");

class ProgramVirtualDevicesTest : public testing::Test {
protected:
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(3000)) {
                program.kill();
                program.waitForFinished(3000);
            }
        }
    }
    QProcessEnvironment Env() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VX_SKIN_DIR", VX_SOURCE_DIR "/skin/");
        env.insert("VX_DEBUG", "1");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("VX_DATA_HOME", data.path());
        env.insert("XDG_CONFIG_HOME", data.path());
        env.insert("XDG_STATE_HOME", data.path() + "/state");
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime.path() + "/no-bus");
        env.remove("VX_VIRTUAL_HID_DIR");
        return env;
    }
    bool WaitForOutput(const QString& needle, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            if (output.contains(needle)) return true;
            program.waitForReadyRead(50);
            output += QString::fromUtf8(program.readAllStandardError());
            if (program.state() == QProcess::NotRunning) break;
        }
        return output.contains(needle);
    }

    QString NodeFolder() const { return runtime.path() + "/vexor-embedded-hid"; }
    QJsonObject KeyboardState() const {
        QFile file(data.path() + "/state/VexorUmbrelControlCenter/virtual-devices/keyboard.json");
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    int Control(const QStringList& command) {
        QProcess control;
        control.start(kControl, QStringList{"--dir", NodeFolder()} + command);
        if (!control.waitForFinished(10000)) return -1;
        return control.exitCode();
    }
    // Sends the signal and waits for a normal end with status 0.
    bool EndsCleanlyOn(int signalNumber) {
        ::kill(static_cast<pid_t>(program.processId()), signalNumber);
        if (!program.waitForFinished(15000)) return false;
        output += QString::fromUtf8(program.readAllStandardError());
        return program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0;
    }

    QTemporaryDir runtime;
    QTemporaryDir data;
    QProcess program;
    QString output;
};

TEST_F(ProgramVirtualDevicesTest, TheProgramFindsItsOwnVirtualDevices) {
    program.setProcessEnvironment(Env());
    program.start(kProgram, {"--virtual-devices"});
    ASSERT_TRUE(program.waitForStarted(5000));
    EXPECT_TRUE(WaitForOutput("virtual devices in", 10000)) << output.toStdString();
    // Arrivals of every kind with a page, and the first scan's notice.
    EXPECT_TRUE(WaitForOutput("添加一个键盘设备", 10000)) << output.toStdString();
    EXPECT_TRUE(WaitForOutput("添加一个鼠标设备", 10000)) << output.toStdString();
    EXPECT_TRUE(WaitForOutput("添加一个鼠标垫设备", 10000)) << output.toStdString();
    EXPECT_TRUE(WaitForOutput("软件标示", 10000)) << output.toStdString();

    // A second start finds the first running and leaves at once with 0.
    QProcess second;
    second.setProcessEnvironment(Env());
    second.start(kProgram, {"--virtual-devices"});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(program.state(), QProcess::Running);
}

TEST_F(ProgramVirtualDevicesTest, ASignalClosesTheProgramAndTheDevicesKeepTheirMemory) {
    program.setProcessEnvironment(Env());
    program.start(kProgram, {"--virtual-devices"});
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(WaitForOutput("virtual devices in", 15000)) << output.toStdString();
    ASSERT_TRUE(WaitForOutput("添加一个键盘设备", 15000)) << output.toStdString();
    EXPECT_TRUE(QFile::exists(NodeFolder() + "/keyboard-wired-if1.node")) << output.toStdString();
    // A keyboard without key 13: something of the device's memory the program never writes.
    ASSERT_EQ(Control({"omit-keys", "keyboard-wired", "13"}), 0);

    ASSERT_TRUE(EndsCleanlyOn(SIGTERM)) << output.toStdString();
    EXPECT_TRUE(output.contains("signal 15: closing")) << output.toStdString();
    EXPECT_FALSE(QDir(NodeFolder()).exists())
        << QDir(NodeFolder()).entryList(QDir::AllEntries | QDir::Hidden).join(' ').toStdString();
    EXPECT_EQ(KeyboardState()["missing_keys"].toArray(), QJsonArray{13});

    // Started again, the keyboard is still the one without key 13; the factory reset option
    // gives the full keyboard back, and Ctrl-C closes as cleanly.
    output.clear();
    program.start(kProgram, {"--virtual-devices"});
    ASSERT_TRUE(WaitForOutput("添加一个键盘设备", 15000)) << output.toStdString();
    ASSERT_TRUE(EndsCleanlyOn(SIGTERM)) << output.toStdString();
    EXPECT_EQ(KeyboardState()["missing_keys"].toArray(), QJsonArray{13});
    output.clear();
    program.start(kProgram, {"--factory-reset-virtual-devices"});
    ASSERT_TRUE(WaitForOutput("virtual devices in", 15000)) << output.toStdString();
    EXPECT_EQ(KeyboardState()["missing_keys"].toArray(), QJsonArray{});
    ASSERT_TRUE(WaitForOutput("添加一个键盘设备", 15000)) << output.toStdString();
    ASSERT_TRUE(EndsCleanlyOn(SIGINT)) << output.toStdString();
    EXPECT_FALSE(QDir(NodeFolder()).exists());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
