// A user works with the named profiles of each kind of device: makes a new one, names it, copies
// it, changes it and puts it back to its factory settings, sends it to a file and takes it back,
// switches between profiles and deletes one. After each step the panel shows the profile's name
// and lighting, the device holds the profile's settings and the data folder holds its files.

#include <QDir>
#include <set>

#include "support/JourneyFixture.h"

namespace fs = std::filesystem;

namespace journeys {
namespace {

struct Kind {
    Device device;
    const char* folder;      // the device's data folder below the user's data folder
    const char* lightTab;    // the option that opens the lighting panel
    const char* label;
};

const Kind kKinds[] = {
    {Device::KeyboardWired, "keyboard", "deng_Op_tab", "Keyboard"},
    {Device::MouseWired, "mouse", "mouse_function_option_1", "Mouse"},
    {Device::Mousepad, "MousePad", "deng_Op_tab", "Mousepad"},
};

void PrintTo(const Kind& kind, std::ostream* out) {
    *out << kind.label;
}

// Factory brightness level of every factory profile ("Light" of the light record).
constexpr int kFactoryBrightness = 4;
constexpr int kChangedBrightness = 1;

class ProfileJourney : public JourneyTest, public testing::WithParamInterface<Kind> {
protected:
    fs::path Folder() const { return DataFolder() / GetParam().folder; }

    Json::Value List() const { return ReadJson(Folder() / "ProfileList.ini"); }

    std::vector<std::string> ListedNames() const {
        std::vector<std::string> names;
        const Json::Value list = List();
        for (const Json::Value& entry : list["profilelist"]) names.push_back(entry["profilename"].asString());
        return names;
    }

    // The profile file of the entry named `name`; empty when none is listed.
    fs::path FileOf(const std::string& name) const {
        const Json::Value list = List();
        for (const Json::Value& entry : list["profilelist"]) {
            if (entry["profilename"].asString() == name) return Folder() / (entry["profileUUID"].asString() + ".Json");
        }
        return {};
    }

    int StoredBrightness(const std::string& name) const {
        return ReadJson(FileOf(name))["Device"][0]["LightInfo"]["Light"].asInt();
    }

    void OpenProfileMenu() {
        if (!Shown("device_add_btn")) { ASSERT_TRUE(Click("profile_fun_spread_btn")); }
        ASSERT_TRUE(WaitUntil([this] { return Shown("device_add_btn"); }, 1000)) << "no profile menu";
    }

    void OpenLighting() {
        // The open profile menu stands where the feature tabs are.
        if (Shown("device_add_btn")) { ASSERT_TRUE(Click("profile_fun_spread_btn")); }
        ASSERT_TRUE(Click(GetParam().lightTab));
        ASSERT_TRUE(WaitUntil([this] { return Shown("deng_light_slider"); }, 1000)) << "no lighting panel";
    }

    // What the panel shows of the profile in front: its name, and its brightness.
    void ExpectPanelShows(const std::string& name, int brightness) {
        const QString expected = QString::fromStdString(name);
        EXPECT_TRUE(WaitUntil([&] { return ComboText("device_profile_combo") == expected; }, 2000))
            << "combo shows " << ComboText("device_profile_combo").toStdString();
        EXPECT_EQ(TextOf("device_profile_name_edit"), expected);
        OpenLighting();
        EXPECT_EQ(SliderValue("deng_light_slider"), brightness) << "the lighting panel does not show " << name;
        OpenProfileMenu();
    }

    // The device's settings block changed since `before` (the page sent what it shows).
    bool DeviceChangedFrom(const std::vector<uint8_t>& before) {
        return WaitUntil([&] { return Devices().ActiveConfigBlock(GetParam().device) != before; }, kDeviceWaitMs);
    }
};

TEST_P(ProfileJourney, EveryProfileOperationKeepsPanelDeviceAndFilesInStep) {
    const Device device = GetParam().device;
    PlugAndWait(device);
    ShowDevicePage(device);
    // The page's connection sequence (it reads the capability record, 0x03) replaces the page's
    // settings with the device's; the user's work starts after it.
    ASSERT_TRUE(WaitUntil([&] { return Devices().CountOf(device, 0x03) > 0; }, kDeviceWaitMs))
        << "the page never connected";
    Run(100);
    OpenProfileMenu();
    ASSERT_EQ(ListedNames(), std::vector<std::string>{"profile1"});
    ExpectPanelShows("profile1", kFactoryBrightness);

    // New: a second profile from the factory settings, taken at once.
    ASSERT_TRUE(Click("device_add_btn"));
    EXPECT_EQ(ComboItems("device_profile_combo"), (QStringList{"profile1", "profile2"}));
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"profile1", "profile2"}));
    ASSERT_TRUE(fs::exists(FileOf("profile2")));
    ExpectPanelShows("profile2", kFactoryBrightness);

    // Rename it.
    ASSERT_TRUE(TypeInto("device_profile_name_edit", "Game"));
    ASSERT_TRUE(Click("device_profile_edit_save_btn"));
    EXPECT_EQ(ComboItems("device_profile_combo"), (QStringList{"profile1", "Game"}));
    EXPECT_EQ(ReadJson(FileOf("Game"))["profilename"].asString(), "Game");

    // Change its lighting: the device and the file take it.
    OpenLighting();
    std::vector<uint8_t> before = Devices().ActiveConfigBlock(device);
    ASSERT_TRUE(DragSlider("deng_light_slider", kChangedBrightness));
    EXPECT_TRUE(DeviceChangedFrom(before));
    EXPECT_EQ(StoredBrightness("Game"), kChangedBrightness);
    OpenProfileMenu();

    // Copy: the copy holds the change.
    ASSERT_TRUE(Click("device_copy_btn"));
    EXPECT_EQ(ComboItems("device_profile_combo"), (QStringList{"profile1", "Game", "Game copy"}));
    ASSERT_TRUE(fs::exists(FileOf("Game copy")));
    EXPECT_EQ(StoredBrightness("Game copy"), kChangedBrightness);

    // Reset asks the reset question; "no" keeps the change.
    AnswerNextMessageBox(false);
    ASSERT_TRUE(Click("device_reset_btn"));
    EXPECT_TRUE(MessageBoxWasShown());
    EXPECT_TRUE(LastMessageText().contains("factory", Qt::CaseInsensitive)) << LastMessageText().toStdString();
    EXPECT_FALSE(LastMessageText().contains("Delete", Qt::CaseInsensitive));
    EXPECT_EQ(StoredBrightness("Game"), kChangedBrightness);
    // "Yes" brings the factory settings back to the panel, the device and the file; the name stays.
    before = Devices().ActiveConfigBlock(device);
    AnswerNextMessageBox(true);
    ASSERT_TRUE(Click("device_reset_btn"));
    EXPECT_TRUE(DeviceChangedFrom(before));
    EXPECT_EQ(StoredBrightness("Game"), kFactoryBrightness);
    ExpectPanelShows("Game", kFactoryBrightness);

    // Export a copy under a name typed without ".json"; the dialog opens outside the working
    // folder, in the user's folders.
    const fs::path exported = HomeFolder() / "Documents" / "shared-game";
    fs::create_directories(exported.parent_path());
    // Only the name is typed: the file goes to the folder the dialog opened in.
    AnswerNextFileDialog(exported.filename().string());
    ASSERT_TRUE(Click("device_export_btn"));
    const fs::path written = exported.string() + ".json";
    ASSERT_TRUE(fs::exists(written)) << "no " << written << " (the dialog opened in " << LastDialogFolder().toStdString() << ")";
    EXPECT_EQ(ReadJson(written)["Device"], ReadJson(FileOf("Game"))["Device"]);
    EXPECT_TRUE(LastDialogFolder().startsWith(QString::fromStdString(HomeFolder().string())))
        << LastDialogFolder().toStdString();
    EXPECT_NE(LastDialogFolder(), QDir::currentPath());

    // Import it again: the dialog opens where the export went and offers the file; the profile is
    // added under the file's name.
    AnswerNextFileDialog(written.filename().string());
    ASSERT_TRUE(Click("device_import_btn"));
    EXPECT_TRUE(ComboItems("device_profile_combo").contains("shared-game"));
    ASSERT_TRUE(fs::exists(FileOf("shared-game")));
    EXPECT_EQ(ReadJson(FileOf("shared-game"))["Device"], ReadJson(FileOf("Game"))["Device"]);
    // The import dialog opened where the export went.
    EXPECT_EQ(fs::path(LastDialogFolder().toStdString()), written.parent_path());

    // Switch to the copy that holds the changed lighting: panel, device and list follow.
    before = Devices().ActiveConfigBlock(device);
    ASSERT_TRUE(ChooseItem("device_profile_combo", "Game copy"));
    EXPECT_TRUE(DeviceChangedFrom(before));
    ExpectPanelShows("Game copy", kChangedBrightness);
    EXPECT_EQ(List()["profileselect"].asInt(), 2);

    // Delete asks first; "no" keeps profile and file.
    const fs::path copyFile = FileOf("Game copy");
    AnswerNextMessageBox(false);
    ASSERT_TRUE(Click("device_sub_btn"));
    EXPECT_TRUE(LastMessageText().contains("Delete", Qt::CaseInsensitive)) << LastMessageText().toStdString();
    EXPECT_TRUE(fs::exists(copyFile));
    EXPECT_TRUE(ComboItems("device_profile_combo").contains("Game copy"));
    // "Yes" removes both; the page moves to the profile before it.
    AnswerNextMessageBox(true);
    ASSERT_TRUE(Click("device_sub_btn"));
    EXPECT_FALSE(fs::exists(copyFile));
    EXPECT_FALSE(ComboItems("device_profile_combo").contains("Game copy"));
    const std::vector<std::string> names = ListedNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              (std::set<std::string>{"profile1", "Game", "shared-game"}));
    ExpectPanelShows("Game", kFactoryBrightness);
    Screenshot(QString::fromLatin1(GetParam().label).toLower() + "_profile_menu.png");
}

INSTANTIATE_TEST_SUITE_P(EachDeviceKind, ProfileJourney, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<Kind>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace journeys
