#include "VirtualNodePlayer.h"

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <json/json.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace vxtest {

namespace {

void RemoveTree(const std::string& path) {
    if (DIR* d = opendir(path.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            const std::string child = path + "/" + name;
            if (e->d_type == DT_DIR) {
                RemoveTree(child);
            } else {
                unlink(child.c_str());
            }
        }
        closedir(d);
    }
    rmdir(path.c_str());
}

}  // namespace

ScopedTempDir::ScopedTempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base ? base : "/tmp") + "/vx-hid-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

ScopedTempDir::~ScopedTempDir() {
    RemoveTree(m_path);
}

std::vector<uint8_t> HexBytes(const std::string& text) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        size_t used = 0;
        const unsigned long v = std::stoul(text.substr(i, 2), &used, 16);
        if (used != 2) throw std::runtime_error("bad hex byte in " + text);
        out.push_back(static_cast<uint8_t>(v));
        i += 2;
    }
    return out;
}

VirtualNodePlayer::VirtualNodePlayer(std::string directory) : m_directory(std::move(directory)) {
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

VirtualNodePlayer::~VirtualNodePlayer() {
    Unplug();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    Wake();
    if (m_thread.joinable()) m_thread.join();
    if (m_wakeFd >= 0) close(m_wakeFd);
}

std::string VirtualNodePlayer::RecordJson(const VirtualNodeConfig& node) {
    Json::Value root;
    root["name"] = node.name;
    root["vendor"] = node.vendor;
    root["product"] = node.product;
    root["version"] = node.version;
    if (node.interfaceNumber >= 0) root["interface"] = node.interfaceNumber;
    root["bus"] = 3;
    std::string hex;
    char buf[4];
    for (size_t i = 0; i < node.descriptor.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02x" : "%02x", node.descriptor[i]);
        hex += buf;
    }
    root["report_descriptor"] = hex;
    root["socket"] = node.name + ".sock";
    return Json::StyledWriter().write(root);
}

bool VirtualNodePlayer::WriteRecord(const VirtualNodeConfig& node) {
    const std::string tmp = m_directory + "/." + node.name + ".node.tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << RecordJson(node);
        if (!out) return false;
    }
    return std::rename(tmp.c_str(), (m_directory + "/" + node.name + ".node").c_str()) == 0;
}

bool VirtualNodePlayer::PublishRecordOnly(const VirtualNodeConfig& node) {
    m_name = node.name;
    return WriteRecord(node);
}

bool VirtualNodePlayer::Publish(const VirtualNodeConfig& node) {
    m_name = node.name;
    const std::string path = SocketPath();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    unlink(path.c_str());
    m_listenFd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listenFd < 0) return false;
    if (bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0 || listen(m_listenFd, 16) < 0) {
        close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    m_thread = std::thread([this] { Run(); });
    return WriteRecord(node);
}

void VirtualNodePlayer::Wake() {
    const uint64_t one = 1;
    if (m_wakeFd >= 0) [[maybe_unused]]
        ssize_t n = write(m_wakeFd, &one, sizeof one);
}

void VirtualNodePlayer::Unplug() {
    if (!m_name.empty()) unlink(RecordPath().c_str());
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_thread.joinable()) {
        m_unplugged = true;
        return;
    }
    if (m_unplugged) return;
    if (std::this_thread::get_id() == m_thread.get_id()) {
        // Called from a reply hook: the player's own thread closes everything right here.
        lock.unlock();
        CloseEverything();
        return;
    }
    m_unplugRequested = true;
    lock.unlock();
    Wake();
    lock.lock();
    m_changed.wait(lock, [this] { return m_unplugged; });
}

void VirtualNodePlayer::SetReplyHook(ReplyHook hook) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hook = std::move(hook);
}

int VirtualNodePlayer::SendInput(const std::vector<uint8_t>& report) {
    std::vector<uint8_t> msg(report.size() + 1);
    msg[0] = 'I';
    std::memcpy(msg.data() + 1, report.data(), report.size());
    std::lock_guard<std::mutex> lock(m_mutex);
    int reached = 0;
    for (int fd : m_connections) {
        if (send(fd, msg.data(), msg.size(), MSG_NOSIGNAL) == ssize_t(msg.size())) ++reached;
    }
    return reached;
}

bool VirtualNodePlayer::WaitMessage(HostMessage* message, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [this] { return !m_messages.empty(); })) {
        return false;
    }
    *message = std::move(m_messages.front());
    m_messages.pop_front();
    return true;
}

bool VirtualNodePlayer::WaitConnections(size_t count, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this, count] { return m_connections.size() >= count; });
}

size_t VirtualNodePlayer::ConnectionCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connections.size();
}

void VirtualNodePlayer::CloseEverything() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int fd : m_connections) close(fd);
    m_connections.clear();
    if (m_listenFd >= 0) {
        close(m_listenFd);
        m_listenFd = -1;
        unlink(SocketPath().c_str());
    }
    m_unplugged = true;
    m_unplugRequested = false;
    m_changed.notify_all();
}

void VirtualNodePlayer::AcceptPending() {
    for (;;) {
        const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connections.push_back(fd);
        m_changed.notify_all();
    }
}

void VirtualNodePlayer::ServeConnection(int fd) {
    uint8_t buf[16400];
    const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
            if (*it == fd) {
                close(fd);
                m_connections.erase(it);
                break;
            }
        }
        m_changed.notify_all();
        return;
    }
    if (n <= 0) return;
    HostMessage message{static_cast<char>(buf[0]), std::vector<uint8_t>(buf + 1, buf + n)};
    ReplyHook hook;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        hook = m_hook;
    }
    if (hook) hook(*this, message);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.push_back(std::move(message));
    m_changed.notify_all();
}

void VirtualNodePlayer::Run() {
    for (;;) {
        bool unplug = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) return;
            unplug = m_unplugRequested;
        }
        // Closed here, on the only thread that polls them, so no descriptor is reused under a poll.
        if (unplug) CloseEverything();
        std::vector<pollfd> fds;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            fds.push_back({m_wakeFd, POLLIN, 0});
            if (m_listenFd >= 0) fds.push_back({m_listenFd, POLLIN, 0});
            for (int fd : m_connections) fds.push_back({fd, POLLIN, 0});
        }
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[0].revents) {
            uint64_t v;
            [[maybe_unused]] ssize_t n = read(m_wakeFd, &v, sizeof v);
            continue;
        }
        size_t i = 1;
        if (m_listenFd >= 0 && i < fds.size() && fds[i].fd == m_listenFd) {
            if (fds[i].revents) AcceptPending();
            ++i;
        }
        for (; i < fds.size(); ++i) {
            if (fds[i].revents) ServeConnection(fds[i].fd);
        }
    }
}

}  // namespace vxtest
