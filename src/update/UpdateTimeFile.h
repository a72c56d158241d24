#pragma once
// "updatetime.config" in the user data folder: the date of the last update check,
// {"updatelasttime": {"value": "2024-3-7"}}. No Qt.

#include <filesystem>
#include <string>

namespace vx::update {

inline constexpr const char* kUpdateTimeFile = "updatetime.config";

// Today's local date as "%d-%d-%d" (year, month, day, no leading zeros).
std::string TodayText();
// The stored date; empty when the file is missing, unreadable, or lacks the value.
std::string ReadLastCheckDate(const std::filesystem::path& file);
bool WriteLastCheckDate(const std::filesystem::path& file, const std::string& date);

}  // namespace vx::update
