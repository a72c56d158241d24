#pragma once
// Shared by the fuzz targets: a private scratch folder on tmpfs for the readers that take a path,
// and the splitting of one input into the several files some readers need.

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vxfuzz {

namespace fs = std::filesystem;

// Removes the scratch folders of fuzz processes that are gone: libFuzzer leaves with _Exit (no
// exit handlers) at the end of a timed run and on every fault, so a folder cannot remove itself.
inline void RemoveOrphanedScratchFolders(const fs::path& base) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(base, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("vx-fuzz-", 0) != 0) continue;
        const long pid = std::strtol(name.c_str() + 8, nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            fs::remove_all(entry.path(), ec);
        }
    }
}

// The folder the readers' files go to, "vx-fuzz-<pid>-XXXXXX" in VX_FUZZ_DIR when set, else in
// /dev/shm, else in the user's runtime folder (both tmpfs on a usual system), else in the
// temporary folder.
inline const fs::path& ScratchFolder() {
    static const fs::path folder = [] {
        fs::path base;
        std::error_code ec;
        if (const char* chosen = std::getenv("VX_FUZZ_DIR"); chosen != nullptr && *chosen != '\0') {
            base = chosen;
        } else if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) {
            base = "/dev/shm";
        } else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
            base = runtime;
        } else {
            base = fs::temp_directory_path(ec);
        }
        RemoveOrphanedScratchFolders(base);
        std::string pattern = (base / ("vx-fuzz-" + std::to_string(::getpid()) + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("vx-fuzz: cannot make the scratch folder");
            std::abort();
        }
        return fs::path(pattern);
    }();
    return folder;
}

// Plain write: the readers under test must cope with whatever is there, and the atomic writer is
// not what is being tested here.
inline void PutFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void RemoveFile(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

// Empties the scratch folder: a reader that moves files aside or adds files must not make later
// runs depend on earlier ones.
inline void ClearScratchFolder() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(ScratchFolder(), ec)) fs::remove_all(entry.path(), ec);
}

// The parts of an input separated by lines "--8<--" (the corpus files keep several files readable
// as one text); at most `limit` parts, the last takes the rest.
inline std::vector<std::string_view> SplitParts(const uint8_t* data, size_t size, size_t limit) {
    static constexpr std::string_view kSeparator = "\n--8<--\n";
    std::vector<std::string_view> parts;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (parts.size() + 1 < limit) {
        const size_t at = rest.find(kSeparator);
        if (at == std::string_view::npos) break;
        parts.push_back(rest.substr(0, at));
        rest.remove_prefix(at + kSeparator.size());
    }
    parts.push_back(rest);
    return parts;
}

// Stops the run with a message libFuzzer records with the input: a broken promise of a reader.
#define VX_FUZZ_CHECK(condition)                                                               \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

}  // namespace vxfuzz
