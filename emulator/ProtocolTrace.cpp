#include "emulator/ProtocolTrace.h"

#include <ctime>

namespace vx::emulator {

ProtocolTrace::~ProtocolTrace() {
    Close();
}

int ProtocolTrace::Open(const std::string& path) {
    std::lock_guard lock(m_mutex);
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    if (path.empty()) return 1;
    m_file = std::fopen(path.c_str(), "a");
    return m_file ? 1 : 0;
}

void ProtocolTrace::Close() {
    std::lock_guard lock(m_mutex);
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
}

bool ProtocolTrace::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_file != nullptr;
}

void ProtocolTrace::Write(std::string_view direction, std::string_view link,
                          std::span<const uint8_t> report) {
    std::lock_guard lock(m_mutex);
    if (!m_file) return;
    const std::string line = FormatLine(std::chrono::system_clock::now(), direction, link, report);
    std::fwrite(line.data(), 1, line.size(), m_file);
    // Flushed per line so that a trace survives the emulator being killed.
    std::fflush(m_file);
}

std::string ProtocolTrace::FormatLine(std::chrono::system_clock::time_point when, std::string_view direction,
                                      std::string_view link, std::span<const uint8_t> report) {
    using namespace std::chrono;
    const auto micros = duration_cast<microseconds>(when.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%06lldZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<long long>(micros % 1000000));
    std::string line = stamp;
    line += ' ';
    line += direction;
    line += ' ';
    line += link;
    static constexpr char kHex[] = "0123456789abcdef";
    for (uint8_t byte : report) {
        line += ' ';
        line += kHex[byte >> 4];
        line += kHex[byte & 0x0F];
    }
    line += '\n';
    return line;
}

}  // namespace vx::emulator
