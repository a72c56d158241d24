#pragma once
// Factory functions of the mouse's 11 logical buttons, matched against the key table the mouse
// reports at connection.

#include <array>
#include <cstddef>

#include "devices/tables/KeyFunction.h"

namespace vx::device_tables {

constexpr size_t kMouseLogicalButtonCount = 11;

const std::array<KeyFunction, kMouseLogicalButtonCount>& MouseFactoryKeys();

}  // namespace vx::device_tables
