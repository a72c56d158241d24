#pragma once
// A test fixture with the in-process virtual devices and command links opened to them as
// discovery opens them, for tests of the link and of the protocol classes above it.

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "emulator/VirtualDeviceHub.h"
#include "link/DeviceLink.h"
#include "VirtualNodePlayer.h"

namespace vxtest {

class EmulatorLinkTest : public ::testing::Test {
protected:
    static constexpr int kCommandCollection = 4;

    void SetUp() override { m_hub = std::make_unique<vx::emulator::VirtualDeviceHub>(m_dir.Path()); }

    void TearDown() override {
        for (auto& link : m_links) {
            link->SetConnected(false);
            std::lock_guard<std::recursive_mutex> lock(link->TransferLock());
            link->WiredLink().Close();
            link->WirelessLink().Close();
        }
        m_hub.reset();
    }

    // Plugs the model and opens its command interface as discovery does.
    vx::link::DeviceLink& Open(vx::emulator::VirtualModel model) {
        EXPECT_EQ(m_hub->Plug(model), 1);
        const bool receiver = vx::emulator::ModelInfo(model).transport == vx::emulator::Transport::Receiver;
        auto link = std::make_unique<vx::link::DeviceLink>();
        {
            std::lock_guard<std::recursive_mutex> lock(link->TransferLock());
            vx::link::HidLink& hid = receiver ? link->WirelessLink() : link->WiredLink();
            EXPECT_TRUE(hid.Open(m_hub->LinkPath(model, kCommandCollection), true, true, true, false));
        }
        link->SetConnected(true);
        link->SetLinkMode(receiver ? vx::link::kLinkModeWireless : vx::link::kLinkModeWired);
        m_links.push_back(std::move(link));
        return *m_links.back();
    }

    vx::emulator::VirtualFirmware& Firmware(vx::emulator::VirtualModel model) { return m_hub->Firmware(model); }

    ScopedTempDir m_dir;
    std::unique_ptr<vx::emulator::VirtualDeviceHub> m_hub;
    std::vector<std::unique_ptr<vx::link::DeviceLink>> m_links;
};

}  // namespace vxtest
