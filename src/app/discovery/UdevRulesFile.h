#pragma once
// Where the udev rule that gives the seat user access to the supported devices can be found, so
// that the permission notice can point at a file only root can change. A rules file in the user's
// own folders would be a way for anything running as the user to get rules run as root.

#include <filesystem>
#include <string>
#include <vector>

namespace vx::discovery {

struct UdevRulesFile {
    enum class Kind {
        // Root-owned, in a folder udev reads: reloading the rules is all that is left to do.
        Installed,
        // Root-owned but in a folder udev does not read (an unusual install prefix): copy it.
        InstalledElsewhere,
        // The build tree's file: writable by the user, so it is to be read, then copied as root.
        BuildTree,
        // Neither: the program's package is not installed.
        Missing,
    };
    Kind kind = Kind::Missing;
    std::filesystem::path path;
};

// The folders udev reads rules from, most specific first.
std::vector<std::filesystem::path> UdevRulesFolders();

// True when the file and its folder belong to root and no one else may write them.
bool IsRootOnlyFile(const std::filesystem::path& file);

// Looks for the rules file in udevFolders, then in <prefix>/lib/udev/rules.d of the install
// prefix that holds installFolder (<prefix>/share/vexor-umbrel), then in the build tree above
// programFolder (packaging/udev/ of the build folder).
UdevRulesFile FindUdevRulesFile(const std::vector<std::filesystem::path>& udevFolders,
                                const std::filesystem::path& installFolder,
                                const std::filesystem::path& programFolder);

// The shell command that finishes the fix for that file; empty when there is no file to name.
std::string UdevRulesCommand(const UdevRulesFile& rules);

}  // namespace vx::discovery
