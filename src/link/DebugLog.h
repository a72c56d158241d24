#pragma once
// Diagnostic lines for developers: written to stderr only when the environment variable VX_DEBUG
// is set (to anything but "0"), never shown to the user. Safe from any thread.

#include <string_view>

void DebugLog(std::string_view text);
bool DebugLogEnabled();
