#pragma once
// What every device-page test needs: private data folders (user data and an install folder with
// the factory data), the virtual devices, a page connected the way discovery connects one, and a
// reread scheduler that records what the page asked for.

#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "devices/RereadScheduler.h"
#include "devices/TavimondUSBDevice.h"
#include "profiles/DataFolders.h"
#include "tests/devices/support/VirtualRig.h"

namespace vxtest {

class RecordingScheduler : public vx::devices::IRereadScheduler {
public:
    void ScheduleReread(int delayMs) override { delays.push_back(delayMs); }
    std::vector<int> delays;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Delivers queued Qt events until `done` holds or the time runs out; true when it held.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class PageTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "vx-devpage-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        m_install = m_root / "install";
        m_user = m_root / "user";
        std::filesystem::create_directories(m_install / "DefaultData");
        for (const auto& entry : std::filesystem::directory_iterator(VX_SOURCE_DIR "/DefaultData"))
            std::filesystem::copy(entry.path(), m_install / "DefaultData" / entry.path().filename());
        vx::profiles::SetInstallFolderOverride(m_install);
        vx::profiles::SetUserDataFolderOverride(m_user);
        m_rig = std::make_unique<VirtualRig>((m_root / "hid").string());
    }

    void TearDown() override {
        m_rig.reset();
        vx::profiles::SetInstallFolderOverride({});
        vx::profiles::SetUserDataFolderOverride({});
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }

    // Replaces the factory light-mode table of one device element (0 keyboard ... 3 headset)
    // with `count` modes whose device codes are base + index.
    void WriteModeCodes(int element, int count, int base) {
        std::string list = "[";
        for (int i = 0; i < count; ++i) {
            list += (i ? "," : "") + std::string("{\"LightName\":\"m") + std::to_string(i) +
                    "\",\"visible\":true,\"value\":" + std::to_string(base + i) + "}";
        }
        list += "]";
        std::string elements;
        for (int e = 0; e < 4; ++e) elements += (e ? "," : "") + (e == element ? list : std::string("null"));
        WriteFile(m_install / "DefaultData" / "default_light.json",
                  "{\"DefaultLightName\":[" + elements + "],\"AreaLightName\":[null,null,null,null]}");
    }

    // The set-up the main window gives a new page, then its command link opened as discovery does.
    void SetUpPage(vx::devices::CTavimondUSBDevice& page, const std::string& kind, int keys, int leds, int tableIndex,
                   uint16_t type, const QString& layout = QString()) {
        page.SetLayoutPath(layout);
        page.SetKeyCount(keys);
        page.SetLedCount(leds);
        page.SetKindIndex(tableIndex);
        page.SetProfileId("");
        page.SetKindName(kind);
        vx::devices::DeviceIdentity identity;
        identity.vendorId = 0x320F;
        identity.typeCode = type;
        page.SetDeviceRecord(identity);
        page.SetLightTableIndex(tableIndex);
        page.SetLightNamePrefix("qorin_light");
        page.Initialise();
        page.SetRereadScheduler(&m_scheduler);
    }

    bool Connect(vx::devices::CTavimondUSBDevice& page, RigModel model, bool wireless = false) {
        m_rig->Plug(model);  // a model plugged already stays as it is
        vx::link::DeviceLink& link = page.CommandLink();
        std::lock_guard<std::recursive_mutex> lock(link.TransferLock());
        vx::link::HidLink& hid = wireless ? link.WirelessLink() : link.WiredLink();
        if (!hid.Open(m_rig->CommandPath(model), true, true, true, false)) return false;
        link.SetConnected(true);
        link.SetLinkMode(wireless ? vx::link::kLinkModeWireless : vx::link::kLinkModeWired);
        return true;
    }

    static void Disconnect(vx::devices::CTavimondUSBDevice& page) {
        vx::link::DeviceLink& link = page.CommandLink();
        link.SetConnected(false);
        std::lock_guard<std::recursive_mutex> lock(link.TransferLock());
        link.WiredLink().Close();
        link.WirelessLink().Close();
    }

    std::filesystem::path m_root;
    std::filesystem::path m_install;
    std::filesystem::path m_user;
    std::unique_ptr<VirtualRig> m_rig;
    RecordingScheduler m_scheduler;
};

}  // namespace vxtest
