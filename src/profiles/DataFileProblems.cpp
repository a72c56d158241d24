#include "profiles/DataFileProblems.h"

#include <mutex>
#include <system_error>
#include <utility>

#include "platform/DebugLog.h"
#include "platform/ErrnoText.h"
#include "profiles/JsonFile.h"

using vx::platform::DebugLog;
using vx::platform::ErrnoText;

namespace vx::profiles {

namespace {

// The handler is called with the lock held, so that removing it waits for a call in progress
// (the application removes it before its window goes away).
std::mutex& HandlerLock() {
    static std::mutex lock;
    return lock;
}

DataFileProblemHandler& Handler() {
    static DataFileProblemHandler handler;
    return handler;
}

const char* KindName(DataFileProblemKind kind) {
    switch (kind) {
        case DataFileProblemKind::Unreadable:
            return "unreadable";
        case DataFileProblemKind::Broken:
            return "broken";
        case DataFileProblemKind::NotSaved:
            return "not saved";
    }
    return "?";
}

}  // namespace

void SetDataFileProblemHandler(DataFileProblemHandler handler) {
    std::lock_guard<std::mutex> guard(HandlerLock());
    Handler() = std::move(handler);
}

void ReportDataFileProblem(const DataFileProblem& problem) {
    std::string line = std::string("data file ") + KindName(problem.kind) + ": " + problem.path.string();
    if (!problem.keptAs.empty()) line += " (kept as " + problem.keptAs.string() + ")";
    if (problem.error != 0) line += ": " + DataFileErrorText(problem.error);
    DebugLog(line);
    std::lock_guard<std::mutex> guard(HandlerLock());
    if (Handler()) Handler()(problem);
}

std::string DataFileErrorText(int error) {
    return ErrnoText(error);
}

bool SaveDataFile(const JsonFile& file, const std::filesystem::path& path, const Json::Value& value) {
    int error = 0;
    if (file.TryWriteJson(path, value, &error)) return true;
    ReportDataFileProblem({DataFileProblemKind::NotSaved, path, {}, error});
    return false;
}

bool MoveBrokenFileAside(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    // A file damaged again and again would otherwise fill the folder; the last name is reused
    // once all are taken, so the earliest copies stay and the program keeps working.
    constexpr int kMaxKeptCopies = 20;
    fs::path aside;
    for (int n = 1; n <= kMaxKeptCopies; ++n) {
        aside = path;
        aside += n == 1 ? std::string(".broken") : ".broken" + std::to_string(n);
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(aside, ec))) break;
    }
    std::error_code ec;
    fs::rename(path, aside, ec);
    if (ec) {
        ReportDataFileProblem({DataFileProblemKind::Broken, path, {}, ec.value()});
        return false;
    }
    ReportDataFileProblem({DataFileProblemKind::Broken, path, aside, 0});
    return true;
}

}  // namespace vx::profiles
