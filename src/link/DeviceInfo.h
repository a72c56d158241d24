#pragma once
// The capability record a keyboard, mouse or mousepad reports with command 0x03.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vx::link {

class DeviceInfo {
public:
    static constexpr size_t kLength = 34;
    // Slot counts above this are not trusted: the key table would not fit a 512-byte block.
    static constexpr uint8_t kMaxKeySlots = 170;
    // Sensor whose DPI slider uses the two-slope scale.
    static constexpr uint16_t kTwoSlopeSensor = 0x3325;

    DeviceInfo() = default;
    // Takes the first kLength bytes; missing bytes read as 0.
    explicit DeviceInfo(std::span<const uint8_t> bytes);

    const std::array<uint8_t, kLength>& Bytes() const { return m_bytes; }

    // Key or button slots as the device reports them (may exceed kMaxKeySlots on a bad record).
    uint8_t KeySlots() const { return m_bytes[5]; }
    bool KeySlotsValid() const { return KeySlots() <= kMaxKeySlots; }
    // Key table length in bytes (3 per slot) and LED-map length (1 per slot).
    uint16_t KeyTableLength() const { return static_cast<uint16_t>(KeySlots() * 3); }
    uint16_t LedMapLength() const { return KeySlots(); }
    uint8_t MacroUnits() const { return m_bytes[6]; }
    uint32_t MacroCapacityBytes() const { return static_cast<uint32_t>(MacroUnits()) * 128; }
    uint16_t SensorId() const { return Word(9); }
    bool HasTwoSlopeDpi() const { return SensorId() == kTwoSlopeSensor; }
    uint8_t DpiStep() const { return m_bytes[11]; }
    uint16_t DpiSliderMax() const { return Word(12); }
    uint16_t DpiBase() const { return Word(14); }

private:
    uint16_t Word(size_t at) const { return static_cast<uint16_t>(m_bytes[at] | (m_bytes[at + 1] << 8)); }

    std::array<uint8_t, kLength> m_bytes{};
};

}  // namespace vx::link
