#include "link/HidTransport.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "link/HidTrace.h"
#include "link/ReportDescriptor.h"

namespace vx::link {

namespace {

constexpr uint8_t kMsgOutput = 'O';
constexpr uint8_t kMsgControl = 'S';
constexpr uint8_t kMsgInput = 'I';
// Larger than any report a HID device may send (hidraw caps reports at 16 KiB).
constexpr size_t kMaxReport = 16384 + 1;

}  // namespace

int64_t HidMonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

HidTransport::HidTransport(Kind kind, int fd, bool canRead, bool canWrite,
                           std::shared_ptr<const HidCollectionInfo> info, std::string path)
    : m_kind(kind),
      m_fd(fd),
      m_canRead(canRead),
      m_canWrite(canWrite),
      m_info(std::move(info)),
      m_path(std::move(path)) {
    m_cancelFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

HidTransport::~HidTransport() {
    if (m_fd >= 0) close(m_fd);
    if (m_cancelFd >= 0) close(m_cancelFd);
}

void HidTransport::Cancel() {
    if (m_cancelFd < 0) return;
    const uint64_t one = 1;
    // The counter is never read back, so the descriptor stays readable for every later poll.
    [[maybe_unused]] ssize_t n = write(m_cancelFd, &one, sizeof one);
}

void HidTransport::Note(LinkError* failed, const char* call, int code, const char* detail) const {
    LinkError recorded = RecordLinkError(call, code, m_path, detail);
    if (failed != nullptr) *failed = std::move(recorded);
}

HidTransport::Wait HidTransport::WaitFor(short events, int64_t deadlineMs, LinkError* failed) const {
    for (;;) {
        int timeout = -1;
        if (deadlineMs >= 0) {
            const int64_t left = deadlineMs - HidMonotonicMs();
            timeout = left <= 0 ? 0 : int(std::min<int64_t>(left, 1 << 30));
        }
        pollfd fds[2] = {{m_cancelFd, POLLIN, 0}, {m_fd, events, 0}};
        const int n = poll(fds, 2, timeout);
        if (n < 0) {
            if (errno == EINTR) continue;
            Note(failed, "poll", errno);
            return Wait::Gone;
        }
        if (fds[0].revents) return Wait::Cancelled;
        if (n == 0) return Wait::TimedOut;
        // A hidraw node may report POLLIN together with POLLHUP for the last queued report; take
        // the report first, the next wait then sees the hang-up alone.
        if (fds[1].revents & events) return Wait::Ready;
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            Note(failed, "poll", 0,
                 fds[1].revents & POLLNVAL ? "descriptor not open"
                 : fds[1].revents & POLLERR ? "error on the node"
                                            : "the node hung up");
            return Wait::Gone;
        }
    }
}

long HidTransport::ReceiveOne(uint8_t* rx, size_t capacity, LinkError* failed) const {
    const char* call = m_kind == Kind::Virtual ? "recv" : "read";
    for (;;) {
        ssize_t n;
        if (m_kind == Kind::Virtual) {
            n = recv(m_fd, rx, capacity, MSG_DONTWAIT);
        } else {
            n = read(m_fd, rx, capacity);
        }
        if (n > 0) return long(n);
        if (n == 0) {
            Note(failed, call, 0, "end of file (the node went away)");
            return -1;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        Note(failed, call, errno);
        return -1;
    }
}

bool HidTransport::AcceptReport(const uint8_t* data, size_t size, uint8_t* buffer, size_t length,
                                size_t* bytesRead) const {
    if (size == 0) return false;
    size_t copied = 0;
    if (m_info->usesReportIds) {
        // Every open of a node sees every report of the node; this link wants its collection's only.
        if (!m_info->HasInputReportId(data[0])) return false;
        copied = std::min(size, length);
        std::memcpy(buffer, data, copied);
    } else {
        if (length == 0) return false;
        buffer[0] = 0;
        copied = 1 + std::min(size, length - 1);
        std::memcpy(buffer + 1, data, copied - 1);
    }
    *bytesRead = copied;
    HidTrace::Instance().Record("in", m_path, buffer, copied);
    return true;
}

bool HidTransport::Read(uint8_t* buffer, size_t length, size_t* bytesRead, uint32_t timeoutMs,
                        LinkError* failed) {
    if (!Valid() || !m_canRead || buffer == nullptr || length == 0) return false;
    const int64_t deadline = timeoutMs == kHidInfinite ? -1 : HidMonotonicMs() + timeoutMs;
    uint8_t rx[kMaxReport + 1];
    for (;;) {
        const Wait w = WaitFor(POLLIN, deadline, failed);
        if (w != Wait::Ready) return false;
        const long n = ReceiveOne(rx, sizeof rx, failed);
        if (n < 0) return false;
        if (n == 0) continue;
        const uint8_t* data = rx;
        size_t size = size_t(n);
        if (m_kind == Kind::Virtual) {
            if (data[0] != kMsgInput) continue;
            ++data;
            --size;
        }
        if (AcceptReport(data, size, buffer, length, bytesRead)) return true;
    }
}

long HidTransport::SendRaw(const uint8_t* data, size_t size, bool control, LinkError* failed) {
    // A full queue is "not yet" (0); any other failure is told with its call.
    auto refused = [&](const char* call) -> long {
        const int e = errno;
        if (e == EAGAIN || e == EWOULDBLOCK) return 0;
        Note(failed, call, e);
        return -1;
    };
    if (m_kind == Kind::Virtual) {
        std::vector<uint8_t> msg(size + 1);
        msg[0] = control ? kMsgControl : kMsgOutput;
        std::memcpy(msg.data() + 1, data, size);
        const ssize_t n = send(m_fd, msg.data(), msg.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        return n < 0 ? refused("send") : long(n - 1);
    }
    if (control) {
        const int n = ioctl(m_fd, HIDIOCSOUTPUT(size), data);
        // Kernels before 5.11 do not know the request; the interrupt pipe then carries it.
        if (n >= 0) return long(size);
        if (errno != ENOTTY && errno != EINVAL) return refused("ioctl HIDIOCSOUTPUT");
    }
    const ssize_t n = write(m_fd, data, size);
    return n < 0 ? refused("write") : long(n);
}

bool HidTransport::Write(const uint8_t* buffer, size_t length, size_t* bytesWritten, uint32_t timeoutMs,
                         bool control, LinkError* failed) {
    if (!Valid() || !m_canWrite || buffer == nullptr || length == 0) return false;
    // hidraw wants the report id byte always (0 for an interface without ids, dropped by the
    // kernel); a virtual node carries the report as the wire does, without that 0.
    const uint8_t* data = buffer;
    size_t size = length;
    if (m_kind == Kind::Virtual && !m_info->usesReportIds) {
        ++data;
        --size;
    }
    const int64_t deadline = timeoutMs == kHidInfinite ? -1 : HidMonotonicMs() + timeoutMs;
    // Try first and wait only when the node pushes back: hidraw nodes of older kernels never
    // report POLLOUT although they always take a write.
    for (;;) {
        if (IsCancelled()) return false;
        const long n = SendRaw(data, size, control, failed);
        if (n < 0) return false;
        if (n > 0) break;
        if (WaitFor(POLLOUT, deadline, failed) != Wait::Ready) return false;
    }
    *bytesWritten = length;
    HidTrace::Instance().Record(control ? "ctl" : "out", m_path, buffer, length);
    return true;
}

bool HidTransport::IsCancelled() const {
    pollfd p{m_cancelFd, POLLIN, 0};
    return poll(&p, 1, 0) != 0;
}

}  // namespace vx::link
