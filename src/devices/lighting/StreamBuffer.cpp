#include "devices/lighting/StreamBuffer.h"

#include "devices/lighting/LedFrame.h"

namespace vx::lighting {

void StreamBuffer::Put(int position, uint32_t packed) {
    // A map entry past the buffer (a garbled LED map) is dropped, not written beyond it.
    if (position < 0 || static_cast<std::size_t>(position) * 3 + 3 > kSize) return;
    const LedEntry e = LedEntry::Unpack(packed);
    m_bytes[position * 3 + 0] = static_cast<uint8_t>(e.red * e.brightness / 256);
    m_bytes[position * 3 + 1] = static_cast<uint8_t>(e.green * e.brightness / 256);
    m_bytes[position * 3 + 2] = static_cast<uint8_t>(e.blue * e.brightness / 256);
}

void StreamBuffer::Build(const LedFrame& frame) {
    m_bytes.fill(0);
    const int n = frame.Count();
    for (int i = 0; i < n; ++i) {
        if (i != kNeverStreamed) Put(i, frame.GetRaw(i));
    }
}

void StreamBuffer::Build(const LedFrame& frame, const uint8_t* keyLedMap, std::size_t mapSize) {
    m_bytes.fill(0);
    const int n = frame.Count();
    for (int i = 0; i < n && static_cast<std::size_t>(i) < mapSize; ++i) {
        if (i == kNeverStreamed || keyLedMap[i] >= kNeverStreamed) continue;
        Put(keyLedMap[i], frame.GetRaw(i));
    }
}

std::size_t StreamBuffer::Length(int slots) {
    if (slots <= 0) return 0;
    const std::size_t length = static_cast<std::size_t>(slots) * 3;
    return length < kSize ? length : kSize;
}

}  // namespace vx::lighting
