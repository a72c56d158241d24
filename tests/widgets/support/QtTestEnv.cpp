// Every Qt test program gets one QApplication for its whole run, made before the first test.
#include "BuildPaths.h"
#include "QtTestEnv.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace {
int g_argc = 1;
char g_arg0[] = "vx-test";
char* g_argv[] = {g_arg0, nullptr};

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = new QApplication(g_argc, g_argv);
        m_app->setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

const bool g_registered = [] {
    testing::AddGlobalTestEnvironment(new QtEnvironment);
    return true;
}();
}  // namespace

namespace vxtest {

QString RepoSkinDir() {
    return QStringLiteral(VX_SOURCE_DIR "/skin/");
}

QString FixtureDir(const QString& relative) {
    return QStringLiteral(VX_SOURCE_DIR "/tests/") + relative;
}

bool RenderToPng(QWidget* window, const QString& path) {
    if (!window) return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    window->ensurePolished();
    const QPixmap pixmap = window->grab();
    return !pixmap.isNull() && pixmap.save(path, "PNG");
}

void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (timer.elapsed() < ms);
}

}  // namespace vxtest
