#include "emulator/ControlSocket.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "emulator/ControlConsole.h"
#include "emulator/VirtualDeviceHub.h"

namespace vx::emulator {

namespace {

// A command line is a few dozen bytes; a client that sends this much without a line end is not
// speaking the protocol and is dropped.
constexpr size_t kMaxLine = 4096;

bool MakeAddress(const std::string& path, sockaddr_un* addr) {
    *addr = {};
    addr->sun_family = AF_UNIX;
    if (path.size() >= sizeof addr->sun_path) return false;
    std::memcpy(addr->sun_path, path.c_str(), path.size() + 1);
    return true;
}

int ConnectTo(const std::string& path) {
    sockaddr_un addr;
    if (!MakeAddress(path, &addr)) return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool SendAll(int fd, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

ControlSocket::ControlSocket(VirtualDeviceHub& hub, std::function<void()> onQuit)
    : m_hub(hub), m_onQuit(std::move(onQuit)), m_path(PathFor(hub.Directory())) {}

ControlSocket::~ControlSocket() {
    Stop();
}

std::string ControlSocket::PathFor(const std::string& directory) {
    return directory + "/" + kControlSocketName;
}

int ControlSocket::Start() {
    if (m_thread.joinable()) return 1;
    sockaddr_un addr;
    if (!MakeAddress(m_path, &addr)) return 0;
    // A socket file that nobody answers on is left over from a player that died.
    if (const int live = ConnectTo(m_path); live >= 0) {
        close(live);
        return 0;
    }
    unlink(m_path.c_str());
    m_listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_listenFd < 0 || m_wakeFd < 0 ||
        bind(m_listenFd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(m_listenFd, 16) != 0) {
        Stop();
        return 0;
    }
    m_thread = std::thread([this] { Serve(); });
    return 1;
}

void ControlSocket::Stop() {
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    if (m_listenFd >= 0) {
        close(m_listenFd);
        unlink(m_path.c_str());
    }
    if (m_wakeFd >= 0) close(m_wakeFd);
    m_listenFd = m_wakeFd = -1;
}

void ControlSocket::Serve() {
    ControlConsole console(m_hub);
    std::map<int, std::string> clients;  // descriptor -> bytes of an unfinished line
    auto drop = [&clients](int fd) {
        close(fd);
        clients.erase(fd);
    };
    for (;;) {
        std::vector<pollfd> fds{{m_wakeFd, POLLIN, 0}, {m_listenFd, POLLIN, 0}};
        for (const auto& [fd, pending] : clients) fds.push_back({fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[0].revents != 0) break;
        if (fds[1].revents & POLLIN) {
            const int c = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (c >= 0) clients[c];
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            const int fd = fds[i].fd;
            char buffer[512];
            const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
                drop(fd);
                continue;
            }
            std::string& pending = clients[fd];
            pending.append(buffer, static_cast<size_t>(got));
            bool alive = true;
            for (size_t end; alive && (end = pending.find('\n')) != std::string::npos;) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                bool quit = false;
                std::string answer = console.Execute(line, quit);
                if (quit && !m_onQuit) answer = "error: quit is not available here";
                if (answer.empty()) answer = "ok";
                // Before the answer, so that whoever reads "ok" finds the quit under way.
                if (quit && m_onQuit) m_onQuit();
                alive = SendAll(fd, answer + "\n");
            }
            if (!alive || pending.size() > kMaxLine) drop(fd);
        }
    }
    for (const auto& [fd, pending] : clients) close(fd);
}

int SendControlCommand(const std::string& directory, const std::string& line, int timeoutMs,
                       std::string* answer) {
    const int fd = ConnectTo(ControlSocket::PathFor(directory));
    if (fd < 0) return 0;
    if (!SendAll(fd, line + "\n")) {
        close(fd);
        return 0;
    }
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int result = -1;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[512];
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        received.append(buffer, static_cast<size_t>(got));
        if (const size_t end = received.find('\n'); end != std::string::npos) {
            *answer = received.substr(0, end);
            result = 1;
            break;
        }
    }
    close(fd);
    return result;
}

}  // namespace vx::emulator
