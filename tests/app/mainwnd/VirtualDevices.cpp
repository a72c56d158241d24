#include "VirtualDevices.h"

#include <algorithm>
#include <iterator>

#include "emulator/ReportDescriptors.h"
#include "emulator/VirtualDeviceHub.h"
#include "emulator/VirtualFirmware.h"

namespace {
VirtualModel Model(TestDevice device) {
    return static_cast<VirtualModel>(static_cast<int>(device));
}
}  // namespace

VirtualDevices::VirtualDevices(const std::string& directory)
    : m_hub(std::make_unique<VirtualDeviceHub>(directory)) {}

VirtualDevices::~VirtualDevices() = default;

int VirtualDevices::Plug(TestDevice device) {
    return m_hub->Plug(Model(device));
}

int VirtualDevices::Unplug(TestDevice device) {
    return m_hub->Unplug(Model(device));
}

int VirtualDevices::SetAsleep(TestDevice device, bool asleep) {
    return m_hub->SetAsleep(Model(device), asleep);
}

int VirtualDevices::SetBattery(TestDevice device, uint8_t percent, uint8_t charging) {
    return m_hub->SetBattery(Model(device), percent, charging);
}

std::vector<uint8_t> VirtualDevices::ConfigBlock(TestDevice device, size_t profile) {
    return m_hub->Firmware(Model(device)).ConfigBlock(profile);
}

uint8_t VirtualDevices::ActiveProfile(TestDevice device) {
    return m_hub->Firmware(Model(device)).ActiveProfile();
}

std::vector<uint8_t> VirtualDevices::KeyColours(TestDevice device, size_t group) {
    return m_hub->Firmware(Model(device)).KeyColours(group);
}

size_t VirtualDevices::ConfigSessions(TestDevice device) {
    return m_hub->Firmware(Model(device)).ConfigSessions();
}

std::vector<uint8_t> VirtualDevices::MouseDescriptorWithoutVendor() {
    const std::span<const uint8_t> full = ReportDescriptor(FirmwareKind::Mouse);
    const uint8_t vendorPage[] = {0x06, 0x1C, 0xFF};
    const auto cut = std::search(full.begin(), full.end(), std::begin(vendorPage), std::end(vendorPage));
    return {full.begin(), cut};
}
