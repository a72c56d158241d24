#pragma once
// The three bytes that a key slot of a device's key table holds: the function type and its two
// parameters (for type 0x20, modifier bits and a HID keyboard usage).

#include <cstdint>

// The device tables keep their own namespace: the profile layer has a key record of the same
// name (with the key's position), and both are linked into the program.
namespace vx::device_tables {

struct KeyFunction {
    uint8_t type = 0;
    uint8_t first = 0;
    uint8_t second = 0;

    friend bool operator==(const KeyFunction&, const KeyFunction&) = default;
};

}  // namespace vx::device_tables
