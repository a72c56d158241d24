#pragma once
// The factory function of every logical key of the keyboard (0-169) and every logical button of
// the mouse (0-10): type, first parameter, second parameter. The device pages identify each
// physical key by finding this record in the key table the device reports after connection, and
// the factory profiles carry the same records as every key's "DefaultAssignment".

#include <array>
#include <cstddef>
#include <cstdint>

namespace vx::profiles {

struct FactoryKeyFunction {
    uint8_t type;
    uint8_t first;
    uint8_t second;

    uint32_t Code() const { return (uint32_t(type) << 16) | (uint32_t(first) << 8) | second; }
};

constexpr size_t kKeyboardLogicalKeys = 170;
constexpr size_t kMouseLogicalButtons = 11;

// Logical key 110 is the Fn key.
constexpr size_t kKeyboardFnKey = 110;

extern const std::array<FactoryKeyFunction, kKeyboardLogicalKeys> kKeyboardFactoryKeys;
extern const std::array<FactoryKeyFunction, kMouseLogicalButtons> kMouseFactoryButtons;

}  // namespace vx::profiles
