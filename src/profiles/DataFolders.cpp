#include "BuildPaths.h"
#include "profiles/DataFolders.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>

#include "platform/DebugLog.h"

namespace fs = std::filesystem;

namespace {

struct Overrides {
    std::mutex mutex;
    fs::path install;
    fs::path userData;
    fs::path temp;
};

Overrides& TheOverrides() {
    static Overrides overrides;
    return overrides;
}

fs::path OverrideOf(fs::path Overrides::*member) {
    Overrides& o = TheOverrides();
    std::lock_guard<std::mutex> lock(o.mutex);
    return o.*member;
}

void SetOverride(fs::path Overrides::*member, const fs::path& value) {
    Overrides& o = TheOverrides();
    std::lock_guard<std::mutex> lock(o.mutex);
    o.*member = value;
}

fs::path EnvPath(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] == '\0') return {};
    return fs::path(value);
}

bool HasDefaultData(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder / "DefaultData", ec);
}

fs::path ProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

void CreateFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) DebugLog("CreateDirectory failed: " + folder.string() + ": " + ec.message());
}

}  // namespace

void SetInstallFolderOverride(const fs::path& folder) {
    SetOverride(&Overrides::install, folder);
}
void SetUserDataFolderOverride(const fs::path& folder) {
    SetOverride(&Overrides::userData, folder);
}
void SetTempFolderOverride(const fs::path& folder) {
    SetOverride(&Overrides::temp, folder);
}

fs::path InstallFolder() {
    if (fs::path o = OverrideOf(&Overrides::install); !o.empty()) return o;
    if (fs::path e = EnvPath("VX_INSTALL_DIR"); !e.empty()) return e;
    const fs::path program = ProgramFolder();
    if (HasDefaultData(program)) return program;
    // A build tree keeps its programs one or two levels below the top (build/, build/tests/x/).
    for (fs::path up = program.parent_path(); !up.empty() && up != up.root_path(); up = up.parent_path()) {
        if (HasDefaultData(up)) return up;
        const fs::path shared = up / "share" / "vexor-umbrel";
        if (HasDefaultData(shared)) return shared;
    }
#ifdef VX_SOURCE_DIR
    if (HasDefaultData(VX_SOURCE_DIR)) return fs::path(VX_SOURCE_DIR);
#endif
    return program;
}

fs::path DefaultDataFolder() {
    return InstallFolder() / "DefaultData";
}

fs::path UserDataFolder() {
    fs::path folder;
    if (fs::path o = OverrideOf(&Overrides::userData); !o.empty()) {
        folder = o;
    } else if (fs::path e = EnvPath("VX_DATA_HOME"); !e.empty()) {
        folder = e;
    } else {
        fs::path base = EnvPath("XDG_DATA_HOME");
        if (base.empty() || !base.is_absolute()) {
            const fs::path home = EnvPath("HOME");
            base = (home.empty() ? fs::path("/tmp") : home) / ".local" / "share";
        }
        folder = base / "VexorUmbrelControlCenter";
    }
    CreateFolder(folder);
    return folder;
}

fs::path DeviceDataFolder(std::string_view deviceFolderName) {
    const fs::path user = UserDataFolder();
    if (!IsSafeFileName(deviceFolderName)) return user;
    fs::path folder = user / fs::path(std::string(deviceFolderName));
    CreateFolder(folder);
    return folder;
}

fs::path DefaultProfilePath(std::string_view deviceFolderName) {
    return DefaultDataFolder() / fs::path(std::string(deviceFolderName) + ".Json");
}

fs::path UpdateDataFolder() {
    fs::path temp = OverrideOf(&Overrides::temp);
    if (temp.empty()) temp = EnvPath("TMPDIR");
    if (temp.empty()) temp = "/tmp";
    fs::path folder = temp / "UpdateData";
    CreateFolder(folder);
    return folder;
}

bool IsSafeFileName(std::string_view name) {
    if (name.empty() || name.size() > 200) return false;
    if (name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '/' || c == '\\' || c == '\0') return false;
    }
    return true;
}
