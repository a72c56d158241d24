#include "emulator/VirtualFirmware.h"

#include <algorithm>

#include "emulator/FirmwareKeyTable.h"
#include "emulator/FrameChecksum.h"
#include "emulator/LittleEndian.h"
#include "emulator/ReportDescriptors.h"

namespace vx::emulator {

namespace {

constexpr size_t kMacroUnit = 128;
constexpr size_t kShootRecords = 4;
constexpr size_t kHeadsetLedCount = 13;
constexpr size_t kHeadsetHalf = 7;

// Settings bytes that a profile change made on the device also sets (bits 4-7 of a 0x11 code).
constexpr size_t kKeyboardProfileExtraByte = 26;
constexpr size_t kMouseActiveStageByte = 12;

// Commands that may change the memory the device keeps without power (EndConfig may mark an
// unfinished image broken).
bool KeepsMemory(uint8_t command) {
    switch (command) {
        case 0x02:
        case 0x06:
        case 0x09:
        case 0x0B:
        case 0x15:
        case 0x17:
            return true;
        default:
            return false;
    }
}

}  // namespace

VirtualFirmware::VirtualFirmware(FirmwareKind kind) : m_kind(kind) {
    std::lock_guard lock(m_mutex);
    ResetLocked();
}

void VirtualFirmware::ResetLocked() {
    ++m_generation;
    m_layout = BuildFirmwareLayout(m_kind, m_missingKeys);
    m_capability = BuildCapabilityRecord(m_layout);
    m_status = {};
    m_status[0] = m_layout.battery;
    m_config = BuildFactoryConfig(m_layout);
    m_keyTable.clear();
    for (const SlotFunction& key : m_layout.keySlots) {
        m_keyTable.push_back(key.type);
        m_keyTable.push_back(key.first);
        m_keyTable.push_back(key.second);
    }
    m_ledMap = m_layout.ledMap;
    m_keyColours.assign(m_layout.colourGroups * kKeyColourStride, 0);
    m_stream.assign(kStreamCapacity, 0);
    m_lastStream.clear();
    m_streamFrames = 0;
    m_macros = {};
    m_shoot = {};
    m_softwareLighting = false;
    m_inConfig = false;
    m_configSessions = 0;
    m_headsetLeds = {};
    m_headsetLedReports = 0;
}

std::vector<std::vector<uint8_t>> VirtualFirmware::HandleOutputReport(std::span<const uint8_t> report,
                                                                      Transport transport, bool controlPipe) {
    std::lock_guard lock(m_mutex);
    ReceivedReport received{transport, controlPipe, std::vector<uint8_t>(report.begin(), report.end()), -1};
    std::vector<std::vector<uint8_t>> replies;
    if (!report.empty() && report[0] == kCommandReportId) {
        int status = 0;
        std::vector<uint8_t> reply = HandleFrame(report, transport, status);
        received.status = status;
        if (!m_unresponsive) replies.push_back(std::move(reply));
    } else if (!report.empty() && report[0] == kHeadsetLedReportId && m_kind == FirmwareKind::Headset) {
        HandleHeadsetLeds(report);
    }
    Record(std::move(received));
    return replies;
}

std::vector<uint8_t> VirtualFirmware::HandleFrame(std::span<const uint8_t> report, Transport transport,
                                                  int& status) {
    std::vector<uint8_t> reply(kFrameLength, 0);
    reply[0] = kCommandReportId;
    reply[3] = report.size() > 3 ? report[3] : 0;
    uint8_t result = kStatusOk;
    if (report.size() != kFrameLength) {
        result = kStatusRejected;
    } else {
        const uint8_t command = report[3];
        std::copy(report.begin() + 4, report.begin() + 7, reply.begin() + 4);
        if (transport == Transport::Receiver && m_asleep && command != kReceiverNoDevice) {
            // The receiver answers for its sleeping device with its own command byte.
            reply[3] = kReceiverNoDevice;
        } else if (!FrameChecksumMatches(report)) {
            result = kStatusRejected;
        } else if (command == kReceiverNoDevice) {
            const bool answers = !(transport == Transport::Receiver && m_asleep);
            reply[kFramePayloadOffset] = answers ? 0xFF : 0x00;
        } else if (!m_layout.commands.contains(command)) {
            result = kStatusRejected;
        } else if (report[4] > kFrameMaxPayload) {
            result = kStatusOutOfRange;
        } else {
            const size_t length = report[4];
            const size_t offset = Le16(report, 5);
            result = Dispatch(command, length, offset, report.subspan(kFramePayloadOffset, length),
                              std::span<uint8_t>(reply).subspan(kFramePayloadOffset, length), transport);
            if (KeepsMemory(command)) ++m_generation;
        }
    }
    reply[7] = result;
    StampFrameChecksum(reply);
    status = result;
    return reply;
}

uint8_t VirtualFirmware::Dispatch(uint8_t command, size_t length, size_t offset,
                                  std::span<const uint8_t> payload, std::span<uint8_t> replyPayload,
                                  Transport transport) {
    switch (command) {
        case 0x01:
            m_inConfig = true;
            ++m_configSessions;
            return kStatusOk;
        case 0x02:
            return EndConfig();
        case 0x03:
            return ReadTable(m_capability, offset, length, replyPayload);
        case 0x05:
            return ReadTable(m_config, offset, length, replyPayload);
        case 0x06:
            return WriteConfig(offset, payload);
        case 0x07:
            return ReadTable(m_keyTable, offset, length, replyPayload);
        case 0x09:
            return WriteTable(m_keyTable, m_keyTable.size(), offset, payload);
        case 0x0B:
            return WriteTable(m_keyColours, m_keyColours.size(), offset, payload);
        case 0x12:
            return WriteStream(offset, payload);
        case 0x15:
            return WriteImage(m_macros, m_layout.macroUnits * kMacroUnit, std::nullopt, offset, payload);
        case 0x17:
            return WriteImage(m_shoot, m_layout.shootCapacity, kShootRecords, offset, payload);
        case 0x1A: {
            std::array<uint8_t, kStatusLength> status = m_status;
            status[3] = transport == Transport::Receiver ? 1 : 0;
            return ReadTable(status, offset, length, replyPayload);
        }
        case 0x1B:
            return ReadTable(m_ledMap, offset, length, replyPayload);
        case 0x1C:
            m_softwareLighting = true;
            return kStatusOk;
        default:
            return kStatusRejected;
    }
}

uint8_t VirtualFirmware::ReadTable(std::span<const uint8_t> table, size_t offset, size_t length,
                                   std::span<uint8_t> out) const {
    if (offset + length > table.size()) return kStatusOutOfRange;
    std::copy_n(table.begin() + offset, length, out.begin());
    return kStatusOk;
}

uint8_t VirtualFirmware::WriteConfig(size_t offset, std::span<const uint8_t> data) {
    if (offset + data.size() > m_config.size()) return kStatusOutOfRange;
    // Byte 0 is the active profile: a block that would select a profile the device does not
    // have is refused whole rather than leaving the device on a missing profile.
    if (offset == 0 && !data.empty() && data[0] >= m_layout.profileCount) return kStatusOutOfRange;
    std::copy(data.begin(), data.end(), m_config.begin() + offset);
    return kStatusOk;
}

uint8_t VirtualFirmware::WriteTable(std::vector<uint8_t>& table, size_t limit, size_t offset,
                                    std::span<const uint8_t> data) {
    if (offset + data.size() > limit) return kStatusOutOfRange;
    std::copy(data.begin(), data.end(), table.begin() + offset);
    return kStatusOk;
}

uint8_t VirtualFirmware::WriteStream(size_t offset, std::span<const uint8_t> data) {
    const size_t frameLength = static_cast<size_t>(m_capability[5]) * 3;
    if (offset + data.size() > frameLength) return kStatusOutOfRange;
    std::copy(data.begin(), data.end(), m_stream.begin() + offset);
    if (offset + data.size() == frameLength) {
        m_lastStream.assign(m_stream.begin(), m_stream.begin() + frameLength);
        ++m_streamFrames;
    }
    return kStatusOk;
}

uint8_t VirtualFirmware::WriteImage(ImageRecord& image, size_t capacity,
                                    std::optional<uint16_t> expectedCount, size_t offset,
                                    std::span<const uint8_t> data) {
    if (offset == 0) image = ImageRecord{ImageState::Receiving, MacroImageCheck::Valid, {}};
    auto fail = [&image](MacroImageCheck check) {
        image.state = ImageState::Invalid;
        image.check = check;
        return kStatusOutOfRange;
    };
    // Images arrive in one chunked transfer from offset 0; anything else is a broken transfer.
    if (image.state != ImageState::Receiving || offset != image.bytes.size())
        return fail(MacroImageCheck::BadOffset);
    if (offset + data.size() > capacity) return fail(MacroImageCheck::LengthMismatch);
    image.bytes.insert(image.bytes.end(), data.begin(), data.end());
    if (image.bytes.size() >= 2 && (image.bytes[0] != 0xAA || image.bytes[1] != 0x55)) {
        return fail(MacroImageCheck::BadMark);
    }
    if (image.bytes.size() < 4) return kStatusOk;
    const size_t total = Le16(image.bytes, 2);
    if (total < 16 || total > capacity || image.bytes.size() > total)
        return fail(MacroImageCheck::LengthMismatch);
    if (image.bytes.size() < total) return kStatusOk;
    image.check = CheckMacroImage(image.bytes, expectedCount);
    if (image.check != MacroImageCheck::Valid) return fail(image.check);
    image.state = ImageState::Valid;
    return kStatusOk;
}

uint8_t VirtualFirmware::EndConfig() {
    m_inConfig = false;
    uint8_t result = kStatusOk;
    for (ImageRecord* image : {&m_macros, &m_shoot}) {
        if (image->state == ImageState::Receiving) {
            image->state = ImageState::Invalid;
            image->check = MacroImageCheck::LengthMismatch;
            result = kStatusOutOfRange;
        }
    }
    return result;
}

void VirtualFirmware::HandleHeadsetLeds(std::span<const uint8_t> report) {
    if (report.size() < kHeadsetLedReportLength || report[3] != 0) return;
    size_t target = 0;
    if (report[1] == 0x22) {
        target = 0;
    } else if (report[1] == 0x44) {
        target = 1;
    } else {
        return;
    }
    const uint8_t code = report[2];
    if (code < 0xAA || code > 0xAF) return;
    const size_t channel = (code - 0xAA) % 3;
    const bool secondHalf = code >= 0xAD;
    const size_t first = secondHalf ? kHeadsetHalf : 0;
    const size_t count = secondHalf ? kHeadsetLedCount - kHeadsetHalf : kHeadsetHalf;
    for (size_t i = 0; i < count; ++i) m_headsetLeds[target][first + i][channel] = report[4 + i];
    ++m_headsetLedReports;
}

void VirtualFirmware::Record(ReceivedReport report) {
    if (m_received.size() >= kMaxRecordedReports) {
        m_received.erase(m_received.begin(), m_received.begin() + kMaxRecordedReports / 4);
    }
    m_received.push_back(std::move(report));
    ++m_receivedTotal;
}

std::vector<std::vector<uint8_t>> VirtualFirmware::NotificationReports(uint16_t code) const {
    const uint8_t id = NotifyReportId(m_kind);
    return {{id, static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8)}, {id, 0x00, 0x00}};
}

uint16_t VirtualFirmware::ChangeProfileOnDevice(int profile, int extra) {
    std::lock_guard lock(m_mutex);
    if (profile < 0 || profile > 15 || static_cast<size_t>(profile) >= m_layout.profileCount) return 0;
    m_config[0] = static_cast<uint8_t>(profile);
    ++m_generation;
    if (extra < 0 || extra > 15) return static_cast<uint16_t>(0x1000 | profile);
    const size_t block = static_cast<size_t>(profile) * m_layout.stride;
    if (m_kind == FirmwareKind::Keyboard)
        m_config[block + kKeyboardProfileExtraByte] = static_cast<uint8_t>(extra);
    if (m_kind == FirmwareKind::Mouse) m_config[block + kMouseActiveStageByte] = static_cast<uint8_t>(extra);
    return static_cast<uint16_t>(0x1100 | (extra << 4) | profile);
}

void VirtualFirmware::SetAsleep(bool asleep) {
    std::lock_guard lock(m_mutex);
    m_asleep = asleep;
}

bool VirtualFirmware::IsAsleep() const {
    std::lock_guard lock(m_mutex);
    return m_asleep;
}

void VirtualFirmware::SetUnresponsive(bool unresponsive) {
    std::lock_guard lock(m_mutex);
    m_unresponsive = unresponsive;
}

bool VirtualFirmware::IsUnresponsive() const {
    std::lock_guard lock(m_mutex);
    return m_unresponsive;
}

void VirtualFirmware::SetBattery(uint8_t percent, uint8_t charging) {
    std::lock_guard lock(m_mutex);
    m_status[0] = std::min<uint8_t>(percent, 100);
    m_status[1] = charging;
}

void VirtualFirmware::SetPhoneType(uint8_t phoneType) {
    std::lock_guard lock(m_mutex);
    m_status[5] = phoneType;
}

void VirtualFirmware::SetMissingKeys(const std::vector<size_t>& logicalKeys) {
    std::lock_guard lock(m_mutex);
    m_missingKeys = logicalKeys;
    ResetLocked();
}

void VirtualFirmware::ResetToFactory() {
    std::lock_guard lock(m_mutex);
    ResetLocked();
}

FirmwareMemory VirtualFirmware::Memory() const {
    std::lock_guard lock(m_mutex);
    return {m_kind, m_missingKeys, m_config, m_keyTable, m_keyColours, m_macros, m_shoot};
}

uint64_t VirtualFirmware::MemoryGeneration() const {
    std::lock_guard lock(m_mutex);
    return m_generation;
}

std::string VirtualFirmware::RestoreMemory(const FirmwareMemory& memory) {
    if (memory.kind != m_kind) return "memory of another device";
    for (size_t key : memory.missingKeys) {
        if (key >= kVirtualKeyboardKeyNumbers) return "key number out of range";
    }
    // Sizes are checked against the layout the memory would be used with: a file of another
    // keyboard size or a cut-off table must not leave the device with tables of the wrong length.
    const FirmwareLayout layout = BuildFirmwareLayout(m_kind, memory.missingKeys);
    const size_t keyTableLength = layout.keySlots.size() * 3;
    if (memory.config.size() != layout.profileCount * layout.stride)
        return "settings memory of the wrong size";
    if (memory.config[0] >= layout.profileCount) return "active profile out of range";
    if (memory.keyTable.size() != keyTableLength) return "key table of the wrong size";
    if (memory.keyColours.size() != layout.colourGroups * kKeyColourStride)
        return "key colours of the wrong size";
    if (memory.macros.bytes.size() > layout.macroUnits * kMacroUnit) return "macro image too big";
    if (memory.shoot.bytes.size() > layout.shootCapacity) return "shoot image too big";

    std::lock_guard lock(m_mutex);
    m_missingKeys = memory.missingKeys;
    ResetLocked();
    m_config = memory.config;
    m_keyTable = memory.keyTable;
    m_keyColours = memory.keyColours;
    m_macros = memory.macros;
    m_shoot = memory.shoot;
    return {};
}

FirmwareLayout VirtualFirmware::Layout() const {
    std::lock_guard lock(m_mutex);
    return m_layout;
}

std::vector<uint8_t> VirtualFirmware::Config() const {
    std::lock_guard lock(m_mutex);
    return m_config;
}

std::vector<uint8_t> VirtualFirmware::ConfigBlock(size_t profile) const {
    std::lock_guard lock(m_mutex);
    if (profile >= m_layout.profileCount) return {};
    const auto begin = m_config.begin() + static_cast<std::ptrdiff_t>(profile * m_layout.stride);
    return std::vector<uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(m_layout.stride));
}

uint8_t VirtualFirmware::ActiveProfile() const {
    std::lock_guard lock(m_mutex);
    return m_config[0];
}

std::vector<uint8_t> VirtualFirmware::KeyTable() const {
    std::lock_guard lock(m_mutex);
    return m_keyTable;
}

SlotFunction VirtualFirmware::KeySlot(size_t slot) const {
    std::lock_guard lock(m_mutex);
    if (3 * slot + 2 >= m_keyTable.size()) return {};
    return {m_keyTable[3 * slot], m_keyTable[3 * slot + 1], m_keyTable[3 * slot + 2]};
}

std::vector<uint8_t> VirtualFirmware::LedMap() const {
    std::lock_guard lock(m_mutex);
    return m_ledMap;
}

std::array<uint8_t, kCapabilityLength> VirtualFirmware::Capability() const {
    std::lock_guard lock(m_mutex);
    return m_capability;
}

std::array<uint8_t, kStatusLength> VirtualFirmware::Status() const {
    std::lock_guard lock(m_mutex);
    return m_status;
}

std::vector<uint8_t> VirtualFirmware::KeyColours(size_t group) const {
    std::lock_guard lock(m_mutex);
    if (group >= m_layout.colourGroups) return {};
    const auto begin = m_keyColours.begin() + static_cast<std::ptrdiff_t>(group * kKeyColourStride);
    return std::vector<uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(kKeyColourStride));
}

std::vector<uint8_t> VirtualFirmware::LastStreamFrame() const {
    std::lock_guard lock(m_mutex);
    return m_lastStream;
}

size_t VirtualFirmware::StreamFrameCount() const {
    std::lock_guard lock(m_mutex);
    return m_streamFrames;
}

ImageRecord VirtualFirmware::Macros() const {
    std::lock_guard lock(m_mutex);
    return m_macros;
}

ImageRecord VirtualFirmware::Shoot() const {
    std::lock_guard lock(m_mutex);
    return m_shoot;
}

bool VirtualFirmware::SoftwareLighting() const {
    std::lock_guard lock(m_mutex);
    return m_softwareLighting;
}

size_t VirtualFirmware::ConfigSessions() const {
    std::lock_guard lock(m_mutex);
    return m_configSessions;
}

bool VirtualFirmware::InConfigSession() const {
    std::lock_guard lock(m_mutex);
    return m_inConfig;
}

std::vector<ReceivedReport> VirtualFirmware::Received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

size_t VirtualFirmware::ReceivedCount() const {
    std::lock_guard lock(m_mutex);
    return m_receivedTotal;
}

void VirtualFirmware::ClearReceived() {
    std::lock_guard lock(m_mutex);
    m_received.clear();
    m_receivedTotal = 0;
}

std::array<std::array<std::array<uint8_t, 3>, 13>, 2> VirtualFirmware::HeadsetLeds() const {
    std::lock_guard lock(m_mutex);
    return m_headsetLeds;
}

size_t VirtualFirmware::HeadsetLedReportCount() const {
    std::lock_guard lock(m_mutex);
    return m_headsetLedReports;
}

}  // namespace vx::emulator
