#include "devices/protocol/MouseShootImage.h"

#include <json/json.h>

#include <algorithm>
#include <cctype>

#include "profiles/JsonFile.h"
#include "profiles/MacroFiles.h"

using vx::link::BuildMacroImage;
using vx::link::MacroImageLength;
using vx::link::MacroSlotEvents;
using vx::link::kMacroEventLength;
using vx::profiles::JsonFile;
using vx::profiles::MacroEvent;
using vx::profiles::MacroFiles;

std::string ShootFileName(int gun) {
    return "ShootData_" + std::to_string(gun) + ".Shoot";
}

Json::Value ReadShootDocument(const std::filesystem::path& file) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kShootFileMaxBytes) return Json::Value();
    Json::Value document = JsonFile().ReadJson(file);
    return document.isObject() ? document : Json::Value();
}

namespace {

uint8_t ClampTo(int64_t value, int64_t largest) {
    return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, largest));
}

bool IsDown(const Json::Value& event) {
    const Json::Value& action = event.isObject() ? event["Action"] : Json::Value::nullSingleton();
    if (!action.isString()) return false;
    std::string text = action.asString();
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text == "down";
}

}  // namespace

std::array<MacroSlotEvents, kShootGuns> LoadShootEvents(const std::filesystem::path& folder) {
    std::array<MacroSlotEvents, kShootGuns> guns;
    for (int gun = 0; gun < kShootGuns; ++gun) {
        const Json::Value document = ReadShootDocument(folder / ShootFileName(gun));
        if (!document.isObject()) continue;
        const Json::Value& events = document["Events"];
        if (!events.isArray()) continue;
        // Only the 30 bullets the panel edits go to the mouse.
        const Json::ArrayIndex count = std::min<Json::ArrayIndex>(events.size(), Json::ArrayIndex(kShootGunEvents));
        MacroSlotEvents& out = guns[static_cast<size_t>(gun)];
        out.reserve(count);
        for (Json::ArrayIndex i = 0; i < count; ++i) {
            const MacroEvent event = MacroFiles::EventFromJson(events[i]);
            // The type byte carries the press in its top bit: seven bits for the type.
            out.push_back({event.delay, ClampTo(event.type, 127), IsDown(events[i]), ClampTo(event.button, 255)});
        }
    }
    return guns;
}

ShootImage BuildShootImage(const std::array<MacroSlotEvents, kShootGuns>& guns, size_t capacityBytes) {
    ShootImage image;
    image.length = MacroImageLength(guns);
    if (capacityBytes != 0 && image.length > capacityBytes) {
        image.eventsOver = (image.length - capacityBytes) / kMacroEventLength + 1;
        return image;
    }
    if (!BuildMacroImage(guns, &image.bytes, capacityBytes)) {
        // Only the 16-bit length field can refuse here; count what has to go to fit it.
        constexpr size_t kLargest = 0xFFFF;
        image.eventsOver = (image.length - kLargest) / kMacroEventLength + 1;
    }
    return image;
}
