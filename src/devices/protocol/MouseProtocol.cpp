#include "devices/protocol/MouseProtocol.h"

#include <algorithm>

#include "link/SettingsBlocks.h"

using vx::link::BuildMacroImage;
using vx::link::DeviceInfo;
using vx::link::MacroImageLength;
using vx::link::MacroSlotEvents;
using vx::link::MouseBlock;
using vx::link::kLinkBadRange;
using vx::link::kLinkNoReply;
using vx::link::kLinkOk;
using vx::link::kMacroEventLength;
using vx::link::kMouseBlockReadLength;
using vx::link::kMouseBlockStride;
using vx::profiles::IsMacroFunction;
using vx::profiles::KeyEntry;
using vx::profiles::KeyFunction;

namespace vx::devices {

int MouseProtocol::ReadKeyTables() {
    if (!Reachable()) return kLinkNoReply;
    m_link.BeginConfig();
    const int status = ReadCapability();
    if (status != kLinkOk) return status;
    const DeviceInfo& info = m_capability;
    if (!info.KeySlotsValid() || m_link.SetBlockSize(info.KeyTableLength()) != kLinkOk) return kLinkBadRange;
    std::vector<uint8_t> table(info.KeyTableLength());
    const int read = m_link.ReadKeyTable(table);
    if (read != kLinkOk) return read;
    m_link.EndConfig();
    m_keyTable = std::move(table);
    m_buttonMap.Build(m_keyTable, info.KeySlots());
    return kLinkOk;
}

int MouseProtocol::ReadSettings(std::vector<uint8_t>* raw) {
    if (!Reachable()) return kLinkNoReply;
    BlockRead read;
    const int status = ReadActiveBlock(kMouseBlockReadLength, kMouseBlockStride, &read);
    if (status != kLinkOk) return status;
    raw->assign(1, read.activeProfile);
    raw->insert(raw->end(), read.block.begin(), read.block.end());
    return kLinkOk;
}

int MouseProtocol::WriteSettings(const MouseBlockSource& source, std::span<const uint8_t> modeTable, int profile,
                                 int flag) {
    if (!m_link.IsConnected()) return kLinkNoReply;
    MouseBlock block = BuildMouseSettingsBlock(source, modeTable);
    block[0] = static_cast<uint8_t>(profile);
    block[59] = static_cast<uint8_t>(flag);
    return WriteBlock(block);
}

std::vector<uint8_t> MouseProtocol::BuildKeyTable(const std::vector<KeyEntry>& keys, size_t macroCount) const {
    const size_t slotCount = m_capability.KeySlots();
    std::vector<uint8_t> table(m_keyTable.begin(), m_keyTable.begin() + std::min(m_keyTable.size(), slotCount * 3));
    std::vector<uint8_t> macroSlots;
    for (int button = 0; button < kButtons && button < static_cast<int>(keys.size()); ++button) {
        const uint8_t slot = m_buttonMap.SlotOf(button);
        if (slot == MouseButtonMap::kNone || size_t(slot) * 3 + 3 > table.size()) continue;
        KeyFunction f = keys[button].current;
        if (IsMacroFunction(f)) {
            if (f.first < macroCount) {
                auto at = std::find(macroSlots.begin(), macroSlots.end(), f.first);
                if (at == macroSlots.end()) at = macroSlots.insert(macroSlots.end(), f.first);
                f.first = static_cast<uint8_t>(at - macroSlots.begin());
            } else {
                f = keys[button].defaults;
            }
        }
        table[size_t(slot) * 3] = f.type;
        table[size_t(slot) * 3 + 1] = f.first;
        table[size_t(slot) * 3 + 2] = f.second;
    }
    return table;
}

int MouseProtocol::WriteKeyAssignments(int bank, const std::vector<KeyEntry>& keys, size_t macroCount) {
    if (!Reachable()) return kLinkNoReply;
    const int read = ReadCapability();
    if (read != kLinkOk) return read;
    const size_t length = m_capability.KeyTableLength();
    // Without the table the mouse reported at connection there is nothing to base the write on.
    if (!m_capability.KeySlotsValid() || m_keyTable.size() < length) return kWriteNoBase;
    if (m_link.SetBlockSize(static_cast<uint16_t>(length)) != kLinkOk) return kLinkBadRange;
    const std::vector<uint8_t> table = BuildKeyTable(keys, macroCount);
    m_link.BeginConfig();
    const int written = m_link.WriteKeyTable(table, bank);
    m_link.EndConfig();
    return written;
}

int MouseProtocol::WriteMacroMemory(const std::vector<MacroSlotEvents>& macros) {
    m_eventsOver = 0;
    if (macros.empty()) return kLinkOk;
    if (!Reachable()) return kLinkNoReply;
    const int read = ReadCapability();
    if (read != kLinkOk) return read;
    const size_t length = MacroImageLength(macros);
    const size_t capacity = m_capability.MacroCapacityBytes();
    if (length > capacity) {
        m_eventsOver = (length - capacity) / kMacroEventLength + 1;
        return kWriteTooLarge;
    }
    std::vector<uint8_t> image;
    if (!BuildMacroImage(macros, &image, capacity)) return kWriteTooLarge;
    m_link.BeginConfig();
    const int written = m_link.WriteMacros(image);
    m_link.EndConfig();
    return written;
}

int MouseProtocol::WriteShootData(const std::array<MacroSlotEvents, kShootGuns>& guns) {
    m_eventsOver = 0;
    if (!Reachable()) return kLinkNoReply;
    const int read = ReadCapability();
    if (read != kLinkOk) return read;
    const ShootImage image = BuildShootImage(guns, m_capability.MacroCapacityBytes());
    if (image.bytes.empty()) {
        m_eventsOver = image.eventsOver;
        return kWriteTooLarge;
    }
    if (!Reachable()) return kLinkNoReply;
    m_link.BeginConfig();
    if (!Reachable()) return kLinkNoReply;
    const int written = m_link.WriteShootData(image.bytes);
    if (!Reachable()) return kLinkNoReply;
    m_link.EndConfig();
    return written;
}

}  // namespace vx::devices
