// The settings window's own rules, with a local HTTPS service behind its update check: the row
// statuses, the last-check date, the close refusal while a download waits, and the up-to-date
// message across a language change.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdlib>

#include "profiles/DataFolders.h"
#include "tests/update/support/TestHttpServer.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "update/window/SetWnd.h"
#include "update/window/UpdateInfoListItemUI.h"
#include "update/UpdateTimeFile.h"
#include "widgets/ControlUI.h"
#include "widgets/ResourceManager.h"

using vx::profiles::SetTempFolderOverride;
using vx::profiles::SetUserDataFolderOverride;
using vx::profiles::UpdateDataFolder;
using vx::profiles::UserDataFolder;

using namespace vx::update;
namespace fs = std::filesystem;
using vx::widgets::CResourceManager;
using vx::widgets::CWindowMessages;
using vx::widgets::WindowImplBase;
namespace ui = vx::widgets::ui;

namespace {

bool WaitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        vxtest::Pump(5);
    }
    return true;
}

ProductEntry Mouse(int local) {
    ProductEntry e;
    e.deviceKind = "mouse";
    e.versionForm = 1;
    e.localVersion = local;
    e.makerName = "Maker";
    e.modelCode = "M01";
    e.productType = "Mouse";
    e.displayName = "Mouse";
    return e;
}

class SetWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) ::unsetenv(name);
        CResourceManager& resources = CResourceManager::GetInstance();
        resources.SetResourcePath(vxtest::RepoSkinDir());
        ASSERT_TRUE(resources.LoadResource());
        resources.LoadLanguage(QStringLiteral("lan_en.xml"));
        char pattern[] = "/tmp/vx-setwnd-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_home = pattern;
        SetUserDataFolderOverride(m_home / "data");
        SetTempFolderOverride(m_home / "tmp");
        ASSERT_TRUE(m_service.Start());
    }
    void TearDown() override {
        delete m_window.data();
        vxtest::Pump(5);
        SetUserDataFolderOverride({});
        SetTempFolderOverride({});
        fs::remove_all(m_home);
        CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
    }

    CSetWnd& Open(std::vector<ProductEntry> candidates) {
        m_window = new CSetWnd();
        EXPECT_TRUE(m_window->Create(nullptr, "SetWnd", 0, WindowImplBase::kExStyleToolWindow,
                                     QRect(0, 0, CSetWnd::kWidth, CSetWnd::kHeight)));
        HttpSettings http;
        http.caFile = m_service.CaFile().string();
        m_window->SetUpdateService(m_service.BaseUrl(), http);
        m_window->SetOwnerInfo(0, 0);
        m_window->SetUpdateCandidates(std::move(candidates));
        m_window->show();
        return *m_window;
    }
    QString StatusText() { return ui::GetText(m_window->GetPaintManager().FindControl("Update_Status_text")); }

    fs::path m_home;
    vx::testing::TestHttpServer m_service;
    QPointer<CSetWnd> m_window;
};

TEST_F(SetWndTest, RowKeepsItsPercentageForTheSameStatusAndStartsAgainWhenTheIndicatorIsShown) {
    std::unique_ptr<CUpdateInfoListItemUI> row(CUpdateInfoListItemUI::Create());
    ASSERT_TRUE(row);
    row->show();
    row->SetStatus(kStatusDownloading);
    row->SetProgress(55);
    row->SetStatus(kStatusDownloading);
    EXPECT_EQ(row->GetProgress(), 55);
    EXPECT_EQ(ui::GetText(row->findChild<QWidget*>("update_progress_value")), "55%");
    row->SetStatus(kStatusUpdating);  // the indicator is shown anew for the next phase
    EXPECT_EQ(row->GetProgress(), 0);
    EXPECT_EQ(ui::GetText(row->findChild<QWidget*>("update_progress_value")), "0%");
    row->SetStatus(42);  // unknown: kept, nothing on screen changes
    EXPECT_EQ(row->GetStatus(), 42);
    EXPECT_TRUE(row->findChild<QWidget*>("update_status_ing")->isVisible());
    row->SetServerVersion("");
    EXPECT_FALSE(row->findChild<QWidget*>("updateRev")->isVisible());
}

TEST_F(SetWndTest, NoCandidatesEndInNoInformationAndTheFirstOpeningWritesTodaysDate) {
    CSetWnd& window = Open({});
    ASSERT_TRUE(WaitUntil([&] { return window.UpdateState() == kStateNoInformation; }));
    EXPECT_EQ(window.RowCount(), 0);
    EXPECT_EQ(ReadLastCheckDate(UserDataFolder() / kUpdateTimeFile), TodayText());
    EXPECT_TRUE(m_service.Requests().empty());
}

TEST_F(SetWndTest, UpToDateShowsThePreviousCheckDateInEveryLanguage) {
    WriteLastCheckDate(UserDataFolder() / kUpdateTimeFile, "2024-3-7");
    m_service.SetBody(R"({"name":"Mouse","version":"0105"})");
    CSetWnd& window = Open({Mouse(0x0105)});
    ASSERT_TRUE(WaitUntil([&] { return window.UpdateState() == kStateUpToDate; }));
    EXPECT_EQ(StatusText(), "Everything is up to date. Last check: 2024-3-7");
    // The file now says today; the window keeps showing the previous check.
    EXPECT_EQ(ReadLastCheckDate(UserDataFolder() / kUpdateTimeFile), TodayText());

    CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_cn.xml"));
    CWindowMessages::SendMessage(window.GetHWND(), CSetWnd::kMsgLanguageChanged, 0, 0);
    EXPECT_EQ(StatusText(), QStringLiteral("已是最新版本。上次检查：2024-3-7"));
}

// A row the service gave no usable answer for says so; it never claims to be up to date.
TEST_F(SetWndTest, RowWithoutAnAnswerSaysNothingIsKnownUntilAnAnswerComes) {
    m_service.SetBody("not json");
    CSetWnd& window = Open({Mouse(0x0105)});
    ASSERT_TRUE(WaitUntil([&] { return window.UpdateState() == kStateNoInformation; }));
    CUpdateInfoListItemUI* row = window.Row(0);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->GetStatus(), kStatusCurrent);
    EXPECT_FALSE(row->IsCheckEnabled());
    QWidget* status = row->findChild<QWidget*>("update_status_text");
    ASSERT_TRUE(status);
    EXPECT_EQ(ui::GetText(status), "No information");
    // Once the same status is set for a real answer, the row reads "up to date" again.
    row->SetStatus(kStatusCurrent);
    EXPECT_EQ(ui::GetText(status), "Up to date");
}

TEST_F(SetWndTest, WindowRefusesToCloseWhileAConfirmedRowWaitsForItsDownload) {
    m_service.SetBody(R"({"name":"Mouse","version":"0106","path":"https://dl/m.bin"})");
    CSetWnd& window = Open({Mouse(0x0105)});
    ASSERT_TRUE(WaitUntil([&] { return window.UpdateState() == kStateAvailable; }));
    CUpdateInfoListItemUI* row = window.Row(0);
    ASSERT_TRUE(row && row->IsChecked());
    EXPECT_EQ(ui::GetUserData(row), "https://dl/m.bin");
    EXPECT_EQ(window.Results()[0].localFilePath, (UpdateDataFolder() / "Mouse.exe").string());

    QWidget* ok = window.GetPaintManager().FindControl("update_OK_btn");
    ASSERT_TRUE(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(row->GetStatus(), kStatusWaiting);
    window.close();
    vxtest::Pump(5);
    EXPECT_TRUE(window.isVisible());

    // A failed update lets the window go.
    const uint progress = CWindowMessages::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}");
    window.SetProgressMessage(progress);
    CWindowMessages::SendMessage(window.GetHWND(), progress, 3, 0);
    EXPECT_EQ(row->GetStatus(), kStatusFailed);
    EXPECT_TRUE(row->IsCheckEnabled());
    window.close();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
