#pragma once
// Linux key codes (evdev, the X server's key code minus 8) translated into what the key
// assignment table and the macro files are written in: the set-1 make code with its E0 flag and
// the Windows virtual-key number. No Qt, no X here: every input back end shares the table.

#include <cstdint>
#include <optional>

namespace vx::platform {

struct KeyCodes {
    uint16_t scanCode = 0;  // set-1 make code without the E0 prefix
    bool extended = false;  // the make code carries the E0 prefix
    uint16_t vkCode = 0;    // Windows virtual-key number
};

// The X server's key codes (and Qt's native scan codes on X11 and Wayland) are evdev codes plus 8.
inline constexpr uint32_t kXKeyCodeOffset = 8;

// The codes of one evdev key, or nothing for a key the table does not know.
std::optional<KeyCodes> KeyCodesOfEvdev(uint32_t evdevCode);

// Keys that the system keeps acting on while a capture holds the keyboard.
inline constexpr uint16_t kVkCapital = 0x14;
inline constexpr uint16_t kVkNumLock = 0x90;
inline constexpr uint16_t kVkScroll = 0x91;
inline bool IsLockKey(uint16_t vkCode) {
    return vkCode == kVkCapital || vkCode == kVkNumLock || vkCode == kVkScroll;
}

// Alt keys make Windows report a key as a system key.
inline constexpr uint16_t kVkLMenu = 0xA4;
inline constexpr uint16_t kVkRMenu = 0xA5;
// Flag bits of a keyboard record besides the extended bit: injected, Alt down, key up.
inline constexpr uint32_t kKeyFlagAltDown = 0x20;
inline constexpr uint32_t kKeyFlagUp = 0x80;

}  // namespace vx::platform
