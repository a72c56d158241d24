#include "link/CommandFrame.h"

#include <algorithm>

namespace vx::link {

uint16_t FrameChecksum(const Frame& frame) {
    uint32_t sum = 0;
    for (size_t i = kFrameCommand; i < kFrameLength; ++i) sum += frame[i];
    return static_cast<uint16_t>(sum & 0xFFFF);
}

void StoreChecksum(Frame& frame) {
    const uint16_t sum = FrameChecksum(frame);
    frame[kFrameChecksumLow] = static_cast<uint8_t>(sum & 0xFF);
    frame[kFrameChecksumHigh] = static_cast<uint8_t>(sum >> 8);
}

Frame BuildFrame(Command command, uint8_t length, uint16_t offset, std::span<const uint8_t> payload) {
    Frame frame{};
    frame[0] = kFrameReportId;
    frame[kFrameCommand] = static_cast<uint8_t>(command);
    frame[kFrameLengthByte] = length;
    frame[kFrameOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
    frame[kFrameOffsetHigh] = static_cast<uint8_t>(offset >> 8);
    const size_t n = std::min(payload.size(), kFramePayloadMax);
    std::copy_n(payload.begin(), n, frame.begin() + kFramePayload);
    StoreChecksum(frame);
    return frame;
}

bool FitsOffsetRange(size_t total, uint32_t base) {
    return base <= 0x10000 && total <= 0x10000 - base;
}

std::vector<Chunk> SplitChunks(size_t total, uint8_t chunkSize, uint32_t base) {
    std::vector<Chunk> chunks;
    if (chunkSize == 0 || !FitsOffsetRange(total, base)) return chunks;
    chunks.reserve((total + chunkSize - 1) / chunkSize);
    for (size_t p = 0; p < total; p += chunkSize) {
        Chunk chunk;
        chunk.position = p;
        chunk.length = static_cast<uint8_t>(std::min<size_t>(chunkSize, total - p));
        chunk.offset = static_cast<uint16_t>(base + p);
        chunks.push_back(chunk);
    }
    return chunks;
}

}  // namespace vx::link
