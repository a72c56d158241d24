#pragma once
// The framed 64-byte command channel of one device over a cable and a 2.4 GHz receiver interface.
//
// Lock order: a command takes its command-level lock (CommandLock or StreamLock) first and
// TransferLock inside the transaction; TransferLock is never held while a command-level lock is
// taken. TransferLock covers the write and the reads of one exchange together, so that commands
// under different command-level locks (stream, shoot data) never take each other's replies. Openers of the links take TransferLock (command link) or WirelessOpenLock (notification
// link) around Open/Close.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>

#include "link/CommandFrame.h"
#include "link/DeviceInfo.h"
#include "link/HidLink.h"
#include "link/LinkStatus.h"

namespace vx::link {

// Link modes given to SetLinkMode.
constexpr int kLinkModeWired = 1;
constexpr int kLinkModeWireless = 2;

// Time-outs of one write or read of a transaction, in ms.
constexpr uint32_t kWiredTimeoutMs = 1000;
constexpr uint32_t kWirelessTimeoutMs = 5000;
constexpr uint32_t kWirelessQuickTimeoutMs = 500;

// Largest whole-table transfer (key table, LED map).
constexpr uint16_t kMaxBlockSize = 512;
// Key-table banks are 512 bytes apart on the device; only bank 0 exists.
constexpr uint32_t kKeyTableBankStride = 512;

class DeviceLink {
public:
    DeviceLink();
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Mode 2: receiver, 24-byte chunks; anything else: cable, 56-byte chunks.
    void SetLinkMode(int mode);
    // 1, or 0 leaving the size unchanged when size is above 512.
    int SetBlockSize(uint16_t size);
    bool IsConnected() const { return m_connected.load() != 0; }
    void SetConnected(bool connected) { m_connected.store(connected ? 1 : 0); }

    // One write-then-read exchange. The request is sent as 64 bytes (zero-filled or cut); the
    // reply (up to replyLength bytes of the 64-byte input report) lands in reply.
    int Transact(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                 size_t* bytesRead);
    // Same with the short wireless time-out, for the lighting stream.
    int TransactQuick(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                      size_t* bytesRead);

    // The command set. Reads fill the caller's buffer; every operation returns a link code.
    int BeginConfig();
    int EndConfig();
    int ReadDeviceInfo(DeviceInfo* info);
    int ReadConfig(std::span<uint8_t> destination, uint32_t baseOffset);
    int WriteConfig(std::span<const uint8_t> data, uint32_t baseOffset);
    // blockSize bytes; destination must hold them.
    int ReadKeyTable(std::span<uint8_t> destination);
    // blockSize bytes of data at bank × 512; bank must be 0.
    int WriteKeyTable(std::span<const uint8_t> data, int bank);
    int WriteKeyColours(std::span<const uint8_t> data, int group, int stride);
    int StreamLighting(std::span<const uint8_t> data);
    int WriteMacros(std::span<const uint8_t> data);
    int WriteShootData(std::span<const uint8_t> data);
    // One frame: destination.size() bytes (at most 56) of the record at offset.
    int ReadStatus(std::span<uint8_t> destination, uint16_t offset);
    // blockSize ÷ 3 bytes.
    int ReadLedMap(std::span<uint8_t> destination);
    int EnterSoftwareLighting();
    // Cable: true without traffic. Receiver: true when its device answers the presence query.
    bool QueryWirelessDevice();

    // Fields shared with discovery and the device classes.
    uint16_t BlockSize() const { return m_blockSize.load(); }
    uint8_t ChunkSize() const { return m_chunkSize.load(); }
    bool IsWireless() const { return m_wireless.load() != 0; }
    // Set while at least one transaction is in flight; readable without any lock.
    bool IsBusy() const { return m_inFlight.load() > 0; }
    bool IsHeld() const { return m_held.load() != 0; }
    void SetHeld(bool held) { m_held.store(held ? 1 : 0); }

    HidLink& WiredLink() { return m_wiredLink; }
    HidLink& WirelessLink() { return m_wirelessLink; }
    // The interface that commands currently go through.
    HidLink& ActiveLink() { return IsWireless() ? m_wirelessLink : m_wiredLink; }

    std::recursive_mutex& TransferLock() { return m_transferLock; }
    std::recursive_mutex& WirelessOpenLock() { return m_wirelessOpenLock; }
    std::recursive_mutex& CommandLock() { return m_commandLock; }
    std::recursive_mutex& StreamLock() { return m_streamLock; }

private:
    int Exchange(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                 size_t* bytesRead, bool quick);
    // Reads and discards the reports already queued on link (non-blocking).
    void DropQueuedReports(HidLink& link);
    int ExchangeOnLink(HidLink& link, bool wireless, const Frame& request, Frame& reply, uint32_t timeoutMs,
                       size_t* bytesRead);
    // Frame, transaction and status check of one frame; copies a read's payload into readInto.
    int RunFrame(Command command, uint8_t length, uint16_t offset, std::span<const uint8_t> payload,
                 std::span<uint8_t> readInto, bool quick, Frame* replyOut = nullptr);
    int ChunkedWrite(Command command, std::span<const uint8_t> data, uint32_t base, uint8_t chunkSize);
    int ChunkedRead(Command command, std::span<uint8_t> destination, uint32_t base);
    int ControlCommand(Command command);

    std::atomic<uint16_t> m_blockSize{kMaxBlockSize};
    std::atomic<int> m_inFlight{0};
    std::atomic<int32_t> m_connected{0};
    std::atomic<int32_t> m_held{0};
    std::atomic<int32_t> m_wireless{0};
    std::atomic<uint8_t> m_chunkSize{kReceiverChunkSize};

    HidLink m_wiredLink;
    HidLink m_wirelessLink;

    std::recursive_mutex m_transferLock;
    std::recursive_mutex m_wirelessOpenLock;
    std::recursive_mutex m_commandLock;
    std::recursive_mutex m_streamLock;
};

}  // namespace vx::link
