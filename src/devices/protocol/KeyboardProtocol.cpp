#include "devices/protocol/KeyboardProtocol.h"

#include <algorithm>

#include "devices/lighting/LedFrame.h"
#include "link/SettingsBlocks.h"
#include "profiles/FactoryKeyFunctions.h"
#include "records/FieldTable.h"

using vx::link::BuildKeyboardBlock;

using vx::link::KeyboardBlock;
using vx::link::DeviceLink;

using vx::profiles::kKeyboardFactoryKeys;

using vx::link::BuildMacroImage;
using vx::link::DeviceInfo;
using vx::link::MacroImageLength;
using vx::link::MacroSlotEvents;
using vx::link::ParseKeyboardBlock;
using vx::link::kBlockLightFields;
using vx::link::kKeyboardBlockLightExtras;
using vx::link::kLinkBadRange;
using vx::link::kLinkNoReply;
using vx::link::kLinkOk;
using vx::link::kMacroEventLength;
using vx::profiles::FactoryKeyFunction;
using vx::profiles::IsMacroFunction;
using vx::profiles::KeyEntry;
using vx::profiles::KeyFunction;

namespace vx::devices {

namespace {
constexpr size_t kKeyRecordBytes = 3;
constexpr size_t kColourRecordBytes = 3;
}  // namespace

KeyboardProtocol::KeyboardProtocol(DeviceLink& link) : DeviceProtocol(link) {
    m_keySlotMap.fill(kNoSlot);
    m_keyLedMap.fill(kNoSlot);
}

// ---- key identification ----

int KeyboardProtocol::ReadKeyTables() {
    if (!m_link.IsConnected()) return kLinkNoReply;
    m_link.BeginConfig();
    // Without the capability record the slot count is unknown; the old tables stay.
    const int status = ReadCapability();
    if (status != kLinkOk) {
        m_link.EndConfig();
        return status;
    }
    const DeviceInfo& info = m_capability;
    if (!info.KeySlotsValid()) return kLinkBadRange;
    if (m_link.SetBlockSize(info.KeyTableLength()) != kLinkOk) return kLinkBadRange;
    std::vector<uint8_t> keys(info.KeyTableLength());
    std::vector<uint8_t> leds(info.LedMapLength());
    const int keysRead = m_link.ReadKeyTable(keys);
    const int ledsRead = m_link.ReadLedMap(leds);
    m_link.EndConfig();
    if (keysRead == kLinkOk) m_keyTable = std::move(keys);
    if (ledsRead == kLinkOk) m_ledMap = std::move(leds);
    BuildKeyMaps(m_keyTable, m_ledMap, info.KeySlots(), m_keySlotMap, m_keyLedMap);
    return keysRead != kLinkOk ? keysRead : ledsRead;
}

void KeyboardProtocol::BuildKeyMaps(std::span<const uint8_t> keyTable, std::span<const uint8_t> ledMap,
                                    int slotCount, KeyMap& keySlotMap, KeyMap& keyLedMap) {
    keySlotMap.fill(kNoSlot);
    keyLedMap.fill(kNoSlot);
    const int usable = std::min<int>(slotCount, static_cast<int>(keyTable.size() / kKeyRecordBytes));
    for (int j = 0; j < kLogicalKeys; ++j) {
        const FactoryKeyFunction& f = kKeyboardFactoryKeys[j];
        // Unlisted logical keys carry the "no key" record, which a real key never has.
        if (f.type == 0x20 && f.first == 0 && f.second == 0) continue;
        for (int k = 0; k < usable; ++k) {
            const uint8_t* slot = keyTable.data() + k * kKeyRecordBytes;
            if (slot[0] == f.type && slot[1] == f.first && slot[2] == f.second) {
                keySlotMap[j] = static_cast<uint8_t>(k);
                break;
            }
        }
        const uint8_t s = keySlotMap[j];
        if (s != kNoSlot && s < ledMap.size()) keyLedMap[j] = ledMap[s];
    }
}

// ---- settings block ----

int KeyboardProtocol::ReadSettings(std::vector<uint8_t>* block) {
    BlockRead read;
    const int status = ReadActiveBlock(kBlockLength, kBlockStride, &read);
    if (status != kLinkOk) return status;
    read.block[0] = read.activeProfile;
    *block = std::move(read.block);
    return kLinkOk;
}

int KeyboardProtocol::WriteSettings(const KeyboardSettings& settings, std::span<const uint8_t> modeTable) {
    const KeyboardBlock block = BuildKeyboardBlock(settings, modeTable);
    return WriteBlock(block);
}

LightInfo KeyboardProtocol::LightFromBlock(std::span<const uint8_t> block, const LightInfo& previous) {
    const KeyboardSettings read = ParseKeyboardBlock(block, {});
    LightInfo light = previous;
    vx::records::CopyFields(kBlockLightFields, read.light, light);
    vx::records::CopyFields(kKeyboardBlockLightExtras, read.light, light);
    return light;
}

// ---- per-key colours ----

std::vector<uint8_t> KeyboardProtocol::ColourTable(const vx::lighting::LedFrame& frame, bool scaled) const {
    const size_t slotCount = m_capability.KeySlots();
    std::vector<uint8_t> table(slotCount * kColourRecordBytes, 0);
    for (int led = 0; led < kLogicalKeys && led < frame.Count(); ++led) {
        const uint8_t position = m_keyLedMap[led];
        if (position >= slotCount) continue;
        const vx::lighting::LedEntry e = frame.Get(led);
        const unsigned b = scaled ? e.brightness : 256;
        table[position * 3 + 0] = static_cast<uint8_t>(e.red * b / 256);
        table[position * 3 + 1] = static_cast<uint8_t>(e.green * b / 256);
        table[position * 3 + 2] = static_cast<uint8_t>(e.blue * b / 256);
    }
    return table;
}

int KeyboardProtocol::WriteKeyColours(std::span<const uint8_t> table, int group) {
    return m_link.WriteKeyColours(table, group, kColourGroupStride);
}

// ---- key assignments and macros ----

int KeyboardProtocol::WriteKeyAssignments(int bank, const std::vector<KeyEntry>& keys, size_t macroCount) {
    if (!m_link.IsConnected()) return kLinkNoReply;
    m_link.BeginConfig();
    ReadCapability();
    const size_t slotCount = std::min<size_t>(m_capability.KeySlots(), m_keyTable.size() / kKeyRecordBytes);
    if (slotCount == 0) {
        // No key table was read at connection: writing would wipe the device's assignments.
        m_link.EndConfig();
        return kWriteNoBase;
    }
    std::vector<uint8_t> table(m_keyTable.begin(), m_keyTable.begin() + slotCount * kKeyRecordBytes);
    std::vector<uint8_t> used;
    for (int j = 0; j < kLogicalKeys && j < static_cast<int>(keys.size()); ++j) {
        const uint8_t s = m_keySlotMap[j];
        if (s == kNoSlot || s >= slotCount) continue;
        KeyFunction f = keys[j].current;
        if (IsMacroFunction(f)) {
            if (f.first < macroCount) {
                auto at = std::find(used.begin(), used.end(), f.first);
                if (at == used.end()) at = used.insert(used.end(), f.first);
                f.first = static_cast<uint8_t>(at - used.begin());
            } else {
                f = keys[j].defaults;
            }
        }
        table[s * kKeyRecordBytes + 0] = f.type;
        table[s * kKeyRecordBytes + 1] = f.first;
        table[s * kKeyRecordBytes + 2] = f.second;
    }
    m_link.SetBlockSize(static_cast<uint16_t>(table.size()));
    const int status = m_link.WriteKeyTable(table, bank);
    m_link.EndConfig();
    return status;
}

size_t KeyboardProtocol::MacroEventsOver(size_t length, size_t capacity) {
    if (length <= capacity) return 0;
    return (length - capacity) / kMacroEventLength + 1;
}

int KeyboardProtocol::WriteMacroMemory(const std::vector<MacroSlotEvents>& macros) {
    m_eventsOver = 0;
    if (macros.empty()) return kLinkOk;
    // The capacity is the device's word; without it the last one read stands.
    if (m_link.IsConnected()) ReadCapability();
    const size_t capacity = m_capability.MacroCapacityBytes();
    m_eventsOver = MacroEventsOver(MacroImageLength(macros), capacity);
    if (m_eventsOver > 0) return kWriteTooLarge;
    std::vector<uint8_t> image;
    if (!BuildMacroImage(macros, &image, capacity)) return kWriteTooLarge;
    if (!m_link.IsConnected()) return kLinkNoReply;
    m_link.BeginConfig();
    const int status = m_link.WriteMacros(image);
    m_link.EndConfig();
    return status;
}

}  // namespace vx::devices
