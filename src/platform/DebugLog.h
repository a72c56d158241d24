#pragma once
// Diagnostic lines for the developer, the stand-in for the debugger output of the original
// platform. Nothing reaches the user: the lines go to stderr, and only while the environment
// variable VX_DEBUG is set (to anything but "0" or the empty text).

#include <string_view>

namespace vx::platform {

// Writes one diagnostic line (a line end is added when the text has none). Thread-safe.
void DebugLog(std::string_view text);

// True when diagnostics are switched on; lets a caller skip formatting costly texts.
bool DebugLogEnabled();

}  // namespace vx::platform
