#include "emulator/FirmwareLayout.h"

#include <algorithm>


namespace vx::emulator {

namespace {

constexpr SlotFunction kEmptySlot{0x00, 0x00, 0x00};
// A key of the keyboard that the program has no logical key for (a sixth media key).
constexpr SlotFunction kUnknownMediaKey{0xD0, 0xA2, 0x06};

// LED indexes are wired in yet another order than the key slots.
constexpr size_t kKeyboardLedStep = 5;

void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

std::vector<SlotFunction> KeyboardSlots(const std::vector<size_t>& missingKeys) {
    std::vector<SlotFunction> slots;
    for (const KeyboardSlot& slot : kVirtualKeyboardSlots) {
        const bool missing = std::find(missingKeys.begin(), missingKeys.end(), slot.key) != missingKeys.end();
        slots.push_back(missing ? kEmptySlot : slot.function);
    }
    slots.push_back(kUnknownMediaKey);
    slots.push_back(kEmptySlot);
    return slots;
}

std::vector<SlotFunction> MouseSlots() {
    std::vector<SlotFunction> slots(kVirtualMouseSlots.begin(), kVirtualMouseSlots.end());
    slots.push_back(kEmptySlot);
    return slots;
}

std::vector<uint8_t> LedMap(size_t slots, size_t step) {
    std::vector<uint8_t> map(slots);
    for (size_t s = 0; s < slots; ++s) map[s] = static_cast<uint8_t>((s * step) % slots);
    return map;
}

void PutLighting(std::vector<uint8_t>& config, size_t block, size_t profile, FirmwareKind kind) {
    // Every factory profile has a light mode of its own. The keyboard's code 0 stands for the
    // program's step list, which is not an effect a user can choose and lights nothing without
    // steps, so its profiles start at code 1: profile 0 carries the wave of the program's factory
    // profile, lit from the first moment.
    const size_t code = kind == FirmwareKind::Keyboard ? profile + 1 : profile;
    config[block + 1] = static_cast<uint8_t>(code);     // light mode code
    config[block + 2] = 4;                              // brightness level
    config[block + 3] = 2;                              // speed, inverted
    config[block + 5] = 1;                              // multi-colour
    config[block + 6] = 0xFF;
    config[block + 7] = static_cast<uint8_t>(0x20 * profile);
    config[block + 8] = 0x00;
}

void PutMouseStages(std::vector<uint8_t>& config, size_t block) {
    static constexpr uint16_t kDpi[5] = {400, 800, 1600, 3200, 6400};
    static constexpr uint8_t kColour[5][3] = {
        {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x00, 0x00, 0xFF}, {0xFF, 0xFF, 0x00}, {0xFF, 0x00, 0xFF}};
    config[block + 11] = 3;  // report-rate stage
    config[block + 12] = 1;  // active DPI stage
    for (size_t i = 0; i < 5; ++i) {
        const size_t at = block + 14 + 9 * i;
        config[at] = 1;
        config[at + 1] = 0;
        Put16(config, at + 2, kDpi[i]);
        Put16(config, at + 4, kDpi[i]);
        config[at + 6] = kColour[i][0];
        config[at + 7] = kColour[i][1];
        config[at + 8] = kColour[i][2];
    }
    config[block + 59] = 1;
    Put16(config, block + 60, 1920);
    Put16(config, block + 62, 1080);
}

}  // namespace

std::array<uint8_t, kCapabilityLength> BuildCapabilityRecord(const FirmwareLayout& layout) {
    std::array<uint8_t, kCapabilityLength> record{};
    record[0] = 0x01;  // firmware version, minor
    record[1] = 0x01;  // firmware version, major
    record[2] = layout.typeCode;
    record[3] = static_cast<uint8_t>(layout.profileCount);
    record[5] = static_cast<uint8_t>(layout.keySlots.empty() ? layout.ledCount : layout.keySlots.size());
    record[6] = static_cast<uint8_t>(layout.macroUnits);
    record[7] = static_cast<uint8_t>(layout.ledCount);
    record[9] = static_cast<uint8_t>(layout.sensorId & 0xFF);
    record[10] = static_cast<uint8_t>(layout.sensorId >> 8);
    record[11] = layout.dpiStep;
    record[12] = static_cast<uint8_t>(layout.sliderMax & 0xFF);
    record[13] = static_cast<uint8_t>(layout.sliderMax >> 8);
    record[14] = static_cast<uint8_t>(layout.dpiBase & 0xFF);
    record[15] = static_cast<uint8_t>(layout.dpiBase >> 8);
    return record;
}

std::vector<uint8_t> BuildFactoryConfig(const FirmwareLayout& layout) {
    std::vector<uint8_t> config(layout.profileCount * layout.stride, 0);
    for (size_t p = 0; p < layout.profileCount; ++p) {
        const size_t block = p * layout.stride;
        PutLighting(config, block, p, layout.kind);
        if (layout.kind == FirmwareKind::Mouse) PutMouseStages(config, block);
        if (layout.kind == FirmwareKind::Keyboard) config[block + 22] = 3;  // polling rate
    }
    config[0] = 0;  // active profile
    return config;
}

FirmwareLayout BuildFirmwareLayout(FirmwareKind kind, const std::vector<size_t>& missingKeys) {
    FirmwareLayout layout;
    layout.kind = kind;
    switch (kind) {
        case FirmwareKind::Keyboard:
            layout.typeCode = 1;
            layout.commands = {0x01, 0x02, 0x03, 0x05, 0x06, 0x07, 0x09,
                               0x0B, 0x12, 0x15, 0x1A, 0x1B, 0x1C, 0xAA};
            layout.keySlots = KeyboardSlots(missingKeys);
            layout.ledMap = LedMap(layout.keySlots.size(), kKeyboardLedStep);
            layout.ledCount = layout.keySlots.size();
            layout.macroUnits = 16;
            layout.colourGroups = 8;
            layout.battery = 85;
            break;
        case FirmwareKind::Mouse:
            layout.typeCode = 2;
            layout.stride = 128;
            layout.commands = {0x01, 0x02, 0x03, 0x05, 0x06, 0x07, 0x09, 0x12, 0x15, 0x17, 0x1A, 0xAA};
            layout.keySlots = MouseSlots();
            layout.ledMap = std::vector<uint8_t>(layout.keySlots.size(), 170);
            layout.ledCount = 15;
            // Room for the recoil data of four guns of 30 bullets (16 + 24 + 4 × 720 = 2920 bytes).
            layout.macroUnits = 24;
            layout.shootCapacity = 24 * 128;
            layout.sensorId = 0x3325;
            layout.dpiStep = 100;
            layout.sliderMax = 148;  // 24900 DPI on the sensor's two-slope scale
            layout.dpiBase = 100;
            layout.battery = 60;
            break;
        case FirmwareKind::Mousepad:
            layout.typeCode = 3;
            layout.commands = {0x01, 0x02, 0x03, 0x05, 0x06, 0x12, 0x1A, 0xAA};
            layout.ledCount = 15;
            break;
        case FirmwareKind::Headset:
            layout.typeCode = 7;
            layout.commands = {0x01, 0x02, 0x03, 0x05, 0x06, 0x1A, 0xAA};
            layout.ledCount = 13;
            break;
    }
    return layout;
}

}  // namespace vx::emulator
