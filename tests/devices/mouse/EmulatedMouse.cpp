#include "tests/devices/mouse/EmulatedMouse.h"

#include "emulator/VirtualDeviceHub.h"
#include "link/CommandFrame.h"

using vx::emulator::ImageRecord;
using vx::emulator::ImageState;
using vx::emulator::ReceivedReport;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;
using vx::link::kFrameCommand;
using vx::link::kFrameReportId;

namespace mousetest {

namespace {
// Both mouse models are served by one firmware.
constexpr VirtualModel kFirmwareModel = VirtualModel::MouseWired;

ImageBytes Image(const ImageRecord& record) {
    return {record.state == ImageState::Valid, record.bytes};
}
}  // namespace

EmulatedMouse::EmulatedMouse(const std::string& directory)
    : m_hub(std::make_unique<VirtualDeviceHub>(directory)) {}

EmulatedMouse::~EmulatedMouse() = default;

int EmulatedMouse::Plug(VirtualModel model) {
    return m_hub->Plug(model);
}

int EmulatedMouse::SetAsleep(bool asleep) {
    return m_hub->SetAsleep(VirtualModel::MouseReceiver, asleep);
}

int EmulatedMouse::SetBattery(uint8_t percent, uint8_t charging) {
    return m_hub->SetBattery(VirtualModel::MouseReceiver, percent, charging);
}

int EmulatedMouse::Notify(VirtualModel model, uint16_t code) {
    return m_hub->Notify(model, code);
}

int EmulatedMouse::NotifyProfileChange(VirtualModel model, int profile, int extra) {
    return m_hub->NotifyProfileChange(model, profile, extra);
}

std::string EmulatedMouse::LinkPath(VirtualModel model, int collection) const {
    return m_hub->LinkPath(model, collection);
}

std::vector<uint8_t> EmulatedMouse::ConfigBlock(size_t profile) const {
    return m_hub->Firmware(kFirmwareModel).ConfigBlock(profile);
}

std::vector<uint8_t> EmulatedMouse::KeyTable() const {
    return m_hub->Firmware(kFirmwareModel).KeyTable();
}

std::vector<uint8_t> EmulatedMouse::Commands() const {
    std::vector<uint8_t> commands;
    for (const ReceivedReport& report : m_hub->Firmware(kFirmwareModel).Received()) {
        if (report.bytes.size() > kFrameCommand && report.bytes[0] == kFrameReportId)
            commands.push_back(report.bytes[kFrameCommand]);
    }
    return commands;
}

void EmulatedMouse::ClearReceived() {
    m_hub->Firmware(kFirmwareModel).ClearReceived();
}

bool EmulatedMouse::InConfigSession() const {
    return m_hub->Firmware(kFirmwareModel).InConfigSession();
}

size_t EmulatedMouse::ConfigSessions() const {
    return m_hub->Firmware(kFirmwareModel).ConfigSessions();
}

ImageBytes EmulatedMouse::Macros() const {
    return Image(m_hub->Firmware(kFirmwareModel).Macros());
}

ImageBytes EmulatedMouse::Shoot() const {
    return Image(m_hub->Firmware(kFirmwareModel).Shoot());
}

}  // namespace mousetest
