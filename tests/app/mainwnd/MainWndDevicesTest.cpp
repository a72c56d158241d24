// The running window against virtual devices: what the user sees when devices come and go, with
// the real discovery thread, page binding, selector timers and device pages.
#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>

#include "DeviceWindowFixture.h"
#include "app/ControlCenterBus.h"
#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "app/RegisteredMessages.h"
#include "devices/TavimondUSBDevice.h"
#include "emulator/ReportDescriptors.h"
#include "emulator/VirtualFirmware.h"
#include "link/DeviceCatalog.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"

using vx::emulator::FirmwareKind;
using vx::emulator::Transport;
using vx::emulator::VirtualFirmware;
using vx::emulator::ReportDescriptor;
using vx::link::DeviceCatalog;
using vx::link::DeviceClass;
using vx::link::DeviceModel;

using journeys::Device;
using journeys::JourneyDevices;
using vx::app::CControlCenterBus;
using vx::app::CMainWnd;
using vx::app::WM_POWERBROADCAST;
using vx::app::kPowerResume;
using vx::app::kPowerSuspend;
namespace registered_messages = vx::app::registered_messages;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CTabLayoutUI;
using vx::widgets::CWindowMessages;
namespace ui = vx::widgets::ui;
using vx::app::CDeviceOptionUI;
using vx::devices::CTavimondUSBDevice;

namespace {

TEST_F(DeviceWindowTest, WithoutDevicesTheNoticeShowsAndTheMouseAndKeyboardPagesExist) {
    EXPECT_TRUE(m_wnd->isVisible());  // shown once the first scan finished
    EXPECT_TRUE(NoDeviceNoticeShown());
    ASSERT_NE(MousePage(), nullptr);
    ASSERT_NE(KeyboardPage(), nullptr);
    EXPECT_NE(MousePage()->GetPage(), nullptr);
    EXPECT_NE(KeyboardPage()->GetPage(), nullptr);
    EXPECT_FALSE(EntryShown(MousePage()));
    EXPECT_FALSE(EntryShown(KeyboardPage()));
    EXPECT_EQ(m_wnd->Selector().CountConnected(), 0);
    // Mouse first, then keyboard: their kind index is their entry position.
    EXPECT_EQ(m_wnd->Selector().IndexOf(EntryOf(MousePage())), 0);
    EXPECT_EQ(m_wnd->Selector().IndexOf(EntryOf(KeyboardPage())), 1);
    EXPECT_TRUE(m_wnd->Pages()->MousePads().empty());
}

TEST_F(DeviceWindowTest, APluggedKeyboardIsBoundConnectedAndShown) {
    CTavimondUSBDevice* keyboard = KeyboardPage();
    ASSERT_EQ(m_hub->Plug(Device::KeyboardWired), 1);
    ASSERT_TRUE(WaitUntil([&] { return EntryShown(keyboard); }, 1000 * kSlowdown));
    EXPECT_TRUE(Bound(keyboard));
    EXPECT_FALSE(keyboard->IsWireless());
    EXPECT_FALSE(NoDeviceNoticeShown());
    // The only visible entry is selected and its page is the one shown.
    CDeviceOptionUI* entry = EntryOf(keyboard);
    EXPECT_TRUE(entry->IsSelected());
    auto* pages = m_wnd->GetPaintManager().FindControl<CTabLayoutUI>("device_switch");
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->currentWidget(), keyboard->GetPage());

    // The start-up timer runs the connection sequence: the capability record is read, the
    // lighting thread runs and the frame timer paints the page.
    ASSERT_TRUE(WaitUntil([&] { return keyboard->GetDeviceInfo().KeySlots() > 0; }, 3000 * kSlowdown));
    EXPECT_TRUE(WaitUntil([&] { return keyboard->LightingThreadRunning(); }, 2000 * kSlowdown));
    EXPECT_TRUE(m_wnd->GetPaintManager().HasTimer(entry, CDeviceOptionUI::kTimerFrame));
    // Its notification interface was handed over too.
    EXPECT_TRUE(WaitUntil([&] { return keyboard->IsNotifyOpen(false); }, 1000 * kSlowdown));
    EXPECT_FALSE(EntryShown(MousePage()));
}

TEST_F(DeviceWindowTest, UnpluggingHidesTheEntryQuicklyAndKeepsThePage) {
    CTavimondUSBDevice* keyboard = KeyboardPage();
    ASSERT_EQ(m_hub->Plug(Device::KeyboardWired), 1);
    ASSERT_TRUE(WaitUntil([&] { return EntryShown(keyboard); }, 1000 * kSlowdown));
    ASSERT_TRUE(WaitUntil([&] { return keyboard->GetDeviceInfo().KeySlots() > 0; }, 3000 * kSlowdown));

    ASSERT_EQ(m_hub->Unplug(Device::KeyboardWired), 1);
    const int hiddenAfter = TimeUntil([&] { return !EntryShown(keyboard); }, 1000 * kSlowdown);
    ASSERT_GE(hiddenAfter, 0);
    EXPECT_LE(hiddenAfter, 200 * kSlowdown) << "the presence check runs every 100 ms";
    EXPECT_FALSE(Bound(keyboard));
    EXPECT_TRUE(NoDeviceNoticeShown());
    // The page and its state stay; the frame timer stopped with the link.
    EXPECT_EQ(KeyboardPage(), keyboard);
    EXPECT_EQ(m_wnd->Pages()->Keyboards().size(), 1u);
    EXPECT_TRUE(WaitUntil(
        [&] { return !m_wnd->GetPaintManager().HasTimer(EntryOf(keyboard), CDeviceOptionUI::kTimerFrame); },
        500 * kSlowdown));

    // Plugged again, the same page is bound again.
    ASSERT_EQ(m_hub->Plug(Device::KeyboardWired), 1);
    ASSERT_TRUE(WaitUntil([&] { return EntryShown(keyboard); }, 1000 * kSlowdown));
    EXPECT_EQ(m_wnd->Pages()->Keyboards().size(), 1u);
    EXPECT_TRUE(Bound(keyboard));
}

TEST_F(DeviceWindowTest, TheCableTakesOverFromTheReceiverAndGivesBackToIt) {
    CTavimondUSBDevice* mouse = MousePage();
    ASSERT_EQ(m_hub->Plug(Device::MouseReceiver), 1);
    // Through the receiver the entry appears once the start-up timer found the mouse awake.
    ASSERT_TRUE(WaitUntil([&] { return EntryShown(mouse); }, 3000 * kSlowdown));
    EXPECT_TRUE(mouse->IsWireless());
    EXPECT_TRUE(Bound(mouse));

    ASSERT_EQ(m_hub->Plug(Device::MouseWired), 1);
    ASSERT_TRUE(WaitUntil([&] { return Bound(mouse) && !mouse->IsWireless(); }, 1000 * kSlowdown));
    EXPECT_TRUE(EntryShown(mouse));
    EXPECT_EQ(m_wnd->Pages()->Mice().size(), 1u);
    EXPECT_EQ(m_wnd->Selector().CountConnected(), 1);  // one mouse, one entry

    ASSERT_EQ(m_hub->Unplug(Device::MouseWired), 1);
    ASSERT_TRUE(WaitUntil([&] { return Bound(mouse) && mouse->IsWireless(); }, 1000 * kSlowdown));
    EXPECT_TRUE(EntryShown(mouse));
    EXPECT_EQ(m_wnd->Selector().CountConnected(), 1);
    // And it keeps working through the receiver: it answers there.
    EXPECT_TRUE(mouse->CommandLink().QueryWirelessDevice());

    // Plugging the receiver while the cable serves the mouse changes nothing.
    ASSERT_EQ(m_hub->Plug(Device::MouseWired), 1);
    ASSERT_TRUE(WaitUntil([&] { return !mouse->IsWireless(); }, 1000 * kSlowdown));
    ASSERT_EQ(m_hub->Unplug(Device::MouseReceiver), 1);
    vxtest::Pump(300);
    EXPECT_FALSE(mouse->IsWireless());
    EXPECT_TRUE(Bound(mouse));
    EXPECT_TRUE(EntryShown(mouse));
}

TEST_F(DeviceWindowTest, TheMouseOnItsReceiverShowsItsBatteryAndWirelessMark) {
    CTavimondUSBDevice* mouse = MousePage();
    ASSERT_EQ(m_hub->SetBattery(Device::MouseReceiver, 63, 2), 1);
    ASSERT_EQ(m_hub->Plug(Device::MouseReceiver), 1);
    ASSERT_TRUE(WaitUntil([&] { return EntryShown(mouse); }, 3000 * kSlowdown));
    QWidget* indicator = mouse->GetPowerIndicator();
    ASSERT_NE(indicator, nullptr);
    QWidget* value = CPaintManagerUI::FindSubControlByName(indicator, "device_power_value");
    QWidget* wireless = CPaintManagerUI::FindSubControlByName(indicator, "device_wuxian_logo");
    // The power timer reads the battery 50 ms after the connection sequence.
    EXPECT_TRUE(WaitUntil([&] { return ui::GetText(value) == "63%"; }, 2000 * kSlowdown))
        << ui::GetText(value).toStdString();
    EXPECT_TRUE(ui::IsVisible(wireless));
    // The selected mouse entry shows its indicator in the power tabs.
    auto* powerTabs = m_wnd->GetPaintManager().FindControl<CTabLayoutUI>("device_power_switch");
    ASSERT_NE(powerTabs, nullptr);
    EXPECT_EQ(powerTabs->currentWidget(), indicator);
    EXPECT_TRUE(ui::IsVisible(powerTabs));
}

TEST_F(DeviceWindowTest, AReceiverWhoseMouseSleepsShowsNoEntryUntilTheMouseWakes) {
    CTavimondUSBDevice* mouse = MousePage();
    ASSERT_EQ(m_hub->SetAsleep(Device::MouseReceiver, true), 1);
    ASSERT_EQ(m_hub->Plug(Device::MouseReceiver), 1);
    ASSERT_TRUE(WaitUntil([&] { return Bound(mouse); }, 1000 * kSlowdown));
    // The start-up timer (500 ms) asks the mouse, finds it asleep and asks again every 3 s.
    ASSERT_TRUE(WaitUntil([&] { return EntryOf(mouse)->GetRetryCount() > 0; }, 2000 * kSlowdown));
    EXPECT_FALSE(EntryShown(mouse));
    EXPECT_TRUE(NoDeviceNoticeShown());

    ASSERT_EQ(m_hub->SetAsleep(Device::MouseReceiver, false), 1);
    EXPECT_TRUE(WaitUntil([&] { return EntryShown(mouse); }, 4000 * kSlowdown));
    EXPECT_FALSE(NoDeviceNoticeShown());

    // Falling asleep again: the wireless watch hides the entry within its 3 s round.
    ASSERT_EQ(m_hub->SetAsleep(Device::MouseReceiver, true), 1);
    EXPECT_TRUE(WaitUntil([&] { return !EntryShown(mouse); }, 4500 * kSlowdown));
    EXPECT_TRUE(Bound(mouse));  // the receiver itself is still there
}

TEST_F(DeviceWindowTest, AConsumerCollectionWithoutTheVendorCollectionNeverGetsAnEntry) {
    // The wired mouse's interface with its first three collections only: the consumer
    // collection (the notification interface) is there, the command channel is not.
    vxtest::VirtualNodeConfig node;
    node.name = "mouse-without-vendor";
    node.vendor = 0x320F;
    node.product = 0x221C;
    node.interfaceNumber = 1;
    node.descriptor = JourneyDevices::MouseDescriptorWithoutVendor();
    ASSERT_FALSE(node.descriptor.empty());
    vxtest::VirtualNodePlayer player(m_dir.Path());
    ASSERT_TRUE(player.Publish(node));

    // The scan the record announced and the safety scan after it.
    const size_t cycles = m_wnd->Discovery()->CycleCount();
    ASSERT_TRUE(WaitUntil([&] { return m_wnd->Discovery()->CycleCount() >= cycles + 2; }, 3000 * kSlowdown));
    vxtest::Pump(700);  // past the start-up timer an entry would have used
    EXPECT_FALSE(EntryShown(MousePage()));
    EXPECT_FALSE(Bound(MousePage()));
    EXPECT_EQ(m_wnd->Selector().CountConnected(), 0);
    EXPECT_TRUE(NoDeviceNoticeShown());
    EXPECT_EQ(m_wnd->Pages()->Mice().size(), 1u);
}

TEST_F(DeviceWindowTest, ASecondStartBringsTheHiddenWindowBack) {
    m_wnd->OnMenuItem("none");  // an unknown menu item changes nothing
    ASSERT_TRUE(m_wnd->isVisible());
    CWindowMessages::PostMessage(m_wnd->GetHWND(), CMainWnd::WM_TRAY_NOTIFY, 0, CMainWnd::kTrayLeftUp);
    ASSERT_TRUE(WaitUntil([&] { return !m_wnd->isVisible(); }, 500));
    // A second start reaches the running program through its bus object, which posts the
    // wake-up with lParam 1 to the window.
    CControlCenterBus bus;
    bus.SetTarget(m_wnd->GetHWND());
    ASSERT_TRUE(bus.PostMessage(registered_messages::kProductName, 0, 1));
    EXPECT_TRUE(WaitUntil([&] { return m_wnd->isVisible(); }, 500));
    EXPECT_TRUE(NoDeviceNoticeShown());
}

TEST_F(DeviceWindowTest, DeviceChangesDuringSleepAreHandledOnResume) {
    CTavimondUSBDevice* keyboard = KeyboardPage();
    CWindowMessages::SendMessage(m_wnd->GetHWND(), WM_POWERBROADCAST, kPowerSuspend, 0);
    EXPECT_FALSE(m_wnd->IsAwake());
    ASSERT_EQ(m_hub->Plug(Device::KeyboardWired), 1);
    const size_t cycles = m_wnd->Discovery()->CycleCount();
    ASSERT_TRUE(WaitUntil([&] { return m_wnd->Discovery()->CycleCount() >= cycles + 2; }, 3000 * kSlowdown));
    EXPECT_FALSE(Bound(keyboard));
    EXPECT_FALSE(EntryShown(keyboard));

    CWindowMessages::SendMessage(m_wnd->GetHWND(), WM_POWERBROADCAST, kPowerResume, 0);
    EXPECT_TRUE(m_wnd->IsAwake());
    EXPECT_TRUE(Bound(keyboard));
    EXPECT_TRUE(EntryShown(keyboard));
    // After resume the page runs its connection sequence again.
    EXPECT_TRUE(WaitUntil([&] { return keyboard->GetDeviceInfo().KeySlots() > 0; }, 3000 * kSlowdown));
}

TEST_F(DeviceWindowTest, ExitStopsEveryWorkerWithinItsBound) {
    ASSERT_EQ(m_hub->Plug(Device::KeyboardWired), 1);
    ASSERT_EQ(m_hub->Plug(Device::MouseWired), 1);
    ASSERT_EQ(m_hub->Plug(Device::Mousepad), 1);
    CTavimondUSBDevice* keyboard = KeyboardPage();
    CTavimondUSBDevice* mouse = MousePage();
    ASSERT_TRUE(WaitUntil([&] { return keyboard->LightingThreadRunning() && mouse->LightingThreadRunning(); },
                          4000 * kSlowdown));
    ASSERT_TRUE(WaitUntil([&] { return !m_wnd->Pages()->MousePads().empty(); }, 1000 * kSlowdown));
    ASSERT_TRUE(m_wnd->Discovery()->Running());

    QElapsedTimer timer;
    timer.start();
    m_wnd->OnMenuItem("exit");
    const qint64 took = timer.elapsed();
    EXPECT_LT(took, 1000 * kSlowdown);
    EXPECT_FALSE(m_wnd->Discovery()->Running());
    for (CTavimondUSBDevice* page : m_wnd->Pages()->Pages()) {
        EXPECT_FALSE(page->LightingThreadRunning()) << page->GetKindName();
        EXPECT_FALSE(page->IsNotifyOpen(false)) << page->GetKindName();
        EXPECT_FALSE(page->IsNotifyOpen(true)) << page->GetKindName();
        EXPECT_FALSE(Bound(page)) << page->GetKindName();
    }
    EXPECT_FALSE(m_wnd->isVisible());
    EXPECT_FALSE(m_wnd->GetTray().IsVisible());
}

// A mouse model added to the window's catalogue as one entry, with nothing else changed: the
// window gives it a page of its own with the entry's page data, binds it and runs its connection
// sequence against a mouse firmware, while the built-in mouse page stays unbound.
constexpr DeviceModel kSmallMouse{
    .kindName = "MouseMini",
    .shortName = "mouse-mini",
    .deviceClass = DeviceClass::Mouse,
    .vendorId = 0x320F,
    .productId = 0x2230,
    .pageLayout = "mousedevice.xml",
    .lightTableIndex = 1,
    .ledCount = 0x0F,
    .keyCount = 0x0B,
    .showsPower = true,
};

class NewModelWindowTest : public DeviceWindowTest {
protected:
    void BeforeCreate() override {
        std::vector<DeviceModel> models(DeviceCatalog().begin(), DeviceCatalog().end());
        models.push_back(kSmallMouse);
        m_wnd->SetDeviceModels(models);
    }
};

TEST_F(NewModelWindowTest, AModelAddedAsOneEntryGetsItsOwnBoundPage) {
    VirtualFirmware firmware(FirmwareKind::Mouse);
    vxtest::VirtualNodePlayer node(m_dir.Path());
    node.SetReplyHook([&firmware](vxtest::VirtualNodePlayer& player, const vxtest::HostMessage& message) {
        for (const std::vector<uint8_t>& reply :
             firmware.HandleOutputReport(message.report, Transport::Cable, message.type == 'S'))
            player.SendInput(reply);
    });
    vxtest::VirtualNodeConfig config;
    config.name = "mouse-mini-if1";
    config.product = kSmallMouse.productId;
    const std::span<const uint8_t> descriptor = ReportDescriptor(FirmwareKind::Mouse);
    config.descriptor.assign(descriptor.begin(), descriptor.end());
    ASSERT_TRUE(node.Publish(config));

    ASSERT_TRUE(WaitUntil([&] { return m_wnd->Pages()->Mice().size() == 2; }, 2000 * kSlowdown));
    CTavimondUSBDevice* page = m_wnd->Pages()->Mice().back();
    ASSERT_NE(page, MousePage());
    EXPECT_EQ(page->GetKindName(), "MouseMini");
    EXPECT_EQ(page->GetKindIndex(), int(DeviceCatalog().size()));
    EXPECT_EQ(page->GetLayoutPath(), QStringLiteral("XML\\DeviceXml\\mousedevice.xml"));
    EXPECT_EQ(page->GetLightTableIndex(), 1);
    EXPECT_TRUE(page->GetPowerVisible());
    EXPECT_EQ(page->GetDeviceRecord().productId, kSmallMouse.productId);
    ASSERT_TRUE(WaitUntil([&] { return EntryShown(page); }, 2000 * kSlowdown));
    EXPECT_TRUE(Bound(page));
    EXPECT_TRUE(WaitUntil([&] { return page->GetDeviceInfo().KeySlots() > 0; }, 3000 * kSlowdown));
    EXPECT_TRUE(WaitUntil([&] { return page->IsNotifyOpen(false); }, 1000 * kSlowdown));
    EXPECT_FALSE(Bound(MousePage()));
    EXPECT_FALSE(EntryShown(MousePage()));
}

}  // namespace
