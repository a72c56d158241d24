#pragma once
// Publishes the virtual devices as nodes of a virtual interface directory (docs/virtual-devices.md)
// and serves every connection to them from one thread.
//
// Usable in-process by any test:
//
//     VirtualDeviceHub hub(dir);
//     hub.Plug(VirtualModel::KeyboardWired);
//     hub.Notify(VirtualModel::KeyboardWired, 0x401);
//     hub.Firmware(VirtualModel::KeyboardWired).ConfigBlock(0);
//
// All operations are thread-safe and return once the server thread has carried them out (a node
// is listening and its record is in place after Plug; the record is gone and every connection is
// closed after Unplug; the reports are sent after Notify). Status codes: 1 success, 0 failure.
//
// The keyboard on its cable and behind its receiver is one keyboard: both nodes are served by the
// same firmware, so settings written through one are read back through the other. The same holds
// for the mouse. Sleep is a state of that firmware that only the receiver node shows.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/ProtocolTrace.h"
#include "emulator/VirtualFirmware.h"
#include "emulator/VirtualModel.h"

namespace vx::emulator {

class UhidDevice;

class VirtualDeviceHub {
public:
    // directory: the virtual interface directory (created when missing). The environment
    // variable VX_EMULATOR_TRACE, when set, opens a protocol trace.
    explicit VirtualDeviceHub(std::string directory = DefaultDirectory());
    ~VirtualDeviceHub();
    VirtualDeviceHub(const VirtualDeviceHub&) = delete;
    VirtualDeviceHub& operator=(const VirtualDeviceHub&) = delete;

    // $VX_VIRTUAL_HID_DIR, else $XDG_RUNTIME_DIR/vexor-virtual-hid, else /tmp/vexor-virtual-hid-<uid>.
    static std::string DefaultDirectory();
    const std::string& Directory() const { return m_directory; }

    int Plug(VirtualModel model);
    int Unplug(VirtualModel model);
    int PlugAll();
    void UnplugAll();
    bool IsPlugged(VirtualModel model);
    size_t ConnectionCount(VirtualModel model);

    // Puts the device to sleep (its receiver answers 0xAA) or wakes it.
    int SetAsleep(VirtualModel model, bool asleep);
    // The device stops answering commands (every transaction times out) or answers again.
    int SetUnresponsive(VirtualModel model, bool unresponsive);
    // Sends a notification code (0x401, 0x402, ...) on the node's consumer collection.
    int Notify(VirtualModel model, uint16_t code);
    // Keys held on the device, as its keyboard collection reports them (report 1: modifier
    // bits, a reserved byte, up to six HID keyboard usages); an empty list releases every key.
    // 0 for a device without a keyboard collection of its own, or more than six keys.
    int SendKeys(VirtualModel model, uint8_t modifiers, const std::vector<uint8_t>& usages);
    // A profile change made on the device (0x10xx, or 0x11xx with extra in bits 4-7).
    int NotifyProfileChange(VirtualModel model, int profile, int extra = -1);
    int SetBattery(VirtualModel model, uint8_t percent, uint8_t charging = 0);
    // Status byte 5: the phone on the mousepad's charger (1 iPhone, 2 Samsung, 3 other, 0 none).
    int SetPhoneType(VirtualModel model, uint8_t phoneType);

    VirtualFirmware& Firmware(VirtualModel model);

    // Device memory kept across runs, as a real device keeps it across reconnects: the memory of
    // each device (FirmwareMemory.h) lives in DIR/<device>.json. Off until this is called, so an
    // in-process hub of a test starts from factory memory and leaves no file behind.
    // Loads every device's file now (factory memory when the file is missing; a file that cannot
    // be used is reported once on standard error and in StateProblems, moved aside to
    // <device>.json.corrupt, and the device starts from factory memory); factoryReset ignores the
    // files and writes factory memory into them. From then on a change of a device's memory is
    // written (temporary file, then rename) within SaveDelay, and every unsaved change when the
    // hub stops or FlushState is called. 1, or 0 when DIR cannot be made (persistence stays off).
    int UseStateDirectory(const std::string& directory, bool factoryReset = false);
    const std::string& StateDirectory() const { return m_stateDirectory; }
    std::string StatePath(FirmwareKind kind) const;
    // $XDG_STATE_HOME/VexorUmbrelControlCenter/virtual-devices (XDG_STATE_HOME defaulting to
    // ~/.local/state); empty without a home folder.
    static std::string DefaultStateDirectory();
    void SetSaveDelay(std::chrono::milliseconds delay);
    // Writes every unsaved change now. 1 when every device's file is current.
    int FlushState();
    std::vector<std::string> StateProblems() const;

    // Factory memory for one device (all its nodes) or every device; written at once when state
    // is kept, and every plugged node of the device asks the program to reread its settings
    // (0x401), as after a reset made on the device itself.
    int FactoryReset(FirmwareKind kind);
    int FactoryResetAll();

    // Protocol trace of every report sent and received; an empty path stops it.
    int SetTrace(const std::string& path);

    // Also publish plugged devices as real hidraw nodes through /dev/uhid. 0 when unavailable.
    int EnableUhid();

    std::string NodePath(VirtualModel model) const;    // DIR/NAME
    std::string SocketPath(VirtualModel model) const;  // DIR/NAME.sock
    std::string RecordPath(VirtualModel model) const;  // DIR/NAME.node
    // Device path of a collection of the node as the program's links name it (0: no "&col").
    std::string LinkPath(VirtualModel model, int collection) const;

private:
    struct Node {
        int listenFd = -1;
        std::vector<int> connections;
        std::unique_ptr<UhidDevice> uhid;
    };

    int RunOnServer(std::function<int()> task);
    void ServerLoop();
    void RunTasks();
    void Accept(size_t index);
    void Receive(size_t index, int fd);
    void ReceiveUhid(size_t index);
    void CloseConnection(size_t index, int fd);
    void Broadcast(size_t index, const std::vector<uint8_t>& report);
    void HandleReport(size_t index, std::span<const uint8_t> report, bool controlPipe);
    int DoPlug(VirtualModel model);
    int DoUnplug(VirtualModel model);
    int WriteRecord(VirtualModel model) const;
    void TraceReport(VirtualModel model, std::string_view direction, std::span<const uint8_t> report);
    // Server thread (or after it ended): saves the devices whose memory changed, those whose
    // change is older than the save delay unless all is set. Returns the poll time-out until the
    // next save is due (-1: nothing waiting).
    int SaveChangedState(bool all);
    int SaveState(FirmwareKind kind);
    void ReportStateProblem(const std::string& problem);

    struct StateSlot {
        uint64_t savedGeneration = 0;
        bool pending = false;
        std::chrono::steady_clock::time_point changedAt;
        bool writeFailureReported = false;
    };

    const std::string m_directory;
    std::array<std::shared_ptr<VirtualFirmware>, kFirmwareKindCount> m_firmware;
    std::vector<Node> m_nodes;  // one per VirtualModels() entry; server thread only
    ProtocolTrace m_trace;
    bool m_uhidEnabled = false;                              // server thread only
    std::string m_stateDirectory;                            // set on the server thread before any save
    std::array<StateSlot, kFirmwareKindCount> m_stateSlots;  // server thread only
    bool m_lastSaveFailed = false;                           // server thread only
    std::atomic<int> m_saveDelayMs{500};
    mutable std::mutex m_problemMutex;
    std::vector<std::string> m_stateProblems;

    std::mutex m_taskMutex;
    std::deque<std::function<void()>> m_tasks;
    int m_wakeFd = -1;
    std::atomic<bool> m_stop{false};
    std::thread::id m_serverId;
    std::thread m_server;
};

}  // namespace vx::emulator
