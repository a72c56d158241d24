#pragma once
// What one emulated device is made of: memory sizes, the commands it knows, its factory key table,
// LED map, capability record and settings blocks. Built once per device kind.

#include <array>
#include <cstdint>
#include <set>
#include <vector>

#include "emulator/FirmwareKeyTable.h"
#include "emulator/VirtualModel.h"

namespace vx::emulator {

constexpr size_t kCapabilityLength = 34;
constexpr size_t kStatusLength = 16;
constexpr size_t kKeyColourStride = 512;
constexpr size_t kStreamCapacity = 512;
constexpr size_t kMaxKeySlots = 170;

struct FirmwareLayout {
    FirmwareKind kind = FirmwareKind::Keyboard;
    uint8_t typeCode = 0;
    size_t profileCount = 8;
    size_t stride = 64;
    std::set<uint8_t> commands;
    std::vector<SlotFunction> keySlots;  // factory key table, slot order as the device defines it
    std::vector<uint8_t> ledMap;        // per key slot: its LED index in the lighting stream
    size_t ledCount = 0;                // LED entries of the lighting stream
    size_t macroUnits = 0;              // macro memory in 128-byte units
    size_t shootCapacity = 0;
    size_t colourGroups = 0;
    uint16_t sensorId = 0;
    uint8_t dpiStep = 0;
    uint16_t sliderMax = 0;
    uint16_t dpiBase = 0;
    uint8_t battery = 100;
};

// Capability record bytes of a layout.
std::array<uint8_t, kCapabilityLength> BuildCapabilityRecord(const FirmwareLayout& layout);

// Factory contents of the configuration memory (profileCount blocks at the stride, byte 0 = 0).
std::vector<uint8_t> BuildFactoryConfig(const FirmwareLayout& layout);

// The layout of a device kind. Logical keyboard keys listed in missingKeys are left out of the
// keyboard's key table (their slots hold 00 00 00), as on a smaller keyboard.
FirmwareLayout BuildFirmwareLayout(FirmwareKind kind, const std::vector<size_t>& missingKeys = {});

}  // namespace vx::emulator
