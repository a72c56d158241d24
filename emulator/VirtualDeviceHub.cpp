#include "emulator/VirtualDeviceHub.h"

#include <fcntl.h>
#include <json/json.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <optional>

#include "emulator/ReportDescriptors.h"
#include "emulator/UhidDevice.h"

namespace vx::emulator {

namespace {

constexpr int kListenBacklog = 16;
constexpr size_t kMaxMessage = 4096;
constexpr uint8_t kOutputMessage = 'O';
constexpr uint8_t kControlMessage = 'S';
constexpr uint8_t kInputMessage = 'I';
constexpr int kStateIdleCheckMs = 1000;
// A state file is a few kilobytes; anything far bigger is not one of ours.
constexpr off_t kMaxStateFile = 1 << 20;
constexpr uint16_t kRereadCode = 0x401;

// The whole file, or nullopt with problem set ("" when the file does not exist).
std::optional<std::string> ReadStateFile(const std::string& path, std::string& problem) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = errno == ENOENT ? "" : std::string("cannot be opened: ") + std::strerror(errno);
        return std::nullopt;
    }
    struct stat info {};
    std::string text;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxStateFile) {
        problem = "not a state file";
        ::close(fd);
        return std::nullopt;
    }
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            problem = std::string("cannot be read: ") + std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        text.append(buffer, static_cast<size_t>(got));
        if (text.size() > static_cast<size_t>(kMaxStateFile)) {
            problem = "not a state file";
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    return text;
}

// Temporary file in the same folder, then rename: a reader (or the next start after a crash)
// finds the old file or the new one, never a part of one. The temporary name is unique, so two
// players writing the same device's file never mix their bytes.
bool WriteFileAtomically(const std::string& path, const std::string& text) {
    std::string temporary = path + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) break;
        done += static_cast<size_t>(wrote);
    }
    const bool written = done == text.size() && ::fchmod(fd, 0600) == 0;
    if (::close(fd) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

int MakeDirectories(const std::string& path) {
    if (path.empty()) return 0;
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty()) continue;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return 0;
    }
    struct stat info {};
    return (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) ? 1 : 0;
}

std::string HexBytes(std::span<const uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

size_t IndexOf(VirtualModel model) {
    return static_cast<size_t>(model);
}

// True when another player listens on the socket; a socket file nobody listens on is stale.
bool SocketIsLive(const sockaddr_un& address) {
    const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (probe < 0) return false;
    const bool live =
        ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || errno == EAGAIN;
    ::close(probe);
    return live;
}

}  // namespace

VirtualDeviceHub::VirtualDeviceHub(std::string directory)
    : m_directory(std::move(directory)), m_nodes(VirtualModels().size()) {
    for (size_t kind = 0; kind < kFirmwareKindCount; ++kind) {
        m_firmware[kind] = std::make_shared<VirtualFirmware>(static_cast<FirmwareKind>(kind));
    }
    if (const char* trace = std::getenv("VX_EMULATOR_TRACE"); trace && *trace) m_trace.Open(trace);
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        // Without its wake-up descriptor the server could never run a task: every call fails instead.
        m_stop = true;
        return;
    }
    m_server = std::thread([this] { ServerLoop(); });
}

VirtualDeviceHub::~VirtualDeviceHub() {
    UnplugAll();
    {
        std::lock_guard lock(m_taskMutex);
        m_stop = true;
    }
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    if (m_server.joinable()) m_server.join();
    if (m_wakeFd >= 0) ::close(m_wakeFd);
    // The server thread has ended: its state is this thread's now.
    if (!m_stateDirectory.empty()) SaveChangedState(true);
}

std::string VirtualDeviceHub::DefaultDirectory() {
    if (const char* dir = std::getenv("VX_VIRTUAL_HID_DIR"); dir && *dir) return dir;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        return std::string(runtime) + "/vexor-virtual-hid";
    }
    return "/tmp/vexor-virtual-hid-" + std::to_string(::getuid());
}

int VirtualDeviceHub::RunOnServer(std::function<int()> task) {
    if (std::this_thread::get_id() == m_server.get_id()) return task();
    auto job = std::make_shared<std::packaged_task<int()>>(std::move(task));
    std::future<int> result = job->get_future();
    {
        std::lock_guard lock(m_taskMutex);
        if (m_stop) return 0;
        m_tasks.emplace_back([job] { (*job)(); });
    }
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    return result.get();
}

void VirtualDeviceHub::RunTasks() {
    uint64_t count = 0;
    [[maybe_unused]] ssize_t got = ::read(m_wakeFd, &count, sizeof count);
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(m_taskMutex);
        tasks.swap(m_tasks);
    }
    for (auto& task : tasks) task();
}

void VirtualDeviceHub::ServerLoop() {
    struct Source {
        size_t node;
        int fd;
        enum { Listen, Connection, Uhid } kind;
    };
    std::vector<pollfd> fds;
    std::vector<Source> sources;
    while (!m_stop) {
        fds.assign(1, pollfd{m_wakeFd, POLLIN, 0});
        sources.assign(1, Source{0, m_wakeFd, Source::Listen});
        for (size_t i = 0; i < m_nodes.size(); ++i) {
            const Node& node = m_nodes[i];
            if (node.listenFd >= 0) {
                fds.push_back({node.listenFd, POLLIN, 0});
                sources.push_back({i, node.listenFd, Source::Listen});
            }
            for (int fd : node.connections) {
                fds.push_back({fd, POLLIN, 0});
                sources.push_back({i, fd, Source::Connection});
            }
            if (node.uhid && node.uhid->Fd() >= 0) {
                fds.push_back({node.uhid->Fd(), POLLIN, 0});
                sources.push_back({i, node.uhid->Fd(), Source::Uhid});
            }
        }
        // With state kept, a change made from another thread (a test, the console) is noticed
        // within a second even when no report arrives.
        int timeout = -1;
        if (!m_stateDirectory.empty()) {
            const int due = SaveChangedState(false);
            timeout = due < 0 ? kStateIdleCheckMs : due;
        }
        if (::poll(fds.data(), fds.size(), timeout) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        // Sockets first, with the fd sets as polled; tasks may close sockets and come last.
        for (size_t k = 1; k < fds.size(); ++k) {
            if (fds[k].revents == 0) continue;
            const Source& source = sources[k];
            Node& node = m_nodes[source.node];
            switch (source.kind) {
                case Source::Listen:
                    if (node.listenFd == source.fd) Accept(source.node);
                    break;
                case Source::Connection:
                    if (std::find(node.connections.begin(), node.connections.end(), source.fd) !=
                        node.connections.end()) {
                        Receive(source.node, source.fd);
                    }
                    break;
                case Source::Uhid:
                    if (node.uhid && node.uhid->Fd() == source.fd) ReceiveUhid(source.node);
                    break;
            }
        }
        if (fds[0].revents != 0) RunTasks();
    }
    // Calls made from now on fail at once; whoever queued a task before gets its answer.
    {
        std::lock_guard lock(m_taskMutex);
        m_stop = true;
    }
    RunTasks();
}

void VirtualDeviceHub::Accept(size_t index) {
    Node& node = m_nodes[index];
    for (;;) {
        const int fd = ::accept4(node.listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        node.connections.push_back(fd);
    }
}

void VirtualDeviceHub::Receive(size_t index, int fd) {
    uint8_t buffer[kMaxMessage];
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (got <= 0) {
        CloseConnection(index, fd);
        return;
    }
    if (buffer[0] != kOutputMessage && buffer[0] != kControlMessage) return;
    HandleReport(index, std::span<const uint8_t>(buffer + 1, static_cast<size_t>(got) - 1),
                 buffer[0] == kControlMessage);
}

void VirtualDeviceHub::ReceiveUhid(size_t index) {
    std::optional<UhidOutput> output = m_nodes[index].uhid->ReadEvent();
    if (output) HandleReport(index, output->report, output->controlPipe);
}

void VirtualDeviceHub::HandleReport(size_t index, std::span<const uint8_t> report, bool controlPipe) {
    const VirtualModelInfo& info = VirtualModels()[index];
    TraceReport(info.model, controlPipe ? "ctl" : "out", report);
    VirtualFirmware& firmware = *m_firmware[static_cast<size_t>(info.firmware)];
    for (const std::vector<uint8_t>& reply :
         firmware.HandleOutputReport(report, info.transport, controlPipe)) {
        Broadcast(index, reply);
    }
}

void VirtualDeviceHub::CloseConnection(size_t index, int fd) {
    std::vector<int>& connections = m_nodes[index].connections;
    connections.erase(std::remove(connections.begin(), connections.end(), fd), connections.end());
    ::close(fd);
}

void VirtualDeviceHub::Broadcast(size_t index, const std::vector<uint8_t>& report) {
    Node& node = m_nodes[index];
    TraceReport(VirtualModels()[index].model, "in", report);
    std::vector<uint8_t> message;
    message.reserve(report.size() + 1);
    message.push_back(kInputMessage);
    message.insert(message.end(), report.begin(), report.end());
    for (int fd : node.connections) {
        // A reader that does not keep up loses reports, as with a full hidraw buffer; the
        // server thread never waits for it.
        ::send(fd, message.data(), message.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    }
    if (node.uhid) node.uhid->SendInput(report);
}

void VirtualDeviceHub::TraceReport(VirtualModel model, std::string_view direction,
                                   std::span<const uint8_t> report) {
    if (!m_trace.IsOpen()) return;
    const int collection = report.empty() ? 0 : CollectionOfReport(ModelInfo(model).firmware, report[0]);
    m_trace.Write(direction, LinkPath(model, collection), report);
}

int VirtualDeviceHub::Plug(VirtualModel model) {
    return RunOnServer([this, model] { return DoPlug(model); });
}

int VirtualDeviceHub::Unplug(VirtualModel model) {
    return RunOnServer([this, model] { return DoUnplug(model); });
}

int VirtualDeviceHub::PlugAll() {
    int result = 1;
    for (const VirtualModelInfo& info : VirtualModels()) {
        if (Plug(info.model) != 1) result = 0;
    }
    return result;
}

void VirtualDeviceHub::UnplugAll() {
    for (const VirtualModelInfo& info : VirtualModels()) Unplug(info.model);
}

bool VirtualDeviceHub::IsPlugged(VirtualModel model) {
    return RunOnServer([this, model] { return m_nodes[IndexOf(model)].listenFd >= 0 ? 1 : 0; }) == 1;
}

size_t VirtualDeviceHub::ConnectionCount(VirtualModel model) {
    const int count =
        RunOnServer([this, model] { return static_cast<int>(m_nodes[IndexOf(model)].connections.size()); });
    return static_cast<size_t>(std::max(count, 0));
}

int VirtualDeviceHub::DoPlug(VirtualModel model) {
    Node& node = m_nodes[IndexOf(model)];
    if (node.listenFd >= 0) return 1;
    if (MakeDirectories(m_directory) != 1) return 0;

    const std::string socketPath = SocketPath(model);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) return 0;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);

    // Never take over a node that another running player serves.
    if (SocketIsLive(address)) return 0;
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    ::unlink(socketPath.c_str());  // left behind by a player that was killed
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, kListenBacklog) != 0) {
        ::close(fd);
        return 0;
    }
    // The record goes in only once the socket listens, so a lister never finds a dead node.
    if (WriteRecord(model) != 1) {
        ::close(fd);
        ::unlink(socketPath.c_str());
        return 0;
    }
    node.listenFd = fd;
    if (m_uhidEnabled) {
        node.uhid = std::make_unique<UhidDevice>();
        if (node.uhid->Create(model) != 1) node.uhid.reset();
    }
    return 1;
}

int VirtualDeviceHub::DoUnplug(VirtualModel model) {
    Node& node = m_nodes[IndexOf(model)];
    if (node.listenFd < 0) return 1;
    // Record first: a lister must not find a node whose socket is already gone.
    ::unlink(RecordPath(model).c_str());
    ::close(node.listenFd);
    node.listenFd = -1;
    ::unlink(SocketPath(model).c_str());
    for (int fd : node.connections) {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
    node.connections.clear();
    node.uhid.reset();
    return 1;
}

int VirtualDeviceHub::WriteRecord(VirtualModel model) const {
    const VirtualModelInfo& info = ModelInfo(model);
    Json::Value record;
    record["name"] = std::string(info.nodeName);
    record["vendor"] = info.vendor;
    record["product"] = info.product;
    record["version"] = info.version;
    record["interface"] = info.interfaceNumber;
    record["bus"] = kBusUsb;
    record["report_descriptor"] = HexBytes(ReportDescriptor(info.firmware));
    record["socket"] = std::string(info.nodeName) + ".sock";

    const std::string path = RecordPath(model);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out) return 0;
        Json::StreamWriterBuilder builder;
        builder["indentation"] = "   ";
        out << Json::writeString(builder, record) << '\n';
        if (!out) return 0;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    return 1;
}

int VirtualDeviceHub::SetAsleep(VirtualModel model, bool asleep) {
    Firmware(model).SetAsleep(asleep);
    return 1;
}

int VirtualDeviceHub::SetUnresponsive(VirtualModel model, bool unresponsive) {
    Firmware(model).SetUnresponsive(unresponsive);
    return 1;
}

int VirtualDeviceHub::Notify(VirtualModel model, uint16_t code) {
    return RunOnServer([this, model, code] {
        const size_t index = IndexOf(model);
        if (m_nodes[index].listenFd < 0) return 0;
        VirtualFirmware& firmware = Firmware(model);
        // A sleeping device sends nothing through its receiver.
        if (ModelInfo(model).transport == Transport::Receiver && firmware.IsAsleep()) return 0;
        for (const std::vector<uint8_t>& report : firmware.NotificationReports(code))
            Broadcast(index, report);
        return 1;
    });
}

int VirtualDeviceHub::SendKeys(VirtualModel model, uint8_t modifiers, const std::vector<uint8_t>& usages) {
    constexpr size_t kKeySlots = 6;
    constexpr uint8_t kKeyboardReportId = 1;
    if (usages.size() > kKeySlots) return 0;
    const FirmwareKind kind = ModelInfo(model).firmware;
    if (kind != FirmwareKind::Keyboard && kind != FirmwareKind::Mousepad) return 0;
    std::vector<uint8_t> report{kKeyboardReportId, modifiers, 0};
    report.insert(report.end(), usages.begin(), usages.end());
    report.resize(3 + kKeySlots, 0);
    return RunOnServer([this, model, report] {
        const size_t index = IndexOf(model);
        if (m_nodes[index].listenFd < 0) return 0;
        if (ModelInfo(model).transport == Transport::Receiver && Firmware(model).IsAsleep()) return 0;
        Broadcast(index, report);
        return 1;
    });
}

int VirtualDeviceHub::NotifyProfileChange(VirtualModel model, int profile, int extra) {
    const uint16_t code = Firmware(model).ChangeProfileOnDevice(profile, extra);
    if (code == 0) return 0;
    return Notify(model, code);
}

int VirtualDeviceHub::SetBattery(VirtualModel model, uint8_t percent, uint8_t charging) {
    Firmware(model).SetBattery(percent, charging);
    return 1;
}

int VirtualDeviceHub::SetPhoneType(VirtualModel model, uint8_t phoneType) {
    Firmware(model).SetPhoneType(phoneType);
    return 1;
}

std::string VirtualDeviceHub::DefaultStateDirectory() {
    std::string base;
    // The XDG rules ignore a relative XDG_STATE_HOME.
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        return {};
    }
    return base + "/VexorUmbrelControlCenter/virtual-devices";
}

std::string VirtualDeviceHub::StatePath(FirmwareKind kind) const {
    if (m_stateDirectory.empty()) return {};
    return m_stateDirectory + "/" + FirmwareKindName(kind) + ".json";
}

void VirtualDeviceHub::SetSaveDelay(std::chrono::milliseconds delay) {
    m_saveDelayMs = static_cast<int>(std::max<std::chrono::milliseconds::rep>(delay.count(), 0));
}

std::vector<std::string> VirtualDeviceHub::StateProblems() const {
    std::lock_guard lock(m_problemMutex);
    return m_stateProblems;
}

void VirtualDeviceHub::ReportStateProblem(const std::string& problem) {
    std::fprintf(stderr, "virtual devices: %s\n", problem.c_str());
    std::lock_guard lock(m_problemMutex);
    m_stateProblems.push_back(problem);
}

int VirtualDeviceHub::UseStateDirectory(const std::string& directory, bool factoryReset) {
    if (directory.empty()) return 0;
    return RunOnServer([this, directory, factoryReset] {
        if (MakeDirectories(directory) != 1) {
            ReportStateProblem("cannot make the state folder " + directory + "; device memory is not kept");
            return 0;
        }
        m_stateDirectory = directory;
        for (size_t index = 0; index < kFirmwareKindCount; ++index) {
            const auto kind = static_cast<FirmwareKind>(index);
            VirtualFirmware& firmware = *m_firmware[index];
            StateSlot& slot = m_stateSlots[index];
            slot = {};
            const std::string path = StatePath(kind);
            if (factoryReset) {
                firmware.ResetToFactory();
                SaveState(kind);
                continue;
            }
            std::string problem;
            const std::optional<std::string> text = ReadStateFile(path, problem);
            FirmwareMemory memory;
            if (text && ParseFirmwareMemory(*text, kind, memory, problem))
                problem = firmware.RestoreMemory(memory);
            if (!problem.empty()) {
                // Kept aside rather than overwritten by the next save: what was in it is not lost,
                // and the next start does not report it again.
                const std::string aside = path + ".corrupt";
                const bool moved = std::rename(path.c_str(), aside.c_str()) == 0;
                ReportStateProblem(path + ": " + problem + "; the " + FirmwareKindName(kind) +
                                   " starts from factory memory" +
                                   (moved ? " (file kept as " + aside + ")" : ""));
            }
            slot.savedGeneration = firmware.MemoryGeneration();
        }
        return 1;
    });
}

int VirtualDeviceHub::SaveState(FirmwareKind kind) {
    const size_t index = static_cast<size_t>(kind);
    StateSlot& slot = m_stateSlots[index];
    const VirtualFirmware& firmware = *m_firmware[index];
    // The generation is taken first: a change made while the copy is taken shows as a newer
    // generation and is saved again.
    const uint64_t generation = firmware.MemoryGeneration();
    const std::string path = StatePath(kind);
    const bool written = WriteFileAtomically(path, FirmwareMemoryText(firmware.Memory()));
    slot.savedGeneration = generation;
    slot.pending = false;
    if (!written && !slot.writeFailureReported) {
        slot.writeFailureReported = true;
        ReportStateProblem("cannot write " + path + ": " + std::strerror(errno) +
                           "; the device's memory is not kept");
    }
    if (written) slot.writeFailureReported = false;
    return written ? 1 : 0;
}

int VirtualDeviceHub::SaveChangedState(bool all) {
    const auto now = std::chrono::steady_clock::now();
    const auto delay = std::chrono::milliseconds(m_saveDelayMs.load());
    int next = -1;
    m_lastSaveFailed = false;
    for (size_t index = 0; index < kFirmwareKindCount; ++index) {
        StateSlot& slot = m_stateSlots[index];
        if (m_firmware[index]->MemoryGeneration() == slot.savedGeneration) continue;
        if (!slot.pending) {
            slot.pending = true;
            slot.changedAt = now;
        }
        const auto due = slot.changedAt + delay;
        if (all || due <= now) {
            if (SaveState(static_cast<FirmwareKind>(index)) != 1) m_lastSaveFailed = true;
            continue;
        }
        const int wait = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(due - now).count());
        next = next < 0 ? wait : std::min(next, wait);
    }
    return next;
}

int VirtualDeviceHub::FlushState() {
    return RunOnServer([this] {
        if (m_stateDirectory.empty()) return 0;
        SaveChangedState(true);
        return m_lastSaveFailed ? 0 : 1;
    });
}

int VirtualDeviceHub::FactoryReset(FirmwareKind kind) {
    m_firmware[static_cast<size_t>(kind)]->ResetToFactory();
    return RunOnServer([this, kind] {
        int result = 1;
        if (!m_stateDirectory.empty() && SaveState(kind) != 1) result = 0;
        for (const VirtualModelInfo& info : VirtualModels()) {
            if (info.firmware == kind && m_nodes[IndexOf(info.model)].listenFd >= 0)
                Notify(info.model, kRereadCode);
        }
        return result;
    });
}

int VirtualDeviceHub::FactoryResetAll() {
    int result = 1;
    for (size_t index = 0; index < kFirmwareKindCount; ++index) {
        if (FactoryReset(static_cast<FirmwareKind>(index)) != 1) result = 0;
    }
    return result;
}

VirtualFirmware& VirtualDeviceHub::Firmware(VirtualModel model) {
    return *m_firmware[static_cast<size_t>(ModelInfo(model).firmware)];
}

int VirtualDeviceHub::SetTrace(const std::string& path) {
    return m_trace.Open(path);
}

int VirtualDeviceHub::EnableUhid() {
    if (!UhidDevice::Available()) return 0;
    return RunOnServer([this] {
        m_uhidEnabled = true;
        int result = 1;
        for (size_t i = 0; i < m_nodes.size(); ++i) {
            Node& node = m_nodes[i];
            if (node.listenFd < 0 || node.uhid) continue;
            node.uhid = std::make_unique<UhidDevice>();
            if (node.uhid->Create(VirtualModels()[i].model) != 1) {
                node.uhid.reset();
                result = 0;
            }
        }
        return result;
    });
}

std::string VirtualDeviceHub::NodePath(VirtualModel model) const {
    return m_directory + "/" + std::string(ModelInfo(model).nodeName);
}

std::string VirtualDeviceHub::SocketPath(VirtualModel model) const {
    return NodePath(model) + ".sock";
}

std::string VirtualDeviceHub::RecordPath(VirtualModel model) const {
    return NodePath(model) + ".node";
}

std::string VirtualDeviceHub::LinkPath(VirtualModel model, int collection) const {
    const VirtualModelInfo& info = ModelInfo(model);
    char identity[64];
    if (collection > 0) {
        std::snprintf(identity, sizeof identity, "hid#vid_%04x&pid_%04x&mi_%02x&col%02x#", info.vendor,
                      info.product, info.interfaceNumber, collection);
    } else {
        std::snprintf(identity, sizeof identity, "hid#vid_%04x&pid_%04x&mi_%02x#", info.vendor, info.product,
                      info.interfaceNumber);
    }
    return std::string(identity) + "virtual:" + NodePath(model);
}

}  // namespace vx::emulator
