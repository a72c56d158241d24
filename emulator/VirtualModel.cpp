#include "emulator/VirtualModel.h"

#include <algorithm>

#include "link/DeviceCatalog.h"

using vx::link::DeviceCatalog;
using vx::link::DeviceClass;
using vx::link::DeviceModel;

namespace vx::emulator {

namespace {

constexpr uint16_t kVersion = 0x0100;

FirmwareKind FirmwareOf(DeviceClass deviceClass) {
    switch (deviceClass) {
        case DeviceClass::Keyboard:
            return FirmwareKind::Keyboard;
        case DeviceClass::Mouse:
            return FirmwareKind::Mouse;
        case DeviceClass::MousePad:
            return FirmwareKind::Mousepad;
        case DeviceClass::Headset:
            break;
    }
    return FirmwareKind::Headset;
}

VirtualModelInfo Describe(size_t index, const DeviceModel& device, Transport transport) {
    std::string name(device.shortName);
    if (device.receiverProductId != 0) name += transport == Transport::Cable ? "-wired" : "-receiver";
    const uint16_t interfaceNumber = device.command.interfaceNumber;
    return {static_cast<VirtualModel>(index),
            name,
            name + "-if" + std::to_string(interfaceNumber),
            device.vendorId,
            transport == Transport::Cable ? device.productId : device.receiverProductId,
            kVersion,
            interfaceNumber,
            FirmwareOf(device.deviceClass),
            transport};
}

std::vector<VirtualModelInfo> BuildModels() {
    const std::span<const DeviceModel> catalogue = DeviceCatalog();
    std::vector<const DeviceModel*> ordered;
    for (const DeviceModel& device : catalogue) ordered.push_back(&device);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const DeviceModel* a, const DeviceModel* b) { return a->slotOrder < b->slotOrder; });
    std::vector<VirtualModelInfo> models;
    for (const DeviceModel* device : ordered) {
        models.push_back(Describe(models.size(), *device, Transport::Cable));
        if (device->receiverProductId != 0)
            models.push_back(Describe(models.size(), *device, Transport::Receiver));
    }
    return models;
}

}  // namespace

const std::vector<VirtualModelInfo>& VirtualModels() {
    static const std::vector<VirtualModelInfo> models = BuildModels();
    return models;
}

const VirtualModelInfo& ModelInfo(VirtualModel model) {
    return VirtualModels().at(static_cast<size_t>(model));
}

std::optional<VirtualModel> ParseVirtualModel(std::string_view name) {
    for (const VirtualModelInfo& info : VirtualModels()) {
        if (info.name == name) return info.model;
    }
    return std::nullopt;
}

}  // namespace vx::emulator
