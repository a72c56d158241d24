#pragma once
// The memory a device keeps while it has no power: settings blocks, key table, per-key colours and
// the macro and shoot images, with the keys its key table was built without. Lighting streams,
// sleep, the status record and the headset's LED colours are run-time state and are not kept.
//
// Stored as one JSON file per device (FirmwareMemoryText / ParseFirmwareMemory), the bytes as
// plain hexadecimal strings:
//
//   { "device" : "keyboard", "format" : 1, "missing_keys" : [],
//     "config" : "00...", "key_table" : "...", "key_colours" : "...",
//     "macros" : { "state" : "valid", "check" : 0, "bytes" : "aa55..." }, "shoot" : { ... } }

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/MacroImage.h"
#include "emulator/VirtualModel.h"

namespace vx::emulator {

enum class ImageState { None, Receiving, Valid, Invalid };

struct ImageRecord {
    ImageState state = ImageState::None;
    MacroImageCheck check = MacroImageCheck::Valid;
    std::vector<uint8_t> bytes;  // what was received; the whole image once Valid
};

struct FirmwareMemory {
    FirmwareKind kind = FirmwareKind::Keyboard;
    std::vector<size_t> missingKeys;
    std::vector<uint8_t> config;
    std::vector<uint8_t> keyTable;
    std::vector<uint8_t> keyColours;
    ImageRecord macros;
    ImageRecord shoot;
};

// "keyboard", "mouse", "mousepad", "headset": the device's state file is NAME.json.
const char* FirmwareKindName(FirmwareKind kind);

std::string FirmwareMemoryText(const FirmwareMemory& memory);

// Decodes a state file written by FirmwareMemoryText for the given device kind. Sizes are not
// checked against a layout here (VirtualFirmware::RestoreMemory does that). False with problem
// set when the text is not such a file.
bool ParseFirmwareMemory(const std::string& text, FirmwareKind kind, FirmwareMemory& memory,
                         std::string& problem);

}  // namespace vx::emulator
