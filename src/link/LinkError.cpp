#include "link/LinkError.h"

#include <chrono>
#include <map>
#include <mutex>

#include "platform/DebugLog.h"
#include "platform/ErrnoText.h"

using vx::platform::DebugLog;
using vx::platform::DebugLogEnabled;
using vx::platform::ErrnoText;

namespace vx::link {

std::string LinkError::Text() const {
    if (Empty()) return {};
    std::string text = call;
    if (!subject.empty()) text += " " + subject;
    text += ": ";
    if (code != 0) {
        text += ErrnoText(code) + " (errno " + std::to_string(code) + ")";
    } else {
        text += detail.empty() ? "failed" : detail;
    }
    return text;
}

namespace {

// A node that keeps failing is tried again and again (the discovery scan, a reader's loop); its
// line is written once and then again only after a pause, so the diagnostics stay readable.
bool FirstInAWhile(const std::string& text) {
    using Clock = std::chrono::steady_clock;
    constexpr auto kPause = std::chrono::seconds(10);
    static std::mutex mutex;
    static std::map<std::string, Clock::time_point> written;
    const Clock::time_point now = Clock::now();
    std::lock_guard<std::mutex> lock(mutex);
    if (written.size() > 256) written.clear();
    auto [it, fresh] = written.try_emplace(text, now);
    if (!fresh && now - it->second < kPause) return false;
    it->second = now;
    return true;
}

}  // namespace

LinkError RecordLinkError(std::string call, int code, std::string subject, std::string detail) {
    LinkError error{std::move(call), code, std::move(subject), std::move(detail)};
    if (DebugLogEnabled()) {
        std::string text = error.Text();
        if (FirstInAWhile(text)) DebugLog("link: " + text);
    }
    return error;
}

}  // namespace vx::link
