#pragma once
// Builds request frames the way the program's command channel does, for tests that talk to the
// virtual firmware directly or through a socket.

#include <cstdint>
#include <numeric>
#include <span>
#include <vector>

#include "emulator/VirtualFirmware.h"

inline std::vector<uint8_t> RequestFrame(uint8_t command, uint8_t length = 0, uint16_t offset = 0,
                                         std::span<const uint8_t> payload = {}) {
    std::vector<uint8_t> frame(64, 0);
    frame[0] = 4;
    frame[3] = command;
    frame[4] = length;
    frame[5] = static_cast<uint8_t>(offset & 0xFF);
    frame[6] = static_cast<uint8_t>(offset >> 8);
    for (size_t i = 0; i < payload.size() && i < 56; ++i) frame[8 + i] = payload[i];
    const unsigned sum = std::accumulate(frame.begin() + 3, frame.end(), 0u) & 0xFFFFu;
    frame[1] = static_cast<uint8_t>(sum & 0xFF);
    frame[2] = static_cast<uint8_t>(sum >> 8);
    return frame;
}

// Sends one frame and returns the single reply.
inline std::vector<uint8_t> Transact(vx::emulator::VirtualFirmware& firmware, const std::vector<uint8_t>& frame,
                                     vx::emulator::Transport transport = vx::emulator::Transport::Cable) {
    auto replies = firmware.HandleOutputReport(frame, transport, false);
    return replies.size() == 1 ? replies[0] : std::vector<uint8_t>{};
}

// Chunked read of length bytes at base, chunk by chunk as the program does; empty on a failed chunk.
inline std::vector<uint8_t> ChunkedRead(vx::emulator::VirtualFirmware& firmware, uint8_t command, size_t length,
                                        uint16_t base, size_t chunk, vx::emulator::Transport transport = vx::emulator::Transport::Cable) {
    std::vector<uint8_t> data;
    for (size_t p = 0; p < length; p += chunk) {
        const size_t n = std::min(chunk, length - p);
        auto reply = Transact(firmware,
                              RequestFrame(command, static_cast<uint8_t>(n), static_cast<uint16_t>(base + p)),
                              transport);
        if (reply.size() != 64 || reply[3] != command || reply[7] == 0xFE || reply[7] == 0xFF) return {};
        data.insert(data.end(), reply.begin() + 8, reply.begin() + 8 + static_cast<std::ptrdiff_t>(n));
    }
    return data;
}

// Chunked write; returns the status of the first failing chunk, or 0 when all succeeded.
inline int ChunkedWrite(vx::emulator::VirtualFirmware& firmware, uint8_t command, std::span<const uint8_t> data,
                        uint16_t base, size_t chunk, vx::emulator::Transport transport = vx::emulator::Transport::Cable) {
    for (size_t p = 0; p < data.size(); p += chunk) {
        const size_t n = std::min(chunk, data.size() - p);
        auto reply = Transact(firmware,
                              RequestFrame(command, static_cast<uint8_t>(n), static_cast<uint16_t>(base + p),
                                           data.subspan(p, n)),
                              transport);
        if (reply.size() != 64) return -1;
        if (reply[3] != command) return reply[3] << 8;
        if (reply[7] == 0xFE || reply[7] == 0xFF) return reply[7];
    }
    return 0;
}
