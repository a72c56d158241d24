#pragma once
// The open node behind a HidLink: a hidraw file or a connection to a virtual node. Shared between
// the link and any thread waiting in Read or Write, so that Close never pulls the descriptor from
// under a waiter: the waiter keeps its own reference and the descriptor is closed when the last
// reference goes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/HidLink.h"
#include "link/LinkError.h"

namespace vx::link {

struct HidCollectionInfo;

// What enumeration and opening learn about one node.
struct HidNodeRecord {
    std::string node;  // "/dev/hidraw3" or "virtual:/dir/name"
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;
    std::optional<uint16_t> interfaceNumber;
    std::vector<uint8_t> descriptor;
};

class HidTransport {
public:
    enum class Kind { Hidraw, Virtual };

    HidTransport(Kind kind, int fd, bool canRead, bool canWrite,
                 std::shared_ptr<const HidCollectionInfo> info, std::string path);
    ~HidTransport();
    HidTransport(const HidTransport&) = delete;
    HidTransport& operator=(const HidTransport&) = delete;

    // False when the cancel descriptor cannot be made; the transport is then unusable.
    bool Valid() const { return m_fd >= 0 && m_cancelFd >= 0; }
    int Fd() const { return m_fd; }
    // Wakes every present and future waiter; a cancelled transport stays cancelled.
    void Cancel();

    // One input report of this collection, byte 0 = report id. A failure of the node (not a
    // time-out or a cancel) is described in *failed when given.
    bool Read(uint8_t* buffer, size_t length, size_t* bytesRead, uint32_t timeoutMs,
              LinkError* failed = nullptr);
    // One output report, byte 0 = report id; control = through the control pipe.
    bool Write(const uint8_t* buffer, size_t length, size_t* bytesWritten, uint32_t timeoutMs, bool control,
               LinkError* failed = nullptr);

private:
    enum class Wait { Ready, TimedOut, Cancelled, Gone };
    Wait WaitFor(short events, int64_t deadlineMs, LinkError* failed) const;
    bool IsCancelled() const;
    // -1: device gone or failed, 0: nothing (yet), >0: size of the message (as the node carries it).
    long ReceiveOne(uint8_t* rx, size_t capacity, LinkError* failed) const;
    bool AcceptReport(const uint8_t* data, size_t size, uint8_t* buffer, size_t length,
                      size_t* bytesRead) const;
    long SendRaw(const uint8_t* data, size_t size, bool control, LinkError* failed);
    void Note(LinkError* failed, const char* call, int code, const char* detail = "") const;

    const Kind m_kind;
    const int m_fd;
    int m_cancelFd = -1;
    const bool m_canRead, m_canWrite;
    const std::shared_ptr<const HidCollectionInfo> m_info;
    const std::string m_path;
};

int64_t HidMonotonicMs();

}  // namespace vx::link
