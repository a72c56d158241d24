#include "app/discovery/UdevRulesFile.h"

#include <sys/stat.h>

#include <system_error>

#include "app/discovery/DiscoverySink.h"

namespace vx::discovery {

namespace fs = std::filesystem;

namespace {

const char* const kReload = "sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw";

bool RootOnly(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    return st.st_uid == 0 && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool IsFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string Quoted(const fs::path& path) {
    std::string out = "'";
    for (char c : path.string()) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

}  // namespace

std::vector<fs::path> UdevRulesFolders() {
    return {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
            "/lib/udev/rules.d"};
}

bool IsRootOnlyFile(const fs::path& file) {
    return IsFile(file) && RootOnly(file) && RootOnly(file.parent_path());
}

UdevRulesFile FindUdevRulesFile(const std::vector<fs::path>& udevFolders, const fs::path& installFolder,
                                const fs::path& programFolder) {
    const fs::path name{std::string(kUdevRulesFileName)};
    for (const fs::path& folder : udevFolders) {
        if (IsRootOnlyFile(folder / name)) return {UdevRulesFile::Kind::Installed, folder / name};
    }
    if (!installFolder.empty()) {
        const fs::path prefix = installFolder.parent_path().parent_path();
        const fs::path installed = prefix / "lib" / "udev" / "rules.d" / name;
        if (installFolder.parent_path().filename() == "share" && IsRootOnlyFile(installed)) {
            for (const fs::path& folder : udevFolders) {
                std::error_code ec;
                if (fs::equivalent(folder, installed.parent_path(), ec))
                    return {UdevRulesFile::Kind::Installed, installed};
            }
            return {UdevRulesFile::Kind::InstalledElsewhere, installed};
        }
    }
    // A build tree keeps the program one or more levels below the folder with packaging/.
    for (fs::path up = programFolder; !up.empty(); up = up.parent_path()) {
        const fs::path built = up / "packaging" / "udev" / name;
        if (IsFile(built)) return {UdevRulesFile::Kind::BuildTree, built};
        if (up == up.root_path()) break;
    }
    return {};
}

std::string UdevRulesCommand(const UdevRulesFile& rules) {
    const std::string target = "/etc/udev/rules.d/" + std::string(kUdevRulesFileName);
    switch (rules.kind) {
    case UdevRulesFile::Kind::Installed:
        return kReload;
    case UdevRulesFile::Kind::InstalledElsewhere:
    case UdevRulesFile::Kind::BuildTree:
        // install(1) leaves the copy owned by root and not writable by anyone else.
        return "sudo install -m 0644 -o root -g root " + Quoted(rules.path) + " " + target + " && " + kReload;
    case UdevRulesFile::Kind::Missing:
        break;
    }
    return {};
}

}  // namespace vx::discovery
