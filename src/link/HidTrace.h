#pragma once
// Protocol trace: with VX_HID_TRACE=FILE every report that any HidLink of the program moves is
// appended to FILE as one line (time stamp, direction, link path, report bytes).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace vx::link {

class HidTrace {
public:
    static HidTrace& Instance();
    // direction: "out", "ctl" or "in"; the report starts with its report id.
    void Record(std::string_view direction, std::string_view path, const uint8_t* report, size_t length);
    // Points the trace at another file (empty = off); the environment is read once otherwise.
    void Reset(const std::string& file);
    static std::string FormatLine(std::string_view direction, std::string_view path, const uint8_t* report,
                                  size_t length);

private:
    HidTrace();
    ~HidTrace();
    std::mutex m_mutex;
    std::FILE* m_file = nullptr;
};

}  // namespace vx::link
