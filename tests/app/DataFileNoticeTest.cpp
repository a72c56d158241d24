// The data-file notice as the file layer and the window meet in it: problems met on a worker
// thread never wait for the user, reach the box only from the window's own event loop, one box
// at a time, and each file is told once.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "app/DataFileNotice.h"
#include "app/StartUp.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ResourceManager.h"

using vx::profiles::DataFileProblemKind;
using vx::profiles::ReportDataFileProblem;
using vx::app::CDataFileNotice;
using vx::app::SetupResources;
using vx::widgets::CResourceManager;

namespace {

class DataFileNoticeTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    }
};

TEST_F(DataFileNoticeTest, WorkerProblemsAreToldLaterOnTheWindowThreadOncePerFileOneBoxAtATime) {
    const std::thread::id windowThread = std::this_thread::get_id();
    QStringList shown;
    bool allOnWindowThread = true;
    int open = 0;
    int mostOpen = 0;
    CDataFileNotice notice([&](const QString& text) {
        shown << text;
        allOnWindowThread = allOnWindowThread && std::this_thread::get_id() == windowThread;
        mostOpen = std::max(mostOpen, ++open);
        // A problem met while a box is open waits for that box.
        if (shown.size() == 1) ReportDataFileProblem({DataFileProblemKind::Unreadable, "/data/c.Json", {}, EACCES});
        // The box is modal: its own event loop runs until the user closes it.
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        --open;
    });

    std::atomic<bool> reported{false};
    std::thread worker([&] {
        ReportDataFileProblem({DataFileProblemKind::NotSaved, "/data/a.Json", {}, EROFS});
        ReportDataFileProblem({DataFileProblemKind::NotSaved, "/data/a.Json", {}, EROFS});
        ReportDataFileProblem({DataFileProblemKind::Broken, "/data/b.Json", "/data/b.Json.broken", 0});
        reported = true;
    });
    // The worker is done without the window having run at all: it never waits for the user.
    QElapsedTimer waited;
    waited.start();
    while (!reported && waited.elapsed() < 2000) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(reported) << "a worker waited for the window";
    worker.join();
    EXPECT_TRUE(shown.isEmpty()) << "a box was opened outside the window's event loop";

    vxtest::Pump(800);
    ASSERT_EQ(shown.size(), 3) << shown.join("\n").toStdString();
    EXPECT_TRUE(allOnWindowThread);
    EXPECT_EQ(mostOpen, 1) << "a box was opened inside another";
    EXPECT_TRUE(shown[0].contains("/data/a.Json") && shown[0].contains("Read-only file system") &&
                shown[0].contains("not"))
        << shown[0].toStdString();
    EXPECT_TRUE(shown[1].contains("/data/b.Json") && shown[1].contains("/data/b.Json.broken"))
        << shown[1].toStdString();
    EXPECT_TRUE(shown[2].contains("/data/c.Json") && shown[2].contains("Permission denied"))
        << shown[2].toStdString();

    // Told once per file and kind for the rest of the run.
    ReportDataFileProblem({DataFileProblemKind::NotSaved, "/data/a.Json", {}, ENOSPC});
    vxtest::Pump(100);
    EXPECT_EQ(shown.size(), 3);
}

}  // namespace
