#include "link/DeviceCatalog.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vx::link {

namespace {

// The headset speaks through its one consumer collection on interface 3: the commands, the
// notification reports and the LED output report all go there.
constexpr CatalogInterface kHeadsetCollection{3, 0, 0x000C, 0x01};

// One entry per device model. The order is the selector's: mouse, keyboard, mousepad, headset.
const std::array kModels = {
    DeviceModel{
        .kindName = "mouse",
        .shortName = "mouse",
        .deviceClass = DeviceClass::Mouse,
        .vendorId = 0x320F,
        .productId = 0x221C,
        .receiverProductId = 0x221D,
        .slotOrder = 1,
        .pageLayout = "mousedevice.xml",
        .lightTableIndex = 1,
        .createdInAdvance = true,
        .ledCount = 0x0F,
        .keyCount = 0x0B,
        .showsPower = true,
    },
    DeviceModel{
        .kindName = "keyboard",
        .shortName = "keyboard",
        .deviceClass = DeviceClass::Keyboard,
        .vendorId = 0x320F,
        .productId = 0x5055,
        .receiverProductId = 0x5001,
        .slotOrder = 0,
        .pageLayout = "keyboarddevice.xml",
        .lightTableIndex = 0,
        .createdInAdvance = true,
        .ledCount = 0xAA,
        .keyCount = 0xAA,
    },
    DeviceModel{
        .kindName = "MousePad",
        .shortName = "mousepad",
        .deviceClass = DeviceClass::MousePad,
        .vendorId = 0x320F,
        .productId = 0x1004,
        .slotOrder = 2,
        .pageLayout = "mousepaddevice.xml",
        .lightTableIndex = 2,
        .ledCount = 0x0F,
    },
    DeviceModel{
        .kindName = "HD",
        .shortName = "headset",
        .deviceClass = DeviceClass::Headset,
        .vendorId = 0x0C76,
        .productId = 0x1630,
        .command = kHeadsetCollection,
        .hasNotification = false,
        .slotOrder = 3,
        .pageLayout = "ru6533device.xml",
        .lightTableIndex = 3,
        .ledCount = 0x0D,
    },
};

SupportedInterface Row(const DeviceModel& model, uint16_t productId, uint16_t typeCode, uint16_t role,
                       const CatalogInterface& at) {
    return {model.vendorId,
            productId,
            at.interfaceNumber,
            at.collectionNumber,
            typeCode,
            role,
            at.usagePage,
            at.usage,
            0,
            0};
}

}  // namespace

std::span<const DeviceModel> DeviceCatalog() {
    return kModels;
}

uint16_t WiredTypeCodeOf(DeviceClass deviceClass) {
    switch (deviceClass) {
        case DeviceClass::Keyboard:
            return 1;
        case DeviceClass::Mouse:
            return 2;
        case DeviceClass::MousePad:
            return 3;
        case DeviceClass::Headset:
            return 7;
    }
    return 0;
}

uint16_t ReceiverTypeCodeOf(DeviceClass deviceClass) {
    switch (deviceClass) {
        case DeviceClass::Keyboard:
            return 9;
        case DeviceClass::Mouse:
            return 6;
        case DeviceClass::MousePad:
        case DeviceClass::Headset:
            break;
    }
    return WiredTypeCodeOf(deviceClass);
}

std::vector<SupportedInterface> InterfaceRowsOf(std::span<const DeviceModel> models) {
    std::vector<const DeviceModel*> ordered;
    for (const DeviceModel& model : models) ordered.push_back(&model);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const DeviceModel* a, const DeviceModel* b) { return a->slotOrder < b->slotOrder; });

    std::vector<SupportedInterface> rows;
    for (const DeviceModel* model : ordered) {
        const size_t first = rows.size();
        const auto addConnection = [&](uint16_t productId, uint16_t typeCode) {
            rows.push_back(Row(*model, productId, typeCode, kRoleCommand, model->command));
            if (model->hasNotification)
                rows.push_back(Row(*model, productId, typeCode, kRoleNotification, model->notification));
        };
        addConnection(model->productId, WiredTypeCodeOf(model->deviceClass));
        if (model->receiverProductId == 0) continue;
        const size_t receiver = rows.size();
        addConnection(model->receiverProductId, ReceiverTypeCodeOf(model->deviceClass));
        // Each cable row and the receiver row of the same role are twins.
        for (size_t i = 0; first + i < receiver; ++i) {
            SupportedInterface& cable = rows[first + i];
            SupportedInterface& wireless = rows[receiver + i];
            cable.hasTwin = wireless.hasTwin = 1;
            cable.twinIndex = static_cast<uint16_t>(receiver + i);
            wireless.twinIndex = static_cast<uint16_t>(first + i);
        }
    }
    return rows;
}

std::vector<std::pair<uint16_t, uint16_t>> VendorProductsOf(std::span<const DeviceModel> models) {
    std::vector<std::pair<uint16_t, uint16_t>> pairs;
    for (const SupportedInterface& row : InterfaceRowsOf(models)) {
        const std::pair<uint16_t, uint16_t> p{row.vendorId, row.productId};
        if (std::find(pairs.begin(), pairs.end(), p) == pairs.end()) pairs.push_back(p);
    }
    return pairs;
}

std::string UdevRulesOf(std::span<const DeviceModel> models) {
    std::string text =
        "# Vexor Umbrel Control Center: access for the user at the seat to the hidraw nodes of the\n"
        "# supported devices. Generated from the supported-interface table; do not edit.\n"
        "# The number stays below 73 so that the uaccess tag is seen by 73-seat-late.rules.\n";
    char line[160];
    for (const auto& [vendor, product] : VendorProductsOf(models)) {
        std::snprintf(line, sizeof line,
                      "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"%04x\", ATTRS{idProduct}==\"%04x\", "
                      "TAG+=\"uaccess\"\n",
                      vendor, product);
        text += line;
    }
    return text;
}

}  // namespace vx::link
