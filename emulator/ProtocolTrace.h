#pragma once
// The protocol trace: one line per report, "<UTC time with microseconds> <direction> <link>
// <bytes in hex>", the same format the program's links write.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

namespace vx::emulator {

class ProtocolTrace {
public:
    ProtocolTrace() = default;
    ~ProtocolTrace();
    ProtocolTrace(const ProtocolTrace&) = delete;
    ProtocolTrace& operator=(const ProtocolTrace&) = delete;

    // Appends to path; an empty path closes the trace. Returns 1, or 0 when the file cannot be opened.
    int Open(const std::string& path);
    void Close();
    bool IsOpen() const;

    // direction: "out", "ctl" or "in".
    void Write(std::string_view direction, std::string_view link, std::span<const uint8_t> report);

    static std::string FormatLine(std::chrono::system_clock::time_point when, std::string_view direction,
                                  std::string_view link, std::span<const uint8_t> report);

private:
    mutable std::mutex m_mutex;
    std::FILE* m_file = nullptr;
};

}  // namespace vx::emulator
