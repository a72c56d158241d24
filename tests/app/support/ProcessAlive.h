#pragma once
// Whether a process the test started still runs, for tests that check a helper program ends.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace vxtest {

// True while the process exists and has not ended; a zombie has ended (only its parent has not
// collected it yet). The state follows the command name, which may hold spaces.
inline bool ProcessAlive(int64_t pid) {
    if (pid <= 0) return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z';
}

}  // namespace vxtest
