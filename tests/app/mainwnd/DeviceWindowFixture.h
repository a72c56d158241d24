#pragma once
// The real main window against virtual devices published in a private directory: every test
// gets a fresh directory, data folder and window, and the devices are plugged and unplugged
// through the in-process device hub.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/MainWnd.h"
#include "tests/journeys/support/JourneyDevices.h"
#include "tests/link/support/VirtualNodePlayer.h"

namespace vx::app { class CDeviceOptionUI; }
namespace vx::devices { class CTavimondUSBDevice; }

class DeviceWindowTest : public testing::Test {
protected:
    // Time allowed for what the window does within its 100 ms scan; the sanitizer build runs
    // several times slower.
#if defined(__SANITIZE_THREAD__)
    static constexpr int kSlowdown = 5;
#else
    static constexpr int kSlowdown = 1;
#endif

    void SetUp() override;
    void TearDown() override;
    // Runs between the window's construction and its Create.
    virtual void BeforeCreate() {}

    // Delivers the window's events until pred holds or timeoutMs passed; true when it held.
    bool WaitUntil(const std::function<bool()>& pred, int timeoutMs);
    // Milliseconds until pred held, or -1.
    int TimeUntil(const std::function<bool()>& pred, int timeoutMs);

    vx::devices::CTavimondUSBDevice* MousePage();
    vx::devices::CTavimondUSBDevice* KeyboardPage();
    vx::app::CDeviceOptionUI* EntryOf(vx::devices::CTavimondUSBDevice* page);
    bool EntryShown(vx::devices::CTavimondUSBDevice* page);
    bool Bound(vx::devices::CTavimondUSBDevice* page);
    bool NoDeviceNoticeShown();

    vxtest::ScopedTempDir m_dir;
    vxtest::ScopedTempDir m_data;
    std::unique_ptr<journeys::JourneyDevices> m_hub;
    std::unique_ptr<vx::app::CMainWnd> m_wnd;
};
