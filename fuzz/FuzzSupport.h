#pragma once
// Shared by the fuzz targets: a private scratch folder on tmpfs for the readers that take a path,
// and the splitting of one input into the several files some readers need.

#include <unistd.h>

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

// The folder the readers' files go to: VX_FUZZ_DIR when set, else /dev/shm, else the user's
// runtime folder (both tmpfs on a usual system), else the temporary folder. Removed at exit.
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
        std::string pattern = (base / "vx-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("vx-fuzz: cannot make the scratch folder");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(ScratchFolder(), ignored);
        });
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
