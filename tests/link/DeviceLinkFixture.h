#pragma once
// A scripted device for the command-channel tests: one virtual node with the vendor command
// collection (report id 4, 64-byte reports), a responder that answers each request frame with any
// number of replies, and a log of what the host sent.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/CommandFrame.h"
#include "link/DeviceLink.h"

namespace vxtest {
class VirtualNodePlayer;
}

// What the device does with one request.
struct Response {
    std::vector<vx::link::Frame> replies;
    std::chrono::milliseconds delay{0};  // before the replies go out
    bool unplug = false;                 // after the replies (if any)
};

class ScriptedDevice {
public:
    using Responder = std::function<Response(const vx::link::Frame& request, size_t index)>;

    ScriptedDevice(const std::string& name, uint16_t productId);
    ~ScriptedDevice();

    // Path of the command collection, as enumeration lists it.
    const std::string& CommandPath() const { return m_path; }
    void SetResponder(Responder responder);
    std::vector<vx::link::Frame> Requests() const;
    size_t RequestCount() const;
    void Unplug();

    // Answers like a small firmware: echo, status 0, reads served from and writes stored into one
    // memory per command family.
    Response MemoryResponse(const vx::link::Frame& request);
    std::vector<uint8_t>& Memory(vx::link::Command command);

private:
    void OnReport(const std::vector<uint8_t>& report);

    std::unique_ptr<vxtest::VirtualNodePlayer> m_player;
    std::string m_path;
    mutable std::mutex m_mutex;
    Responder m_responder;
    std::vector<vx::link::Frame> m_requests;
    std::array<std::vector<uint8_t>, 256> m_memories;
    std::thread m_unplugThread;
};

// A reply echoing request's command and offset with a status byte and payload.
vx::link::Frame ReplyTo(const vx::link::Frame& request, uint8_t status = 0, const std::vector<uint8_t>& payload = {});
// A reply carrying another command code (a stale answer, or the receiver's 0xAA).
vx::link::Frame ReplyWithCommand(uint8_t command, uint8_t status = 0);

class DeviceLinkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Publishes a device, opens the link of the given connection and sets the mode as discovery does.
    void Connect(bool wireless);

    std::string m_dir;
    std::unique_ptr<ScriptedDevice> m_device;
    vx::link::DeviceLink m_link;
};

inline uint16_t FrameOffset(const vx::link::Frame& frame) {
    return static_cast<uint16_t>(frame[vx::link::kFrameOffsetLow] | (frame[vx::link::kFrameOffsetHigh] << 8));
}
