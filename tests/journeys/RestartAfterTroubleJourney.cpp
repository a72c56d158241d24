// A user whose last session ended badly starts the program again: a save was cut short by a kill
// (a hidden temporary file, a profile its list does not name yet) and a broken device record
// lies among the device nodes. The window comes up, the keyboard is found, the profile is back in
// the profile list, the leftovers are gone, and new writes keep to the user's umask.

#include <sys/stat.h>

#include <fstream>

#include "devices/TavimondUSBDevice.h"
#include "support/JourneyFixture.h"

namespace fs = std::filesystem;
using vx::devices::CTavimondUSBDevice;

namespace journeys {
namespace {

class RestartAfterTroubleJourney : public JourneyTest {
protected:
    void TearDown() override {
        ::umask(m_umask);
        JourneyTest::TearDown();
    }

    // The folders that hold a profile list, found the way a user would.
    std::vector<fs::path> ListFolders() {
        std::vector<fs::path> folders;
        for (const auto& entry : fs::recursive_directory_iterator(DataFolder())) {
            if (entry.is_regular_file() && entry.path().filename() == "ProfileList.ini")
                folders.push_back(entry.path().parent_path());
        }
        return folders;
    }

    mode_t m_umask = ::umask(022);
};

TEST_F(RestartAfterTroubleJourney, KilledSaveAndBrokenDeviceRecordDoNotHurtTheNextStart) {
    PlugAndWait(Device::KeyboardWired);
    ShowDevicePage(Device::KeyboardWired);
    const QStringList before = ComboItems("device_profile_combo");
    ASSERT_FALSE(before.isEmpty());
    ASSERT_FALSE(before.contains("Gaming"));
    ExitProgram();

    // What the kill left: in every device folder a profile written but not yet listed and the
    // temporary file of the list's own write; and a record nested deeper than JSON readers take.
    const std::vector<fs::path> folders = ListFolders();
    ASSERT_FALSE(folders.empty());
    for (const fs::path& folder : folders) {
        std::ofstream(folder / "2031_05_06_07_08_09_010.Json")
            << R"({"profilename": "Gaming", "profileUUID": "2031_05_06_07_08_09_010"})";
        std::ofstream(folder / ".ProfileList.ini.Kq3vZ1") << R"({"profilelist": [)";
    }
    std::ofstream(HomeFolder() / "hid" / "broken.node") << std::string(50000, '[') << std::string(50000, ']');

    // This user keeps their files private.
    ::umask(077);
    StartProgram();
    ASSERT_TRUE(WaitUntil(
        [this] {
            CTavimondUSBDevice* page = PageOf(Device::KeyboardWired);
            return page && page->CommandLink().IsConnected();
        },
        kDeviceWaitMs))
        << "the keyboard was not found again";
    Run(300);
    ShowDevicePage(Device::KeyboardWired);
    const QStringList after = ComboItems("device_profile_combo");
    EXPECT_TRUE(after.contains("Gaming")) << after.join(", ").toStdString();
    EXPECT_EQ(after.size(), before.size() + 1);

    for (const fs::path& folder : folders) {
        EXPECT_FALSE(fs::exists(folder / ".ProfileList.ini.Kq3vZ1")) << folder;
        EXPECT_TRUE(fs::exists(folder / "2031_05_06_07_08_09_010.Json")) << folder;
    }
    // The keyboard's list was written again on this start: no rights beyond the user's umask.
    bool anyPrivate = false;
    for (const fs::path& folder : folders) {
        const fs::perms rights = fs::status(folder / "ProfileList.ini").permissions() & fs::perms::all;
        anyPrivate = anyPrivate || rights == (fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_TRUE(anyPrivate) << "no profile list was written with the user's umask";
    Screenshot("restart_after_trouble.png");
}

}  // namespace
}  // namespace journeys
