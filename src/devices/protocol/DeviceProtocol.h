#pragma once
// The device side of a device page: what the program says to one device through its command link
// and what it makes of the answers, without any widget. The page (CTavimond...Device) owns its
// links and one protocol object of its kind and calls it; the exchanges here build and run
// without Qt, so they are tested against the virtual devices directly.
//
// Results: every operation that talks to the device returns a link code (link/LinkStatus.h),
// kLinkOk (1) when the device took or gave what was asked and nothing else; the codes of this
// file are the outcomes the link has no code for. Reads fill the caller's record only on kLinkOk.
//
// Threads: an object is used by its page's window thread and its device worker; DeviceLink's
// locks order the exchanges. The records a protocol keeps (capability, key tables) are written by
// the connection sequence on the window thread before the worker reads them.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/DeviceInfo.h"
#include "link/DeviceLink.h"
#include "link/LinkStatus.h"
#include "link/StatusRecord.h"
#include "records/LightRecords.h"

namespace vx::devices {

// The image (macros, recoil data) does not fit the device's memory; nothing was sent.
constexpr int kWriteTooLarge = -301;
// There was nothing to base the write on (no key table read at connection); nothing was sent,
// because writing would wipe what the device holds.
constexpr int kWriteNoBase = -302;

// The active on-device profile and its settings block as read from the device.
struct BlockRead {
    uint8_t activeProfile = 0;
    std::vector<uint8_t> block;  // as the device sent it
};

// A profile change made on the device, as its notification reports it: 0x10 << 8 | profile, or
// 0x11 << 8 | extra << 4 | profile, extra being the keyboard's block byte 26 or the mouse's active
// DPI stage.
struct ProfileChange {
    uint8_t profile = 0;
    std::optional<uint8_t> extra;
};

class DeviceProtocol {
public:
    explicit DeviceProtocol(vx::link::DeviceLink& link) : m_link(link) {}
    virtual ~DeviceProtocol() = default;
    DeviceProtocol(const DeviceProtocol&) = delete;
    DeviceProtocol& operator=(const DeviceProtocol&) = delete;

    vx::link::DeviceLink& Link() { return m_link; }
    bool IsConnected() const { return m_link.IsConnected(); }
    bool IsWireless() const { return m_link.IsWireless(); }

    // ---- presence ----
    // Whether the device behind the link answers: on the cable true while connected, through the
    // receiver when the device answers the presence query.
    bool Reachable();
    // The receiver's presence query alone: true only through a receiver whose device answers.
    bool QueryReceiverDevice();

    // ---- capability (firmware version, slots, macro memory, DPI scale) ----
    // Reads the capability record; on kLinkOk it becomes Capability().
    int ReadCapability();
    // Inside a settings session of its own (BeginConfig, read, EndConfig).
    int ReadCapabilityInSession();
    const vx::link::DeviceInfo& Capability() const { return m_capability; }
    void SetCapability(const vx::link::DeviceInfo& info) { m_capability = info; }

    // ---- settings blocks ----
    // Reads the active on-device profile (byte 0 of the configuration memory) and the first
    // blockLength bytes of that profile's block at profile × stride.
    int ReadActiveBlock(size_t blockLength, uint32_t stride, BlockRead* read);
    // Writes a settings block at offset 0 in one settings session. A device that does not answer
    // costs one time-out, not one per frame of the write.
    int WriteBlock(std::span<const uint8_t> block);

    // The profile change a notification code reports; nothing for any other code.
    static std::optional<ProfileChange> DecodeProfileChange(uint16_t code);

    // ---- power ----
    // The status record (battery, charger, phone); false when the device did not give one.
    bool ReadPowerStatus(vx::link::StatusRecord* record);

    // ---- lighting ----
    int StreamFrame(std::span<const uint8_t> bytes) { return m_link.StreamLighting(bytes); }
    int EnterSoftwareLighting() { return m_link.EnterSoftwareLighting(); }

    // ---- the light record in bytes 1 to 8 of a settings block ----
    // Writes mode index and speed level as they are (the page's own copy of the block keeps
    // them so); BuildKeyboardBlock and BuildMouseBlock do the device's coding.
    static void PutLight(const LightInfo& light, std::span<uint8_t> block);
    // Takes bytes 1 to 8 of a block whose mode byte is already the page's mode index and whose
    // speed is the device's inverted byte; the fields the block does not carry stay as in previous.
    static LightInfo TakeLight(std::span<const uint8_t> block, const LightInfo& previous);

protected:
    // Asked before each command of a settings write; a kind whose receiver must be asked first
    // (the mouse) answers with Reachable().
    virtual bool AnswersBeforeCommand() { return true; }

    vx::link::DeviceLink& m_link;
    vx::link::DeviceInfo m_capability;
};

}  // namespace vx::devices
