#include "LightPanelRig.h"

#include "emulator/VirtualDeviceHub.h"
#include "link/CommandFrame.h"

using vx::emulator::ReceivedReport;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;
using vx::link::kFrameCommand;

namespace lightpanel_test {
namespace {
// The vendor collection of each virtual device's interface carries the command channel.
constexpr int kCommandCollection = 4;

VirtualModel ModelOf(RigDevice device) {
    switch (device) {
        case RigDevice::Keyboard:
            return VirtualModel::KeyboardWired;
        case RigDevice::Mouse:
            return VirtualModel::MouseWired;
        case RigDevice::Mousepad:
            return VirtualModel::Mousepad;
    }
    return VirtualModel::KeyboardWired;
}
}  // namespace

struct LightPanelRig::Impl {
    explicit Impl(const std::string& directory) : hub(directory) {}
    VirtualDeviceHub hub;
};

LightPanelRig::LightPanelRig(const std::string& directory) : m_impl(std::make_unique<Impl>(directory)) {}
LightPanelRig::~LightPanelRig() = default;

bool LightPanelRig::Plug(RigDevice device) {
    return m_impl->hub.Plug(ModelOf(device)) == 1;
}

std::string LightPanelRig::CommandPath(RigDevice device) const {
    return m_impl->hub.LinkPath(ModelOf(device), kCommandCollection);
}

std::vector<uint8_t> LightPanelRig::SettingsBlock(RigDevice device) const {
    return m_impl->hub.Firmware(ModelOf(device)).ConfigBlock(0);
}

size_t LightPanelRig::ConfigSessions(RigDevice device) const {
    return m_impl->hub.Firmware(ModelOf(device)).ConfigSessions();
}

std::vector<uint8_t> LightPanelRig::Commands(RigDevice device) const {
    std::vector<uint8_t> commands;
    for (const ReceivedReport& report : m_impl->hub.Firmware(ModelOf(device)).Received()) {
        if (report.status >= 0 && report.bytes.size() > kFrameCommand) commands.push_back(report.bytes[kFrameCommand]);
    }
    return commands;
}

void LightPanelRig::ClearReceived(RigDevice device) {
    m_impl->hub.Firmware(ModelOf(device)).ClearReceived();
}

bool LightPanelRig::SoftwareLighting(RigDevice device) const {
    return m_impl->hub.Firmware(ModelOf(device)).SoftwareLighting();
}

}  // namespace lightpanel_test
