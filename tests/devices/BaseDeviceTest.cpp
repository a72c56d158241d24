// The device page base: binding of the page's buttons, the LED count, the function pages, the
// frame output with its stream failure rule, and the notification readers.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <QWidget>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "app/StartUp.h"
#include "devices/TavimondUSBDevice.h"
#include "devices/lighting/LightingClock.h"
#include "tests/devices/support/PageFixture.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/TabLayoutUI.h"

using vx::link::DeviceInfo;
using vx::app::SetupResources;
using vx::devices::DeviceIdentity;
using vx::devices::kTypeKeyboard;
using vx::devices::kTypeMouse;
using vx::devices::kTypeMousePad;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CTabLayoutUI;

namespace {

using vxtest::RigModel;

const QString kBindingPage = QStringLiteral(VX_SOURCE_DIR "/tests/devices/data/binding_page.xml");

// The base page with its protected parts in reach, and a stream send that takes as long as the
// test says, on a clock the test drives.
class ProbePage : public vx::devices::CTavimondUSBDevice {
public:
    ProbePage() { SetLightingClock(&clock); }
    ~ProbePage() override { StopDeviceWork(); }
    using CTavimondUSBDevice::KeyButton;
    using CTavimondUSBDevice::LightButton;

    // One frame as the selector's timer runs it: painted here, sent by the device worker.
    void Frame() {
        LightingFrame();
        EXPECT_TRUE(WaitForDeviceWork(5000));
    }

    int SendStreamFrame(std::span<const uint8_t> bytes) override {
        if (gate) gate();
        ++sends;
        sent.assign(bytes.begin(), bytes.end());
        clock.Advance(sendTakesMs);
        return sendResult;
    }

    vx::lighting::ManualLightingClock clock{1000};
    uint32_t sendTakesMs = 0;
    int sendResult = 1;
    int sends = 0;
    std::vector<uint8_t> sent;
    // Runs on the worker before each send (a device that holds the exchange).
    std::function<void()> gate;
};

void UseSoftwareMode(ProbePage& page) {
    LightInfo info;
    info.selectItem = 11;
    page.SetLightInfo(info);
}

DeviceInfo WithSlots(uint8_t slotCount) {
    std::array<uint8_t, DeviceInfo::kLength> bytes{};
    bytes[5] = slotCount;
    return DeviceInfo(bytes);
}

class BasePageTest : public vxtest::PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
    }
};

TEST_F(BasePageTest, InitialiseBindsNumberedButtonsOfTheSelectPanelOnly) {
    ProbePage page;
    page.SetLayoutPath(kBindingPage);
    page.SetKeyCount(3);
    page.SetLedCount(4);
    page.Initialise();
    ASSERT_NE(page.GetPage(), nullptr);
    QWidget* panel = page.GetPage()->findChild<QWidget*>("SelectPanel");
    ASSERT_NE(panel, nullptr);

    // key_0, key_1 and KEY_2 (any case) bound; key_9 is beyond the three keys.
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(page.KeyButton(i), nullptr) << i;
        EXPECT_EQ(page.KeyButton(i)->parentWidget(), panel);
    }
    EXPECT_EQ(page.KeyButton(2)->objectName(), "KEY_2");
    // light_0..light_3 bound from the panel, light_5 is beyond the four LEDs and the light_3
    // outside the panel is not the one bound.
    for (int i = 0; i < 4; ++i) {
        CDeviceKeyButtonUI* led = page.LightButton(i);
        ASSERT_NE(led, nullptr) << i;
        EXPECT_EQ(led->parentWidget(), panel) << i;
        EXPECT_TRUE(led->IsLit());
        EXPECT_EQ(led->GetLightColor(), 0xFFFFFFu);
        EXPECT_EQ(led->GetLightBrightness(), 255);
    }
    EXPECT_EQ(page.LightButton(4), nullptr);
    QWidget* five = panel->findChild<QWidget*>("light_5");
    ASSERT_NE(five, nullptr);
    EXPECT_FALSE(static_cast<CDeviceKeyButtonUI*>(five)->IsLit());
}

TEST_F(BasePageTest, EmptyLayoutPathEmptiesTheButtonArrays) {
    ProbePage page;
    page.SetKeyCount(3);
    page.SetLedCount(4);
    page.Initialise();
    EXPECT_EQ(page.GetPage(), nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(page.LightButton(i), nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(page.KeyButton(i), nullptr);
}

TEST_F(BasePageTest, LedCountClearsEntriesEvenWhenUnchanged) {
    ProbePage page;
    page.SetLedCount(4);
    page.SetLed(2, 0x80112233u);
    page.SetLed(-1, 0x01010101u);
    page.SetLed(4, 0x01010101u);
    EXPECT_EQ(page.GetLed(2), 0x80112233u);
    EXPECT_EQ(page.GetLed(4), 0u);
    EXPECT_EQ(page.GetLed(-3), 0u);
    page.SetLedCount(4);
    EXPECT_EQ(page.GetLedCount(), 4);
    EXPECT_EQ(page.GetLed(2), 0u);
    page.SetLedCount(171);
    page.SetLed(170, 0xFF0000FFu);
    EXPECT_EQ(page.GetLed(170), 0xFF0000FFu);
}

TEST_F(BasePageTest, FunctionPagesSelectTheirTabs) {
    struct Case {
        uint16_t type;
        int page;
        int function;
        int keyFunction;
    };
    // Key-function tab -1: left where the previous call put it (started from 0 each time).
    const Case cases[] = {
        {kTypeKeyboard, 2, 0, 1}, {kTypeKeyboard, 6, 0, 1}, {kTypeKeyboard, 3, 1, 0},
        {kTypeKeyboard, 8, 1, 0}, {kTypeKeyboard, 4, 3, 0}, {kTypeMouse, 4, 3, 0},
        {kTypeMousePad, 4, 0, 2}, {kTypeKeyboard, 7, 0, 2}, {kTypeKeyboard, 5, 2, 0},
        {kTypeKeyboard, 1, 0, 0}, {kTypeKeyboard, 9, 0, 0},
    };
    for (const Case& c : cases) {
        ProbePage page;
        page.SetLayoutPath(kBindingPage);
        DeviceIdentity identity;
        identity.typeCode = c.type;
        page.SetDeviceRecord(identity);
        page.Initialise();
        auto* function = page.GetPage()->findChild<CTabLayoutUI*>("device_function_switch");
        auto* keyFunction = page.GetPage()->findChild<CTabLayoutUI*>("device_key_function_switch");
        ASSERT_NE(function, nullptr);
        ASSERT_NE(keyFunction, nullptr);
        page.SetFunctionPage(c.page);
        EXPECT_EQ(page.GetFunctionPage(), c.page);
        EXPECT_EQ(function->GetCurSel(), c.function) << "type " << c.type << " page " << c.page;
        EXPECT_EQ(keyFunction->GetCurSel(), c.keyFunction) << "type " << c.type << " page " << c.page;
    }
}

TEST_F(BasePageTest, FramePaintsTheLedButtonsAndStreamsOnlyInTheSoftwareMode) {
    ProbePage page;
    page.SetLayoutPath(kBindingPage);
    page.SetLedCount(4);
    page.Initialise();
    page.Protocol().SetCapability(WithSlots(4));
    page.SetLed(1, vx::lighting::LedEntry{0x10, 0x20, 0x30, 0x80}.Pack());
    page.Frame();
    EXPECT_EQ(page.LightButton(1)->GetLightColor(), 0x102030u);
    EXPECT_EQ(page.LightButton(1)->GetLightBrightness(), 0x80);
    EXPECT_EQ(page.sends, 0);  // mode 0 is not streamed

    UseSoftwareMode(page);
    page.Frame();
    ASSERT_EQ(page.sends, 1);
    ASSERT_EQ(page.sent.size(), 12u);
    EXPECT_EQ(page.sent[3], 0x10 * 0x80 / 256);
    EXPECT_EQ(page.sent[4], 0x20 * 0x80 / 256);
    EXPECT_EQ(page.sent[5], 0x30 * 0x80 / 256);

    page.SetSoftwareLighting(false);
    page.SetLed(1, 0xFFFFFFFFu);
    page.Frame();
    EXPECT_EQ(page.sends, 1);
    EXPECT_EQ(page.LightButton(1)->GetLightColor(), 0x102030u);
}

TEST_F(BasePageTest, LedOneSeventyIsShownButNeverSent) {
    ProbePage page;
    page.SetLedCount(171);
    page.Protocol().SetCapability(WithSlots(170));
    UseSoftwareMode(page);
    page.SetLed(170, 0xFFFFFFFFu);
    page.Frame();
    ASSERT_EQ(page.sends, 1);
    ASSERT_EQ(page.sent.size(), 510u);
    EXPECT_TRUE(std::all_of(page.sent.begin(), page.sent.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(BasePageTest, TwoSlowFramesStopTheStreamAndAFastOneClearsTheCount) {
    ProbePage page;
    page.SetLedCount(4);
    page.Protocol().SetCapability(WithSlots(4));
    UseSoftwareMode(page);

    page.sendTakesMs = 600;
    page.Frame();
    EXPECT_EQ(page.StreamRule().SlowFrames(false), 1u);
    EXPECT_FALSE(page.StreamRule().Stopped(false));
    page.sendTakesMs = 10;
    page.Frame();
    EXPECT_EQ(page.StreamRule().SlowFrames(false), 0u);
    page.sendTakesMs = 600;
    page.Frame();
    page.Frame();
    EXPECT_TRUE(page.StreamRule().Stopped(false));
    EXPECT_EQ(page.StreamRule().SlowFrames(false), 0u);
    EXPECT_EQ(page.sends, 4);

    // Stopped: nothing is sent, and the frame counts as sent (no pause).
    page.Frame();
    page.Frame();
    EXPECT_EQ(page.sends, 4);
    EXPECT_FALSE(page.LastFrameFailed());
    // The receiver's stream is kept apart and still runs.
    EXPECT_FALSE(page.StreamRule().Stopped(true));
}

// The window hands frames over and goes on: while the device holds one exchange, newer frames
// replace the one waiting instead of piling up, and the newest goes out when the device answers.
TEST_F(BasePageTest, FramesForABusyDeviceReplaceEachOtherAndNeverHoldTheWindow) {
    ProbePage page;
    page.SetLedCount(4);
    page.Protocol().SetCapability(WithSlots(4));
    UseSoftwareMode(page);
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<bool> held{false};
    page.gate = [&] {
        held.store(true);
        std::unique_lock lock(mutex);
        opened.wait(lock, [&] { return open; });
    };
    page.SetLed(0, vx::lighting::LedEntry{0x10, 0, 0, 0xFF}.Pack());
    page.LightingFrame();
    const auto start = std::chrono::steady_clock::now();
    while (!held.load() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(held.load()) << "the worker never took the first frame";

    const auto handing = std::chrono::steady_clock::now();
    for (uint8_t red : {0x20, 0x30, 0x40}) {
        page.SetLed(0, vx::lighting::LedEntry{red, 0, 0, 0xFF}.Pack());
        page.LightingFrame();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - handing, std::chrono::milliseconds(50))
        << "the window waited for the device";
    EXPECT_FALSE(page.WaitForDeviceWork(20)) << "the held exchange did not hold the worker";
    {
        std::lock_guard lock(mutex);
        open = true;
    }
    opened.notify_all();
    ASSERT_TRUE(page.WaitForDeviceWork(5000));
    EXPECT_EQ(page.sends, 2) << "frames for a busy device queued up";
    ASSERT_EQ(page.sent.size(), 12u);
    EXPECT_EQ(page.sent[0], 0x40 * 0xFF / 256) << "not the newest frame";
    EXPECT_EQ(page.Worker().Dropped(), 2u);
}

TEST_F(BasePageTest, FailedFramePausesTheStreamFor200Ms) {
    ProbePage page;
    page.SetLedCount(4);
    page.Protocol().SetCapability(WithSlots(4));
    UseSoftwareMode(page);
    page.sendResult = 0;
    page.Frame();
    EXPECT_TRUE(page.LastFrameFailed());
    EXPECT_EQ(page.sends, 1);
    page.clock.Advance(150);
    page.Frame();
    EXPECT_EQ(page.sends, 1);
    page.clock.Advance(60);
    page.sendResult = 1;
    page.Frame();
    EXPECT_EQ(page.sends, 2);
    EXPECT_FALSE(page.LastFrameFailed());
}

TEST_F(BasePageTest, BasePageAsksForAFastRereadOn0x401Only) {
    ProbePage page;
    page.SetRereadScheduler(&m_scheduler);
    page.HandleNotifyEvent(0x402, false);
    page.HandleNotifyEvent(0x1123, false);
    EXPECT_TRUE(m_scheduler.delays.empty());
    page.HandleNotifyEvent(0x401, true);
    ASSERT_EQ(m_scheduler.delays.size(), 1u);
    EXPECT_EQ(m_scheduler.delays[0], 50);
}

// The reader thread and its interface: an interface that does not open leaves its flag clear,
// a blocked read ends when the interface is closed, and events posted from the reader arrive on
// the page's thread.
TEST_F(BasePageTest, NotificationReaderOpensReadsAndClosesWithinItsBound) {
    ProbePage page;
    page.SetRereadScheduler(&m_scheduler);
    EXPECT_FALSE(page.OpenNotifyInterface(m_rig->NotifyPath(RigModel::Mousepad), false));
    EXPECT_FALSE(page.IsNotifyOpen(false));

    ASSERT_TRUE(m_rig->Plug(RigModel::Mousepad));
    ASSERT_TRUE(page.OpenNotifyInterface(m_rig->NotifyPath(RigModel::Mousepad), false));
    EXPECT_TRUE(page.IsNotifyOpen(false));
    EXPECT_TRUE(page.NotifyLink().IsConnected());
    ASSERT_TRUE(m_rig->Notify(RigModel::Mousepad, 0x401));
    ASSERT_TRUE(vxtest::PumpUntil([&] { return !m_scheduler.delays.empty(); }));

    // The reader now blocks in a read without time-out; closing wakes it.
    QElapsedTimer timer;
    timer.start();
    page.CloseNotifyInterface(false);
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_FALSE(page.IsNotifyOpen(false));
    EXPECT_FALSE(page.NotifyLink().IsConnected());

    // Reopened on the same interface, events flow again.
    ASSERT_TRUE(page.OpenNotifyInterface(m_rig->NotifyPath(RigModel::Mousepad), false));
    ASSERT_TRUE(m_rig->Notify(RigModel::Mousepad, 0x401));
    ASSERT_TRUE(vxtest::PumpUntil([&] { return m_scheduler.delays.size() >= 2; }));
}

TEST_F(BasePageTest, UnpluggedNotificationInterfaceDoesNotSpinOrHang) {
    ProbePage page;
    ASSERT_TRUE(m_rig->Plug(RigModel::Mousepad));
    ASSERT_TRUE(page.OpenNotifyInterface(m_rig->NotifyPath(RigModel::Mousepad), false));
    ASSERT_TRUE(m_rig->Unplug(RigModel::Mousepad));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    QElapsedTimer timer;
    timer.start();
    page.CloseNotifyInterface(false);
    EXPECT_LT(timer.elapsed(), 500);
}

}  // namespace
