#pragma once
// The 64-byte frame of the command channel: report id 4, checksum, command, chunk length,
// 16-bit offset, status and up to 56 payload bytes. Requests and replies share the layout.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "link/CommandCodes.h"

namespace vx::link {

constexpr size_t kFrameLength = 64;
constexpr uint8_t kFrameReportId = 4;
constexpr size_t kFrameChecksumLow = 1;
constexpr size_t kFrameChecksumHigh = 2;
constexpr size_t kFrameCommand = 3;
constexpr size_t kFrameLengthByte = 4;
constexpr size_t kFrameOffsetLow = 5;
constexpr size_t kFrameOffsetHigh = 6;
constexpr size_t kFrameStatus = 7;
constexpr size_t kFramePayload = 8;
constexpr size_t kFramePayloadMax = kFrameLength - kFramePayload;  // 56

// Reply status bytes that mean failure; every other value is success.
constexpr uint8_t kReplyStatusRejected = 0xFF;
constexpr uint8_t kReplyStatusFailed = 0xFE;

// Receiver's own answer when its wireless device does not answer.
constexpr uint8_t kReceiverAbsentCommand = 0xAA;

// Chunk sizes of the two connections, and of the shoot data whatever the connection.
constexpr uint8_t kCableChunkSize = 56;
constexpr uint8_t kReceiverChunkSize = 24;

using Frame = std::array<uint8_t, kFrameLength>;

// Sum of bytes 3..63 modulo 65536.
uint16_t FrameChecksum(const Frame& frame);
void StoreChecksum(Frame& frame);

// A request frame with the checksum in place. payload.size() must not exceed 56 (longer input is
// cut to 56 bytes).
Frame BuildFrame(Command command, uint8_t length, uint16_t offset, std::span<const uint8_t> payload = {});

// One chunk of a chunked transfer: `position` in the caller's data, `offset` on the device.
struct Chunk {
    size_t position = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
};

// Splits total bytes into chunks of chunkSize at base + position. Empty when chunkSize is 0 or
// the transfer would run past the 16-bit offset range (the caller refuses it).
std::vector<Chunk> SplitChunks(size_t total, uint8_t chunkSize, uint32_t base);

// True when base .. base + total stays inside the device's 16-bit address range.
bool FitsOffsetRange(size_t total, uint32_t base);

}  // namespace vx::link
