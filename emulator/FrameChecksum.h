#pragma once
// The command frame's checksum as the device checks it: the sum of bytes 3 to 63, modulo 65536,
// stored little-endian in bytes 1 and 2.

#include <cstddef>
#include <cstdint>
#include <span>

namespace vx::emulator {

constexpr size_t kFrameLength = 64;
constexpr size_t kFramePayloadOffset = 8;
constexpr size_t kFrameMaxPayload = kFrameLength - kFramePayloadOffset;
constexpr uint8_t kCommandReportId = 4;

// Checksum of a 64-byte frame; a shorter frame counts as padded with zeros.
uint16_t ComputeFrameChecksum(std::span<const uint8_t> frame);

// True when bytes 1-2 of the 64-byte frame hold its checksum.
bool FrameChecksumMatches(std::span<const uint8_t> frame);

// Writes the checksum into bytes 1-2 of a 64-byte frame.
void StampFrameChecksum(std::span<uint8_t> frame);

}  // namespace vx::emulator
