#include "app/StartUp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLoggingCategory>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/ControlCenterBus.h"
#include "app/ControlRegistry.h"
#include "app/FontResource.h"
#include "app/MainWnd.h"
#include "app/RegisteredMessages.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonFile.h"
#include "widgets/ResourceManager.h"

using vx::widgets::CResourceManager;

namespace vx::app {

using vx::platform::DebugLog;
using vx::profiles::InstallFolder;
using vx::profiles::RemoveLeftoverTemporaryFiles;
using vx::profiles::UserDataFolder;

namespace {

// Loaded in this order and released in the reverse order.
const char* const kFonts[] = {
    "Font\\Simplified_Chinese.ttf",
    "Font\\Predator-Regular.otf",
    "Font\\NotoSansThai-Regular.otf",
    "Font\\NotoSansCJKtc-Regular.otf",
};

// Ends the program after the main window's first paint; the start-up benchmark reads the line.
// Watches every widget: the window itself gets no paint event when its children cover it.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(QWidget* window) : m_window(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && !m_seen && widget && widget->window() == m_window) {
            m_seen = true;
            std::fputs("first-paint\n", stdout);
            std::fflush(stdout);
            // exit(), not quit(): quit() first asks every window to close, and the main window
            // refuses (it hides to the notification area instead).
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_window;
    bool m_seen = false;
};

// Every option the program accepts, in the order --help lists them.
QList<QCommandLineOption> ProgramOptions() {
    return {
        {{"h", "help"}, "Show this list of options and exit."},
        {{"v", "version"}, "Show the program's version and exit."},
        {"post-message", "Post a registered message (e.g. Game_Start) to the running program and exit.", "name"},
        {"wparam", "First value of the posted message (default 0).", "n", "0"},
        {"lparam", "Second value of the posted message (default 0).", "n", "0"},
        {"language", "Language file of the skin to use instead of the configured one.", "file"},
        {"exit-after-first-paint", "Print \"first-paint\" once the main window has painted, then exit."},
        {"virtual-devices", "Run with the built-in virtual devices (control them with vx-emulator-ctl)."},
        {"factory-reset-virtual-devices",
         "Start the built-in virtual devices from factory memory (implies --virtual-devices)."},
    };
}

// --help and --version are answered before the window system is touched, so that they work
// without a display (a terminal over ssh, a package check). One line per option.
bool AnswerInformationOption(int argc, char** argv) {
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0) break;
        if (std::strcmp(a, "-h") == 0 || std::strcmp(a, "--help") == 0 || std::strcmp(a, "-help") == 0 ||
            std::strcmp(a, "-?") == 0)
            help = true;
        if (std::strcmp(a, "-v") == 0 || std::strcmp(a, "--version") == 0) version = true;
    }
    if (help) {
        std::printf("Usage: VexorUmbrelControlCenter [options]\n"
                    "Configuration centre for Vexor Umbrel keyboards, mice, mousepads and headsets.\n\n"
                    "Options:\n");
        for (const QCommandLineOption& option : ProgramOptions()) {
            QString names;
            for (const QString& name : option.names()) {
                if (!names.isEmpty()) names += QStringLiteral(", ");
                names += (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
            }
            if (!option.valueName().isEmpty()) names += QStringLiteral(" <%1>").arg(option.valueName());
            std::printf("  %-34s %s\n", qPrintable(names), qPrintable(option.description()));
        }
        std::printf("\nEnvironment: VX_SKIN_DIR (skin folder), VX_DATA_HOME (data folder), "
                    "VX_DEBUG (diagnostic lines).\n");
        return true;
    }
    if (version) {
        std::printf("VexorUmbrelControlCenter %s\n", VX_PROGRAM_VERSION);
        return true;
    }
    return false;
}

// Fonts and skin sit beside the program in a build tree and a portable copy, and under
// share/vexor-umbrel of the install prefix once installed.
QString ResourceBase(const QString& child) {
    const QString beside = QCoreApplication::applicationDirPath() + '/' + child;
    if (QDir(beside).exists()) return QCoreApplication::applicationDirPath();
    return QString::fromStdString(InstallFolder().string());
}

int PostAndExit(const QCommandLineParser& args) {
    const QString name = args.value("post-message");
    const int result = CControlCenterBus::PostToRunning(name, args.value("wparam").toLongLong(),
                                                        args.value("lparam").toLongLong());
    if (result == 1) std::fprintf(stderr, "no running Vexor Umbrel Control Center to post to\n");
    if (result == 2) std::fprintf(stderr, "the running program does not accept \"%s\"\n", qPrintable(name));
    return result;
}

}  // namespace

QString DefaultSkinDir() {
    const QString env = qEnvironmentVariable("VX_SKIN_DIR");
    return env.isEmpty() ? ResourceBase(QStringLiteral("skin")) + QStringLiteral("/skin/") : env;
}

bool SetupResources(const QString& skinDir) {
    CResourceManager& resources = CResourceManager::GetInstance();
    resources.SetResourcePath(skinDir);
    const bool indexed = resources.LoadResource(QStringLiteral("res.xml"));
    QFile style(resources.GetResourcePath() + QStringLiteral("style.qss"));
    if (qApp && style.open(QIODevice::ReadOnly)) qApp->setStyleSheet(QString::fromUtf8(style.readAll()));
    CControlRegistry::RegisterControlClasses();
    return indexed;
}

int RunControlCenter(int argc, char** argv, const VirtualDeviceSourceFactory& makeVirtualDevices) {
    // Diagnostic lines are for whoever debugs the program, not for the user's terminal: they
    // show only with VX_DEBUG set, like the link and profile diagnostics.
    if (qEnvironmentVariableIsEmpty("VX_DEBUG"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    if (AnswerInformationOption(argc, argv)) return 0;
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("VexorUmbrelControlCenter"));
    app.setApplicationVersion(QStringLiteral(VX_PROGRAM_VERSION));
    app.setQuitOnLastWindowClosed(false);

    QCommandLineParser args;
    args.addOptions(ProgramOptions());
    args.process(app);
    if (args.isSet("post-message")) return PostAndExit(args);

    // Stopped by the session, a service manager or Ctrl-C, the program leaves its loop as "exit"
    // does, so that everything below is torn down in order (the virtual devices' folder emptied,
    // their memory written). Installed before anything that a signal should not cut short.
    CTerminationSignals termination([](int signalNumber) {
        std::fprintf(stderr, "signal %d: closing\n", signalNumber);
        QCoreApplication::exit(0);
    });

    std::vector<std::unique_ptr<FontResource>> fonts;
    const QString fontBase = ResourceBase(QStringLiteral("Font"));
    for (const char* name : kFonts) {
        fonts.push_back(std::make_unique<FontResource>(fontBase));
        fonts.back()->Load(QString::fromLatin1(name));
    }
    auto releaseFonts = [&fonts] {
        while (!fonts.empty()) fonts.pop_back();
    };

    if (!registered_messages::RegisterActivateMessage()) {
        releaseFonts();
        return 0;
    }

    // The bus object goes up before the name is taken, so that a second instance that sees the
    // name can already reach it.
    CControlCenterBus bus;
    bus.Export();
    CSingleInstance instance;
    if (instance.Acquire() == CSingleInstance::Result::AlreadyRunning) {
        CSingleInstance::WakeRunning();
        releaseFonts();
        return 0;
    }
    // Only now, as the one instance: a save of another instance is never in flight here.
    RemoveLeftoverTemporaryFiles(UserDataFolder(), 3);

    // The virtual devices go up before discovery reads the environment and come down after it
    // has stopped.
    std::unique_ptr<IVirtualDeviceSource> virtualDevices;
    if (args.isSet("virtual-devices") || args.isSet("factory-reset-virtual-devices")) {
        if (makeVirtualDevices) virtualDevices = makeVirtualDevices();
        if (virtualDevices == nullptr || virtualDevices->Start(args.isSet("factory-reset-virtual-devices")) != 1) {
            std::fprintf(stderr, "the virtual devices could not be started\n");
            virtualDevices.reset();
        } else {
            std::fprintf(stderr, "%s\n", virtualDevices->Describe().c_str());
        }
    }

    const QString skinDir = DefaultSkinDir();
    if (!SetupResources(skinDir))
        std::fprintf(stderr, "the skin could not be read from %s\n", qPrintable(skinDir));
    DebugLog("skin: " + skinDir.toStdString());
    registered_messages::RegisterGuidMessages();
    registered_messages::RegisterHookMessages();

    auto mainWnd = std::make_unique<CMainWnd>();
    // The virtual headset's audio is the in-memory library's; a real headset's is the sound
    // server's.
    if (virtualDevices) mainWnd->SetHeadsetAudio(vx::headset::AudioLibraryChoice::InMemory);
    if (!mainWnd->Create(nullptr, CMainWnd::kTitle, 0x96CA0000u, 0,
                         QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight))) {
        mainWnd.reset();
        instance.Release();
        releaseFonts();
        return 0;
    }
    mainWnd->SetBus(&bus);
    bus.SetTarget(mainWnd->GetHWND());
    QObject::connect(mainWnd.get(), &CMainWnd::ExitRequested, &app, [] { QCoreApplication::exit(0); });
    FirstPaintProbe probe(mainWnd.get());
    if (args.isSet("exit-after-first-paint")) app.installEventFilter(&probe);
    mainWnd->CenterWindow();
    mainWnd->show();
    // After the window's own start, which applies the configured language.
    if (args.isSet("language") && CResourceManager::GetInstance().LoadLanguage(args.value("language"))) {
        CResourceManager::GetInstance().ReloadText();
    }
    app.exec();

    bus.SetTarget(0);
    mainWnd.reset();
    virtualDevices.reset();
    CResourceManager::GetInstance().Release();
    instance.Release();
    releaseFonts();
    return 0;
}

}  // namespace vx::app
