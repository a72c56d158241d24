#pragma once
// The lit mousepad's side of the protocol: its 21-byte settings record (light mode as the page's
// index and speed as a level on this side, the device's code and inverted speed on the other) at a
// 64-byte stride, and the status record, whose byte 5 names the phone lying on its charger.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "devices/protocol/DeviceProtocol.h"
#include "link/SettingsBlocks.h"

namespace vx::devices {

class MousePadProtocol : public DeviceProtocol {
public:
    static constexpr uint32_t kBlockStride = vx::link::kPadBlockStride;
    using Record = vx::link::PadBlock;

    explicit MousePadProtocol(vx::link::DeviceLink& link) : DeviceProtocol(link) {}

    // The active profile's block (the first 64 bytes), byte 0 replaced by the profile's number.
    int ReadSettings(std::vector<uint8_t>* block);
    // The record of a block read back: mode index and speed level again.
    static Record RecordFromBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable);
    // The record with its mode's code and the inverted speed at offset 0; the record keeps its values.
    int WriteSettings(const Record& record, std::span<const uint8_t> modeTable);
    // Mode, brightness, speed, seven-colour flag and colour of the light record into the record.
    static void PutLight(const LightInfo& light, Record& record);
};

}  // namespace vx::devices
