#pragma once
// CPU time of this process, for the benchmarks that report a share of one core.

#include <sys/resource.h>

namespace vxbench {

// User and system seconds this process has run so far, all threads together.
inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace vxbench
