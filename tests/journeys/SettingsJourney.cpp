// The settings window, as a user meets it: opened from the title bar's gear, it asks the update
// service (here a local HTTPS service with its own certificate authority) about the program and
// the connected mouse, offers the mouse's newer firmware, switches the whole interface to Chinese
// and back while it is open, and follows an updater's progress reports that arrive over D-Bus.

#include "BuildPaths.h"
#include <QApplication>
#include <QLabel>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <fstream>
#include <map>
#include <regex>

#include "app/ControlCenterBus.h"
#include "app/MainWnd.h"
#include "profiles/DataFolders.h"
#include "support/JourneyFixture.h"
#include "tests/update/support/TestHttpServer.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "update/window/SetWnd.h"
#include "update/window/UpdateInfoListItemUI.h"
#include "widgets/ButtonUI.h"
#include "widgets/ControlUI.h"
#include "widgets/ResourceManager.h"

using vx::profiles::SetInstallFolderOverride;
using vx::profiles::UpdateDataFolder;
using vx::app::CControlCenterBus;
using vx::update::CSetWnd;
using vx::update::CUpdateInfoListItemUI;
using vx::widgets::CButtonUI;
using vx::widgets::CResourceManager;
namespace ui = vx::widgets::ui;

namespace journeys {
namespace {

namespace fs = std::filesystem;
const QString kProgressMessage = QStringLiteral("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}");
constexpr int kCheckWaitMs = 5000;

class SettingsJourney : public JourneyTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_service.Start());
        // The service answers the mouse with the next firmware version and the program with its
        // own version.
        m_service.SetResponder([](const vx::testing::TestHttpServer::Request& r) -> std::string {
            const std::string body = r.body.c_str();
            const size_t at = body.find("&version=");
            if (at == std::string::npos) return "{}";
            const std::string version = body.substr(at + 9);
            if (body.find("VXM01") != std::string::npos) {
                char next[16];
                std::snprintf(next, sizeof next, "%04x", static_cast<unsigned>(std::stoul(version, nullptr, 16) + 1));
                return std::string(R"({"name":"Mouse","path":"https://dl.example/mouse.bin","version":")") + next +
                       R"(","device_id":2})";
            }
            return R"({"name":"AP","version":")" + version + R"(","version_name":"V)" + version + R"("})";
        });
        for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) ::unsetenv(name);
        JourneyTest::SetUp();
        // This installation's deployment data name the local service and trust its authority.
        const fs::path install = HomeFolder() / "install";
        fs::create_directories(install);
        fs::copy(fs::path(VX_SOURCE_DIR) / "DefaultData", install / "DefaultData", fs::copy_options::recursive);
        std::string text;
        {
            std::ifstream in(install / "DefaultData" / "UpdateService.json");
            text.assign(std::istreambuf_iterator<char>(in), {});
        }
        text = std::regex_replace(text, std::regex(R"("ServiceAddress" : "[^"]*")"),
                                  "\"ServiceAddress\" : \"" + m_service.BaseUrl() + "\"");
        text = std::regex_replace(text, std::regex(R"("CaFile" : "[^"]*")"),
                                  "\"CaFile\" : \"" + m_service.CaFile().string() + "\"");
        std::ofstream(install / "DefaultData" / "UpdateService.json") << text;
        SetInstallFolderOverride(install);
    }
    void TearDown() override {
        JourneyTest::TearDown();
        SetInstallFolderOverride({});
    }

    CSetWnd* SettingsWindow() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<CSetWnd*>(top); window && window->isVisible()) return window;
        }
        return nullptr;
    }
    CUpdateInfoListItemUI* RowNamed(const QString& name) {
        CSetWnd* window = SettingsWindow();
        for (int i = 0; window && i < window->RowCount(); ++i) {
            if (window->Row(i)->GetProductName() == name) return window->Row(i);
        }
        return nullptr;
    }
    QString RowText(CUpdateInfoListItemUI* row, const char* child) {
        return ui::GetText(row->findChild<QWidget*>(QLatin1String(child)));
    }
    bool RowShows(CUpdateInfoListItemUI* row, const char* child) {
        QWidget* w = row->findChild<QWidget*>(QLatin1String(child));
        return w && w->isVisible();
    }
    QString Translated(const char* key) { return CResourceManager::GetInstance().GetText(QLatin1String(key)); }

    // Every visible text of the main window and the settings window that comes from the language
    // file, with what the current language file says it should be.
    struct Stale {
        int checked = 0;
        QStringList wrong;
        std::map<QWidget*, QString> mainTexts;  // the main window's, as shown
    };
    Stale LanguageTexts() {
        Stale result;
        QList<QWidget*> tops{&Window()};
        if (CSetWnd* settings = SettingsWindow()) tops << settings;
        for (QWidget* top : tops) {
            for (QWidget* w : top->findChildren<QWidget*>()) {
                if (!w->isVisible() || !ui::IsResourceText(w)) continue;
                const QString key = ui::GetTextKey(w);
                if (key.isEmpty()) continue;
                ++result.checked;
                if (top == &Window()) result.mainTexts[w] = ui::GetText(w);
                if (ui::GetText(w) != CResourceManager::GetInstance().GetText(key))
                    result.wrong << w->objectName() + "=" + ui::GetText(w);
            }
        }
        return result;
    }

    vx::testing::TestHttpServer m_service;
};

TEST_F(SettingsJourney, GearOpensSettingsThatOfferTheMouseUpdateFollowTheLanguageAndShowProgress) {
    PlugAndWait(Device::MouseWired);
    auto* gear = qobject_cast<CButtonUI*>(Find("setbtn"));
    ASSERT_NE(gear, nullptr);
    EXPECT_FALSE(gear->property("foreimage").toString().isEmpty()) << "the update badge is shown until a check";

    ASSERT_TRUE(Click("setbtn"));
    ASSERT_NE(SettingsWindow(), nullptr) << "the gear opened no settings window";
    CSetWnd& settings = *SettingsWindow();
    ASSERT_TRUE(WaitUntil([&] { return settings.UpdateState() == vx::update::kStateAvailable; }, kCheckWaitMs))
        << "final state " << settings.UpdateState();

    // One row per product asked about: the connected mouse and the program.
    ASSERT_EQ(settings.RowCount(), 2);
    CUpdateInfoListItemUI* mouse = RowNamed("Mouse");
    CUpdateInfoListItemUI* program = RowNamed("AP");
    ASSERT_TRUE(mouse && program);
    const QString local = RowText(mouse, "OldRev");
    const QString offered = RowText(mouse, "updateRev");
    EXPECT_TRUE(QRegularExpression("^V[0-9a-f]{4}$").match(local).hasMatch()) << local.toStdString();
    EXPECT_EQ(offered.mid(1).toUInt(nullptr, 16), local.mid(1).toUInt(nullptr, 16) + 1);
    EXPECT_TRUE(RowShows(mouse, "updateRev"));
    EXPECT_TRUE(mouse->IsChecked());
    EXPECT_EQ(RowText(mouse, "update_status_text"), "New version available");
    EXPECT_FALSE(program->IsCheckEnabled());
    EXPECT_FALSE(RowShows(program, "updateRev"));
    EXPECT_EQ(RowText(program, "update_status_text"), "Up to date");
    EXPECT_EQ(TextOf("Update_Status_text"), "Updates are available.");
    EXPECT_TRUE(Shown("update_fw_and_ap"));
    EXPECT_EQ(m_service.Requests().size(), 2u);
    vxtest::RenderToPng(&settings, QStringLiteral(VX_BINARY_DIR "/screenshots/journeys/settings_update_offered.png"));

    // Unchecking the only offered row takes the update button away; checking it brings it back.
    ASSERT_TRUE(Click("check_name_select"));
    EXPECT_FALSE(Shown("update_fw_and_ap"));
    ASSERT_TRUE(Click("check_name_select"));
    EXPECT_TRUE(Shown("update_fw_and_ap"));

    // Chinese, chosen in the settings window, reaches every text of both windows at once.
    const Stale before = LanguageTexts();
    ASSERT_TRUE(ChooseItem("Language_combox_info", QStringLiteral("简体中文")));
    EXPECT_EQ(Window().LanguageIndex(), 1);
    EXPECT_EQ(TextOf("Update_Status_text"), QStringLiteral("有可用的更新。"));
    EXPECT_EQ(RowText(mouse, "update_status_text"), QStringLiteral("有新版本"));
    Stale chinese = LanguageTexts();
    EXPECT_GT(chinese.checked, 10);
    EXPECT_TRUE(chinese.wrong.isEmpty()) << chinese.wrong.join(", ").toStdString();
    int changed = 0;
    for (const auto& [control, text] : before.mainTexts) changed += chinese.mainTexts[control] != text;
    EXPECT_GT(changed, 5) << "of " << before.mainTexts.size() << " texts of the main window";
    Screenshot("settings_main_chinese.png");
    vxtest::RenderToPng(&settings, QStringLiteral(VX_BINARY_DIR "/screenshots/journeys/settings_chinese.png"));

    ASSERT_TRUE(ChooseItem("Language_combox_info", QStringLiteral("English")));
    Stale english = LanguageTexts();
    EXPECT_TRUE(english.wrong.isEmpty()) << english.wrong.join(", ").toStdString();
    EXPECT_EQ(english.mainTexts, before.mainTexts);

    // The update is confirmed: the row waits, and the window stays while it does.
    ASSERT_TRUE(Click("update_fw_and_ap"));
    EXPECT_TRUE(Shown("update_download_folder"));
    EXPECT_EQ(TextOf("update_download_folder").toStdString(), UpdateDataFolder().string());
    ASSERT_TRUE(Click("update_OK_btn"));
    EXPECT_EQ(RowText(mouse, "update_status_text"), "Waiting to download");
    EXPECT_EQ(settings.UpdateState(), vx::update::kStateUpdating);
    ASSERT_TRUE(Click("closebtn"));
    ASSERT_EQ(SettingsWindow(), &settings) << "the window closed while a download waited";

    // The updater reports over D-Bus.
    CControlCenterBus bus;
    bus.SetTarget(Window().GetHWND());
    ASSERT_TRUE(bus.PostMessage(kProgressMessage, 4, 40));
    ASSERT_TRUE(WaitUntil([&] { return RowText(mouse, "update_progress_value") == "40%"; }, 2000));
    EXPECT_TRUE(RowShows(mouse, "update_status_ing"));
    EXPECT_EQ(RowText(mouse, "update_status_text"), "Downloading");
    vxtest::RenderToPng(&settings, QStringLiteral(VX_BINARY_DIR "/screenshots/journeys/settings_update_progress.png"));

    ASSERT_TRUE(bus.PostMessage(kProgressMessage, 1, 0));
    ASSERT_TRUE(WaitUntil([&] { return settings.UpdateState() == vx::update::kStateUpToDate; }, 2000));
    EXPECT_EQ(RowText(mouse, "OldRev"), offered);
    EXPECT_FALSE(RowShows(mouse, "updateRev"));
    EXPECT_FALSE(RowShows(mouse, "update_status_ing"));
    EXPECT_EQ(TextOf("Update_Status_text"), Translated("UpdateIsLastText") + settings.LastCheckDate());
    EXPECT_TRUE(gear->property("foreimage").toString().isEmpty()) << "the update badge stayed";

    // Nothing waits any more: the window closes, and the check's date is on disk.
    const QString checkedOn = settings.LastCheckDate();
    ASSERT_TRUE(Click("closebtn"));
    ASSERT_TRUE(WaitUntil([&] { return SettingsWindow() == nullptr; }, 1000));
    const Json::Value stored = ReadJson(DataFolder() / "updatetime.config");
    EXPECT_EQ(QString::fromStdString(stored["updatelasttime"]["value"].asString()), checkedOn);
}

TEST_F(SettingsJourney, TrayMenuOpensSettingsAndAServiceThatNeverAnswersLetsTheWindowCloseAtOnce) {
    m_service.SetMode(vx::testing::TestHttpServer::Mode::HoldAfterRequest);
    Window().GetTray().ReportRightClick();
    ASSERT_TRUE(WaitUntil([this] { return MenuOffers("setwnd_menu"); }, 2000));
    ASSERT_TRUE(ChooseMenuItem("setwnd_menu"));
    ASSERT_TRUE(WaitUntil([&] { return SettingsWindow() != nullptr; }, 1000));
    ASSERT_TRUE(WaitUntil([&] { return m_service.Requests().size() == 1; }, kCheckWaitMs));
    EXPECT_EQ(SettingsWindow()->UpdateState(), vx::update::kStateChecking);
    EXPECT_TRUE(Shown("update_status_ring"));

    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(Click("laterbtn"));
    ASSERT_TRUE(WaitUntil([&] { return SettingsWindow() == nullptr; }, 1000));
    EXPECT_LT(timer.elapsed(), 600);
}

TEST_F(SettingsJourney, KeyboardPageTextsMadeOfALanguageTextAndAValueFollowTheLanguage) {
    PlugAndWait(Device::KeyboardWired);
    ShowDevicePage(Device::KeyboardWired);
    ASSERT_TRUE(Click("system_Op_tab"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("repeat_delay_time_label1"); }, 1000));
    const QString english = TextOf("repeat_delay_time_label1");
    ASSERT_TRUE(english.startsWith("Delay: ")) << english.toStdString();

    ASSERT_TRUE(Click("setbtn"));
    ASSERT_TRUE(ChooseItem("Language_combox_info", QStringLiteral("简体中文")));
    const QString chinese = TextOf("repeat_delay_time_label1");
    EXPECT_EQ(chinese, QStringLiteral("延迟：") + english.mid(7));
    Screenshot("settings_keyboard_chinese.png");
    ASSERT_TRUE(ChooseItem("Language_combox_info", QStringLiteral("English")));
    EXPECT_EQ(TextOf("repeat_delay_time_label1"), english);
    ASSERT_TRUE(Click("laterbtn"));
}

}  // namespace
}  // namespace journeys
