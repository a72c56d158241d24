#include "platform/ErrnoText.h"

#include <cstring>

namespace vx::platform {

std::string ErrnoText(int code) {
    if (code == 0) return {};
    char buffer[256] = {};
    // The GNU strerror_r returns its text, which need not be in the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return text ? std::string(text) : std::string();
}

}  // namespace vx::platform
