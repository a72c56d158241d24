#include "emulator/FrameChecksum.h"

namespace vx::emulator {

uint16_t ComputeFrameChecksum(std::span<const uint8_t> frame) {
    uint32_t sum = 0;
    for (size_t i = 3; i < frame.size() && i < kFrameLength; ++i) sum += frame[i];
    return static_cast<uint16_t>(sum & 0xFFFFu);
}

bool FrameChecksumMatches(std::span<const uint8_t> frame) {
    if (frame.size() < 3) return false;
    const uint16_t stored = static_cast<uint16_t>(frame[1] | (frame[2] << 8));
    return stored == ComputeFrameChecksum(frame);
}

void StampFrameChecksum(std::span<uint8_t> frame) {
    if (frame.size() < 3) return;
    const uint16_t sum = ComputeFrameChecksum(frame);
    frame[1] = static_cast<uint8_t>(sum & 0xFF);
    frame[2] = static_cast<uint8_t>(sum >> 8);
}

}  // namespace vx::emulator
