#include "link/DeviceLink.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "platform/DebugLog.h"

using vx::platform::DebugLog;

namespace vx::link {

namespace {

// Keeps the in-flight count right on every return path of a transaction.
class InFlightMark {
public:
    explicit InFlightMark(std::atomic<int>& count) : m_count(count) { m_count.fetch_add(1); }
    ~InFlightMark() { m_count.fetch_sub(1); }
    InFlightMark(const InFlightMark&) = delete;
    InFlightMark& operator=(const InFlightMark&) = delete;

private:
    std::atomic<int>& m_count;
};

// More than a device ever queues; the rest waits for the next request.
constexpr int kMaxDroppedReports = 64;

// The device needs a moment after the last configuration frame before it accepts the end of the
// session; without it the last write is sometimes not committed.
constexpr auto kEndConfigDelay = std::chrono::milliseconds(10);

}  // namespace

DeviceLink::DeviceLink() = default;

DeviceLink::~DeviceLink() {
    m_connected.store(0);
    m_held.store(0);
    m_wireless.store(0);
}

void DeviceLink::SetLinkMode(int mode) {
    const bool wireless = mode == kLinkModeWireless;
    m_chunkSize.store(wireless ? kReceiverChunkSize : kCableChunkSize);
    m_wireless.store(wireless ? 1 : 0);
}

int DeviceLink::SetBlockSize(uint16_t size) {
    if (size > kMaxBlockSize) return 0;
    m_blockSize.store(size);
    return 1;
}

int DeviceLink::Transact(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                         size_t* bytesRead) {
    return Exchange(request, requestLength, reply, replyLength, bytesRead, false);
}

int DeviceLink::TransactQuick(const uint8_t* request, size_t requestLength, uint8_t* reply,
                              size_t replyLength, size_t* bytesRead) {
    return Exchange(request, requestLength, reply, replyLength, bytesRead, true);
}

int DeviceLink::Exchange(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                         size_t* bytesRead, bool quick) {
    InFlightMark mark(m_inFlight);
    if (bytesRead != nullptr) *bytesRead = 0;
    if (!IsConnected()) return kLinkNoReply;

    Frame out{};
    if (request != nullptr) std::copy_n(request, std::min(requestLength, kFrameLength), out.begin());

    const bool wireless = IsWireless();
    const uint32_t timeoutMs = !wireless ? kWiredTimeoutMs
                               : quick   ? kWirelessQuickTimeoutMs
                                         : kWirelessTimeoutMs;
    Frame in{};
    size_t got = 0;
    const int result =
        ExchangeOnLink(wireless ? m_wirelessLink : m_wiredLink, wireless, out, in, timeoutMs, &got);
    if (reply != nullptr) std::copy_n(in.begin(), std::min(replyLength, kFrameLength), reply);
    if (bytesRead != nullptr) *bytesRead = got;
    return result;
}

void DeviceLink::DropQueuedReports(HidLink& link) {
    // Whatever waits on the command collection before a request goes out answers an earlier
    // request that timed out (same command byte, possibly another offset): taken as this
    // request's answer it would hand the caller another block's data. Bounded, so that a device
    // that floods the collection cannot hold the transaction.
    Frame stale{};
    for (int i = 0; i < kMaxDroppedReports; ++i) {
        size_t got = 0;
        if (!link.Read(stale.data(), stale.size(), &got, 0) || got == 0) return;
        DebugLog("dropped a late reply to command " +
                 std::to_string(got > kFrameCommand ? stale[kFrameCommand] : 0));
    }
}

int DeviceLink::ExchangeOnLink(HidLink& link, bool wireless, const Frame& request, Frame& reply,
                               uint32_t timeoutMs, size_t* bytesRead) {
    // One lock over the write and both reads: released in between, a frame of another command
    // (the shoot data and the stream do not share the command lock) could take this reply.
    std::lock_guard<std::recursive_mutex> lock(m_transferLock);
    DropQueuedReports(link);
    size_t written = 0;
    if (!link.Write(request.data(), request.size(), &written, timeoutMs)) return kLinkWriteFailed;

    // A reply left over from an earlier transaction that timed out may come first; the second
    // read catches the answer to this request.
    for (int attempt = 0; attempt < 2; ++attempt) {
        reply.fill(0);
        size_t got = 0;
        if (!link.Read(reply.data(), reply.size(), &got, timeoutMs) || got == 0) return kLinkNoReply;
        *bytesRead = got;
        if (got > kFrameCommand && reply[kFrameCommand] == request[kFrameCommand]) return kLinkOk;
        if (wireless && got > kFrameCommand && reply[kFrameCommand] == kReceiverAbsentCommand) {
            return kLinkWirelessAbsent;
        }
    }
    // Two replies to other commands: none of them answers this request, and taking one as the
    // answer would hand a read the payload of another command.
    return kLinkNoReply;
}

int DeviceLink::RunFrame(Command command, uint8_t length, uint16_t offset, std::span<const uint8_t> payload,
                         std::span<uint8_t> readInto, bool quick, Frame* replyOut) {
    const Frame request = BuildFrame(command, length, offset, payload);
    Frame reply{};
    size_t got = 0;
    const int result = Exchange(request.data(), request.size(), reply.data(), reply.size(), &got, quick);
    if (result != kLinkOk) return result;
    if (reply[kFrameStatus] == kReplyStatusRejected) return kLinkStatusRejected;
    if (reply[kFrameStatus] == kReplyStatusFailed) return kLinkStatusFailed;
    const size_t n = std::min<size_t>({readInto.size(), length, kFramePayloadMax});
    std::copy_n(reply.begin() + kFramePayload, n, readInto.begin());
    if (replyOut != nullptr) *replyOut = reply;
    return kLinkOk;
}

int DeviceLink::ChunkedWrite(Command command, std::span<const uint8_t> data, uint32_t base,
                             uint8_t chunkSize) {
    if (!FitsOffsetRange(data.size(), base)) return kLinkBadRange;
    for (const Chunk& chunk : SplitChunks(data.size(), chunkSize, base)) {
        const int result = RunFrame(command, chunk.length, chunk.offset,
                                    data.subspan(chunk.position, chunk.length), {}, false);
        if (result != kLinkOk) return result;
    }
    return kLinkOk;
}

int DeviceLink::ChunkedRead(Command command, std::span<uint8_t> destination, uint32_t base) {
    if (!FitsOffsetRange(destination.size(), base)) return kLinkBadRange;
    for (const Chunk& chunk : SplitChunks(destination.size(), ChunkSize(), base)) {
        const int result = RunFrame(command, chunk.length, chunk.offset, {},
                                    destination.subspan(chunk.position, chunk.length), false);
        if (result != kLinkOk) return result;
    }
    return kLinkOk;
}

int DeviceLink::ControlCommand(Command command) {
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    return RunFrame(command, 0, 0, {}, {}, false);
}

int DeviceLink::BeginConfig() {
    return ControlCommand(Command::BeginConfig);
}

int DeviceLink::EndConfig() {
    std::this_thread::sleep_for(kEndConfigDelay);
    return ControlCommand(Command::EndConfig);
}

int DeviceLink::EnterSoftwareLighting() {
    return ControlCommand(Command::EnterSoftwareLighting);
}

int DeviceLink::ReadDeviceInfo(DeviceInfo* info) {
    if (info == nullptr) return kLinkBadRange;
    std::array<uint8_t, DeviceInfo::kLength> record{};
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    const int result = ChunkedRead(Command::ReadDeviceInfo, record, 0);
    if (result == kLinkOk) *info = DeviceInfo(record);
    return result;
}

int DeviceLink::ReadConfig(std::span<uint8_t> destination, uint32_t baseOffset) {
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    return ChunkedRead(Command::ReadConfig, destination, baseOffset);
}

int DeviceLink::WriteConfig(std::span<const uint8_t> data, uint32_t baseOffset) {
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    return ChunkedWrite(Command::WriteConfig, data, baseOffset, ChunkSize());
}

int DeviceLink::ReadKeyTable(std::span<uint8_t> destination) {
    const uint16_t length = BlockSize();
    if (destination.size() < length) return kLinkBadRange;
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    return ChunkedRead(Command::ReadKeyTable, destination.first(length), 0);
}

int DeviceLink::WriteKeyTable(std::span<const uint8_t> data, int bank) {
    if (bank != 0) return kLinkBadRange;
    const uint16_t length = BlockSize();
    if (data.size() < length) return kLinkBadRange;
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    return ChunkedWrite(Command::WriteKeyTable, data.first(length),
                        static_cast<uint32_t>(bank) * kKeyTableBankStride, ChunkSize());
}

int DeviceLink::WriteKeyColours(std::span<const uint8_t> data, int group, int stride) {
    if (group < 0 || stride < 0) return kLinkBadRange;
    const uint64_t base = static_cast<uint64_t>(group) * static_cast<uint64_t>(stride);
    if (base > 0x10000) return kLinkBadRange;
    std::lock_guard<std::recursive_mutex> lock(m_streamLock);
    return ChunkedWrite(Command::WriteKeyColours, data, static_cast<uint32_t>(base), ChunkSize());
}

int DeviceLink::StreamLighting(std::span<const uint8_t> data) {
    if (!FitsOffsetRange(data.size(), 0)) return kLinkBadRange;
    std::lock_guard<std::recursive_mutex> lock(m_streamLock);
    for (const Chunk& chunk : SplitChunks(data.size(), ChunkSize(), 0)) {
        // The stream never queues behind another transaction: the next frame follows shortly and
        // a late one would only show an old colour.
        if (IsBusy()) {
            DebugLog("放弃灯光数据");
            continue;
        }
        const int result = RunFrame(Command::StreamLighting, chunk.length, chunk.offset,
                                    data.subspan(chunk.position, chunk.length), {}, true);
        if (result != kLinkOk) return result;
    }
    return kLinkOk;
}

int DeviceLink::WriteMacros(std::span<const uint8_t> data) {
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    return ChunkedWrite(Command::WriteMacros, data, 0, ChunkSize());
}

int DeviceLink::WriteShootData(std::span<const uint8_t> data) {
    // The firmware takes shoot data in full 56-byte frames even through the receiver, and the
    // mouse sends it without a command-level lock: TransferLock inside each exchange suffices.
    return ChunkedWrite(Command::WriteShootData, data, 0, kCableChunkSize);
}

int DeviceLink::ReadStatus(std::span<uint8_t> destination, uint16_t offset) {
    if (destination.size() > kFramePayloadMax) return kLinkBadRange;
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    return RunFrame(Command::ReadStatus, static_cast<uint8_t>(destination.size()), offset, {}, destination,
                    false);
}

int DeviceLink::ReadLedMap(std::span<uint8_t> destination) {
    const size_t length = BlockSize() / 3;
    if (destination.size() < length) return kLinkBadRange;
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    return ChunkedRead(Command::ReadLedMap, destination.first(length), 0);
}

bool DeviceLink::QueryWirelessDevice() {
    if (!IsWireless()) return true;
    std::lock_guard<std::recursive_mutex> lock(m_commandLock);
    Frame reply{};
    const int result = RunFrame(Command::QueryWirelessDevice, 0, 0, {}, {}, false, &reply);
    return result == kLinkOk && reply[kFramePayload] == 0xFF;
}

}  // namespace vx::link
