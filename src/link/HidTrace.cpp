#include "link/HidTrace.h"

#include <sys/time.h>

#include <cstdlib>
#include <ctime>

#include "link/ReportDescriptor.h"

namespace vx::link {

HidTrace& HidTrace::Instance() {
    static HidTrace trace;
    return trace;
}

HidTrace::HidTrace() {
    const char* file = std::getenv("VX_HID_TRACE");
    if (file != nullptr && *file != '\0') m_file = std::fopen(file, "ae");
}

HidTrace::~HidTrace() {
    if (m_file != nullptr) std::fclose(m_file);
}

void HidTrace::Reset(const std::string& file) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_file != nullptr) std::fclose(m_file);
    m_file = file.empty() ? nullptr : std::fopen(file.c_str(), "ae");
}

std::string HidTrace::FormatLine(std::string_view direction, std::string_view path, const uint8_t* report,
                                 size_t length) {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    tm utc{};
    gmtime_r(&tv.tv_sec, &utc);
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%06ldZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<long>(tv.tv_usec));
    std::string line(stamp);
    line += ' ';
    line += direction;
    line += ' ';
    line += path;
    line += ' ';
    line += FormatHexBytes(report, length);
    line += '\n';
    return line;
}

void HidTrace::Record(std::string_view direction, std::string_view path, const uint8_t* report,
                      size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_file == nullptr) return;
    const std::string line = FormatLine(direction, path, report, length);
    // One write per line and a flush, so that lines of several threads never interleave and a
    // crash loses nothing already traced.
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}

}  // namespace vx::link
