#include "DeviceLinkFixture.h"

#include <cstdlib>
#include <thread>

#include "support/VirtualNodePlayer.h"

using vx::link::Command;
using vx::link::Frame;
using vx::link::HidLink;
using vx::link::StoreChecksum;
using vx::link::kFrameCommand;
using vx::link::kFrameLength;
using vx::link::kFrameLengthByte;
using vx::link::kFrameOffsetHigh;
using vx::link::kFrameOffsetLow;
using vx::link::kFramePayload;
using vx::link::kFramePayloadMax;
using vx::link::kFrameReportId;
using vx::link::kFrameStatus;
using vx::link::kReplyStatusRejected;

namespace {

// Vendor collection of the command channel: report id 4, 63 data bytes each way.
const char* const kCommandDescriptor =
    "06 1C FF "  // Usage Page (vendor 0xFF1C)
    "09 92 "     // Usage (0x92)
    "A1 01 "     // Collection (Application)
    "85 04 "     //   Report ID (4)
    "15 00 "     //   Logical Minimum (0)
    "26 FF 00 "  //   Logical Maximum (255)
    "75 08 "     //   Report Size (8)
    "95 3F "     //   Report Count (63)
    "09 01 "     //   Usage (1)
    "81 02 "     //   Input (Data, Variable, Absolute)
    "09 02 "     //   Usage (2)
    "91 02 "     //   Output (Data, Variable, Absolute)
    "C0";        // End Collection

// Reads and writes of one table share its memory.
Command MemoryFamily(Command command) {
    switch (command) {
        case Command::ReadConfig:
            return Command::WriteConfig;
        case Command::ReadKeyTable:
            return Command::WriteKeyTable;
        default:
            return command;
    }
}

bool IsRead(uint8_t command) {
    switch (static_cast<Command>(command)) {
        case Command::ReadDeviceInfo:
        case Command::ReadConfig:
        case Command::ReadKeyTable:
        case Command::ReadStatus:
        case Command::ReadLedMap:
            return true;
        default:
            return false;
    }
}

std::unique_ptr<vxtest::ScopedTempDir> g_dir;

}  // namespace

Frame ReplyTo(const Frame& request, uint8_t status, const std::vector<uint8_t>& payload) {
    Frame reply{};
    reply[0] = kFrameReportId;
    reply[kFrameCommand] = request[kFrameCommand];
    reply[kFrameLengthByte] = request[kFrameLengthByte];
    reply[kFrameOffsetLow] = request[kFrameOffsetLow];
    reply[kFrameOffsetHigh] = request[kFrameOffsetHigh];
    reply[kFrameStatus] = status;
    for (size_t i = 0; i < payload.size() && i < kFramePayloadMax; ++i) reply[kFramePayload + i] = payload[i];
    StoreChecksum(reply);
    return reply;
}

Frame ReplyWithCommand(uint8_t command, uint8_t status) {
    Frame reply{};
    reply[0] = kFrameReportId;
    reply[kFrameCommand] = command;
    reply[kFrameStatus] = status;
    StoreChecksum(reply);
    return reply;
}

ScriptedDevice::ScriptedDevice(const std::string& name, uint16_t productId)
    : m_player(std::make_unique<vxtest::VirtualNodePlayer>(g_dir->Path())) {
    for (auto& memory : m_memories) memory.assign(0x10000, 0);
    m_responder = [this](const Frame& request, size_t) { return MemoryResponse(request); };

    vxtest::VirtualNodeConfig node;
    node.name = name;
    node.product = productId;
    node.descriptor = vxtest::HexBytes(kCommandDescriptor);
    m_player->SetReplyHook([this](vxtest::VirtualNodePlayer& player, const vxtest::HostMessage& message) {
        if (message.type != 'O' || message.report.empty()) return;
        Frame request{};
        std::copy_n(message.report.begin(), std::min(message.report.size(), kFrameLength), request.begin());
        Responder responder;
        size_t index = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            index = m_requests.size();
            m_requests.push_back(request);
            responder = m_responder;
        }
        const Response response = responder(request, index);
        if (response.delay.count() > 0) std::this_thread::sleep_for(response.delay);
        for (const Frame& reply : response.replies)
            player.SendInput(std::vector<uint8_t>(reply.begin(), reply.end()));
        // Unplugging waits for the player's own thread, so it cannot run on it.
        if (response.unplug && !m_unplugThread.joinable())
            m_unplugThread = std::thread([this] { m_player->Unplug(); });
    });
    if (!m_player->Publish(node)) {
        ADD_FAILURE() << "cannot publish virtual node " << name;
        return;
    }
    HidLink enumerator;
    enumerator.EnumerateInterfaces();
    for (std::string path = enumerator.NextPath(); !path.empty(); path = enumerator.NextPath()) {
        if (path.find(m_player->NodeBase()) != std::string::npos) m_path = path;
    }
    if (m_path.empty()) ADD_FAILURE() << "virtual node " << name << " not enumerated";
}

ScriptedDevice::~ScriptedDevice() {
    // Once unplugged the player runs no more hooks, so the hook's unplug thread is settled.
    m_player->Unplug();
    if (m_unplugThread.joinable()) m_unplugThread.join();
    m_player.reset();
}

void ScriptedDevice::SetResponder(Responder responder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_responder = std::move(responder);
}

std::vector<Frame> ScriptedDevice::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

size_t ScriptedDevice::RequestCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests.size();
}

void ScriptedDevice::Unplug() {
    m_player->Unplug();
}

std::vector<uint8_t>& ScriptedDevice::Memory(Command command) {
    return m_memories[static_cast<uint8_t>(MemoryFamily(command))];
}

Response ScriptedDevice::MemoryResponse(const Frame& request) {
    const uint8_t command = request[kFrameCommand];
    const size_t length = std::min<size_t>(request[kFrameLengthByte], kFramePayloadMax);
    const size_t offset = FrameOffset(request);
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<uint8_t>& memory =
        m_memories[static_cast<uint8_t>(MemoryFamily(static_cast<Command>(command)))];
    if (offset + length > memory.size()) return Response{{ReplyTo(request, kReplyStatusRejected)}};
    if (IsRead(command)) {
        return Response{{ReplyTo(
            request, 0, std::vector<uint8_t>(memory.begin() + offset, memory.begin() + offset + length))}};
    }
    std::copy_n(request.begin() + kFramePayload, length, memory.begin() + offset);
    return Response{{ReplyTo(request)}};
}

void DeviceLinkTest::SetUp() {
    // Enumeration reads the directory from the environment; set it before any thread starts.
    if (!g_dir) g_dir = std::make_unique<vxtest::ScopedTempDir>();
    setenv("VX_VIRTUAL_HID_DIR", g_dir->Path().c_str(), 1);
}

void DeviceLinkTest::TearDown() {
    m_link.SetConnected(false);
    {
        std::lock_guard<std::recursive_mutex> lock(m_link.TransferLock());
        m_link.WiredLink().Close();
        m_link.WirelessLink().Close();
    }
    m_device.reset();
}

void DeviceLinkTest::Connect(bool wireless) {
    static int serial = 0;
    const std::string name = (wireless ? "receiver-" : "cable-") + std::to_string(++serial);
    m_device = std::make_unique<ScriptedDevice>(name, wireless ? 0x5001 : 0x5055);
    ASSERT_FALSE(m_device->CommandPath().empty());
    std::lock_guard<std::recursive_mutex> lock(m_link.TransferLock());
    HidLink& link = wireless ? m_link.WirelessLink() : m_link.WiredLink();
    ASSERT_TRUE(link.Open(m_device->CommandPath(), true, true, true, false));
    m_link.SetConnected(true);
    m_link.SetLinkMode(wireless ? 2 : 1);
}
