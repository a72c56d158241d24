#include "platform/DebugLog.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace vx::platform {

namespace {

bool ReadSwitch() {
    const char* value = std::getenv("VX_DEBUG");
    return value != nullptr && value[0] != '\0' && std::string_view(value) != "0";
}

std::mutex& OutputMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

bool DebugLogEnabled() {
    // Read once: getenv is not safe against a concurrent setenv, and the switch is meant per run.
    static const bool enabled = ReadSwitch();
    return enabled;
}

void DebugLog(std::string_view text) {
    if (!DebugLogEnabled()) return;
    std::string line(text);
    if (line.empty() || line.back() != '\n') line.push_back('\n');
    std::lock_guard<std::mutex> lock(OutputMutex());
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace vx::platform
