#pragma once
// A device for tests: publishes one node in a virtual interface directory (docs/virtual-devices.md),
// records what the host sends, sends input reports, answers through a script hook, and unplugs.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vxtest {

// A temporary directory removed (with its files) on destruction.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

struct VirtualNodeConfig {
    std::string name = "node";
    uint16_t vendor = 0x320F;
    uint16_t product = 0x5055;
    uint16_t version = 0x0100;
    int interfaceNumber = 1;  // < 0: the record has no "interface"
    std::vector<uint8_t> descriptor;
};

// One message from the host: 'O' (interrupt pipe) or 'S' (control pipe) and the report as the
// wire carries it (no id byte when the interface has no report ids).
struct HostMessage {
    char type = 0;
    std::vector<uint8_t> report;
};

class VirtualNodePlayer {
public:
    // Called on the player's thread for every host message; it may call SendInput.
    using ReplyHook = std::function<void(VirtualNodePlayer& player, const HostMessage& message)>;

    explicit VirtualNodePlayer(std::string directory);
    ~VirtualNodePlayer();
    VirtualNodePlayer(const VirtualNodePlayer&) = delete;
    VirtualNodePlayer& operator=(const VirtualNodePlayer&) = delete;

    // Listens, then writes the record; false when either fails.
    bool Publish(const VirtualNodeConfig& node);
    // Writes only the record (no socket), as a player that died would leave it.
    bool PublishRecordOnly(const VirtualNodeConfig& node);
    // Removes the record, then closes the listening socket and every connection. May be called
    // from a reply hook (unplug in the middle of a transfer).
    void Unplug();

    void SetReplyHook(ReplyHook hook);
    // Sends one input report (as the wire carries it) to every open connection; the number of
    // connections it reached.
    int SendInput(const std::vector<uint8_t>& report);
    // Waits for the next host message; false on time-out.
    bool WaitMessage(HostMessage* message, int timeoutMs);
    // Waits until at least count connections are open.
    bool WaitConnections(size_t count, int timeoutMs);
    size_t ConnectionCount() const;

    std::string NodeBase() const { return m_directory + "/" + m_name; }
    std::string SocketPath() const { return NodeBase() + ".sock"; }
    std::string RecordPath() const { return NodeBase() + ".node"; }
    const std::string& Directory() const { return m_directory; }

    static std::string RecordJson(const VirtualNodeConfig& node);

private:
    void Run();
    void AcceptPending();
    void ServeConnection(int fd);
    void CloseEverything();
    bool WriteRecord(const VirtualNodeConfig& node);
    void Wake();

    std::string m_directory;
    std::string m_name;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_connections;  // closed only by the player's thread, under m_mutex
    std::deque<HostMessage> m_messages;
    ReplyHook m_hook;
    bool m_stop = false;
    bool m_unplugRequested = false;
    bool m_unplugged = false;
};

// Bytes of a descriptor written as text ("05 01 09 06 ..."); aborts the test on a bad token.
std::vector<uint8_t> HexBytes(const std::string& text);

}  // namespace vxtest
