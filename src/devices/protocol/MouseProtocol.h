#pragma once
// The mouse's side of the protocol: its key table (which slot is which of the 11 buttons), the
// 128-byte-stride settings block (DPI stages and their colours, report rate, active stage, light
// record, correction presets, screen size), button assignments, the macro memory and the recoil
// ("shoot") memory.
//
// Through the receiver every exchange first asks whether the mouse answers; a mouse that does not
// (asleep, out of range) ends the operation with kLinkNoReply before anything else is sent, so
// that the receiver is not flooded with commands it can only refuse.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "devices/protocol/DeviceProtocol.h"
#include "devices/protocol/MouseButtonMap.h"
#include "devices/protocol/MouseSettingsBlock.h"
#include "devices/protocol/MouseShootImage.h"
#include "link/MacroImageBlock.h"
#include "profiles/ProfileRecords.h"

namespace vx::devices {

class MouseProtocol : public DeviceProtocol {
public:
    static constexpr int kButtons = MouseButtonMap::kButtons;

    explicit MouseProtocol(vx::link::DeviceLink& link) : DeviceProtocol(link) {}

    // Capability record and key table; the button map is built from them.
    int ReadKeyTables();
    const std::vector<uint8_t>& KeyTable() const { return m_keyTable; }
    const MouseButtonMap& ButtonMap() const { return m_buttonMap; }

    // The active profile's number followed by its 71-byte block, as the device sent it.
    int ReadSettings(std::vector<uint8_t>* raw);
    // The 66-byte block of the source, with the profile number in byte 0 and flag in byte 59.
    int WriteSettings(const MouseBlockSource& source, std::span<const uint8_t> modeTable, int profile, int flag);

    // The key table with each button's current function in its slot (macro numbers become their
    // place among the macros used; a button naming a macro beyond macroCount gets its default).
    std::vector<uint8_t> BuildKeyTable(const std::vector<vx::profiles::KeyEntry>& keys, size_t macroCount) const;
    // kWriteNoBase when no key table was read at connection.
    int WriteKeyAssignments(int bank, const std::vector<vx::profiles::KeyEntry>& keys, size_t macroCount);
    // kLinkOk when written or nothing to write; kWriteTooLarge (EventsOver()) when it does not fit.
    int WriteMacroMemory(const std::vector<vx::link::MacroSlotEvents>& macros);
    // The four guns' recoil image; kWriteTooLarge (EventsOver()) when it does not fit.
    int WriteShootData(const std::array<vx::link::MacroSlotEvents, kShootGuns>& guns);
    size_t EventsOver() const { return m_eventsOver; }

protected:
    bool AnswersBeforeCommand() override { return Reachable(); }

private:
    std::vector<uint8_t> m_keyTable;
    MouseButtonMap m_buttonMap;
    size_t m_eventsOver = 0;
};

}  // namespace vx::devices
