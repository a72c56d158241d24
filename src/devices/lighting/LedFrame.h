#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace vx::lighting {

// One LED's entry packed as red, green, blue and brightness, lowest byte first.
struct LedEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t brightness = 0;

    uint32_t Pack() const {
        return uint32_t{red} | uint32_t{green} << 8 | uint32_t{blue} << 16 | uint32_t{brightness} << 24;
    }
    static LedEntry Unpack(uint32_t v) {
        return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                static_cast<uint8_t>(v >> 24)};
    }
    bool operator==(const LedEntry&) const = default;
};

// The LED frame, written by the lighting thread and read by the window thread every 50 ms.
// Each entry is one atomic word, so a reader may see a frame that mixes two effect steps but never
// a torn entry. The storage is fixed so that resizing never reallocates under a reader.
class LedFrame {
public:
    // LED index 170 exists on some pages' pictures (it is shown but never streamed).
    static constexpr int kCapacity = 171;

    int Count() const { return m_count.load(std::memory_order_acquire); }
    // Sets the LED count (clamped to the capacity) and clears every entry, as a page does when its
    // LED count is set, even to the same value.
    void SetCount(int count);
    void Clear();

    // Out-of-range indexes are ignored (Set) or read as 0 (Get).
    void Set(int index, LedEntry entry);
    LedEntry Get(int index) const;
    void SetRaw(int index, uint32_t packed);
    uint32_t GetRaw(int index) const;

private:
    std::array<std::atomic<uint32_t>, kCapacity> m_entries{};
    std::atomic<int> m_count{0};
};

}  // namespace vx::lighting
