#pragma once
// The keyboard's side of the protocol: which key slot is which physical key (the key table and
// LED map read at connection), the 64-byte settings block (light record, win-lock and rollover
// flags, polling rate), per-key colours, key assignments and the macro memory.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "devices/protocol/DeviceProtocol.h"
#include "link/MacroImageBlock.h"
#include "profiles/ProfileRecords.h"
#include "records/SettingsRecords.h"

namespace vx::lighting {
class LedFrame;
}

namespace vx::devices {

class KeyboardProtocol : public vx::devices::DeviceProtocol {
public:
    static constexpr int kLogicalKeys = 170;
    static constexpr uint8_t kNoSlot = 255;
    static constexpr size_t kBlockLength = 64;
    static constexpr uint32_t kBlockStride = 64;
    static constexpr int kColourGroupStride = 512;
    using KeyMap = std::array<uint8_t, kLogicalKeys>;

    explicit KeyboardProtocol(vx::link::DeviceLink& link);

    // ---- key identification ----
    // Capability record, key table and LED map in one session; the tables that were read replace
    // the old ones and the key maps are built anew. Without the capability record the old tables
    // stay.
    int ReadKeyTables();
    // Logical key → key slot and logical key → LED position, from a key table and an LED map.
    static void BuildKeyMaps(std::span<const uint8_t> keyTable, std::span<const uint8_t> ledMap, int slotCount,
                             KeyMap& keySlotMap, KeyMap& keyLedMap);
    const KeyMap& KeySlotMap() const { return m_keySlotMap; }
    const KeyMap& KeyLedMap() const { return m_keyLedMap; }
    const std::vector<uint8_t>& KeyTable() const { return m_keyTable; }
    const std::vector<uint8_t>& LedMap() const { return m_ledMap; }

    // ---- settings block ----
    // The active profile's block, byte 0 replaced by the active profile's number.
    int ReadSettings(std::vector<uint8_t>* block);
    int WriteSettings(const KeyboardSettings& settings, std::span<const uint8_t> modeTable);
    // The light record of a block read back (mode byte already the page's index): bytes 1 to 8,
    // the mode option and the custom colour group.
    static LightInfo LightFromBlock(std::span<const uint8_t> block, const LightInfo& previous);

    // ---- per-key colours ----
    // The colour table in the keyboard's slot order (3 bytes per slot) from an LED frame, each
    // colour scaled by its LED's brightness when scaled; empty without a capability record.
    std::vector<uint8_t> ColourTable(const vx::lighting::LedFrame& frame, bool scaled) const;
    int WriteKeyColours(std::span<const uint8_t> table, int group);

    // ---- key assignments and macros ----
    // Writes the key table with each logical key's current function in its slot; a macro key's
    // number becomes its place among the macros used (macroCount: macros that exist; a key naming
    // another macro gets its default). kWriteNoBase when no key table was read at connection.
    int WriteKeyAssignments(int bank, const std::vector<vx::profiles::KeyEntry>& keys, size_t macroCount);
    // The macros' image into the macro memory. kLinkOk when written or when there is nothing to
    // write; kWriteTooLarge (EventsOver() tells how many events to remove) when it does not fit.
    int WriteMacroMemory(const std::vector<vx::link::MacroSlotEvents>& macros);
    size_t EventsOver() const { return m_eventsOver; }
    // Events to remove for an image of length bytes in capacity bytes; 0 when it fits.
    static size_t MacroEventsOver(size_t length, size_t capacity);

private:
    std::vector<uint8_t> m_keyTable;
    std::vector<uint8_t> m_ledMap;
    KeyMap m_keySlotMap{};
    KeyMap m_keyLedMap{};
    size_t m_eventsOver = 0;
};

}  // namespace vx::devices
