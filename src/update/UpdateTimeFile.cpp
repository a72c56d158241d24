#include "update/UpdateTimeFile.h"

#include <ctime>

#include "profiles/JsonFile.h"

namespace vx::update {

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::to_string(local.tm_year + 1900) + "-" + std::to_string(local.tm_mon + 1) + "-" +
           std::to_string(local.tm_mday);
}

std::string ReadLastCheckDate(const std::filesystem::path& file) {
    const Json::Value root = JsonFile().ReadJson(file);
    if (!root.isObject()) return {};
    const Json::Value& entry = root["updatelasttime"];
    if (!entry.isObject() || !entry["value"].isString()) return {};
    // A date is short; anything longer is not one of ours.
    const std::string value = entry["value"].asString();
    return value.size() <= 32 ? value : std::string();
}

bool WriteLastCheckDate(const std::filesystem::path& file, const std::string& date) {
    Json::Value root(Json::objectValue);
    root["updatelasttime"]["value"] = date;
    return JsonFile().TryWriteJson(file, root);
}

}  // namespace vx::update
