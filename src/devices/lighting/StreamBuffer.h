#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vx::lighting {

class LedFrame;

// The bytes a software-lighting frame sends with StreamLighting: three bytes per stream position,
// each colour byte scaled by the LED's brightness (colour × brightness ÷ 256).
class StreamBuffer {
public:
    static constexpr std::size_t kSize = 512;
    static constexpr int kNeverStreamed = 170;  // this LED is shown but never sent

    // LED i at stream position i (mouse, mousepad).
    void Build(const LedFrame& frame);
    // LED i at stream position keyLedMap[i]; entries of 170 or more (255: no key) are not sent.
    void Build(const LedFrame& frame, const uint8_t* keyLedMap, std::size_t mapSize);

    const uint8_t* Data() const { return m_bytes.data(); }
    // The number of bytes to send for a device with this many slots (never past the buffer).
    static std::size_t Length(int slots);

private:
    void Put(int position, uint32_t packed);

    std::array<uint8_t, kSize> m_bytes{};
};

}  // namespace vx::lighting
