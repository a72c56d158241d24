#include "devices/protocol/DeviceProtocol.h"

#include <algorithm>

#include "link/SettingsBlocks.h"
#include "records/FieldTable.h"

using vx::link::DeviceInfo;
using vx::link::ParseKeyboardBlock;
using vx::link::StatusRecord;
using vx::link::kBlockLightFields;
using vx::link::kLinkNoReply;
using vx::link::kLinkOk;

namespace vx::devices {

bool DeviceProtocol::Reachable() {
    if (!m_link.IsConnected()) return false;
    return !m_link.IsWireless() || m_link.QueryWirelessDevice();
}

bool DeviceProtocol::QueryReceiverDevice() {
    return m_link.IsConnected() && m_link.IsWireless() && m_link.QueryWirelessDevice();
}

int DeviceProtocol::ReadCapability() {
    DeviceInfo info;
    const int status = m_link.ReadDeviceInfo(&info);
    if (status == kLinkOk) m_capability = info;
    return status;
}

int DeviceProtocol::ReadCapabilityInSession() {
    if (!m_link.IsConnected()) return kLinkNoReply;
    m_link.BeginConfig();
    const int status = ReadCapability();
    m_link.EndConfig();
    return status;
}

int DeviceProtocol::ReadActiveBlock(size_t blockLength, uint32_t stride, BlockRead* read) {
    if (!m_link.IsConnected()) return kLinkNoReply;
    uint8_t active = 0;
    int status = m_link.ReadConfig(std::span<uint8_t>(&active, 1), 0);
    if (status != kLinkOk) return status;
    std::vector<uint8_t> block(blockLength);
    status = m_link.ReadConfig(block, static_cast<uint32_t>(active) * stride);
    if (status != kLinkOk) return status;
    read->activeProfile = active;
    read->block = std::move(block);
    return kLinkOk;
}

int DeviceProtocol::WriteBlock(std::span<const uint8_t> block) {
    if (!AnswersBeforeCommand()) return kLinkNoReply;
    if (m_link.IsConnected() && m_link.BeginConfig() == kLinkNoReply) return kLinkNoReply;
    if (!AnswersBeforeCommand()) return kLinkNoReply;
    const int status = m_link.WriteConfig(block, 0);
    if (status == kLinkNoReply) return status;
    if (!AnswersBeforeCommand()) return kLinkNoReply;
    m_link.EndConfig();
    return status;
}

std::optional<ProfileChange> DeviceProtocol::DecodeProfileChange(uint16_t code) {
    constexpr uint8_t kProfileClass = 0x10;
    constexpr uint8_t kProfileAndExtraClass = 0x11;
    const uint8_t codeClass = static_cast<uint8_t>(code >> 8);
    if (codeClass != kProfileClass && codeClass != kProfileAndExtraClass) return std::nullopt;
    ProfileChange change;
    change.profile = static_cast<uint8_t>(code & 0x0F);
    if (codeClass == kProfileAndExtraClass) change.extra = static_cast<uint8_t>((code >> 4) & 0x0F);
    return change;
}

bool DeviceProtocol::ReadPowerStatus(StatusRecord* record) {
    if (!Reachable()) return false;
    std::array<uint8_t, StatusRecord::kLength> bytes{};
    if (m_link.ReadStatus(bytes, 0) != kLinkOk) return false;
    *record = StatusRecord::Parse(bytes, m_link.IsWireless());
    return true;
}

void DeviceProtocol::PutLight(const LightInfo& light, std::span<uint8_t> block) {
    if (block.size() < 9) return;
    block[1] = light.selectItem;
    block[2] = light.light;
    block[3] = light.speed;
    block[4] = light.fx;
    block[5] = light.multiColor;
    block[6] = light.red;
    block[7] = light.green;
    block[8] = light.blue;
}

LightInfo DeviceProtocol::TakeLight(std::span<const uint8_t> block, const LightInfo& previous) {
    // An empty mode table leaves the mode byte as it is: it holds the index already.
    const KeyboardSettings read = ParseKeyboardBlock(block, {});
    LightInfo light = previous;
    vx::records::CopyFields(kBlockLightFields, read.light, light);
    return light;
}

}  // namespace vx::devices
