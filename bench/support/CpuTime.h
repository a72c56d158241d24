#pragma once
// CPU time of this process or of another one, for the benchmarks that report a share of one core.

#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace vxbench {

// User and system seconds this process has run so far, all threads together.
inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// utime + stime of another process in clock ticks (fields 14 and 15 of /proc/<pid>/stat, counted
// after the command name, which may hold spaces); -1 when it cannot be read.
inline long long ProcessCpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos || close + 2 > text.size()) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) ticks += std::stoll(field);
    }
    return ticks;
}

// The same in seconds.
inline double ProcessCpuSeconds(pid_t pid) {
    return static_cast<double>(ProcessCpuTicks(pid)) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace vxbench
