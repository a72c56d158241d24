#pragma once
// The emulator's control from other processes: a stream socket "control.sock" in the virtual
// interface directory that takes the console commands (ControlConsole), one line in and one
// answer line out, from any number of clients at once. vx-emulator-ctl is its command-line client.
//
// Served by a thread of its own; the hub it drives is thread-safe, so the socket and the standard
// input console may be used side by side.

#include <functional>
#include <string>
#include <thread>

namespace vx::emulator {

class VirtualDeviceHub;

constexpr const char* kControlSocketName = "control.sock";

class ControlSocket {
public:
    // onQuit runs (on the socket's thread) for "quit"; without it "quit" is refused.
    explicit ControlSocket(VirtualDeviceHub& hub, std::function<void()> onQuit = {});
    ~ControlSocket();
    ControlSocket(const ControlSocket&) = delete;
    ControlSocket& operator=(const ControlSocket&) = delete;

    // 1 when listening; 0 when the socket cannot be made or another live emulator answers on it.
    int Start();
    // Stops serving and removes the socket file; also done by the destructor.
    void Stop();
    const std::string& Path() const { return m_path; }

    static std::string PathFor(const std::string& directory);

private:
    void Serve();

    VirtualDeviceHub& m_hub;
    std::function<void()> m_onQuit;
    std::string m_path;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    std::thread m_thread;
};

// The client side: sends one command line to the emulator serving directory and reads its answer
// line. 1: answered (answer set); 0: no emulator listens there; -1: it did not answer in time.
int SendControlCommand(const std::string& directory, const std::string& line, int timeoutMs,
                       std::string* answer);

}  // namespace vx::emulator
