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

HidTransport::Wait HidTransport::WaitFor(short events, int64_t deadlineMs) const {
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
            return Wait::Gone;
        }
        if (fds[0].revents) return Wait::Cancelled;
        if (n == 0) return Wait::TimedOut;
        // A hidraw node may report POLLIN together with POLLHUP for the last queued report; take
        // the report first, the next wait then sees the hang-up alone.
        if (fds[1].revents & events) return Wait::Ready;
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) return Wait::Gone;
    }
}

long HidTransport::ReceiveOne(uint8_t* rx, size_t capacity) const {
    for (;;) {
        ssize_t n;
        if (m_kind == Kind::Virtual) {
            n = recv(m_fd, rx, capacity, MSG_DONTWAIT);
        } else {
            n = read(m_fd, rx, capacity);
        }
        if (n > 0) return long(n);
        if (n == 0) return -1;  // end of file: the node went away
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
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

bool HidTransport::Read(uint8_t* buffer, size_t length, size_t* bytesRead, uint32_t timeoutMs) {
    if (!Valid() || !m_canRead || buffer == nullptr || length == 0) return false;
    const int64_t deadline = timeoutMs == kHidInfinite ? -1 : HidMonotonicMs() + timeoutMs;
    uint8_t rx[kMaxReport + 1];
    for (;;) {
        const Wait w = WaitFor(POLLIN, deadline);
        if (w != Wait::Ready) return false;
        const long n = ReceiveOne(rx, sizeof rx);
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

long HidTransport::SendRaw(const uint8_t* data, size_t size, bool control) {
    if (m_kind == Kind::Virtual) {
        std::vector<uint8_t> msg(size + 1);
        msg[0] = control ? kMsgControl : kMsgOutput;
        std::memcpy(msg.data() + 1, data, size);
        const ssize_t n = send(m_fd, msg.data(), msg.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        return n < 0 ? (errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1) : long(n - 1);
    }
    if (control) {
        const int n = ioctl(m_fd, HIDIOCSOUTPUT(size), data);
        // Kernels before 5.11 do not know the request; the interrupt pipe then carries it.
        if (n >= 0) return long(size);
        if (errno != ENOTTY && errno != EINVAL) return errno == EAGAIN ? 0 : -1;
    }
    const ssize_t n = write(m_fd, data, size);
    return n < 0 ? (errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1) : long(n);
}

bool HidTransport::Write(const uint8_t* buffer, size_t length, size_t* bytesWritten, uint32_t timeoutMs,
                         bool control) {
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
    for (;;) {
        const Wait w = WaitFor(POLLOUT, deadline);
        if (w != Wait::Ready) return false;
        const long n = SendRaw(data, size, control);
        if (n < 0) return false;
        if (n == 0) continue;
        *bytesWritten = length;
        HidTrace::Instance().Record(control ? "ctl" : "out", m_path, buffer, length);
        return true;
    }
}
