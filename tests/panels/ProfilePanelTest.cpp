// The profile panel built from the skin's layout, driven the way the window's routing drives it,
// with a page that loads the chosen profile file and records what it would send.
#include "panels/DeviceProfileUI.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <deque>
#include <fstream>
#include <iterator>

#include "app/ControlRouter.h"
#include "devices/TavimondUSBDevice.h"
#include "profiles/BasicProfiledata.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonFile.h"
#include "profiles/StringUtil.h"
#include "support/QtTestEnv.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ResourceManager.h"

using vx::widgets::INotifyUI;

using vx::profiles::CBasicProfiledata;
using vx::profiles::DeviceDataFolder;
using vx::profiles::JsonFile;
using vx::profiles::ProfileList;
using vx::profiles::SetUserDataFolderOverride;
using vx::profiles::kMaxNewProfiles;
using vx::profiles::kProfileListFile;

namespace fs = std::filesystem;
using vx::app::CControlRouter;
using vx::app::RouteOwner;
using vx::app::RouteRow;
namespace functionpage = vx::devices::functionpage;
using vx::panels::CDeviceProfileUI;
using vx::widgets::CComboUI;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::TNotifyUI;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Json::Value FactoryDocument() {
    Json::Value document;
    document["profilename"] = "factory";
    document["profileUUID"] = "factory";
    document["Device"][0]["LightInfo"]["SelectItem"] = 1;
    document["Device"][0]["LightInfo"]["Red"] = 10;
    return document;
}

// Answers in place of the user and keeps every question and notice.
class ScriptedPrompts : public vx::panels::IProfilePanelPrompts {
public:
    QString OpenProfileFile(QWidget*, const QString& filter) override {
        filters.push_back(filter);
        return Next();
    }
    QString SaveProfileFile(QWidget*, const QString& filter) override {
        filters.push_back(filter);
        return Next();
    }
    int Ask(QWidget*, const QString& key) override {
        asked.push_back(key);
        return answer;
    }
    void Tell(QWidget* parent, const QString& text, bool textIsKey) override {
        told.push_back(text);
        toldWithParent.push_back(parent != nullptr);
        EXPECT_TRUE(textIsKey);
    }

    std::deque<QString> files;
    std::vector<QString> filters;
    std::vector<QString> asked;
    std::vector<QString> told;
    std::vector<bool> toldWithParent;
    int answer = 0;

private:
    QString Next() {
        if (files.empty()) return QString();
        QString file = files.front();
        files.pop_front();
        return file;
    }
};

// A page that does with a profile what every device page does: load the file the identifier
// names (completed from the factory profile), show it, and send its lighting.
class RecordingPage : public vx::devices::CTavimondUSBDevice {
public:
    int LoadProfile() override {
        m_data.SetProfilePath(ProfilePathText());
        m_data.LoadProfile(m_data.GetProfilePath());
        m_light = m_data.GetLightInfo();
        loaded.push_back(GetProfileId());
        return 1;
    }
    void RefreshPage() override { ++refreshed; }
    int WriteSettings(int, int, int, int, int) override {
        sentRed.push_back(m_light.red);
        return writeResult;
    }
    int ApplyKeyAssignments() override {
        ++keyWrites;
        return 1;
    }
    void SetFunctionPage(int type) override { functionPages.push_back(type); }
    CBasicProfiledata* GetProfileData() override { return &m_data; }

    CBasicProfiledata m_data;
    LightInfo m_light;
    std::vector<std::string> loaded;
    std::vector<int> sentRed;
    std::vector<int> functionPages;
    int refreshed = 0;
    int keyWrites = 0;
    int writeResult = 1;
};

class ProfilePanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        CResourceManager::GetInstance().SetResourcePath(vxtest::RepoSkinDir());
        ASSERT_TRUE(CResourceManager::GetInstance().LoadResource());
        std::string pattern = (fs::temp_directory_path() / "vx-profilepanel-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        SetUserDataFolderOverride(m_root / "user");
        m_factory = m_root / "keyboard.Json";
        m_file.WriteJson(m_factory, FactoryDocument());
        m_folder = DeviceDataFolder("keyboard");

        m_page.SetKindName("keyboard");
        m_page.m_data.SetDefaultPath(m_factory);
        m_window = std::make_unique<QWidget>();
        m_panel = new CDeviceProfileUI(m_window.get());
        ASSERT_TRUE(m_panel->BuildContent());
        m_manager.AttachRoot(m_window.get());
        m_panel->SetPrompts(&m_prompts);
        m_panel->SetDevicePage(&m_page);
        m_panel->SetDeviceKind(1);
        m_panel->SetProfileFolders(m_folder, m_factory);
        m_panel->LoadProfileList();
    }
    void TearDown() override {
        m_window.reset();
        SetUserDataFolderOverride({});
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    template <class T = QWidget>
    T* Control(const char* name) const {
        return CPaintManagerUI::FindSubControl<T>(m_panel, QString::fromLatin1(name));
    }
    // The panel's control as the main window's routing tables take it; false when the name
    // routes to something other than this panel.
    bool Route(const QString& type, const char* name) {
        TNotifyUI msg;
        msg.sType = type;
        msg.pSender = Control(name);
        EXPECT_NE(msg.pSender, nullptr) << name;
        return RouteToPanel(m_panel, msg);
    }
    static bool RouteToPanel(CDeviceProfileUI* panel, TNotifyUI& msg) {
        if (msg.pSender == nullptr) return false;
        int index = -1;
        const RouteRow* row = CControlRouter::Resolve(msg.sType, msg.pSender->objectName(), index);
        if (row == nullptr || row->owner != RouteOwner::ProfilePanel) return false;
        row->call(panel, CControlRouter::MakeEvent(msg, index, row));
        return true;
    }
    bool Click(const char* name) { return Route(notify::kClick, name); }
    CComboUI* Combo() const { return Control<CComboUI>("device_profile_combo"); }
    QStringList ComboItems() const {
        QStringList items;
        for (int i = 0; i < Combo()->count(); ++i) items << Combo()->itemText(i);
        return items;
    }
    Json::Value ListFile() const { return m_file.ReadJson(m_folder / kProfileListFile); }
    std::string IdAt(int position) const { return m_panel->List().Entries().at(position).identifier; }
    void SetRed(int position, int red) {
        const fs::path path = m_folder / (IdAt(position) + ".Json");
        Json::Value profile = m_file.ReadJson(path);
        profile["Device"][0]["LightInfo"]["Red"] = red;
        m_file.WriteJson(path, profile);
    }

    fs::path m_root;
    fs::path m_factory;
    fs::path m_folder;
    JsonFile m_file;
    RecordingPage m_page;
    std::unique_ptr<QWidget> m_window;
    CDeviceProfileUI* m_panel = nullptr;
    CPaintManagerUI m_manager;
    ScriptedPrompts m_prompts;
};

}  // namespace

TEST_F(ProfilePanelTest, LoadingFillsTheComboAndSetsTheTabsByDeviceKind) {
    EXPECT_EQ(ComboItems(), QStringList{"profile1"});
    EXPECT_EQ(m_panel->GetSelectedPosition(), 0);
    EXPECT_EQ(m_panel->GetNameEditText(), "profile1");
    EXPECT_TRUE(ProfileList::IsProfileIdentifier(m_panel->GetSelectedIdentifier()));
    EXPECT_EQ(Combo()->itemData(0, Qt::SizeHintRole).toSize().height(), CDeviceProfileUI::kItemHeight);
    EXPECT_FALSE(ui::IsVisible(Control("cursor_Op_tab")));
    EXPECT_TRUE(ui::IsVisible(Control("key_Op_tab")));

    const auto visibleTabs = [this](int kind) {
        CDeviceProfileUI panel;
        EXPECT_TRUE(panel.BuildContent());
        panel.SetDeviceKind(kind);
        panel.SetProfileFolders(m_root / ("kind" + std::to_string(kind)), m_factory);
        fs::create_directories(m_root / ("kind" + std::to_string(kind)));
        panel.LoadProfileList();
        QStringList shown;
        for (const char* name : {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab",
                                 "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}) {
            if (ui::IsVisible(CPaintManagerUI::FindSubControlByName(&panel, name))) shown << name;
        }
        return shown;
    };
    EXPECT_EQ(visibleTabs(2),
              (QStringList{"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab", "cursor_Op_tab"}));
    EXPECT_EQ(visibleTabs(3), QStringList{"deng_Op_tab"});
    EXPECT_EQ(visibleTabs(5), (QStringList{"deng_Op_tab", "system_Op_tab"}));
    EXPECT_EQ(visibleTabs(7),
              (QStringList{"deng_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}));
}

TEST_F(ProfilePanelTest, SelectTabSelectsExactlyOneOption) {
    const char* names[] = {"deng_Op_tab",   "key_Op_tab",        "macro_Op_tab", "system_Op_tab",
                           "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};
    for (int tab = 1; tab <= 8; ++tab) {
        m_panel->SelectTab(tab);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(Control<COptionUI>(names[i])->IsSelected(), i == tab - 1) << tab;
    }
    // Outside 1 to 8 everything is unselected except the surround tab, which keeps its state.
    m_panel->SelectTab(0);
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(Control<COptionUI>(names[i])->IsSelected());
    EXPECT_TRUE(Control<COptionUI>("Virtual7.1_Op_tab")->IsSelected());

    // The user's choice of a tab opens the page's function page.
    EXPECT_TRUE(Route(notify::kSelectChanged, "key_Op_tab"));
    EXPECT_TRUE(Control<COptionUI>("key_Op_tab")->IsSelected());
    EXPECT_EQ(m_page.functionPages, std::vector<int>{functionpage::kKeySet});

    // Without one of the eight options nothing changes.
    delete Control("magic_Op_tab");
    m_panel->SelectTab(3);
    EXPECT_TRUE(Control<COptionUI>("key_Op_tab")->IsSelected());
    EXPECT_FALSE(Control<COptionUI>("macro_Op_tab")->IsSelected());
}

TEST_F(ProfilePanelTest, NewAndDeleteTakeTheProfileIntoThePage) {
    SetRed(0, 1);
    ASSERT_TRUE(Click("device_add_btn"));
    EXPECT_EQ(ComboItems(), (QStringList{"profile1", "profile2"}));
    EXPECT_EQ(m_panel->GetSelectedPosition(), 1);
    EXPECT_EQ(m_panel->GetNameEditText(), "profile2");
    ASSERT_EQ(m_page.loaded, std::vector<std::string>{IdAt(1)});
    EXPECT_EQ(m_page.sentRed, std::vector<int>{10});
    EXPECT_EQ(m_page.keyWrites, 1);
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 1);

    // Delete asks first (it cannot be undone); "no" keeps the profile and its file.
    const fs::path secondFile = m_folder / (IdAt(1) + ".Json");
    ASSERT_TRUE(Click("device_sub_btn"));
    EXPECT_EQ(m_prompts.asked, std::vector<QString>{"profile_delete_question"});
    EXPECT_EQ(ComboItems(), (QStringList{"profile1", "profile2"}));
    EXPECT_TRUE(fs::exists(secondFile));
    EXPECT_EQ(m_page.loaded.size(), 1u);

    m_prompts.answer = 1;
    ASSERT_TRUE(Click("device_sub_btn"));
    EXPECT_EQ(ComboItems(), QStringList{"profile1"});
    EXPECT_FALSE(fs::exists(secondFile));
    EXPECT_EQ(m_panel->GetSelectedPosition(), 0);
    ASSERT_EQ(m_page.loaded.size(), 2u);
    EXPECT_EQ(m_page.loaded.back(), IdAt(0));
    EXPECT_EQ(m_page.sentRed.back(), 1);

    // The last profile stays, and nothing is asked about it.
    ASSERT_TRUE(Click("device_sub_btn"));
    EXPECT_EQ(ComboItems(), QStringList{"profile1"});
    EXPECT_EQ(m_page.loaded.size(), 2u);
    EXPECT_EQ(m_prompts.asked.size(), 2u);

    // At fifty profiles "new" does nothing, "copy" still adds one.
    while (Combo()->count() < kMaxNewProfiles) ASSERT_GE(m_panel->NewProfile(), 0);
    const size_t loads = m_page.loaded.size();
    Click("device_add_btn");
    EXPECT_EQ(Combo()->count(), kMaxNewProfiles);
    EXPECT_EQ(m_page.loaded.size(), loads);
    Click("device_copy_btn");
    EXPECT_EQ(Combo()->count(), kMaxNewProfiles + 1);
}

TEST_F(ProfilePanelTest, SwitchingProfilesWaitsForTheDelayThenReloadsAndWrites) {
    SetRed(0, 1);
    ASSERT_GE(m_panel->CopyProfile(), 0);
    SetRed(1, 2);
    EXPECT_EQ(ComboItems(), (QStringList{"profile1", "profile1 copy"}));
    EXPECT_EQ(m_panel->GetSelectedPosition(), 0);
    EXPECT_TRUE(m_page.loaded.empty());

    Combo()->SelectItem(1);
    // The combo's choice waits for the delay (the main window's timer 1055 does the same).
    m_panel->StartDelayedSelect();
    EXPECT_TRUE(m_panel->IsDelayedSelectPending());
    EXPECT_TRUE(m_page.loaded.empty());
    QTest::qWait(CDeviceProfileUI::kSelectDelayMs / 2);
    EXPECT_TRUE(m_page.loaded.empty());
    QTRY_VERIFY_WITH_TIMEOUT(!m_page.loaded.empty(), 2000);
    EXPECT_EQ(m_page.loaded, std::vector<std::string>{IdAt(1)});
    EXPECT_EQ(m_page.GetProfileId(), IdAt(1));
    EXPECT_EQ(m_page.sentRed, std::vector<int>{2});
    EXPECT_EQ(m_page.refreshed, 1);
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 1);
    EXPECT_EQ(m_panel->GetNameEditText(), "profile1 copy");

    // An operation right after a choice acts on the chosen profile, not the one loaded before.
    Combo()->SelectItem(0);
    m_panel->StartDelayedSelect();
    Control<QLineEdit>("device_profile_name_edit")->setText("first");
    Click("device_profile_edit_save_btn");
    EXPECT_FALSE(m_panel->IsDelayedSelectPending());
    EXPECT_EQ(ComboItems(), (QStringList{"first", "profile1 copy"}));
    EXPECT_EQ(m_page.loaded.back(), IdAt(0));

    // A failed write to a connected device is reported.
    m_page.CommandLink().SetConnected(true);
    m_page.writeResult = 0;
    Combo()->SelectItem(1);
    m_panel->RunDelayedSelect();
    EXPECT_EQ(m_prompts.told, std::vector<QString>{"message_text_7"});
    m_page.CommandLink().SetConnected(false);
}

TEST_F(ProfilePanelTest, RenameShowsTheNoticesOfItsResults) {
    m_panel->NewProfile();
    m_panel->SelectProfile(0, false);
    auto* edit = Control<QLineEdit>("device_profile_name_edit");

    edit->setText("PROFILE2");
    Click("device_profile_edit_save_btn");
    edit->setText("   ");
    Click("device_profile_edit_save_btn");
    edit->clear();
    Click("device_profile_edit_save_btn");
    EXPECT_EQ(m_prompts.told, (std::vector<QString>{"message_text_5", "message_text_25"}));
    EXPECT_EQ(m_prompts.toldWithParent, (std::vector<bool>{false, false}));
    EXPECT_EQ(ComboItems(), (QStringList{"profile1", "profile2"}));

    edit->setText("Profile1");
    Click("device_profile_edit_save_btn");
    EXPECT_EQ(ComboItems(), (QStringList{"Profile1", "profile2"}));
    EXPECT_EQ(Combo()->GetItemUserData(0), "Profile1");
    EXPECT_EQ(m_file.ReadJson(m_folder / (IdAt(0) + ".Json"))["profilename"].asString(), "Profile1");
    EXPECT_EQ(m_prompts.told.size(), 2u);
}

TEST_F(ProfilePanelTest, ImportExportAndResetGoThroughTheirDialogs) {
    SetRed(0, 77);
    const QString exported = QString::fromStdString((m_root / "Game.json").string());

    // Cancelled dialogs do nothing.
    Click("device_export_btn");
    Click("device_import_btn");
    EXPECT_EQ(m_prompts.filters, (std::vector<QString>{"Profile Files(*.json)", "Profile Files(*.json)"}));
    EXPECT_EQ(ComboItems(), QStringList{"profile1"});

    // A name typed without ".json" still gives a file the import offers.
    m_prompts.files = {QString::fromStdString((m_root / "Game").string())};
    Click("device_export_btn");
    EXPECT_FALSE(fs::exists(m_root / "Game"));
    EXPECT_EQ(ReadBytes(m_root / "Game.json"), ReadBytes(m_folder / (IdAt(0) + ".Json")));

    m_prompts.files = {exported};
    Click("device_import_btn");
    EXPECT_EQ(ComboItems(), (QStringList{"profile1", "Game"}));
    EXPECT_EQ(m_panel->GetSelectedPosition(), 0);
    EXPECT_EQ(m_file.ReadJson(m_folder / (IdAt(1) + ".Json"))["Device"][0]["LightInfo"]["Red"].asInt(), 77);

    // A file that is no profile changes nothing.
    std::ofstream(m_root / "broken.json") << "{\"profilename\": ";
    m_prompts.files = {QString::fromStdString((m_root / "broken.json").string())};
    Click("device_import_btn");
    EXPECT_EQ(ComboItems(), (QStringList{"profile1", "Game"}));

    // Reset asks first; "no" keeps the profile.
    Click("device_reset_btn");
    EXPECT_EQ(m_prompts.asked, std::vector<QString>{"message_text_22"});
    EXPECT_EQ(m_file.ReadJson(m_folder / (IdAt(0) + ".Json"))["Device"][0]["LightInfo"]["Red"].asInt(), 77);
    EXPECT_TRUE(m_page.loaded.empty());

    m_prompts.answer = 1;
    Click("device_reset_btn");
    const Json::Value reset = m_file.ReadJson(m_folder / (IdAt(0) + ".Json"));
    EXPECT_EQ(reset["Device"], FactoryDocument()["Device"]);
    EXPECT_EQ(reset["profilename"].asString(), "profile1");
    EXPECT_EQ(m_page.sentRed, std::vector<int>{10});

    // Without the factory profile the reset is refused and said so.
    SetRed(0, 5);
    fs::remove(m_factory);
    Click("device_reset_btn");
    EXPECT_EQ(m_prompts.told, std::vector<QString>{"profile_reset_failed"});
    EXPECT_EQ(m_file.ReadJson(m_folder / (IdAt(0) + ".Json"))["Device"][0]["LightInfo"]["Red"].asInt(), 5);
}

TEST_F(ProfilePanelTest, ThePanelsControlsReachItThroughTheRouting) {
    EXPECT_TRUE(Click("profile_fun_spread_btn"));
    EXPECT_TRUE(m_panel->IsProfileMenuVisible());
    Control("profile_fun_spread_btn")->setObjectName("Profile_Fun_Spread_Btn");
    EXPECT_TRUE(Click("Profile_Fun_Spread_Btn"));
    EXPECT_FALSE(m_panel->IsProfileMenuVisible());

    // The combo's choice is the window's (its timer), not the panel's.
    EXPECT_FALSE(Route(notify::kItemSelect, "device_profile_combo"));
    EXPECT_EQ(ComboItems(), QStringList{"profile1"});

    // A real click reaches the window's notifiers with the control as sender.
    struct Forward : INotifyUI {
        CDeviceProfileUI* panel;
        int handled = 0;
        void Notify(TNotifyUI& msg) override { handled += RouteToPanel(panel, msg) ? 1 : 0; }
    } forward;
    forward.panel = m_panel;
    m_manager.AddNotifier(&forward);
    m_window->show();
    m_panel->ShowProfileMenu(true);
    QTest::mouseClick(Control("device_add_btn"), Qt::LeftButton);
    m_manager.RemoveNotifier(&forward);
    EXPECT_EQ(forward.handled, 1);
    EXPECT_EQ(ComboItems(), (QStringList{"profile1", "profile2"}));
}
