#pragma once
// The recoil ("shoot") data the mouse keeps for four guns: the four files "ShootData_<n>.Shoot"
// of the mouse's data folder, packed into one image in the macro-image layout with exactly four
// records.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "link/MacroImageBlock.h"

#include <json/json.h>

constexpr int kShootGuns = 4;
// A gun's sequence: 30 bullets of six events each (click, release, the two moves, their ends).
constexpr int kShootBullets = 30;
constexpr int kShootEventsPerBullet = 6;
constexpr size_t kShootGunEvents = size_t(kShootBullets) * kShootEventsPerBullet;
// A shoot file comes from anywhere (import); one larger than this is not read at all. The
// largest honest file, 180 events written out, is some 14 KiB.
constexpr uintmax_t kShootFileMaxBytes = 1024 * 1024;

// "ShootData_" + gun + ".Shoot".
std::string ShootFileName(int gun);

// A shoot file as a JSON object; null when it is missing, unreadable, larger than
// kShootFileMaxBytes, not JSON or not an object.
Json::Value ReadShootDocument(const std::filesystem::path& file);

// The events of the four guns; a missing or unreadable file gives a gun without events. Each gun
// keeps at most its 180 events; values beyond what the device form holds are clamped (a distance
// or button to 0..255, a delay to 0..65535, a type to 0..127).
std::array<vx::link::MacroSlotEvents, kShootGuns> LoadShootEvents(const std::filesystem::path& folder);

struct ShootImage {
    std::vector<uint8_t> bytes;  // empty when the image does not fit
    size_t length = 0;           // what the image needs, also when it does not fit
    // Events to remove before it fits capacityBytes ((excess ÷ 4) + 1), 0 when it fits.
    size_t eventsOver = 0;
};

// capacityBytes: the device's memory for the image (0: no limit beyond the 16-bit length field).
ShootImage BuildShootImage(const std::array<vx::link::MacroSlotEvents, kShootGuns>& guns, size_t capacityBytes);
