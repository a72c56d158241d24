#pragma once
// A mouse page connected to the emulated mouse (cable or receiver) through the real links, with
// its own user data folder and a factory folder whose light-mode table maps the mouse's mode
// indexes to codes unlike the indexes, so that a block shows whether it was translated.

#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/StartUp.h"
#include "devices/TavimondMouseDevice.h"
#include "profiles/DataFolders.h"
#include "tests/devices/mouse/EmulatedMouse.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "widgets/DeviceKeyButtonUI.h"

namespace mousetest {

constexpr int kCommandCollection = 4;
constexpr int kConsumerCollection = 3;
// Device code of mouse mode index i in the test's light-mode table.
constexpr uint8_t ModeCode(int index) {
    return static_cast<uint8_t>(0x30 + index);
}

class MousePageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(vx::app::SetupResources(vxtest::RepoSkinDir())); }

    void SetUp() override {
        // Short: the emulator's socket paths must stay within the 108 bytes of a socket address.
        static int s_count = 0;
        m_root = std::filesystem::temp_directory_path() /
                 ("vxm" + std::to_string(::getpid()) + "_" + std::to_string(++s_count));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "install" / "DefaultData");
        std::filesystem::copy_file(std::filesystem::path(VX_SOURCE_DIR) / "DefaultData" / "mouse.Json",
                                   m_root / "install" / "DefaultData" / "mouse.Json");
        WriteLightTable();
        vx::profiles::SetInstallFolderOverride(m_root / "install");
        vx::profiles::SetUserDataFolderOverride(m_root / "user");
        m_hub = std::make_unique<EmulatedMouse>((m_root / "hid").string());
    }

    void TearDown() override {
        if (m_page) {
            m_page->CommandLink().SetConnected(false);
            m_page.reset();
        }
        m_hub.reset();
        vx::profiles::SetInstallFolderOverride({});
        vx::profiles::SetUserDataFolderOverride({});
        std::filesystem::remove_all(m_root);
    }

    void WriteLightTable() {
        std::string modes;
        for (int i = 0; i < 12; ++i) {
            modes += (i ? "," : "") + std::string("{\"LightName\":\"light_mode_") + std::to_string(i) +
                     "\",\"visible\":true,\"value\":" + std::to_string(ModeCode(i)) + "}";
        }
        std::ofstream(m_root / "install" / "DefaultData" / "default_light.json")
            << "{\"DefaultLightName\":[[],"
            << "[" << modes << "]]}";
    }

    // Builds the page as the main window sets one up, plugs the model and opens its command
    // interface as discovery does.
    vx::devices::CTavimondMouseDevice& Connect(vx::emulator::VirtualModel model, bool withLayout = true) {
        EXPECT_EQ(m_hub->Plug(model), 1);
        m_model = model;
        m_page = std::make_unique<vx::devices::CTavimondMouseDevice>();
        if (withLayout) m_page->SetLayoutPath(QStringLiteral("XML\\DeviceXml\\mousedevice.xml"));
        m_page->SetKeyCount(vx::devices::CTavimondMouseDevice::kButtons);
        m_page->SetLedCount(vx::devices::CTavimondMouseDevice::kLeds);
        m_page->SetKindName("mouse");
        vx::devices::DeviceIdentity identity;
        identity.typeCode = vx::devices::kTypeMouse;
        m_page->SetDeviceRecord(identity);
        m_page->SetLightTableIndex(1);
        m_page->Initialise();
        vx::link::DeviceLink& link = m_page->CommandLink();
        const bool receiver = Receiver();
        {
            std::lock_guard<std::recursive_mutex> lock(link.TransferLock());
            vx::link::HidLink& hid = receiver ? link.WirelessLink() : link.WiredLink();
            EXPECT_TRUE(hid.Open(m_hub->LinkPath(model, kCommandCollection), true, true, true, false));
        }
        link.SetConnected(true);
        link.SetLinkMode(receiver ? vx::link::kLinkModeWireless : vx::link::kLinkModeWired);
        return *m_page;
    }

    bool Receiver() const { return m_model == vx::emulator::VirtualModel::MouseReceiver; }
    EmulatedMouse& Firmware() { return *m_hub; }
    std::filesystem::path MouseFolder() const { return m_root / "user" / "mouse"; }

    // Command bytes of the frames the mouse received since the last ClearReceived.
    std::vector<uint8_t> Commands() { return m_hub->Commands(); }
    size_t CountOf(uint8_t command) {
        const auto commands = Commands();
        return static_cast<size_t>(std::count(commands.begin(), commands.end(), command));
    }

    // Processes posted messages until `done` holds or the time is up.
    template <class Pred>
    bool PumpUntil(Pred done, int timeoutMs = 3000) {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            if (done()) return true;
            vxtest::Pump(10);
        }
        return done();
    }

    std::filesystem::path m_root;
    std::unique_ptr<EmulatedMouse> m_hub;
    std::unique_ptr<vx::devices::CTavimondMouseDevice> m_page;
    vx::emulator::VirtualModel m_model = vx::emulator::VirtualModel::MouseWired;
};

}  // namespace mousetest
