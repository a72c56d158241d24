#pragma once
// Factory functions of the keyboard's 170 logical keys. The program identifies each physical key
// by finding its factory function in the key table the keyboard reports at connection; the
// virtual keyboard fills its own key table from the same list.

#include <array>
#include <cstddef>

#include "devices/tables/KeyFunction.h"

namespace vx::device_tables {

constexpr size_t kKeyboardLogicalKeyCount = 170;
constexpr int kKeyboardFnKey = 110;

// The function of a logical key that the keyboard does not have.
constexpr KeyFunction kNoKeyFunction{0x20, 0x00, 0x00};

// Factory function of logical key 0..169 (kNoKeyFunction for keys that are not listed).
const std::array<KeyFunction, kKeyboardLogicalKeyCount>& KeyboardFactoryKeys();

// True when the logical key has a factory function of its own.
bool IsKeyboardKeyListed(size_t logicalKey);

}  // namespace vx::device_tables
