#pragma once
// Plain-socket client side of a virtual node, for tests.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

inline int ConnectNode(const std::string& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool SendMessage(int fd, char kind, const std::vector<uint8_t>& report) {
    std::vector<uint8_t> message(1, static_cast<uint8_t>(kind));
    message.insert(message.end(), report.begin(), report.end());
    return ::send(fd, message.data(), message.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(message.size());
}

// One message, or nullopt after timeoutMs; an empty vector means the node closed the connection.
inline std::optional<std::vector<uint8_t>> ReceiveMessage(int fd, int timeoutMs = 2000) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return std::nullopt;
    std::vector<uint8_t> buffer(4096);
    const ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
    if (got <= 0) return std::vector<uint8_t>{};
    buffer.resize(static_cast<size_t>(got));
    return buffer;
}

// Receives until an input report with the given report id arrives (skipping others).
inline std::optional<std::vector<uint8_t>> ReceiveReport(int fd, uint8_t reportId, int timeoutMs = 2000) {
    for (int i = 0; i < 16; ++i) {
        auto message = ReceiveMessage(fd, timeoutMs);
        if (!message || message->empty()) return message;
        if ((*message)[0] == 'I' && message->size() > 1 && (*message)[1] == reportId) {
            return std::vector<uint8_t>(message->begin() + 1, message->end());
        }
    }
    return std::nullopt;
}

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/vx-emu-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempDir() {
        const std::string command = "rm -rf '" + path + "'";
        [[maybe_unused]] int ignored = std::system(command.c_str());
    }
    std::string path;
};
