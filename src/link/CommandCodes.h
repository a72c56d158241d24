#pragma once
// Command codes of the framed channel (frame byte 3).

#include <cstdint>

namespace vx::link {

enum class Command : uint8_t {
    BeginConfig = 0x01,
    EndConfig = 0x02,
    ReadDeviceInfo = 0x03,
    ReadConfig = 0x05,
    WriteConfig = 0x06,
    ReadKeyTable = 0x07,
    WriteKeyTable = 0x09,
    WriteKeyColours = 0x0B,
    StreamLighting = 0x12,
    WriteMacros = 0x15,
    WriteShootData = 0x17,
    ReadStatus = 0x1A,
    ReadLedMap = 0x1B,
    EnterSoftwareLighting = 0x1C,
    QueryWirelessDevice = 0xAA,
};

}  // namespace vx::link
