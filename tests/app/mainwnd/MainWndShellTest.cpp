// The main window's own messages and settings: the language kept in the user's configuration,
// the font rule, lighting control from other programs, the "WorkTool" record, the light-status
// button. The window runs its discovery against an empty virtual interface directory.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "app/ControlCenterBus.h"
#include "app/LanguageSettings.h"
#include "app/MainWnd.h"
#include "app/RegisteredMessages.h"
#include "app/StartUp.h"
#include "app/discovery/DiscoverySink.h"
#include "app/discovery/UdevRulesFile.h"
#include "link/SupportedDevices.h"
#include "profiles/DataFolders.h"
#include "tests/link/support/VirtualNodePlayer.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "widgets/ResourceManager.h"

using vx::link::SupportedDevicesUdevRules;
using vx::profiles::SetUserDataFolderOverride;
using vx::profiles::UserDataFolder;
using vx::app::CControlCenterBus;
using vx::app::CLanguageSettings;
using vx::app::CMainWnd;
using vx::app::SetupResources;
using vx::app::UWM_LIGHT_CONTROL_MSG;
using vx::app::UWM_LIGHT_STATUS_MSG;
using vx::app::UWM_WORKTOOL_MSG;
using vx::app::WM_LANGUAGE_CHANGED;
namespace registered_messages = vx::app::registered_messages;
using vx::discovery::DiscoveryOptions;
using vx::discovery::IsRootOnlyFile;
using vx::discovery::UdevRulesFolders;
using vx::discovery::kUdevRulesFileName;
using vx::widgets::CResourceManager;
using vx::widgets::CWindowMessages;
namespace ui = vx::widgets::ui;

namespace {

QSettings UserSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "VexorUmbrelControlCenter",
                     "VexorUmbrelControlCenter");
}

class LanguageTest : public testing::Test {
protected:
    void SetUp() override { QFile::remove(UserSettings().fileName()); }
    void TearDown() override { QFile::remove(UserSettings().fileName()); }
};

TEST_F(LanguageTest, TheConfiguredIdentifierSelectsItsEntry) {
    // Nothing configured: identifier 520 matches no entry, so the first entry is used.
    EXPECT_EQ(CLanguageSettings::ReadLanguageId(), CLanguageSettings::kDefaultLanguageId);
    EXPECT_EQ(CLanguageSettings::ReadLanguageIndex(), 0);

    ASSERT_TRUE(CLanguageSettings::WriteLanguageId(2052));
    EXPECT_EQ(CLanguageSettings::ReadLanguageIndex(), 1);  // "Language.config" lists 1033 then 2052
    ASSERT_TRUE(CLanguageSettings::WriteLanguageId(9999));
    EXPECT_EQ(CLanguageSettings::ReadLanguageIndex(), 0);

    CLanguageSettings::Entry entry;
    EXPECT_TRUE(CLanguageSettings::LanguageEntry(1, &entry));
    EXPECT_EQ(entry.id, 2052);
    EXPECT_EQ(entry.file, "lan_cn.xml");
    EXPECT_FALSE(CLanguageSettings::LanguageEntry(7, &entry));
    EXPECT_FALSE(CLanguageSettings::LanguageEntry(-1, &entry));
}

TEST_F(LanguageTest, ApplyingStoresTheChoiceAndTheSameIndexTwiceDoesNothing) {
    ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
    CLanguageSettings language;
    EXPECT_TRUE(language.Apply(1));
    EXPECT_EQ(language.CurrentIndex(), 1);
    EXPECT_EQ(CLanguageSettings::ReadLanguageId(), 2052);
    // Someone else writes the configuration; applying the current index again touches nothing.
    ASSERT_TRUE(CLanguageSettings::WriteLanguageId(1033));
    EXPECT_FALSE(language.Apply(1));
    EXPECT_EQ(CLanguageSettings::ReadLanguageId(), 1033);
    // An index without entry changes the index but keeps the stored choice.
    EXPECT_TRUE(language.Apply(5));
    EXPECT_EQ(CLanguageSettings::ReadLanguageId(), 1033);
}

TEST(LanguageFontTest, FacesFollowTheLanguageRule) {
    // By language identifier: Thai, Simplified and Traditional Chinese have faces of their own.
    EXPECT_EQ(CLanguageSettings::FontFaceFor(1054, 2052), "Noto Sans Thai");
    EXPECT_EQ(CLanguageSettings::FontFaceFor(1028, 1033), "Noto Sans CJK TC Regular");
    EXPECT_EQ(CLanguageSettings::FontFaceFor(2052, 1031), "汉仪菱心体简");
    // Leaving a language with its own face, or starting: the common face.
    EXPECT_EQ(CLanguageSettings::FontFaceFor(1033, 1054), "Verdana Unicode MS");
    EXPECT_EQ(CLanguageSettings::FontFaceFor(1033, -1), "Verdana Unicode MS");
    EXPECT_EQ(CLanguageSettings::FontFaceFor(1033, 2052), "Verdana Unicode MS");
    // Between two other languages the font stays.
    EXPECT_TRUE(CLanguageSettings::FontFaceFor(1033, 1031).isEmpty());
}

class MainWndShellTest : public testing::Test {
protected:
    void SetUp() override {
        QFile::remove(UserSettings().fileName());
        qputenv("VX_VIRTUAL_HID_DIR", dir.Path().c_str());
        SetUserDataFolderOverride(data.Path());
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        ASSERT_TRUE(registered_messages::RegisterActivateMessage());
        registered_messages::RegisterGuidMessages();
        registered_messages::RegisterHookMessages();
        wnd = std::make_unique<CMainWnd>();
        DiscoveryOptions options;
        options.useUdevMonitor = false;
        wnd->SetDiscoveryOptions(options);
        ASSERT_TRUE(
            wnd->Create(nullptr, CMainWnd::kTitle, 0, 0, QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight)));
        wnd->show();
        for (int i = 0; i < 400 && !wnd->FirstScanDone(); ++i) vxtest::Pump(5);
        ASSERT_TRUE(wnd->FirstScanDone());
    }
    void TearDown() override {
        if (wnd) wnd->OnMenuItem("exit");
        wnd.reset();
        qunsetenv("VX_VIRTUAL_HID_DIR");
    }
    void Send(uint message, quintptr w, qintptr l) {
        CWindowMessages::SendMessage(wnd->GetHWND(), message, w, l);
    }
    QString LightStatusKey() {
        return ui::GetTextKey(wnd->GetPaintManager().FindControl("control_light_status"));
    }

    vxtest::ScopedTempDir dir;
    vxtest::ScopedTempDir data;
    std::unique_ptr<CMainWnd> wnd;
};

TEST_F(MainWndShellTest, LightingControlFromOtherProgramsNeedsWParamOne) {
    EXPECT_EQ(wnd->LightControl(), 1);
    Send(UWM_LIGHT_CONTROL_MSG, 2, 0);  // wrong wParam: ignored
    EXPECT_EQ(wnd->LightControl(), 1);
    Send(UWM_LIGHT_CONTROL_MSG, 1, 0);
    EXPECT_EQ(wnd->LightControl(), 0);
    EXPECT_EQ(LightStatusKey(), "light_control_off");
    Send(UWM_LIGHT_CONTROL_MSG, 1, 7);  // other values re-send the current flag only
    EXPECT_EQ(wnd->LightControl(), 0);
    Send(UWM_LIGHT_CONTROL_MSG, 1, 1);
    EXPECT_EQ(wnd->LightControl(), 1);
    EXPECT_EQ(LightStatusKey(), "light_control_on");
}

TEST_F(MainWndShellTest, TheLightStatusButtonTogglesAndBroadcasts) {
    CControlCenterBus bus;
    wnd->SetBus(&bus);
    std::vector<std::tuple<QString, qlonglong, qlonglong>> broadcasts;
    QObject::connect(&bus, &CControlCenterBus::Broadcast,
                     [&](const QString& n, qlonglong w, qlonglong l) { broadcasts.emplace_back(n, w, l); });
    QWidget* button = wnd->GetPaintManager().FindControl("control_light_status");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(wnd->LightControl(), 0);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(wnd->LightControl(), 1);
    const QString status = CWindowMessages::GetRegisteredName(UWM_LIGHT_STATUS_MSG);
    ASSERT_EQ(broadcasts.size(), 2u);
    EXPECT_EQ(broadcasts[0], std::make_tuple(status, 1LL, 0LL));
    EXPECT_EQ(broadcasts[1], std::make_tuple(status, 1LL, 1LL));
    wnd->SetBus(nullptr);
}

TEST_F(MainWndShellTest, TheWorkToolRecordListsTheFourDeviceKinds) {
    CControlCenterBus bus;
    wnd->SetBus(&bus);
    QByteArray sent;
    QObject::connect(&bus, &CControlCenterBus::WorkToolReport, [&](const QByteArray& r) { sent = r; });
    Send(UWM_WORKTOOL_MSG, 0, 0);
    wnd->SetBus(nullptr);
    ASSERT_EQ(sent.size(), 1024);
    auto at = [&](int i) {
        const auto* p = reinterpret_cast<const uint8_t*>(sent.constData()) + 4 * i;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    };
    const uint32_t expected[] = {2,      3,      0, 2, 4, 0x320F, 0x221C, 2,  // mouse
                                 0x320F, 0x5055, 1,                           // keyboard
                                 0x320F, 0x1004, 3,                           // mousepad
                                 0x0C76, 0x1630, 7};                          // headset
    for (int i = 0; i < 17; ++i) EXPECT_EQ(at(i), expected[i]) << i;
    for (int i = 17; i < 256; ++i) ASSERT_EQ(at(i), 0u) << i;
}

TEST_F(MainWndShellTest, CloseHidesTheWindowAndOnlyExitEndsTheWorkers) {
    ASSERT_TRUE(wnd->isVisible());
    QTest::mouseClick(wnd->GetPaintManager().FindControl("closebtn"), Qt::LeftButton);
    EXPECT_FALSE(wnd->isVisible());
    ASSERT_NE(wnd->Discovery(), nullptr);
    EXPECT_TRUE(wnd->Discovery()->Running());
    // The window manager's close does the same.
    CWindowMessages::PostMessage(wnd->GetHWND(), CMainWnd::WM_TRAY_NOTIFY, 0, CMainWnd::kTrayLeftUp);
    vxtest::Pump(10);
    EXPECT_TRUE(wnd->isVisible());
    wnd->close();
    EXPECT_FALSE(wnd->isVisible());
    EXPECT_TRUE(wnd->Discovery()->Running());
}

// "exit" stops the workers while delivering events, which may delete the tray menu; Qt's menu
// still writes to itself after its triggered signal returns. So the choice must be handled only
// once the click is over (done inside it, the heap was corrupted now and then on exit).
TEST_F(MainWndShellTest, TheTrayMenuChoiceIsHandledAfterTheMenuHasHandledTheClick) {
    wnd->GetTray().ReportRightClick();
    QPointer<QMenu> menu;
    QAction* exitItem = nullptr;
    for (int i = 0; i < 400 && exitItem == nullptr; ++i) {
        vxtest::Pump(5);
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* candidate = qobject_cast<QMenu*>(top);
            if (candidate == nullptr || !candidate->isVisible()) continue;
            for (QAction* action : candidate->actions()) {
                if (action->objectName() != "exit") continue;
                menu = candidate;
                exitItem = action;
            }
        }
    }
    ASSERT_NE(exitItem, nullptr) << "the tray menu did not open";
    const QPoint centre = menu->actionGeometry(exitItem).center();
    QTest::mouseMove(menu, centre);
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, centre);
    // The click is over and nothing of the exit has run yet.
    EXPECT_FALSE(menu.isNull());
    ASSERT_NE(wnd->Discovery(), nullptr);
    EXPECT_TRUE(wnd->Discovery()->Running());
    for (int i = 0; i < 400 && wnd->Discovery()->Running(); ++i) vxtest::Pump(5);
    EXPECT_FALSE(wnd->Discovery()->Running()) << "exit was not handled after the click";
}

TEST_F(MainWndShellTest, TheLanguageMessageAppliesTheEntry) {
    Send(WM_LANGUAGE_CHANGED, 1, 0);
    EXPECT_EQ(wnd->LanguageIndex(), 1);
    EXPECT_EQ(CLanguageSettings::ReadLanguageId(), 2052);
    Send(WM_LANGUAGE_CHANGED, 0, 0);
    EXPECT_EQ(wnd->LanguageIndex(), 0);
    EXPECT_EQ(CLanguageSettings::ReadLanguageId(), 1033);
}

TEST_F(MainWndShellTest, APermissionProblemShowsTheFixOnce) {
    QWidget* notice = wnd->GetPaintManager().FindControl("nodevice_permission");
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(ui::IsVisible(notice));
    const QString path = "hid#vid_320f&pid_5055&mi_01&col04#/dev/hidraw9";
    // Reported from the discovery thread's side, twice for the same interface.
    std::thread reporter([&] {
        wnd->QueuePermissionNotice(path);
        wnd->QueuePermissionNotice(path);
    });
    reporter.join();
    vxtest::Pump(20);
    EXPECT_EQ(wnd->PermissionProblems(), QStringList{path});
    EXPECT_TRUE(ui::IsVisible(notice));
    // The fix never names a file the user could change as if it were trusted: nothing is written
    // into the user's data folder, and this test program runs from the build tree, whose rules
    // file is to be read and copied as root (unless the machine has the rule installed).
    const std::string userRules = (UserDataFolder() / std::string(kUdevRulesFileName)).string();
    EXPECT_FALSE(std::filesystem::exists(userRules));
    const QString command = ui::GetText(wnd->GetPaintManager().FindControl("nodevice_permission_command"));
    const QString hint = ui::GetText(wnd->GetPaintManager().FindControl("nodevice_permission_hint"));
    EXPECT_FALSE(command.contains(QString::fromStdString(UserDataFolder().string()))) << command.toStdString();
    EXPECT_TRUE(command.contains("udevadm trigger --subsystem-match=hidraw")) << command.toStdString();
    bool systemRule = false;
    for (const auto& folder : UdevRulesFolders())
        systemRule = systemRule || IsRootOnlyFile(folder / std::string(kUdevRulesFileName));
    if (systemRule) {
        EXPECT_EQ(hint, CResourceManager::GetInstance().GetText("permission_hint"));
        EXPECT_FALSE(command.contains("install")) << command.toStdString();
    } else {
        EXPECT_EQ(hint, CResourceManager::GetInstance().GetText("permission_hint_build"));
        EXPECT_TRUE(hint.contains("as root")) << hint.toStdString();
        const std::string built = VX_BINARY_DIR "/packaging/udev/" + std::string(kUdevRulesFileName);
        EXPECT_TRUE(command.startsWith(QString::fromStdString("sudo install -m 0644 -o root -g root '" + built + "'")))
            << command.toStdString();
        std::ifstream file(built);
        std::stringstream text;
        text << file.rdbuf();
        EXPECT_EQ(text.str(), SupportedDevicesUdevRules());
    }
    // It stays below the no-device notice: a device shown hides both.
    EXPECT_TRUE(ui::IsVisible(wnd->GetPaintManager().FindControl("No_device_Link")));
}

}  // namespace
