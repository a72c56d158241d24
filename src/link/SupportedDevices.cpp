#include "link/SupportedDevices.h"

#include <algorithm>
#include <cstdio>

// clang-format off
const std::array<SupportedInterface, kSupportedInterfaceCount> kSupportedInterfaces = {{
    // vendor  product  mi  col type  role   page    usage twin index
    {0x320F, 0x5055, 1, 4, 1, 0x00, 0xFF1C, 0x92, 1, 2},  // 0  keyboard, cable: commands
    {0x320F, 0x5055, 1, 3, 1, 0xFF, 0x000C, 0x01, 1, 3},  // 1  keyboard, cable: notifications
    {0x320F, 0x5001, 1, 4, 9, 0x00, 0xFF1C, 0x92, 1, 0},  // 2  keyboard, receiver: commands
    {0x320F, 0x5001, 1, 3, 9, 0xFF, 0x000C, 0x01, 1, 1},  // 3  keyboard, receiver: notifications
    {0x320F, 0x221C, 1, 4, 2, 0x00, 0xFF1C, 0x92, 1, 6},  // 4  mouse, cable: commands
    {0x320F, 0x221C, 1, 3, 2, 0xFF, 0x000C, 0x01, 1, 7},  // 5  mouse, cable: notifications
    {0x320F, 0x221D, 1, 4, 6, 0x00, 0xFF1C, 0x92, 1, 4},  // 6  mouse, receiver: commands
    {0x320F, 0x221D, 1, 3, 6, 0xFF, 0x000C, 0x01, 1, 5},  // 7  mouse, receiver: notifications
    {0x320F, 0x1004, 1, 4, 3, 0x00, 0xFF1C, 0x92, 0, 0},  // 8  mousepad: commands
    {0x320F, 0x1004, 1, 3, 3, 0xFF, 0x000C, 0x01, 0, 0},  // 9  mousepad: notifications
    {0x0C76, 0x1630, 3, 0, 7, 0x00, 0x000C, 0x01, 0, 0},  // 10 RU6533 headset
}};
// clang-format on

std::vector<std::pair<uint16_t, uint16_t>> SupportedVendorProducts() {
    std::vector<std::pair<uint16_t, uint16_t>> pairs;
    for (const SupportedInterface& row : kSupportedInterfaces) {
        const std::pair<uint16_t, uint16_t> p{row.vendorId, row.productId};
        if (std::find(pairs.begin(), pairs.end(), p) == pairs.end()) pairs.push_back(p);
    }
    return pairs;
}

std::string SupportedDevicesUdevRules() {
    std::string text =
        "# Vexor Umbrel Control Center: access for the user at the seat to the hidraw nodes of the\n"
        "# supported devices. Generated from the supported-interface table; do not edit.\n"
        "# The number stays below 73 so that the uaccess tag is seen by 73-seat-late.rules.\n";
    char line[160];
    for (const auto& [vendor, product] : SupportedVendorProducts()) {
        std::snprintf(line, sizeof line,
                      "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"%04x\", ATTRS{idProduct}==\"%04x\", "
                      "TAG+=\"uaccess\"\n",
                      vendor, product);
        text += line;
    }
    return text;
}
