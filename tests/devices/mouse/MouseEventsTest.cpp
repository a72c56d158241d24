// Events the mouse reports through its notification interface, read by the page's reader thread
// and handled on the UI thread: rereads, profile and DPI-stage changes made on the mouse, clicks
// for the reactive lighting.

#include "devices/lighting/MouseLightingEngine.h"
#include "tests/devices/mouse/MousePageFixture.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"

using vx::emulator::VirtualModel;
using vx::devices::CTavimondMouseDevice;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;

namespace mousetest {
namespace {

class RecordingScheduler : public vx::devices::IRereadScheduler {
public:
    void ScheduleReread(int delayMs) override { delays.push_back(delayMs); }
    std::vector<int> delays;
};

class MouseEventsTest : public MousePageTest {
protected:
    CTavimondMouseDevice& ConnectWithReader() {
        CTavimondMouseDevice& page = Connect(VirtualModel::MouseWired);
        page.SetRereadScheduler(&m_scheduler);
        page.LoadProfile();
        EXPECT_TRUE(
            page.OpenNotifyInterface(m_hub->LinkPath(VirtualModel::MouseWired, kConsumerCollection), false));
        return page;
    }
    // A reread request marks that every event sent before it has been handled: the reader
    // hands events over in order.
    bool SendMarkerAndWait() {
        const size_t before = m_scheduler.delays.size();
        if (m_hub->Notify(VirtualModel::MouseWired, 0x401) != 1) return false;
        return PumpUntil([&] { return m_scheduler.delays.size() > before; });
    }
    void SetMode(CTavimondMouseDevice& page, uint8_t mode) {
        LightInfo light = page.Profile().GetLightInfo();
        light.selectItem = mode;
        page.SetLightInfo(light);
    }

    RecordingScheduler m_scheduler;
};

TEST_F(MouseEventsTest, RereadRequestAsksForOneAfterFiftyMilliseconds) {
    ConnectWithReader();
    ASSERT_TRUE(SendMarkerAndWait());
    EXPECT_EQ(m_scheduler.delays, std::vector<int>{50});
}

TEST_F(MouseEventsTest, ProfileAndStageChangedOnTheMouse) {
    CTavimondMouseDevice& page = ConnectWithReader();
    ASSERT_EQ(m_hub->NotifyProfileChange(VirtualModel::MouseWired, 2, 3), 1);  // code 0x1132
    ASSERT_TRUE(PumpUntil([&] { return page.CurrentSettings().profile == 2; }));
    EXPECT_EQ(page.CurrentSettings().ActiveStage(), 3);
    EXPECT_EQ(page.Profile().GetActiveStage(), 3);
    auto* stage3 = CPaintManagerUI::FindSubControl<COptionUI>(page.GetPage(), "DPI_select_check_3");
    ASSERT_NE(stage3, nullptr);
    EXPECT_TRUE(stage3->IsSelected());

    // A profile-only change (0x10xx) keeps the stage.
    ASSERT_EQ(m_hub->NotifyProfileChange(VirtualModel::MouseWired, 5), 1);
    ASSERT_TRUE(PumpUntil([&] { return page.CurrentSettings().profile == 5; }));
    EXPECT_EQ(page.CurrentSettings().ActiveStage(), 3);

    // Without a connected command link the change is not taken.
    page.CommandLink().SetConnected(false);
    ASSERT_EQ(m_hub->NotifyProfileChange(VirtualModel::MouseWired, 1, 0), 1);
    ASSERT_TRUE(SendMarkerAndWait());
    EXPECT_EQ(page.CurrentSettings().profile, 5);
    EXPECT_EQ(page.CurrentSettings().ActiveStage(), 3);
}

TEST_F(MouseEventsTest, ClickStartsTheReactiveFadeOnlyInItsMode) {
    CTavimondMouseDevice& page = ConnectWithReader();
    SetMode(page, 3);
    const auto before = page.Engine().Snapshot();
    ASSERT_EQ(m_hub->Notify(VirtualModel::MouseWired, 0x403), 1);
    ASSERT_TRUE(SendMarkerAndWait());
    const auto after = page.Engine().Snapshot();
    EXPECT_EQ(after.intensity, before.intensity);
    EXPECT_EQ(after.colourIndexes, before.colourIndexes);

    SetMode(page, 6);
    ASSERT_EQ(m_hub->Notify(VirtualModel::MouseWired, 0x403), 1);
    ASSERT_TRUE(PumpUntil([&] { return page.Engine().Snapshot().intensity[0] == 255; }));
    const auto fading = page.Engine().Snapshot();
    for (int led = 0; led < CTavimondMouseDevice::kLeds; ++led) EXPECT_EQ(fading.intensity[led], 255) << led;
}

}  // namespace
}  // namespace mousetest
