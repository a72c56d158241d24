// The real program started with its built-in virtual devices: it finds them and binds their
// pages without any device of the machine, and a second start only wakes it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kProgram = QStringLiteral(VX_BINARY_DIR "/src/app/VexorUmbrelControlCenter");

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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
