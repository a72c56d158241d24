#pragma once
// The mouse's settings block as the page builds it from its profile (66 bytes written) and reads
// it back from the device (71 bytes of the active profile).

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "link/SettingsBlocks.h"
#include "profiles/ProfileRecords.h"

// What the page gathers from its profile before a write.
struct MouseBlockSource {
    std::vector<DpiStage> stages;  // stages beyond the fifth are not sent
    int32_t activeStage = 0;
    MouseSystemStages system;  // only the report-rate stage reaches the device
    LightInfo light;
    std::vector<vx::profiles::CorrectInfo> presets;
    uint16_t screenWidth = 0;
    uint16_t screenHeight = 0;
};

vx::link::MouseBlock BuildMouseSettingsBlock(const MouseBlockSource& source, std::span<const uint8_t> modeTable);

using MouseReadBlock = std::array<uint8_t, vx::link::kMouseBlockReadLength>;

// The active on-device profile and its block as last read, with the light mode byte already
// turned back into the page's mode index.
struct MouseSettingsRecord {
    uint8_t profile = 0;
    MouseReadBlock block{};

    uint8_t ActiveStage() const { return block[12]; }
    void SetActiveStage(uint8_t stage) { block[12] = stage; }
};

// Takes a block as the device sent it: the mode code becomes its index in the mode table (or
// stays when no entry matches) and byte 9 is cleared.
MouseSettingsRecord TranslateReadBlock(uint8_t profile, std::span<const uint8_t> deviceBlock,
                                       std::span<const uint8_t> modeTable);

// The profile's light settings after a reread: mode, brightness, speed level, direction,
// multi-colour flag and colour from the block; the fields the block does not carry (mode
// option, custom group, previous mode) stay as they were.
LightInfo LightFromReadBlock(const MouseSettingsRecord& record, const LightInfo& previous);
