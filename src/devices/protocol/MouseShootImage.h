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

constexpr int kShootGuns = 4;

// "ShootData_" + gun + ".Shoot".
std::string ShootFileName(int gun);

// The events of the four guns; a missing or unreadable file gives a gun without events.
std::array<vx::link::MacroSlotEvents, kShootGuns> LoadShootEvents(const std::filesystem::path& folder);

struct ShootImage {
    std::vector<uint8_t> bytes;  // empty when the image does not fit
    size_t length = 0;           // what the image needs, also when it does not fit
    // Events to remove before it fits capacityBytes ((excess ÷ 4) + 1), 0 when it fits.
    size_t eventsOver = 0;
};

// capacityBytes: the device's memory for the image (0: no limit beyond the 16-bit length field).
ShootImage BuildShootImage(const std::array<vx::link::MacroSlotEvents, kShootGuns>& guns, size_t capacityBytes);
