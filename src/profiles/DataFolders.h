#pragma once
// Where the data files live on Linux.
//
//   install folder       the folder of the running program; when it holds no "DefaultData"
//                        folder, its parent, then the installed data folder
//                        (<prefix>/share/vexor-umbrel), then the source tree. Overridden by
//                        VX_INSTALL_DIR or SetInstallFolderOverride.
//   DefaultDataFolder    install folder / "DefaultData" (read only; never created)
//   UserDataFolder       $XDG_DATA_HOME (or ~/.local/share) / "VexorUmbrelControlCenter"
//                        (created). Overridden by VX_DATA_HOME or SetUserDataFolderOverride.
//   DeviceDataFolder     UserDataFolder / device folder name (created, both levels)
//   UpdateDataFolder     $TMPDIR (or /tmp) / "UpdateData" (created)
//
// Folder creation failures are silent, as on the original platform: the file operations that
// follow simply fail. Every function returns a new path and is safe to call from any thread.

#include <filesystem>
#include <string_view>

namespace vx::profiles {

std::filesystem::path InstallFolder();
std::filesystem::path DefaultDataFolder();
std::filesystem::path UserDataFolder();

// The device folder name comes from the device-kind table ("mouse", "keyboard", "MousePad",
// "HD"). A name that is not a plain file name (empty, "..", holding a separator) yields
// UserDataFolder itself so that nothing is ever created or written outside it.
std::filesystem::path DeviceDataFolder(std::string_view deviceFolderName);

// DefaultDataFolder / (device folder name + ".Json").
std::filesystem::path DefaultProfilePath(std::string_view deviceFolderName);

std::filesystem::path UpdateDataFolder();

// Test and packaging hooks; an empty path removes the override.
void SetInstallFolderOverride(const std::filesystem::path& folder);
void SetUserDataFolderOverride(const std::filesystem::path& folder);
void SetTempFolderOverride(const std::filesystem::path& folder);

// True when `name` can be used as one file-name component inside a data folder: not empty, at
// most 200 bytes, no '/', '\\' or NUL, and not "." or "..". Identifiers and names taken from
// files (profile identifiers, macro and light-step Guids) pass this test before they become paths.
bool IsSafeFileName(std::string_view name);

}  // namespace vx::profiles
