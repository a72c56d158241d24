#include "JourneyDevices.h"

#include <algorithm>
#include <iterator>

#include "emulator/FrameChecksum.h"
#include "emulator/ReportDescriptors.h"
#include "emulator/VirtualDeviceHub.h"

using vx::emulator::FirmwareKind;
using vx::emulator::ReceivedReport;
using vx::emulator::ReportDescriptor;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualFirmware;
using vx::emulator::VirtualModel;
using vx::emulator::kCommandReportId;
using vx::emulator::kFramePayloadOffset;

namespace journeys {
namespace {

VirtualModel Model(Device device) {
    return static_cast<VirtualModel>(static_cast<int>(device));
}

// Frame layout: id, checksum (2), command, length, offset (2, little-endian), status, payload.
bool ParseCommand(const ReceivedReport& report, ReceivedCommand& out) {
    const std::vector<uint8_t>& b = report.bytes;
    if (b.size() < kFramePayloadOffset || b[0] != kCommandReportId) return false;
    out.command = b[3];
    out.offset = static_cast<uint16_t>(b[5] | (b[6] << 8));
    const size_t length = std::min<size_t>(b[4], b.size() - kFramePayloadOffset);
    out.payload.assign(b.begin() + kFramePayloadOffset, b.begin() + kFramePayloadOffset + length);
    out.status = report.status;
    return true;
}

}  // namespace

JourneyDevices::JourneyDevices(const std::string& directory)
    : m_directory(directory), m_hub(std::make_unique<VirtualDeviceHub>(directory)) {}

int JourneyDevices::KeepMemoryIn(const std::string& directory) {
    m_stateDirectory = directory;
    return m_hub->UseStateDirectory(directory);
}

void JourneyDevices::Restart() {
    m_hub.reset();
    m_hub = std::make_unique<VirtualDeviceHub>(m_directory);
    if (!m_stateDirectory.empty()) m_hub->UseStateDirectory(m_stateDirectory);
}

JourneyDevices::~JourneyDevices() = default;

int JourneyDevices::Plug(Device device) { return m_hub->Plug(Model(device)); }
int JourneyDevices::Unplug(Device device) { return m_hub->Unplug(Model(device)); }
int JourneyDevices::SetAsleep(Device device, bool asleep) { return m_hub->SetAsleep(Model(device), asleep); }
int JourneyDevices::SetUnresponsive(Device device, bool unresponsive) {
    return m_hub->SetUnresponsive(Model(device), unresponsive);
}
int JourneyDevices::SetBattery(Device device, uint8_t percent, uint8_t charging) {
    return m_hub->SetBattery(Model(device), percent, charging);
}
int JourneyDevices::SetPhoneType(Device device, uint8_t phoneType) {
    return m_hub->SetPhoneType(Model(device), phoneType);
}
int JourneyDevices::Notify(Device device, uint16_t code) { return m_hub->Notify(Model(device), code); }

int JourneyDevices::SendKeys(Device device, uint8_t modifiers, const std::vector<uint8_t>& usages) {
    return m_hub->SendKeys(Model(device), modifiers, usages);
}

std::string JourneyDevices::LinkPath(Device device, int collection) const {
    return m_hub->LinkPath(Model(device), collection);
}

std::vector<uint8_t> JourneyDevices::ActiveConfigBlock(Device device) const {
    const VirtualFirmware& firmware = m_hub->Firmware(Model(device));
    return firmware.ConfigBlock(firmware.ActiveProfile());
}

std::vector<uint8_t> JourneyDevices::ConfigBlock(Device device, size_t profile) const {
    return m_hub->Firmware(Model(device)).ConfigBlock(profile);
}

uint8_t JourneyDevices::ActiveProfile(Device device) const {
    return m_hub->Firmware(Model(device)).ActiveProfile();
}

size_t JourneyDevices::ConfigSessions(Device device) const {
    return m_hub->Firmware(Model(device)).ConfigSessions();
}

std::vector<uint8_t> JourneyDevices::KeyTable(Device device) const {
    return m_hub->Firmware(Model(device)).KeyTable();
}

std::vector<uint8_t> JourneyDevices::KeyColours(Device device, size_t group) const {
    return m_hub->Firmware(Model(device)).KeyColours(group);
}

std::vector<uint8_t> JourneyDevices::ShootImage(Device device) const {
    const vx::emulator::ImageRecord image = m_hub->Firmware(Model(device)).Shoot();
    return image.state == vx::emulator::ImageState::Valid ? image.bytes : std::vector<uint8_t>{};
}

bool JourneyDevices::SoftwareLighting(Device device) const {
    return m_hub->Firmware(Model(device)).SoftwareLighting();
}

size_t JourneyDevices::StreamFrameCount(Device device) const {
    return m_hub->Firmware(Model(device)).StreamFrameCount();
}

std::vector<uint8_t> JourneyDevices::HeadsetLeds() const {
    std::vector<uint8_t> out;
    for (const auto& target : m_hub->Firmware(Model(Device::Headset)).HeadsetLeds()) {
        for (const auto& led : target) out.insert(out.end(), led.begin(), led.end());
    }
    return out;
}

size_t JourneyDevices::HeadsetLedReportCount() const {
    return m_hub->Firmware(Model(Device::Headset)).HeadsetLedReportCount();
}

std::vector<ReceivedCommand> JourneyDevices::Commands(Device device) const {
    std::vector<ReceivedCommand> commands;
    for (const ReceivedReport& report : m_hub->Firmware(Model(device)).Received()) {
        ReceivedCommand command;
        if (ParseCommand(report, command)) commands.push_back(std::move(command));
    }
    return commands;
}

size_t JourneyDevices::CountOf(Device device, uint8_t command) const {
    size_t count = 0;
    for (const ReceivedCommand& c : Commands(device)) count += c.command == command ? 1 : 0;
    return count;
}

void JourneyDevices::ClearReceived(Device device) { m_hub->Firmware(Model(device)).ClearReceived(); }

std::vector<uint8_t> JourneyDevices::MouseDescriptorWithoutVendor() {
    const std::span<const uint8_t> full = ReportDescriptor(FirmwareKind::Mouse);
    const uint8_t vendorPage[] = {0x06, 0x1C, 0xFF};
    const auto cut = std::search(full.begin(), full.end(), std::begin(vendorPage), std::end(vendorPage));
    return {full.begin(), cut};
}

}  // namespace journeys
