#pragma once
// The system's text for an errno value, safe to call from any thread (strerror is not).

#include <string>

namespace vx::platform {

// Empty for 0.
std::string ErrnoText(int code);

}  // namespace vx::platform
