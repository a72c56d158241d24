#include "devices/protocol/MouseShootImage.h"

#include <json/json.h>

#include "profiles/JsonFile.h"
#include "profiles/MacroFiles.h"

using vx::link::BuildMacroImage;
using vx::link::MacroImageLength;
using vx::link::MacroSlotEvents;
using vx::link::kMacroEventLength;
using vx::profiles::JsonFile;
using vx::profiles::MacroEvent;
using vx::profiles::MacroFiles;
using vx::profiles::kMaxMacroEvents;

std::string ShootFileName(int gun) {
    return "ShootData_" + std::to_string(gun) + ".Shoot";
}

std::array<MacroSlotEvents, kShootGuns> LoadShootEvents(const std::filesystem::path& folder) {
    std::array<MacroSlotEvents, kShootGuns> guns;
    JsonFile file;
    for (int gun = 0; gun < kShootGuns; ++gun) {
        const Json::Value document = file.ReadJson(folder / ShootFileName(gun));
        if (!document.isObject()) continue;
        const Json::Value& events = document["Events"];
        if (!events.isArray()) continue;
        // The device counts a record's events in 16 bits.
        const Json::ArrayIndex count = std::min<Json::ArrayIndex>(events.size(), kMaxMacroEvents);
        MacroSlotEvents& out = guns[static_cast<size_t>(gun)];
        out.reserve(count);
        for (Json::ArrayIndex i = 0; i < count; ++i) {
            const MacroEvent event = MacroFiles::EventFromJson(events[i]);
            out.push_back({event.delay, static_cast<uint8_t>(event.type), event.down,
                           static_cast<uint8_t>(event.button)});
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
