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

#include "platform/DebugLog.h"

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

}  // namespace

std::string JsonFile::readjsonFile(const fs::path& path) const {
    std::string result;
    // Non-blocking so that a FIFO put in place of a data file cannot hang the reader in open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        DebugLog("readjsonFile error: " + std::to_string(errno) + " " + path.string());
        return result;
    }
    struct stat st {};
    // Only regular files: a FIFO or a device node in place of a profile would block or never end.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uintmax_t>(st.st_size) > kMaxJsonFileSize) {
        ::close(fd);
        DebugLog("readjsonFile refused: " + path.string());
        return result;
    }
    std::string buffer(static_cast<size_t>(st.st_size), '\0');
    size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (done == buffer.size()) result = std::move(buffer);
    return result;
}

Json::Value JsonFile::ParseText(const std::string& text) {
    Json::Value root;
    try {
        Json::Reader reader(Json::Features::all());
        if (!reader.parse(text.data(), text.data() + text.size(), root, true)) return Json::Value();
    } catch (const std::exception&) {
        // jsoncpp throws when a document nests deeper than its stack limit.
        return Json::Value();
    }
    return root;
}

Json::Value JsonFile::ReadJson(const fs::path& path) const {
    const std::string text = readjsonFile(path);
    if (text.empty()) {
        DebugLog("ReadJson: empty " + path.string());
        return Json::Value();
    }
    return ParseText(text);
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

bool JsonFile::TryWriteJson(const fs::path& path, const Json::Value& value) const {
    std::string text;
    try {
        text = StyledText(value);
    } catch (const std::exception&) {
        return false;
    }
    return WriteFileAtomically(path, text);
}

bool WriteFileAtomically(const fs::path& path, const std::string& bytes) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        DebugLog("WriteJson: cannot create a temporary file beside " + path.string());
        return false;
    }
    const bool written = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    // mkstemp makes the file private; data files are ordinary user files.
    ::fchmod(fd, 0644);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(pattern.c_str(), path.c_str()) != 0) {
        DebugLog("WriteJson failed: " + path.string() + ": " + std::strerror(errno));
        ::unlink(pattern.c_str());
        return false;
    }
    return true;
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
    std::tm local {};
    localtime_r(&seconds, &local);
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "%d_%02d_%02d_%02d_%02d_%02d_%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(ms % 1000));
    return buffer;
}

std::string JsonFile::FileStem(const fs::path& path) { return path.stem().string(); }
