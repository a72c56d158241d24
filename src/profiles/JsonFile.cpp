#include "profiles/JsonFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <mutex>
#include <random>

#include "platform/DebugLog.h"

using vx::platform::DebugLog;

namespace vx::profiles {

namespace fs = std::filesystem;

namespace {

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

constexpr std::string_view kTemporaryAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kTemporarySuffixLength = 6;

// The fuzz build rewrites its files on every run in a throw-away folder on tmpfs, where the flush
// only costs time; every other build flushes before the rename so that a power cut never leaves an
// empty file where the previous one was whole. The switch exists only for the sanitized clang
// build of fuzz/.
#ifdef VX_FUZZ_NO_FSYNC
#if !defined(__clang__)
#error "VX_FUZZ_NO_FSYNC belongs to the fuzz build (clang with the address sanitizer) only"
#elif !__has_feature(address_sanitizer)
#error "VX_FUZZ_NO_FSYNC belongs to the fuzz build (clang with the address sanitizer) only"
#endif
constexpr bool kFlushBeforeRename = false;
#else
constexpr bool kFlushBeforeRename = true;
#endif

// Creates the hidden temporary file beside path. Mode 0666 at creation lets the kernel apply the
// user's umask (and a default ACL of the folder) as for any file the user makes: mkstemp would
// make it 0600, and a fixed mode set afterwards would ignore both, leaving recorded keystrokes
// readable by everyone on a machine whose user asked for private files.
int CreateTemporaryBeside(const fs::path& path, std::string* temporary) {
    static std::mutex mutex;
    static std::mt19937_64 random(std::random_device{}());
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(kTemporarySuffixLength, 'x');
        {
            std::lock_guard<std::mutex> lock(mutex);
            for (char& c : suffix) c = kTemporaryAlphabet[random() % kTemporaryAlphabet.size()];
        }
        *temporary = (folder / ("." + path.filename().string() + "." + suffix)).string();
        const int fd = ::open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

namespace {

// Reads the whole file into `bytes`; the status says why nothing was read.
JsonReadStatus ReadWholeFile(const fs::path& path, std::string& bytes, int& error) {
    bytes.clear();
    error = 0;
    // Non-blocking so that a FIFO put in place of a data file cannot hang the reader in open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        DebugLog("readjsonFile error: " + std::to_string(error) + " " + path.string());
        return error == ENOENT || error == ENOTDIR ? JsonReadStatus::Missing : JsonReadStatus::Unreadable;
    }
    struct stat st {};
    // Only regular files: a FIFO or a device node in place of a profile would block or never end.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        DebugLog("readjsonFile refused: " + path.string());
        return JsonReadStatus::Unreadable;
    }
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxJsonFileSize) {
        ::close(fd);
        DebugLog("readjsonFile refused, too large: " + path.string());
        return JsonReadStatus::Malformed;
    }
    std::string buffer(static_cast<size_t>(st.st_size), '\0');
    size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (done != buffer.size()) {
        // A file that shrank while it was read gives no errno; it is still no file to replace.
        return JsonReadStatus::Unreadable;
    }
    if (buffer.empty()) return JsonReadStatus::Empty;
    bytes = std::move(buffer);
    return JsonReadStatus::Read;
}

}  // namespace

std::string JsonFile::readjsonFile(const fs::path& path) const {
    std::string bytes;
    int error = 0;
    ReadWholeFile(path, bytes, error);
    return bytes;
}

JsonReadResult JsonFile::ReadJsonChecked(const fs::path& path) const {
    JsonReadResult result;
    std::string text;
    result.status = ReadWholeFile(path, text, result.error);
    if (result.status != JsonReadStatus::Read) {
        DebugLog("ReadJson: nothing read from " + path.string());
        return result;
    }
    bool parsed = false;
    result.value = ParseText(text, &parsed);
    if (!parsed) result.status = JsonReadStatus::Malformed;
    return result;
}

Json::Value JsonFile::ParseText(const std::string& text, bool* parsed) {
    Json::Value root;
    if (parsed) *parsed = false;
    try {
        Json::Reader reader(Json::Features::all());
        if (!reader.parse(text.data(), text.data() + text.size(), root, true)) return Json::Value();
    } catch (const std::exception&) {
        // jsoncpp throws when a document nests deeper than its stack limit.
        return Json::Value();
    }
    if (parsed) *parsed = true;
    return root;
}

Json::Value JsonFile::ReadJson(const fs::path& path) const {
    return ReadJsonChecked(path).value;
}

std::string JsonFile::StyledText(const Json::Value& value) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // The styled writer's exact layout is what older files hold; the builder API lays arrays out
    // differently, so the deprecated writer is used on purpose.
    Json::StyledWriter writer;
    std::string text = writer.write(value);
#pragma GCC diagnostic pop
    text.push_back('\n');
    return text;
}

int JsonFile::WriteJson(const fs::path& path, const Json::Value& value) const {
    TryWriteJson(path, value);
    return 0;
}

bool JsonFile::TryWriteJson(const fs::path& path, const Json::Value& value, int* error) const {
    std::string text;
    try {
        text = StyledText(value);
    } catch (const std::exception&) {
        if (error) *error = EINVAL;
        return false;
    }
    return WriteFileAtomically(path, text, error);
}

bool WriteFileAtomically(const fs::path& path, const std::string& bytes, int* error) {
    std::string temporary;
    const int fd = CreateTemporaryBeside(path, &temporary);
    if (fd < 0) {
        if (error) *error = errno;
        DebugLog("WriteJson: cannot create a temporary file beside " + path.string());
        return false;
    }
    // A file replaced keeps no more rights than it had: the user may have narrowed them.
    struct stat created {};
    struct stat existing {};
    if (::fstat(fd, &created) == 0 && ::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        const mode_t narrowed = created.st_mode & existing.st_mode & 0777;
        if (narrowed != (created.st_mode & 0777)) ::fchmod(fd, narrowed);
    }
    const bool written =
        WriteAll(fd, bytes.data(), bytes.size()) && (!kFlushBeforeRename || ::fsync(fd) == 0);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error) *error = errno;
        DebugLog("WriteJson failed: " + path.string() + ": " + std::strerror(errno));
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool IsAtomicWriteTemporaryName(std::string_view name) {
    if (name.size() < 1 + 1 + kTemporarySuffixLength + 1 || name.front() != '.') return false;
    const size_t dot = name.size() - kTemporarySuffixLength - 1;
    if (name[dot] != '.') return false;
    for (char c : name.substr(dot + 1)) {
        if (kTemporaryAlphabet.find(c) == std::string_view::npos) return false;
    }
    // The target's own name: not empty, not hidden, with an extension (every data file has one),
    // so that a user's ".notes.backup" is never taken for ours.
    const std::string_view target = name.substr(1, dot - 1);
    const size_t extension = target.rfind('.');
    return !target.empty() && target.front() != '.' && extension != std::string_view::npos && extension > 0 &&
           extension + 1 < target.size();
}

int RemoveLeftoverTemporaryFiles(const fs::path& folder, int depth) {
    int removed = 0;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path path = it->path();
        std::error_code statError;
        const fs::file_status status = fs::symlink_status(path, statError);
        if (statError) continue;
        if (fs::is_directory(status)) {
            if (depth > 0) removed += RemoveLeftoverTemporaryFiles(path, depth - 1);
        } else if (fs::is_regular_file(status) && IsAtomicWriteTemporaryName(path.filename().string())) {
            std::error_code removeError;
            if (fs::remove(path, removeError)) {
                ++removed;
                DebugLog("removed the temporary file of an interrupted write: " + path.string());
            }
        }
    }
    return removed;
}

std::string JsonFile::MakeTimestampId() {
    using namespace std::chrono;
    static std::mutex mutex;
    static int64_t lastMs = 0;
    int64_t ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (ms <= lastMs) ms = lastMs + 1;
        lastMs = ms;
    }
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "%d_%02d_%02d_%02d_%02d_%02d_%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(ms % 1000));
    return buffer;
}

std::string JsonFile::FileStem(const fs::path& path) {
    return path.stem().string();
}

}  // namespace vx::profiles
