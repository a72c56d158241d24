#include "DeviceWindowFixture.h"

#include <QElapsedTimer>
#include <QWidget>

#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "app/RegisteredMessages.h"
#include "app/StartUp.h"
#include "devices/TavimondUSBDevice.h"
#include "profiles/DataFolders.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"

using vx::profiles::SetUserDataFolderOverride;
using vx::app::CMainWnd;
using vx::app::SetupResources;
namespace registered_messages = vx::app::registered_messages;
using vx::discovery::DiscoveryOptions;
namespace ui = vx::widgets::ui;
using vx::app::CDeviceOptionUI;
using vx::devices::CTavimondUSBDevice;

void DeviceWindowTest::SetUp() {
    qputenv("VX_VIRTUAL_HID_DIR", m_dir.Path().c_str());
    SetUserDataFolderOverride(m_data.Path());
    ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
    ASSERT_TRUE(registered_messages::RegisterActivateMessage());
    registered_messages::RegisterGuidMessages();
    registered_messages::RegisterHookMessages();
    m_hub = std::make_unique<journeys::JourneyDevices>(m_dir.Path());
    m_wnd = std::make_unique<CMainWnd>();
    DiscoveryOptions options;
    options.useUdevMonitor = false;  // only the virtual devices of this test
    m_wnd->SetDiscoveryOptions(options);
    BeforeCreate();
    ASSERT_TRUE(
        m_wnd->Create(nullptr, CMainWnd::kTitle, 0, 0, QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight)));
    m_wnd->show();
    ASSERT_TRUE(WaitUntil([this] { return m_wnd->FirstScanDone(); }, 2000 * kSlowdown));
}

void DeviceWindowTest::TearDown() {
    if (m_wnd) m_wnd->OnMenuItem("exit");
    m_wnd.reset();
    m_hub.reset();
    qunsetenv("VX_VIRTUAL_HID_DIR");
}

bool DeviceWindowTest::WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    return TimeUntil(pred, timeoutMs) >= 0;
}

int DeviceWindowTest::TimeUntil(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (true) {
        if (pred()) return static_cast<int>(timer.elapsed());
        if (timer.elapsed() > timeoutMs) return -1;
        vxtest::Pump(1);
    }
}

CTavimondUSBDevice* DeviceWindowTest::MousePage() {
    const auto& mice = m_wnd->Pages()->Mice();
    return mice.empty() ? nullptr : mice.front();
}

CTavimondUSBDevice* DeviceWindowTest::KeyboardPage() {
    const auto& keyboards = m_wnd->Pages()->Keyboards();
    return keyboards.empty() ? nullptr : keyboards.front();
}

CDeviceOptionUI* DeviceWindowTest::EntryOf(CTavimondUSBDevice* page) {
    return m_wnd->Pages()->EntryOf(page);
}

bool DeviceWindowTest::EntryShown(CTavimondUSBDevice* page) {
    CDeviceOptionUI* entry = EntryOf(page);
    return entry && ui::IsVisible(entry);
}

bool DeviceWindowTest::Bound(CTavimondUSBDevice* page) {
    return page && page->CommandLink().IsConnected();
}

bool DeviceWindowTest::NoDeviceNoticeShown() {
    return ui::IsVisible(m_wnd->GetPaintManager().FindControl("No_device_Link"));
}
