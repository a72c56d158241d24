// The vx-emulator program as a script uses it: start, "ready", control lines, signals, clean exit.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "FrameHelpers.h"
#include "SocketHelpers.h"
#include "emulator/FirmwareMemory.h"
#include "emulator/UhidDevice.h"
#include "emulator/VirtualDeviceHub.h"

using vx::emulator::FirmwareKind;
using vx::emulator::FirmwareMemory;
using vx::emulator::ParseFirmwareMemory;
using vx::emulator::UhidDevice;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Every emulator started here keeps its devices' memory in a folder of this test, never in the
// user's own state folder.
const std::string& StateHome() {
    static TempDir home;
    return home.path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class EmulatorProcess {
public:
    explicit EmulatorProcess(std::vector<std::string> arguments) {
        const std::string stateHome = StateHome();
        int toChild[2];
        int fromChild[2];
        if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(toChild[0], STDIN_FILENO);
            ::dup2(fromChild[1], STDOUT_FILENO);
            ::setenv("XDG_STATE_HOME", stateHome.c_str(), 1);
            std::vector<char*> argv;
            static std::string program = VX_EMULATOR_PROGRAM;
            argv.push_back(program.data());
            for (std::string& argument : arguments) argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        m_input = toChild[1];
        m_output = fromChild[0];
    }
    ~EmulatorProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_input >= 0) ::close(m_input);
        if (m_output >= 0) ::close(m_output);
    }

    void Send(const std::string& line) {
        const std::string text = line + "\n";
        [[maybe_unused]] ssize_t written = ::write(m_input, text.data(), text.size());
    }

    // One line of output, or "" after the time-out.
    std::string ReadLine(int timeoutMs = 5000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                std::string line = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return "";
            pollfd p{m_output, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return "";
            char chunk[256];
            const ssize_t got = ::read(m_output, chunk, sizeof chunk);
            if (got <= 0) return "";
            m_buffer.append(chunk, static_cast<size_t>(got));
        }
    }

    // Exit status after a signal or quit; -1 when it does not end within the time-out.
    int Wait(int timeoutMs = 5000) {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    void Signal(int number) { ::kill(m_pid, number); }

    void CloseInput() {
        ::close(m_input);
        m_input = -1;
    }

    // User plus system time of the process so far, in clock ticks.
    long CpuTicks() const {
        std::ifstream stat("/proc/" + std::to_string(m_pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t close = text.rfind(')');
        if (close == std::string::npos) return -1;
        std::istringstream fields(text.substr(close + 2));
        std::string field;
        long utime = 0;
        long stime = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14) utime = std::stol(field);
            if (i == 15) stime = std::stol(field);
        }
        return utime + stime;
    }

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::string m_buffer;
};

TEST(EmulatorProgram, PublishesControlsAndCleansUpOnSignal) {
    TempDir dir;
    const std::string nodes = dir.path + "/nodes";
    EmulatorProcess emulator(
        {"--dir", nodes, "--devices", "keyboard-wired,headset", "--trace", dir.path + "/t"});
    ASSERT_EQ(emulator.ReadLine(), "ready " + nodes);
    EXPECT_TRUE(Exists(nodes + "/keyboard-wired-if1.node"));
    EXPECT_TRUE(Exists(nodes + "/headset-if3.node"));
    EXPECT_FALSE(Exists(nodes + "/mouse-wired-if1.node"));

    const int fd = ConnectNode(nodes + "/keyboard-wired-if1.sock");
    ASSERT_GE(fd, 0);
    emulator.Send("notify keyboard-wired 0x402");
    EXPECT_EQ(emulator.ReadLine(), "ok");
    auto press = ReceiveMessage(fd);
    ASSERT_TRUE(press);
    EXPECT_EQ(*press, (std::vector<uint8_t>{'I', 3, 0x02, 0x04}));
    emulator.Send("plug mouse-receiver");
    EXPECT_EQ(emulator.ReadLine(), "ok");
    EXPECT_TRUE(Exists(nodes + "/mouse-receiver-if1.node"));
    emulator.Send("nonsense");
    EXPECT_EQ(emulator.ReadLine().rfind("error:", 0), 0u);

    emulator.Signal(SIGTERM);
    EXPECT_EQ(emulator.Wait(), 0);
    EXPECT_FALSE(Exists(nodes + "/keyboard-wired-if1.node"));
    EXPECT_FALSE(Exists(nodes + "/mouse-receiver-if1.sock"));
    auto release = ReceiveMessage(fd, 500);
    ASSERT_TRUE(release);
    EXPECT_EQ(*release, (std::vector<uint8_t>{'I', 3, 0x00, 0x00}));
    auto end = ReceiveMessage(fd, 500);
    ASSERT_TRUE(end);
    EXPECT_TRUE(end->empty());
    ::close(fd);
    EXPECT_TRUE(Exists(dir.path + "/t"));
}

TEST(EmulatorProgram, QuitCommandAndBadArguments) {
    TempDir dir;
    EmulatorProcess emulator({"--dir", dir.path, "--devices", "none"});
    ASSERT_EQ(emulator.ReadLine(), "ready " + dir.path);
    emulator.Send("list");
    EXPECT_EQ(emulator.ReadLine(), "ok");
    emulator.Send("quit");
    EXPECT_EQ(emulator.ReadLine(), "ok");
    EXPECT_EQ(emulator.Wait(), 0);

    EmulatorProcess bad({"--devices", "keyboard-wired,toaster"});
    EXPECT_EQ(bad.Wait(), 2);
}

TEST(EmulatorProgram, KeepsServingIdleAfterInputEnds) {
    TempDir dir;
    EmulatorProcess emulator({"--dir", dir.path, "--devices", "mousepad"});
    ASSERT_EQ(emulator.ReadLine(), "ready " + dir.path);
    emulator.CloseInput();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const long before = emulator.CpuTicks();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const long after = emulator.CpuTicks();
    ASSERT_GE(before, 0);
    EXPECT_LT(after - before, 10) << "the emulator spins after its input closed";

    const int fd = ConnectNode(dir.path + "/mousepad-if1.sock");
    EXPECT_GE(fd, 0);
    if (fd >= 0) ::close(fd);
    emulator.Signal(SIGINT);
    EXPECT_EQ(emulator.Wait(), 0);
    EXPECT_FALSE(Exists(dir.path + "/mousepad-if1.node"));
}

// The active profile of the mousepad, read as the program reads it (command 0x05, byte 0).
int ActiveProfile(const std::string& nodes) {
    const int fd = ConnectNode(nodes + "/mousepad-if1.sock");
    if (fd < 0) return -1;
    const bool sent = SendMessage(fd, 'O', RequestFrame(0x05, 1, 0));
    const auto reply = sent ? ReceiveReport(fd, 4) : std::nullopt;
    ::close(fd);
    return reply && reply->size() == 64 && (*reply)[7] == 0 ? (*reply)[8] : -1;
}

int SavedActiveProfile(const std::string& file) {
    FirmwareMemory memory;
    std::string problem;
    if (!ParseFirmwareMemory(ReadFile(file), FirmwareKind::Mousepad, memory, problem)) return -1;
    return memory.config[0];
}

TEST(EmulatorProgram, DevicesKeepTheirMemoryAcrossRunsUntilAFactoryReset) {
    TempDir dir;
    const std::string nodes = dir.path + "/nodes";
    const std::string state = dir.path + "/state";
    const std::string file = state + "/mousepad.json";
    {
        EmulatorProcess first({"--dir", nodes, "--devices", "mousepad", "--state", state});
        ASSERT_EQ(first.ReadLine(), "ready " + nodes);
        first.Send("profile mousepad 3");
        EXPECT_EQ(first.ReadLine(), "ok");
        first.Signal(SIGTERM);
        EXPECT_EQ(first.Wait(), 0);
    }
    EXPECT_EQ(SavedActiveProfile(file), 3);
    {
        EmulatorProcess second({"--dir", nodes, "--devices", "mousepad", "--state", state});
        ASSERT_EQ(second.ReadLine(), "ready " + nodes);
        EXPECT_EQ(ActiveProfile(nodes), 3);
        second.Send("factory-reset mousepad");
        EXPECT_EQ(second.ReadLine(), "ok");
        EXPECT_EQ(ActiveProfile(nodes), 0);
        EXPECT_EQ(SavedActiveProfile(file), 0);
        second.Send("profile mousepad 5");
        EXPECT_EQ(second.ReadLine(), "ok");
        second.Send("quit");
        EXPECT_EQ(second.ReadLine(), "ok");
        EXPECT_EQ(second.Wait(), 0);
    }
    EXPECT_EQ(SavedActiveProfile(file), 5);
    {
        EmulatorProcess reset({"--dir", nodes, "--devices", "mousepad", "--state", state, "--factory-reset"});
        ASSERT_EQ(reset.ReadLine(), "ready " + nodes);
        EXPECT_EQ(ActiveProfile(nodes), 0);
        EXPECT_EQ(SavedActiveProfile(file), 0);
        reset.Signal(SIGINT);
        EXPECT_EQ(reset.Wait(), 0);
    }
    // The default folder follows XDG_STATE_HOME; --no-state keeps nothing.
    {
        EmulatorProcess byDefault({"--dir", nodes, "--devices", "mousepad"});
        ASSERT_EQ(byDefault.ReadLine(), "ready " + nodes);
        byDefault.Send("profile mousepad 6");
        EXPECT_EQ(byDefault.ReadLine(), "ok");
        byDefault.Signal(SIGTERM);
        EXPECT_EQ(byDefault.Wait(), 0);
    }
    EXPECT_EQ(SavedActiveProfile(StateHome() + "/VexorUmbrelControlCenter/virtual-devices/mousepad.json"), 6);
    {
        EmulatorProcess stateless({"--dir", nodes, "--devices", "mousepad", "--no-state"});
        ASSERT_EQ(stateless.ReadLine(), "ready " + nodes);
        EXPECT_EQ(ActiveProfile(nodes), 0);
        stateless.Signal(SIGTERM);
        EXPECT_EQ(stateless.Wait(), 0);
    }
}

TEST(Uhid, PublishesHidrawNodeWhenAvailable) {
    if (!UhidDevice::Available()) GTEST_SKIP() << "/dev/uhid is absent or not writable";
    TempDir dir;
    VirtualDeviceHub hub(dir.path);
    ASSERT_EQ(hub.EnableUhid(), 1);
    ASSERT_EQ(hub.Plug(VirtualModel::Mousepad), 1);
    EXPECT_EQ(hub.Notify(VirtualModel::Mousepad, 0x401), 1);
    EXPECT_EQ(hub.Unplug(VirtualModel::Mousepad), 1);
}

}  // namespace
