// VexorUmbrelControlCenterAudioRecord: the audio-capture companion of Vexor Umbrel Control
// Center. The program starts it with the address of a private D-Bus peer connection and its own
// process id; it ends when told to, when the connection fails, and when the program ends.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <sys/prctl.h>
#include <csignal>
#include <unistd.h>

#include "app/audio/CompanionProtocol.h"
#include "app/companion/AudioRecordCompanion.h"

namespace protocol = vx::audio::companion;

namespace {

constexpr int kParentCheckMs = 500;
constexpr int kReadyTimeoutMs = 5000;
constexpr int kReadyRetryMs = 50;

int Usage() {
    std::fprintf(stderr, "usage: %s --peer <D-Bus address> --parent <process id>\n", protocol::kProgramName);
    return protocol::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    QString address;
    long parent = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString option = QString::fromLocal8Bit(argv[i]);
        if (option == QLatin1String("--peer")) {
            address = QString::fromLocal8Bit(argv[i + 1]);
        } else if (option == QLatin1String("--parent")) {
            parent = std::strtol(argv[i + 1], nullptr, 10);
        } else {
            return Usage();
        }
    }
    if (address.isEmpty() || parent <= 0) return Usage();
    // The kernel ends the companion with the program; the check below covers a program that died
    // between the fork and this call, and one started under another parent.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) return protocol::kExitOrphaned;

    QCoreApplication app(argc, argv);
    QDBusConnection window = QDBusConnection::connectToPeer(address, QStringLiteral("window"));
    if (!window.isConnected()) {
        std::fprintf(stderr, "%s: cannot reach the window at %s: %s\n", protocol::kProgramName,
                     qPrintable(address), qPrintable(window.lastError().message()));
        return protocol::kExitNoWindow;
    }
    vx::companion::CAudioRecordCompanion companion(window);
    window.registerObject(QString::fromLatin1(protocol::kCompanionPath), &companion,
                          QDBusConnection::ExportScriptableSlots);

    // The window may not have set up its side of the connection when this side is up: the
    // companion says it is ready until the window answers, and only then gets its commands.
    QDBusMessage ready = QDBusMessage::createMethodCall(QString(), QString::fromLatin1(protocol::kWindowPath),
                                                        QString::fromLatin1(protocol::kInterface),
                                                        QStringLiteral("Ready"));
    QElapsedTimer waited;
    waited.start();
    while (window.call(ready, QDBus::Block, kReadyTimeoutMs).type() != QDBusMessage::ReplyMessage) {
        if (waited.elapsed() > kReadyTimeoutMs || getppid() != parent) {
            std::fprintf(stderr, "%s: the window does not answer\n", protocol::kProgramName);
            return protocol::kExitNoWindow;
        }
        QThread::msleep(kReadyRetryMs);
    }

    QTimer parentCheck;
    QObject::connect(&parentCheck, &QTimer::timeout, [&] {
        if (getppid() != parent || !window.isConnected()) QCoreApplication::exit(protocol::kExitOrphaned);
    });
    parentCheck.start(kParentCheckMs);
    return app.exec();
}
