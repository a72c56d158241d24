#pragma once
// The HID interfaces this program drives, derived from the device catalogue: one row per interface
// it claims (the command interface and the notification interface of each device and connection).
// Discovery matches present interfaces against it; the udev rules that give the seat user access
// are generated from it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "link/DeviceCatalog.h"

namespace vx::link {

// The rows of the built-in catalogue.
const std::vector<SupportedInterface>& SupportedInterfaces();

// The distinct vendor/product pairs of the table, in table order.
std::vector<std::pair<uint16_t, uint16_t>> SupportedVendorProducts();

// The udev rules file: uaccess for the hidraw nodes of every supported device.
std::string SupportedDevicesUdevRules();

}  // namespace vx::link
