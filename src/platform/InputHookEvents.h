#pragma once
// What the global input hook hands to the program: one record per keyboard or mouse event,
// carried with the Windows message numbers the key table and the macro files are written in,
// and the two interfaces between the hook (owned by the main window) and a device page's
// key and macro panels. No Qt here: the hook back ends and the panels both use it.

#include <cstdint>

namespace vx::platform {

// Keyboard messages (the wParam of a keyboard hook message).
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmSysKeyDown = 0x0104;
inline constexpr uint32_t kWmSysKeyUp = 0x0105;
// Mouse messages (the wParam of a mouse hook message).
inline constexpr uint32_t kWmMouseMove = 0x0200;
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmLButtonUp = 0x0202;
inline constexpr uint32_t kWmRButtonDown = 0x0204;
inline constexpr uint32_t kWmRButtonUp = 0x0205;
inline constexpr uint32_t kWmMButtonDown = 0x0207;
inline constexpr uint32_t kWmMButtonUp = 0x0208;
inline constexpr uint32_t kWmXButtonDown = 0x020B;
inline constexpr uint32_t kWmXButtonUp = 0x020C;

// Bit 0 of KeyboardEventRecord::flags: the key's make code is preceded by E0 (extended key).
inline constexpr uint32_t kKeyFlagExtended = 0x01;

// One keyboard event: virtual-key code, set-1 make code, flags, time in ms, extra information.
struct KeyboardEventRecord {
    uint32_t vkCode = 0;
    uint32_t scanCode = 0;
    uint32_t flags = 0;
    uint32_t time = 0;
    uintptr_t extraInfo = 0;
};

// One mouse event: screen point, mouse data (XBUTTON number 1 = back, 2 = forward in the high
// word), flags, time in ms, extra information.
struct MouseEventRecord {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t mouseData = 0;
    uint32_t flags = 0;
    uint32_t time = 0;
    uintptr_t extraInfo = 0;
};

// Hook modes (bit values) as the callers choose them; the recording targets of the macro
// panel are the modes 4, 8, 16 and 32.
inline constexpr int kHookSingleKey = 1;
inline constexpr int kHookHitKey = 2;
inline constexpr int kHookMacro = 4;
inline constexpr int kHookMacroPrevious = 8;
inline constexpr int kHookMacroLater = 16;
inline constexpr int kHookMacroSingle = 32;

// A device page's receiving side (its key panel and macro panel). The main window calls it on
// the window thread with records that are valid only during the call.
class IHookEventSink {
public:
    virtual ~IHookEventSink() = default;
    // Single-key capture: a key event while the key edit has the focus.
    virtual void OnSingleKey(uint32_t message, const KeyboardEventRecord& record) = 0;
    // Macro recording, target = 4, 8, 16 or 32.
    virtual void OnRecordKey(int target, uint32_t message, const KeyboardEventRecord& record) = 0;
    virtual void OnRecordMouse(int target, uint32_t message, const MouseEventRecord& record) = 0;
    // A capture (single key or recording) has started. noteKey is the language key of what the
    // panel should say about its reach (only this program's window, or other programs still
    // seeing the keys), empty when the capture takes every key of the desktop.
    virtual void OnCaptureNote(const char* noteKey) { (void)noteKey; }
};

// The main window's recording operations, as a page's macro panel asks for them.
class IRecordingHost {
public:
    virtual ~IRecordingHost() = default;
    // The current page's macro panel takes delayMode; then the hook routes events for hookMode
    // and the recording lock goes on.
    virtual void StartRecording(int delayMode, int hookMode) = 0;
    // The macro panel ends its recording; the hook is removed and the lock goes off.
    virtual void StopRecording() = 0;
};

}  // namespace vx::platform
