#include "link/DebugLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

bool DebugLogEnabled() {
    // Read once: getenv is not safe against a concurrent setenv, and the setting does not change
    // while the program runs.
    static const bool enabled = [] {
        const char* value = std::getenv("VX_DEBUG");
        return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
    }();
    return enabled;
}

void DebugLog(std::string_view text) {
    if (!DebugLogEnabled()) return;
    // One write per line so that lines of different threads do not mix.
    std::string line(text);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}
