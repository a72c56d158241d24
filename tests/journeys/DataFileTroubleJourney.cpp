// A user's data files are in a state the program cannot simply use: a profile the user may not
// read, a profile that is damaged, a data folder that cannot be written. The program starts and
// works with factory settings where it must, says so once in a message box that names the file,
// and never destroys what it could not read.
//
// Permission faults need file permissions that count: as root they are made to count by taking
// the capabilities that override them out of the program's threads (PermissionChecks); where even
// that is impossible those cases skip and say why.

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "support/JourneyFixture.h"
#include "tests/profiles/PermissionChecks.h"

namespace fs = std::filesystem;

namespace journeys {
namespace {

class DataFileTroubleJourney : public JourneyTest {
protected:
    void TearDown() override {
        // Everything back to the owner's rights, so that the harness can remove the home folder.
        std::error_code ec;
        for (const fs::path& path : m_restricted) fs::permissions(path, fs::perms::owner_all, ec);
        JourneyTest::TearDown();
    }

    // Plugs the keyboard, shows its page and waits for its connection sequence (it reads the
    // capability record, 0x03).
    void OpenKeyboard() {
        PlugAndWait(Device::KeyboardWired);
        ShowDevicePage(Device::KeyboardWired);
        ASSERT_TRUE(WaitUntil([&] { return Devices().CountOf(Device::KeyboardWired, 0x03) > 0; }, kDeviceWaitMs))
            << "the page never connected";
        Run(100);
    }

    // The keyboard's profile file that its list has selected.
    fs::path SelectedProfileFile() const {
        const fs::path folder = DataFolder() / "keyboard";
        const Json::Value list = ReadJson(folder / "ProfileList.ini");
        const Json::Value& entry = list["profilelist"][list["profileselect"].asInt()];
        return folder / (entry["profileUUID"].asString() + ".Json");
    }

    // A first run that leaves the keyboard's profile on disk with a change of the user's in it.
    fs::path FirstRunWithAChange() {
        OpenKeyboard();
        EXPECT_TRUE(Click("system_Op_tab"));
        EXPECT_TRUE(WaitUntil([this] { return Shown("polling_rate_option_1"); }, 1000));
        EXPECT_TRUE(Click("polling_rate_option_1"));
        EXPECT_EQ(SelectedDeviceRecord("keyboard")["SystemStages"]["PollingRate"].asInt(), 1);
        ExitProgram();
        return SelectedProfileFile();
    }

    std::vector<std::string> NamesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    void Restrict(const fs::path& path, fs::perms rights) {
        fs::permissions(path, rights);
        m_restricted.push_back(path);
    }

    std::vector<fs::path> m_restricted;
};

TEST_F(DataFileTroubleJourney, ProfileTheUserMayNotReadIsToldAndLeftAsItIs) {
    const fs::path profile = FirstRunWithAChange();
    const std::string before = Bytes(profile);
    ASSERT_FALSE(before.empty());
    const std::vector<std::string> namesBefore = NamesIn(profile.parent_path());

    PermissionChecks permissions;
    if (!permissions.Active()) GTEST_SKIP() << PermissionChecks::kWhyNot;
    Restrict(profile, fs::perms::none);

    AnswerNextMessageBox(true);
    StartProgram();
    OpenKeyboard();
    ASSERT_TRUE(WaitUntil([this] { return MessageBoxWasShown(); }, kDeviceWaitMs)) << "the user was not told";
    EXPECT_TRUE(LastMessageText().contains(QString::fromStdString(profile.string())))
        << LastMessageText().toStdString();
    EXPECT_TRUE(LastMessageText().contains("cannot be read")) << LastMessageText().toStdString();

    // The user goes on working: the changes are not saved, and no second box stops them.
    AnswerNextMessageBox(true);
    ASSERT_TRUE(Click("system_Op_tab"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("polling_rate_option_2"); }, 1000));
    ASSERT_TRUE(Click("polling_rate_option_2"));
    EXPECT_TRUE(IsSelected("polling_rate_option_2"));
    Run(500);
    EXPECT_FALSE(MessageBoxWasShown()) << "told twice: " << LastMessageText().toStdString();
    Screenshot("unreadable_profile.png");
    ExitProgram();

    // Neither renamed nor replaced nor joined by anything.
    fs::permissions(profile, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(Bytes(profile) == before) << "the profile file was changed";
    EXPECT_EQ(NamesIn(profile.parent_path()), namesBefore);
}

TEST_F(DataFileTroubleJourney, DamagedProfileIsToldAndKeptAside) {
    const fs::path profile = FirstRunWithAChange();
    const std::string damaged = "{\"profilename\": \"profile1\", \"Device\": [{\"LightInfo\": ";
    std::ofstream(profile, std::ios::binary | std::ios::trunc) << damaged;

    AnswerNextMessageBox(true);
    StartProgram();
    OpenKeyboard();
    ASSERT_TRUE(WaitUntil([this] { return MessageBoxWasShown(); }, kDeviceWaitMs)) << "the user was not told";
    fs::path aside = profile;
    aside += ".broken";
    EXPECT_TRUE(LastMessageText().contains(QString::fromStdString(profile.string())))
        << LastMessageText().toStdString();
    EXPECT_TRUE(LastMessageText().contains(QString::fromStdString(aside.string())))
        << "the box does not say where the damaged copy went: " << LastMessageText().toStdString();
    Screenshot("damaged_profile.png");
    EXPECT_EQ(Bytes(aside), damaged);
    // The profile works again: it holds a device record, and the next change is saved.
    EXPECT_TRUE(ReadJson(profile)["Device"][0].isObject());
    ASSERT_TRUE(Click("system_Op_tab"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("polling_rate_option_3"); }, 1000));
    ASSERT_TRUE(Click("polling_rate_option_3"));
    EXPECT_EQ(SelectedDeviceRecord("keyboard")["SystemStages"]["PollingRate"].asInt(), 3);
}

TEST_F(DataFileTroubleJourney, ReadOnlyDataFolderIsToldOnceAtTheFirstLostChange) {
    const fs::path profile = FirstRunWithAChange();
    const std::string before = Bytes(profile);

    PermissionChecks permissions;
    if (!permissions.Active()) GTEST_SKIP() << PermissionChecks::kWhyNot;
    // Every folder of the user's data read-only, as on a read-only mount.
    std::vector<fs::path> folders{DataFolder()};
    for (const auto& item : fs::recursive_directory_iterator(DataFolder())) {
        if (item.is_directory()) folders.push_back(item.path());
    }
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    for (const fs::path& folder : folders) Restrict(folder, readOnly);

    // Starting and connecting change nothing, so nothing is told yet (a box here fails the
    // journey as unexpected).
    StartProgram();
    OpenKeyboard();
    ASSERT_TRUE(Click("system_Op_tab"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("polling_rate_option_2"); }, 1000));

    AnswerNextMessageBox(true);
    ASSERT_TRUE(Click("polling_rate_option_2"));
    ASSERT_TRUE(WaitUntil([this] { return MessageBoxWasShown(); }, 2000)) << "the lost change was not told";
    EXPECT_TRUE(LastMessageText().contains(QString::fromStdString(profile.string())))
        << LastMessageText().toStdString();
    EXPECT_TRUE(LastMessageText().contains("not")) << LastMessageText().toStdString();
    // The change still reached the device.
    EXPECT_TRUE(IsSelected("polling_rate_option_2"));

    // A second change is lost as well, but the user has been told already.
    AnswerNextMessageBox(true);
    ASSERT_TRUE(Click("polling_rate_option_3"));
    EXPECT_TRUE(IsSelected("polling_rate_option_3"));
    Run(800);
    EXPECT_FALSE(MessageBoxWasShown()) << "told twice: " << LastMessageText().toStdString();
    ExitProgram();
    EXPECT_TRUE(Bytes(profile) == before) << "the profile file was changed";
}

}  // namespace
}  // namespace journeys
