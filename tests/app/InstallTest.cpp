// The program as a package installs it: `cmake --install` of this build under a scratch DESTDIR
// with the /usr prefix, the files the package must carry, --help without a display, the desktop
// entry and AppStream validators, and the installed program finding its skin and factory data
// from the prefix with an empty home. Also where the permission notice finds the udev rule.
#include "BuildPaths.h"
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/discovery/DiscoverySink.h"
#include "app/discovery/UdevRulesFile.h"
#include "link/SupportedDevices.h"

using vx::link::SupportedDevicesUdevRules;
using vx::link::SupportedVendorProducts;

namespace fs = std::filesystem;
using vx::discovery::FindUdevRulesFile;
using vx::discovery::UdevRulesCommand;
using vx::discovery::UdevRulesFile;
using vx::discovery::kUdevRulesFileName;

namespace {

const char* const kAppId = "com.vexorumbrel.ControlCenter";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

QProcessEnvironment BareEnvironment(const QString& home) {
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH", "/usr/bin:/bin"));
    env.insert("HOME", home);
    env.insert("LANG", "C.UTF-8");
    return env;
}

class InstallTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dest = new QTemporaryDir();
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DESTDIR", dest->path());
        install.setProcessEnvironment(env);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(qEnvironmentVariable("VX_CMAKE_COMMAND", "cmake"),
                      {"--install", VX_BINARY_DIR, "--prefix", "/usr"});
        installed = install.waitForFinished(20000) && install.exitStatus() == QProcess::NormalExit &&
                    install.exitCode() == 0;
        installLog = new QString(QString::fromUtf8(install.readAll()));
    }
    static void TearDownTestSuite() {
        delete dest;
        delete installLog;
        dest = nullptr;
        installLog = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(installed) << installLog->toStdString(); }

    static fs::path Usr() { return fs::path(dest->path().toStdString()) / "usr"; }
    static QString Program() { return QString::fromStdString((Usr() / "bin" / "VexorUmbrelControlCenter").string()); }
    static QString Help() {
        QProcess help;
        QTemporaryDir home;
        // No display, no platform: a terminal over ssh or a package check.
        help.setProcessEnvironment(BareEnvironment(home.path()));
        help.start(Program(), {"--help"});
        if (!help.waitForFinished(10000) || help.exitStatus() != QProcess::NormalExit || help.exitCode() != 0)
            return QStringLiteral("failed: ") + QString::fromUtf8(help.readAllStandardError());
        return QString::fromUtf8(help.readAllStandardOutput());
    }

    static inline QTemporaryDir* dest = nullptr;
    static inline QString* installLog = nullptr;
    static inline bool installed = false;
};

TEST_F(InstallTest, ThePrefixHoldsTheProgramItsDataAndItsSystemFiles) {
    const fs::path usr = Usr();
    const fs::path share = usr / "share";
    for (const fs::path& file : {
             usr / "bin" / "VexorUmbrelControlCenter",
             usr / "bin" / "VexorUmbrelControlCenterAudioRecord",
             share / "vexor-umbrel" / "skin" / "res.xml",
             share / "vexor-umbrel" / "skin" / "lan_en.xml",
             share / "vexor-umbrel" / "skin" / "XML" / "main.xml",
             share / "vexor-umbrel" / "DefaultData" / "default_light.json",
             share / "applications" / (std::string(kAppId) + ".desktop"),
             share / "metainfo" / (std::string(kAppId) + ".metainfo.xml"),
             share / "icons" / "hicolor" / "scalable" / "apps" / (std::string(kAppId) + ".svg"),
             share / "man" / "man1" / "VexorUmbrelControlCenter.1.gz",
         }) {
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
    }
    // The rule goes where udev reads the system's rules, and it is the one the program generates.
    const fs::path rules = usr / "lib" / "udev" / "rules.d" / std::string(kUdevRulesFileName);
    ASSERT_TRUE(fs::is_regular_file(rules));
    EXPECT_EQ(ReadAll(rules), SupportedDevicesUdevRules());
    // Software centres offer the program for every supported device.
    const std::string metainfo = ReadAll(share / "metainfo" / (std::string(kAppId) + ".metainfo.xml"));
    for (const auto& [vendor, product] : SupportedVendorProducts()) {
        char modalias[64];
        std::snprintf(modalias, sizeof modalias, "<modalias>usb:v%04Xp%04Xd*</modalias>", vendor, product);
        EXPECT_NE(metainfo.find(modalias), std::string::npos) << modalias;
    }
    // Nothing of the build's own (libraries, tests) comes along.
    for (const auto& entry : fs::recursive_directory_iterator(usr)) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(name.ends_with(".a") || name.ends_with(".h") || name.find("_test") != std::string::npos)
            << entry.path();
    }
}

TEST_F(InstallTest, HelpListsEveryOptionWithoutADisplayAndTheManualPageAgrees) {
    const QString help = Help();
    ASSERT_FALSE(help.startsWith("failed")) << help.toStdString();
    // One line per option, each with its description.
    QStringList helpOptions;
    for (const QString& line : help.split('\n')) {
        const QRegularExpressionMatch m = QRegularExpression(R"(^\s+(?:-\w, )?--([a-z-]+)(?: <\w+>)?\s{2,}\S)").match(line);
        if (m.hasMatch()) helpOptions << m.captured(1);
    }
    for (const char* option : {"help", "version", "post-message", "wparam", "lparam", "language",
                               "exit-after-first-paint", "virtual-devices", "factory-reset-virtual-devices"}) {
        EXPECT_TRUE(helpOptions.contains(option)) << option << "\n" << help.toStdString();
    }
    // The program accepts what the help names: an unknown option is refused, a listed one is not
    // (--post-message with nothing running answers 1, "not running").
    QTemporaryDir home;
    QProcess run;
    QProcessEnvironment env = BareEnvironment(home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", home.path());
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home.path() + "/no-bus");
    run.setProcessEnvironment(env);
    run.start(Program(), {"--no-such-option"});
    ASSERT_TRUE(run.waitForFinished(10000));
    EXPECT_NE(run.exitCode(), 0);
    run.start(Program(), {"--post-message", "Game_Start", "--wparam", "1", "--lparam", "2"});
    ASSERT_TRUE(run.waitForFinished(10000));
    EXPECT_EQ(run.exitCode(), 1) << run.readAllStandardError().toStdString();

    QProcess man;
    man.start("gzip", {"-dc", QString::fromStdString((Usr() / "share/man/man1/VexorUmbrelControlCenter.1.gz").string())});
    ASSERT_TRUE(man.waitForFinished(5000));
    const QString page = QString::fromUtf8(man.readAllStandardOutput()).replace("\\-", "-");
    QStringList manOptions;
    auto it = QRegularExpression(R"(^\.B[IR]? .*?--([a-z-]+))", QRegularExpression::MultilineOption).globalMatch(page);
    while (it.hasNext()) manOptions << it.next().captured(1);
    manOptions.sort();
    helpOptions.sort();
    EXPECT_EQ(manOptions, helpOptions);
}

TEST_F(InstallTest, TheDesktopEntryAndTheAppStreamDataPassTheirValidators) {
    const QString desktopValidate = QStandardPaths::findExecutable("desktop-file-validate");
    const QString appstream = QStandardPaths::findExecutable("appstreamcli");
    if (desktopValidate.isEmpty() || appstream.isEmpty())
        GTEST_SKIP() << "desktop-file-validate or appstreamcli is not installed (desktop-file-utils, appstream)";
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(desktopValidate, {QString::fromStdString((Usr() / "share/applications").string()) + "/" + kAppId + ".desktop"});
    ASSERT_TRUE(check.waitForFinished(10000));
    const QString desktopOutput = QString::fromUtf8(check.readAll());
    EXPECT_EQ(check.exitCode(), 0) << desktopOutput.toStdString();
    // Hints are advice; errors and warnings fail the package.
    EXPECT_FALSE(desktopOutput.contains("error:") || desktopOutput.contains("warning:")) << desktopOutput.toStdString();

    check.start(appstream, {"validate", "--no-net", "--pedantic",
                            QString::fromStdString((Usr() / "share/metainfo").string()) + "/" + kAppId + ".metainfo.xml"});
    ASSERT_TRUE(check.waitForFinished(20000));
    const QString appstreamOutput = QString::fromUtf8(check.readAll());
    EXPECT_EQ(check.exitCode(), 0) << appstreamOutput.toStdString();
    EXPECT_FALSE(appstreamOutput.contains(QRegularExpression("^[EW]: ", QRegularExpression::MultilineOption)))
        << appstreamOutput.toStdString();
}

TEST_F(InstallTest, TheInstalledProgramStartsFromAnEmptyHomeWithItsInstalledSkin) {
    QTemporaryDir home;
    QTemporaryDir runtime;
    QProcessEnvironment env = BareEnvironment(home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime.path() + "/no-bus");
    env.insert("VX_DEBUG", "1");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(Program(), {"--virtual-devices"});
    ASSERT_TRUE(program.waitForStarted(5000));
    QString output;
    auto waitFor = [&](const QString& needle, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs && !output.contains(needle)) {
            program.waitForReadyRead(50);
            output += QString::fromUtf8(program.readAllStandardError());
            if (program.state() == QProcess::NotRunning) break;
        }
        return output.contains(needle);
    };
    const QString skin = QString::fromStdString((Usr() / "share/vexor-umbrel/skin").string()) + "/";
    EXPECT_TRUE(waitFor("skin: " + skin, 10000)) << output.toStdString();
    // The window came up (the first scan's notice) and bound a virtual keyboard's page, whose
    // factory profile comes from the installed DefaultData.
    EXPECT_TRUE(waitFor("软件标示 ", 10000)) << output.toStdString();
    EXPECT_TRUE(waitFor("添加一个键盘设备", 10000)) << output.toStdString();
    EXPECT_FALSE(output.contains("could not be read")) << output.toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
    // The keyboard's first profile is a copy of the installed factory profile.
    const fs::path keyboard = fs::path(home.path().toStdString()) / ".local/share/VexorUmbrelControlCenter/keyboard";
    const auto factorySize = fs::file_size(Usr() / "share/vexor-umbrel/DefaultData/keyboard.Json");
    auto profileSize = [&] {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(keyboard, ec))
            if (entry.path().extension() == ".Json") return entry.file_size();
        return std::uintmax_t{0};
    };
    QElapsedTimer t;
    t.start();
    while (profileSize() < factorySize / 2 && t.elapsed() < 5000) program.waitForReadyRead(50);
    EXPECT_GE(profileSize(), factorySize / 2) << keyboard;
    program.terminate();
    if (!program.waitForFinished(5000)) {
        program.kill();
        program.waitForFinished(3000);
    }
}

// The permission notice's rules file: only a file no one but root can change is named as
// installed; the build tree's file is named as a copy to make as root; nothing at all names none.
class UdevRulesFileTest : public testing::Test {
protected:
    fs::path Root() const { return fs::path(scratch.path().toStdString()); }
    fs::path Put(const fs::path& folder, mode_t mode) {
        fs::create_directories(folder);
        const fs::path file = folder / std::string(kUdevRulesFileName);
        std::ofstream(file) << SupportedDevicesUdevRules();
        ::chmod(folder.c_str(), 0755);
        ::chmod(file.c_str(), mode);
        return file;
    }
    QTemporaryDir scratch;
};

TEST_F(UdevRulesFileTest, OnlyARootOnlyFileCountsAsInstalled) {
    const fs::path system = Root() / "lib/udev/rules.d";
    const fs::path build = Root() / "build";
    const fs::path program = build / "src/app";
    fs::create_directories(program);

    UdevRulesFile found = FindUdevRulesFile({system}, {}, program);
    EXPECT_EQ(found.kind, UdevRulesFile::Kind::Missing);
    EXPECT_EQ(UdevRulesCommand(found), "");

    const fs::path built = Put(build / "packaging/udev", 0644);
    found = FindUdevRulesFile({system}, {}, program);
    EXPECT_EQ(found.kind, UdevRulesFile::Kind::BuildTree);
    EXPECT_EQ(found.path, built);
    const std::string copy = UdevRulesCommand(found);
    EXPECT_NE(copy.find("sudo install -m 0644 -o root -g root '" + built.string() + "' /etc/udev/rules.d/"),
              std::string::npos) << copy;
    EXPECT_NE(copy.find("udevadm trigger --subsystem-match=hidraw"), std::string::npos) << copy;

    // A rules folder file anyone may write is never trusted as installed.
    const fs::path shared = Put(system, 0666);
    EXPECT_EQ(FindUdevRulesFile({system}, {}, program).kind, UdevRulesFile::Kind::BuildTree);
    ::chmod(shared.c_str(), 0644);
    found = FindUdevRulesFile({system}, {}, program);
    if (::geteuid() == 0) {
        EXPECT_EQ(found.kind, UdevRulesFile::Kind::Installed);
        EXPECT_EQ(found.path, shared);
        EXPECT_EQ(UdevRulesCommand(found).find("install"), std::string::npos);
        EXPECT_NE(UdevRulesCommand(found).find("udevadm control --reload-rules"), std::string::npos);
        // A writable folder lets the file be replaced: not trusted either.
        ::chmod(system.c_str(), 0777);
        EXPECT_EQ(FindUdevRulesFile({system}, {}, program).kind, UdevRulesFile::Kind::BuildTree);
    } else {
        // Owned by this user: the user could change it.
        EXPECT_EQ(found.kind, UdevRulesFile::Kind::BuildTree);
    }
}

TEST_F(UdevRulesFileTest, AnUnusualPrefixIsNamedForACopyAsRoot) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs files owned by root";
    const fs::path prefix = Root() / "opt";
    fs::create_directories(prefix / "share/vexor-umbrel");
    const fs::path rules = Put(prefix / "lib/udev/rules.d", 0644);
    for (fs::path up = rules.parent_path(); up != Root(); up = up.parent_path()) ::chmod(up.c_str(), 0755);
    const UdevRulesFile found = FindUdevRulesFile({Root() / "etc"}, prefix / "share/vexor-umbrel", prefix / "bin");
    EXPECT_EQ(found.kind, UdevRulesFile::Kind::InstalledElsewhere);
    EXPECT_EQ(found.path, rules);
    EXPECT_NE(UdevRulesCommand(found).find("sudo install -m 0644 -o root -g root '" + rules.string() + "'"),
              std::string::npos);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
