#include "profiles/DataFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "TempDir.h"

using vx::profiles::DefaultDataFolder;
using vx::profiles::DefaultProfilePath;
using vx::profiles::DeviceDataFolder;
using vx::profiles::IsSafeFileName;
using vx::profiles::SetInstallFolderOverride;
using vx::profiles::SetTempFolderOverride;
using vx::profiles::SetUserDataFolderOverride;
using vx::profiles::UpdateDataFolder;
using vx::profiles::UserDataFolder;

namespace fs = std::filesystem;

class DataFoldersTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetInstallFolderOverride({});
        SetUserDataFolderOverride({});
        SetTempFolderOverride({});
    }
    TempDir m_dir;
};

TEST_F(DataFoldersTest, UserAndDeviceFoldersAreCreated) {
    SetUserDataFolderOverride(m_dir / "user");
    EXPECT_EQ(UserDataFolder(), m_dir / "user");
    EXPECT_TRUE(fs::is_directory(m_dir / "user"));
    EXPECT_EQ(DeviceDataFolder("keyboard"), m_dir / "user" / "keyboard");
    EXPECT_TRUE(fs::is_directory(m_dir / "user" / "keyboard"));
}

TEST_F(DataFoldersTest, XdgDataHomeIsUsedWithoutOverride) {
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_DATA_HOME", (m_dir / "xdg").c_str(), 1);
    ::unsetenv("VX_DATA_HOME");
    EXPECT_EQ(UserDataFolder(), m_dir / "xdg" / "VexorUmbrelControlCenter");
    if (old)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

TEST_F(DataFoldersTest, DeviceNamesThatLeaveTheFolderAreRefused) {
    SetUserDataFolderOverride(m_dir / "user");
    EXPECT_EQ(DeviceDataFolder(".."), m_dir / "user");
    EXPECT_EQ(DeviceDataFolder("../x"), m_dir / "user");
    EXPECT_EQ(DeviceDataFolder(""), m_dir / "user");
    EXPECT_FALSE(fs::exists(m_dir / "x"));
    EXPECT_FALSE(IsSafeFileName("a/b"));
    EXPECT_FALSE(IsSafeFileName("a\\b"));
    EXPECT_FALSE(IsSafeFileName(std::string("a\0b", 3)));
    EXPECT_FALSE(IsSafeFileName(std::string(201, 'a')));
    EXPECT_TRUE(IsSafeFileName("2024_03_07_14_05_09_042.mac"));
}

TEST_F(DataFoldersTest, DefaultAndUpdateFolders) {
    SetInstallFolderOverride(m_dir / "inst");
    EXPECT_EQ(DefaultDataFolder(), m_dir / "inst" / "DefaultData");
    EXPECT_EQ(DefaultProfilePath("mouse"), m_dir / "inst" / "DefaultData" / "mouse.Json");
    EXPECT_FALSE(fs::exists(m_dir / "inst"));  // the default folder is never created
    SetTempFolderOverride(m_dir / "tmp");
    EXPECT_EQ(UpdateDataFolder(), m_dir / "tmp" / "UpdateData");
    EXPECT_TRUE(fs::is_directory(m_dir / "tmp" / "UpdateData"));
}

TEST_F(DataFoldersTest, InstallFolderFindsTheShippedDefaultData) {
    // Without an override the search from the test program's folder reaches the source tree.
    ::unsetenv("VX_INSTALL_DIR");
    EXPECT_TRUE(fs::is_regular_file(DefaultDataFolder() / "default_light.json")) << DefaultDataFolder();
}
