#include "tests/devices/support/VirtualRig.h"

#include "emulator/VirtualDeviceHub.h"

using vx::emulator::ImageRecord;
using vx::emulator::ImageState;
using vx::emulator::ReceivedReport;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;

namespace vxtest {

namespace {
VirtualModel ToModel(RigModel model) {
    return static_cast<VirtualModel>(static_cast<int>(model));
}
// Collections of the virtual nodes: the vendor command collection and the consumer collection.
constexpr int kCommandCollection = 4;
constexpr int kNotifyCollection = 3;
}  // namespace

struct VirtualRig::Impl {
    explicit Impl(const std::string& directory) : hub(directory) {}
    VirtualDeviceHub hub;
};

VirtualRig::VirtualRig(const std::string& directory) : m_impl(std::make_unique<Impl>(directory)) {}

VirtualRig::~VirtualRig() = default;

bool VirtualRig::Plug(RigModel model) {
    return m_impl->hub.Plug(ToModel(model)) == 1;
}

bool VirtualRig::Unplug(RigModel model) {
    return m_impl->hub.Unplug(ToModel(model)) == 1;
}

bool VirtualRig::SetAsleep(RigModel model, bool asleep) {
    return m_impl->hub.SetAsleep(ToModel(model), asleep) == 1;
}

bool VirtualRig::SetUnresponsive(RigModel model, bool unresponsive) {
    return m_impl->hub.SetUnresponsive(ToModel(model), unresponsive) == 1;
}

bool VirtualRig::Notify(RigModel model, uint16_t code) {
    return m_impl->hub.Notify(ToModel(model), code) == 1;
}

bool VirtualRig::NotifyProfileChange(RigModel model, int profile, int extra) {
    return m_impl->hub.NotifyProfileChange(ToModel(model), profile, extra) == 1;
}

void VirtualRig::SetMissingKeys(RigModel model, const std::vector<size_t>& logicalKeys) {
    m_impl->hub.Firmware(ToModel(model)).SetMissingKeys(logicalKeys);
}

std::string VirtualRig::CommandPath(RigModel model) const {
    // The headset has one collection on its interface, which carries the commands too.
    return m_impl->hub.LinkPath(ToModel(model), model == RigModel::Headset ? 0 : kCommandCollection);
}

std::string VirtualRig::NotifyPath(RigModel model) const {
    return m_impl->hub.LinkPath(ToModel(model), kNotifyCollection);
}

std::vector<uint8_t> VirtualRig::ConfigBlock(RigModel model, size_t profile) {
    return m_impl->hub.Firmware(ToModel(model)).ConfigBlock(profile);
}

uint8_t VirtualRig::ActiveProfile(RigModel model) {
    return m_impl->hub.Firmware(ToModel(model)).ActiveProfile();
}

std::vector<uint8_t> VirtualRig::KeyTable(RigModel model) {
    return m_impl->hub.Firmware(ToModel(model)).KeyTable();
}

std::vector<uint8_t> VirtualRig::LedMap(RigModel model) {
    return m_impl->hub.Firmware(ToModel(model)).LedMap();
}

std::vector<uint8_t> VirtualRig::Capability(RigModel model) {
    const auto bytes = m_impl->hub.Firmware(ToModel(model)).Capability();
    return {bytes.begin(), bytes.end()};
}

std::vector<uint8_t> VirtualRig::KeyColours(RigModel model, size_t group) {
    return m_impl->hub.Firmware(ToModel(model)).KeyColours(group);
}

std::vector<uint8_t> VirtualRig::LastStreamFrame(RigModel model) {
    return m_impl->hub.Firmware(ToModel(model)).LastStreamFrame();
}

size_t VirtualRig::StreamFrameCount(RigModel model) {
    return m_impl->hub.Firmware(ToModel(model)).StreamFrameCount();
}

std::vector<uint8_t> VirtualRig::ValidMacroImage(RigModel model) {
    const ImageRecord image = m_impl->hub.Firmware(ToModel(model)).Macros();
    return image.state == ImageState::Valid ? image.bytes : std::vector<uint8_t>{};
}

std::vector<uint8_t> VirtualRig::ValidShootImage(RigModel model) {
    const ImageRecord image = m_impl->hub.Firmware(ToModel(model)).Shoot();
    return image.state == ImageState::Valid ? image.bytes : std::vector<uint8_t>{};
}

bool VirtualRig::MacroImageStarted(RigModel model) {
    return m_impl->hub.Firmware(ToModel(model)).Macros().state != ImageState::None;
}

std::vector<uint8_t> VirtualRig::ReceivedCommands(RigModel model) {
    std::vector<uint8_t> commands;
    for (const ReceivedReport& report : m_impl->hub.Firmware(ToModel(model)).Received()) {
        // Command frames: report id 4, command at byte 3 (after the id and the 16-bit checksum).
        if (report.bytes.size() > 3 && report.bytes[0] == 4) commands.push_back(report.bytes[3]);
    }
    return commands;
}

std::vector<std::vector<uint8_t>> VirtualRig::ReceivedReports(RigModel model, uint8_t reportId, bool controlPipe) {
    std::vector<std::vector<uint8_t>> reports;
    for (const ReceivedReport& report : m_impl->hub.Firmware(ToModel(model)).Received()) {
        if (!report.bytes.empty() && report.bytes[0] == reportId && report.controlPipe == controlPipe)
            reports.push_back(report.bytes);
    }
    return reports;
}

void VirtualRig::ClearReceived(RigModel model) {
    m_impl->hub.Firmware(ToModel(model)).ClearReceived();
}

}  // namespace vxtest
