#include <json/json.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/DebugLog.h"
#include "profiles/JsonFile.h"
#include "update/UpdateCheck.h"

using vx::platform::DebugLog;
using vx::profiles::JsonFile;

// The update check's readers: the deployment data, the version record and the service's reply.
// No network here, so that the readers can be fuzzed on their own.
namespace vx::update {

namespace {

std::string Clip(std::string text, size_t limit) {
    if (text.size() > limit) text.resize(limit);
    return text;
}

std::string StringMember(const Json::Value& object, const char* key, size_t limit) {
    const Json::Value& value = object[key];
    return value.isString() ? Clip(value.asString(), limit) : std::string();
}

int IntMember(const Json::Value& object, const char* key) {
    const Json::Value& value = object[key];
    return value.isInt() ? value.asInt() : 0;
}

// Leading digits of `text` in `base`, as a 32-bit strtol reads them: 0 when there are none, and
// a number beyond the int range saturates at its end, so a hostile version can never outrank the
// largest local one.
int64_t ParseNumber(const std::string& text, int base) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    if (base == 16 && text.compare(at, 2, "0x") == 0) at += 2;
    int64_t value = 0;
    constexpr int64_t kLimit = std::numeric_limits<int>::max();
    for (; at < text.size(); ++at) {
        const int c = std::tolower(static_cast<unsigned char>(text[at]));
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) break;
        value = std::min(value * base + digit, kLimit + 1);
    }
    return negative ? -value : std::min(value, kLimit);
}


}  // namespace

UpdateService ReadUpdateService(const std::filesystem::path& file) {
    UpdateService service;
    const Json::Value root = JsonFile().ReadJson(file);
    if (!root.isObject()) return service;
    service.address = StringMember(root, "ServiceAddress", kMaxAddressText);
    service.caFile = StringMember(root, "CaFile", kMaxAddressText);
    if (!service.caFile.empty() && std::filesystem::path(service.caFile).is_relative())
        service.caFile = (file.parent_path() / service.caFile).string();
    const Json::Value& products = root["Products"];
    if (!products.isArray()) return service;
    for (const Json::Value& row : products) {
        if (!row.isObject()) continue;
        ProductEntry entry;
        entry.deviceKind = StringMember(row, "DeviceKind", kMaxNameText);
        entry.versionForm = IntMember(row, "VersionForm");
        entry.keyNumber = IntMember(row, "KeyNumber");
        entry.makerName = StringMember(row, "MakerName", kMaxNameText);
        entry.modelCode = StringMember(row, "ModelCode", kMaxNameText);
        entry.productType = StringMember(row, "ProductType", kMaxNameText);
        entry.displayName = StringMember(row, "DisplayName", kMaxNameText);
        entry.versionText = StringMember(row, "VersionText", kMaxLabelText);
        service.products.push_back(std::move(entry));
    }
    return service;
}

std::string BuildAppKey(const ProductEntry& entry) {
    if (entry.localVersion == 0) return "NULL";
    return entry.makerName + "_" + std::to_string(entry.versionForm) + "_" + entry.modelCode + "_" +
           entry.productType + "_" + std::to_string(entry.keyNumber);
}

int ReadInstalledVersion(std::string_view versionRecord) {
    std::string digits;
    for (char c : versionRecord) {
        if (c != '.') digits += c;
    }
    return static_cast<int>(std::max<int64_t>(0, ParseNumber(digits, 10)));
}

std::vector<ProductEntry> MakeUpdateCandidates(const std::vector<ProductEntry>& products,
                                               const std::function<int(const std::string& kind)>& firmwareVersion,
                                               std::string_view installedVersionRecord) {
    std::vector<ProductEntry> candidates;
    for (ProductEntry entry : products) {
        if (entry.deviceKind == kApplicationKind) {
            entry.localVersion = ReadInstalledVersion(installedVersionRecord);
            if (entry.versionText.empty()) entry.versionText = "V" + Clip(std::string(installedVersionRecord), kMaxLabelText);
        } else {
            entry.localVersion = firmwareVersion ? firmwareVersion(entry.deviceKind) : 0;
        }
        if (entry.localVersion != 0) candidates.push_back(std::move(entry));
    }
    return candidates;
}

UpdateResult ReadServiceReply(const char* buffer, size_t capacity, int stored, int localVersion, bool hexVersions) {
    UpdateResult result;
    const std::string reply(buffer, capacity > 0 ? strnlen(buffer, capacity) : 0);
    if (stored <= 0) {
        result.name = Clip(reply, kMaxNameText);
        result.failed = true;
        return result;
    }
    bool parsed = false;
    const Json::Value root = JsonFile::ParseText(reply, &parsed);
    if (!parsed || !root.isObject()) {
        DebugLog("update: the service's answer is not a JSON object");
        result.failed = true;
        return result;
    }
    const std::string version = StringMember(root, "version", kMaxLabelText);
    result.downloadAddress = StringMember(root, "path", kMaxAddressText);
    result.name = StringMember(root, "name", kMaxNameText);
    result.deviceId = IntMember(root, "device_id");
    result.serverLabel = "V" + version;
    int64_t server = 0;
    if (hexVersions) {
        server = ParseNumber(version, 16);
        result.localLabel = FormatNumber("V%04x", localVersion);
    } else {
        server = ParseNumber(version, 10);
        result.localLabel = FormatNumber("V%d", localVersion);
        result.serverLabel = StringMember(root, "version_name", kMaxLabelText);
    }
    result.status = server > localVersion ? kStatusOffered : kStatusCurrent;
    return result;
}

std::string FormatNumber(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace vx::update
