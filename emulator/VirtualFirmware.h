#pragma once
// The firmware side of one emulated device: it answers the 64-byte command frames of report 4,
// keeps its configuration memory, key table, LED map, per-key colours, lighting stream, macro and
// shoot images and status record, takes the headset's LED reports, and produces notification
// reports. Every output report it is given is recorded so that tests can look at what the program
// sent and what it left in the device.
//
// Thread-safe: the hub's server thread feeds it while tests inspect it.

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/FirmwareLayout.h"
#include "emulator/FirmwareMemory.h"
#include "emulator/MacroImage.h"
#include "emulator/VirtualModel.h"

namespace vx::emulator {

// Reply status bytes (byte 7). Anything else is success.
constexpr uint8_t kStatusOk = 0x00;
constexpr uint8_t kStatusRejected = 0xFF;    // bad checksum, unknown command, malformed frame
constexpr uint8_t kStatusOutOfRange = 0xFE;  // offset or length beyond a table, bad image, bad value
constexpr uint8_t kReceiverNoDevice = 0xAA;  // receiver's answer for a device that does not answer

constexpr size_t kMaxRecordedReports = 8192;

struct ReceivedReport {
    Transport transport = Transport::Cable;
    bool controlPipe = false;  // sent with HIDIOCSOUTPUT ('S') rather than written ('O')
    std::vector<uint8_t> bytes;
    int status = -1;  // reply status for command frames, -1 for other reports
};

class VirtualFirmware {
public:
    explicit VirtualFirmware(FirmwareKind kind);

    FirmwareKind Kind() const { return m_kind; }

    // One output report (report id first) arriving through the given connection; returns the
    // input reports the device sends back.
    std::vector<std::vector<uint8_t>> HandleOutputReport(std::span<const uint8_t> report, Transport transport,
                                                         bool controlPipe);

    // The consumer-collection report pair (press, release) that carries a notification code.
    std::vector<std::vector<uint8_t>> NotificationReports(uint16_t code) const;

    // A profile change made on the device: stores the active profile (and, when extra is 0..15,
    // keyboard block byte 26 or the mouse's active DPI stage) and returns the code to send:
    // 0x10 << 8 | profile, or 0x11 << 8 | extra << 4 | profile. 0 when profile is out of range.
    uint16_t ChangeProfileOnDevice(int profile, int extra);

    // Device state.
    void SetAsleep(bool asleep);
    bool IsAsleep() const;
    // A hung device: it still takes every report (and records it) but answers none.
    void SetUnresponsive(bool unresponsive);
    bool IsUnresponsive() const;
    void SetBattery(uint8_t percent, uint8_t charging);
    // The phone lying on the mousepad's charger (status byte 5: 1 iPhone, 2 Samsung, 3 other, 0 none).
    void SetPhoneType(uint8_t phoneType);
    // Rebuilds the key table as a keyboard without these logical keys (factory state).
    void SetMissingKeys(const std::vector<size_t>& logicalKeys);
    void ResetToFactory();

    // The memory the device keeps without power (FirmwareMemory.h). MemoryGeneration counts its
    // changes (it also moves for a write that changed nothing), so a saver can tell whether the
    // copy it holds is still current.
    FirmwareMemory Memory() const;
    uint64_t MemoryGeneration() const;
    // Takes a saved memory when it fits this device (sizes of every table, active profile, key
    // numbers); otherwise leaves the device in its factory state and says why. Empty: taken.
    std::string RestoreMemory(const FirmwareMemory& memory);

    // Inspection (copies).
    FirmwareLayout Layout() const;
    std::vector<uint8_t> Config() const;
    std::vector<uint8_t> ConfigBlock(size_t profile) const;
    uint8_t ActiveProfile() const;
    std::vector<uint8_t> KeyTable() const;
    SlotFunction KeySlot(size_t slot) const;
    std::vector<uint8_t> LedMap() const;
    std::array<uint8_t, kCapabilityLength> Capability() const;
    std::array<uint8_t, kStatusLength> Status() const;
    std::vector<uint8_t> KeyColours(size_t group) const;
    std::vector<uint8_t> LastStreamFrame() const;
    size_t StreamFrameCount() const;
    ImageRecord Macros() const;
    ImageRecord Shoot() const;
    bool SoftwareLighting() const;
    size_t ConfigSessions() const;  // BeginConfig frames accepted
    bool InConfigSession() const;
    std::vector<ReceivedReport> Received() const;
    size_t ReceivedCount() const;
    void ClearReceived();
    // Headset LED colours as the last output reports left them: [target 0x22 / 0x44][LED][R,G,B].
    std::array<std::array<std::array<uint8_t, 3>, 13>, 2> HeadsetLeds() const;
    size_t HeadsetLedReportCount() const;

private:
    std::vector<uint8_t> HandleFrame(std::span<const uint8_t> report, Transport transport, int& status);
    uint8_t Dispatch(uint8_t command, size_t length, size_t offset, std::span<const uint8_t> payload,
                     std::span<uint8_t> replyPayload, Transport transport);
    uint8_t ReadTable(std::span<const uint8_t> table, size_t offset, size_t length,
                      std::span<uint8_t> out) const;
    uint8_t WriteConfig(size_t offset, std::span<const uint8_t> data);
    uint8_t WriteTable(std::vector<uint8_t>& table, size_t limit, size_t offset,
                       std::span<const uint8_t> data);
    uint8_t WriteStream(size_t offset, std::span<const uint8_t> data);
    uint8_t WriteImage(ImageRecord& image, size_t capacity, std::optional<uint16_t> expectedCount,
                       size_t offset, std::span<const uint8_t> data);
    uint8_t EndConfig();
    void HandleHeadsetLeds(std::span<const uint8_t> report);
    void Record(ReceivedReport report);
    void ResetLocked();

    const FirmwareKind m_kind;
    mutable std::mutex m_mutex;
    uint64_t m_generation = 0;
    std::vector<size_t> m_missingKeys;
    FirmwareLayout m_layout;
    std::array<uint8_t, kCapabilityLength> m_capability{};
    std::array<uint8_t, kStatusLength> m_status{};
    std::vector<uint8_t> m_config;
    std::vector<uint8_t> m_keyTable;
    std::vector<uint8_t> m_ledMap;
    std::vector<uint8_t> m_keyColours;
    std::vector<uint8_t> m_stream;
    std::vector<uint8_t> m_lastStream;
    size_t m_streamFrames = 0;
    ImageRecord m_macros;
    ImageRecord m_shoot;
    bool m_softwareLighting = false;
    bool m_asleep = false;
    bool m_unresponsive = false;
    bool m_inConfig = false;
    size_t m_configSessions = 0;
    std::vector<ReceivedReport> m_received;
    size_t m_receivedTotal = 0;
    std::array<std::array<std::array<uint8_t, 3>, 13>, 2> m_headsetLeds{};
    size_t m_headsetLedReports = 0;
};

}  // namespace vx::emulator
