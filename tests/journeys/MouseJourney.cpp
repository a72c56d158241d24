// A user sets up a mouse: opens each feature tab, sets DPI stages, the report rate and the pointer
// settings, and keeps working while the mouse is unplugged, plugged again and moved between its
// cable and its receiver. Each change must reach the mouse once and stay in the profile file.

#include <QSlider>

#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "app/MainWnd.h"
#include "devices/TavimondUSBDevice.h"
#include "widgets/PaintManagerUI.h"

#include "support/JourneyFixture.h"

namespace fs = std::filesystem;
using vx::devices::CTavimondUSBDevice;

namespace journeys {
namespace {

// The mouse's settings block: report rate, active stage, five stages of 9 bytes (active, separate
// axes, DPI x low and high, ...).
constexpr size_t kReportRateByte = 11;
constexpr size_t kActiveStageByte = 12;
constexpr size_t kStageBase = 14;
constexpr size_t kStageLength = 9;
// A settings write opens a session (0x01) and sends the block in as many frames as it needs.
constexpr uint8_t kBeginConfig = 0x01;

int StageDpi(const std::vector<uint8_t>& block, int stage) {
    const size_t at = kStageBase + kStageLength * static_cast<size_t>(stage);
    return block.size() > at + 3 ? block[at + 2] | (block[at + 3] << 8) : -1;
}

class MouseJourney : public JourneyTest {
protected:
    Json::Value SavedDevice() { return SelectedDeviceRecord("mouse"); }

    // Runs a user action and returns how many settings writes the mouse took meanwhile.
    size_t WritesDuring(Device device, const std::function<void()>& action) {
        Devices().ClearReceived(device);
        action();
        Run(100);
        return Devices().CountOf(device, kBeginConfig);
    }

    std::vector<uint8_t> Block() { return Devices().ActiveConfigBlock(Device::MouseWired); }

    void OpenSettings(int settingsTab) {
        ASSERT_TRUE(Click("mouse_function_option_2"));
        ASSERT_TRUE(Click(QStringLiteral("mouse_device_seting_option_%1").arg(settingsTab)));
    }
};

TEST_F(MouseJourney, EachFeatureTabShowsItsOwnContent) {
    PlugAndWait(Device::MouseWired);
    ShowDevicePage(Device::MouseWired);
    // The page opens on the tab it highlights: lighting.
    EXPECT_TRUE(IsSelected("mouse_function_option_1"));
    EXPECT_TRUE(Shown("light_combo_modeSelect"));

    struct Tab {
        const char* option;
        const char* content;  // a control only that tab shows
    };
    const Tab tabs[] = {{"mouse_function_option_0", "device_key_function_switch"},
                        {"mouse_function_option_1", "light_combo_modeSelect"},
                        {"mouse_function_option_2", "mouse_device_seting_option_0"},
                        {"mouse_function_option_3", "MacroControlItem"}};
    for (const Tab& tab : tabs) {
        ASSERT_TRUE(Click(tab.option));
        EXPECT_TRUE(IsSelected(tab.option)) << tab.option;
        for (const Tab& other : tabs) {
            EXPECT_EQ(Shown(other.content), &other == &tab) << tab.option << " shows " << other.content;
            if (&other != &tab) {
                EXPECT_FALSE(IsSelected(other.option)) << tab.option;
            }
        }
    }
    // The settings tab's own tabs: DPI and report rate, pointer.
    OpenSettings(0);
    EXPECT_TRUE(Shown("DPI_slider_0"));
    EXPECT_TRUE(Shown("polling_rate_option_0"));
    EXPECT_FALSE(Shown("pointer_speed_slider"));
    ASSERT_TRUE(Click("mouse_device_seting_option_1"));
    EXPECT_TRUE(Shown("pointer_speed_slider"));
    EXPECT_FALSE(Shown("DPI_slider_0"));
    Screenshot("mouse_pointer_tab.png");
}

TEST_F(MouseJourney, DpiStagesReportRateAndPointerReachTheMouseOnceAndStayInTheProfile) {
    PlugAndWait(Device::MouseWired);
    ShowDevicePage(Device::MouseWired);
    OpenSettings(0);

    // Stage 2's DPI dragged up: one write, the stage's DPI in the mouse and in the profile file.
    auto* slider = qobject_cast<QSlider*>(Find("DPI_slider_1"));
    ASSERT_NE(slider, nullptr);
    const int target = slider->value() + (slider->maximum() - slider->value()) / 2;
    EXPECT_EQ(WritesDuring(Device::MouseWired, [&] { ASSERT_TRUE(DragSlider("DPI_slider_1", target)); }), 1u);
    const int shownDpi = TextOf("DPI_edit_1").toInt();
    EXPECT_GT(shownDpi, 0);
    EXPECT_EQ(StageDpi(Block(), 1), shownDpi);
    EXPECT_EQ(SavedDevice()["DPIStages"]["StageDPIs"][1]["StageDPIX"].asInt(), shownDpi);

    // Stage 4's DPI typed: one write, and none more when the box loses the focus.
    EXPECT_EQ(WritesDuring(Device::MouseWired,
                           [&] {
                               ASSERT_TRUE(TypeInto("DPI_edit_3", QStringLiteral("2000")));
                               ASSERT_TRUE(Click("DPI_edit_0"));
                           }),
              1u);
    const int typed = TextOf("DPI_edit_3").toInt();
    EXPECT_NEAR(typed, 2000, 200);
    EXPECT_EQ(StageDpi(Block(), 3), typed);
    EXPECT_EQ(SavedDevice()["DPIStages"]["StageDPIs"][3]["StageDPIX"].asInt(), typed);

    // Stage 3 made the active one; stage 5 switched off.
    EXPECT_EQ(WritesDuring(Device::MouseWired, [&] { ASSERT_TRUE(Click("DPI_select_check_2")); }), 1u);
    EXPECT_EQ(Block()[kActiveStageByte], 2);
    EXPECT_EQ(SavedDevice()["DPIStages"]["StageActive"].asInt(), 2);
    EXPECT_TRUE(IsSelected("DPI_select_check_2"));
    EXPECT_FALSE(IsSelected("DPI_select_check_1"));
    const bool stage5On = IsSelected("DPI_enable_check_4");
    EXPECT_EQ(WritesDuring(Device::MouseWired, [&] { ASSERT_TRUE(Click("DPI_enable_check_4")); }), 1u);
    EXPECT_EQ(IsSelected("DPI_enable_check_4"), !stage5On);
    EXPECT_EQ(Block()[kStageBase + kStageLength * 4], stage5On ? 0 : 1);

    // Every report rate in turn.
    for (int rate = 4; rate >= 0; --rate) {
        const QString option = QStringLiteral("polling_rate_option_%1").arg(rate);
        const bool already = IsSelected(option);
        EXPECT_EQ(WritesDuring(Device::MouseWired, [&] { ASSERT_TRUE(Click(option)); }), already ? 0u : 1u)
            << rate;
        EXPECT_EQ(Block()[kReportRateByte], rate);
        EXPECT_EQ(SavedDevice()["ReportStages"]["StageActive"].asInt(), rate);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(IsSelected(QStringLiteral("polling_rate_option_%1").arg(i)), i == rate);
    }

    // Pointer settings: kept in the profile file (the desktop's pointer settings are the user's).
    ASSERT_TRUE(Click("mouse_device_seting_option_1"));
    const Json::Value before = SavedDevice()["SystemStages"];
    auto* speed = qobject_cast<QSlider*>(Find("pointer_speed_slider"));
    ASSERT_NE(speed, nullptr);
    const int wantedSpeed = speed->value() < speed->maximum() ? speed->maximum() : speed->minimum();
    EXPECT_EQ(WritesDuring(Device::MouseWired, [&] { ASSERT_TRUE(DragSlider("pointer_speed_slider", wantedSpeed)); }),
              1u);
    EXPECT_EQ(SavedDevice()["SystemStages"]["MouseSpeed"].asInt(), wantedSpeed);
    auto* lines = qobject_cast<QSlider*>(Find("scroll_speed_slider"));
    ASSERT_NE(lines, nullptr);
    const int wantedLines = lines->value() < lines->maximum() ? lines->value() + 3 : lines->minimum();
    ASSERT_TRUE(DragSlider("scroll_speed_slider", wantedLines));
    EXPECT_EQ(SavedDevice()["SystemStages"]["WheelScorlllinse"].asInt(), wantedLines);
    ASSERT_TRUE(Click("pointer_precision_check"));
    ASSERT_TRUE(Click("scrolls_page_check"));
    const Json::Value after = SavedDevice()["SystemStages"];
    EXPECT_NE(after["PointerPrecision"].asInt(), before["PointerPrecision"].asInt());
    EXPECT_NE(after["ScorllPage"].asInt(), before["ScorllPage"].asInt());
    EXPECT_EQ(after["DoubleClickTime"].asInt(), before["DoubleClickTime"].asInt());
    Screenshot("mouse_settings_done.png");
}

TEST_F(MouseJourney, ThePageKeepsWorkingThroughUnplugReplugAndACableReceiverSwitch) {
    PlugAndWait(Device::MouseWired);
    ShowDevicePage(Device::MouseWired);
    OpenSettings(0);
    const int firstRate = Block()[kReportRateByte] == 1 ? 2 : 1;
    ASSERT_TRUE(Click(QStringLiteral("polling_rate_option_%1").arg(firstRate)));
    ASSERT_EQ(Block()[kReportRateByte], firstRate);

    // Unplugged while its settings are open: the entry goes, the page and its choice stay.
    ASSERT_EQ(Devices().Unplug(Device::MouseWired), 1);
    ASSERT_TRUE(WaitUntil([this] { return !Shown("mouse_function_option_2"); }, kDeviceWaitMs));
    // Plugged again: the same settings are shown and work.
    PlugAndWait(Device::MouseWired);
    ShowDevicePage(Device::MouseWired);
    OpenSettings(0);
    EXPECT_TRUE(IsSelected(QStringLiteral("polling_rate_option_%1").arg(firstRate)));
    EXPECT_EQ(WritesDuring(Device::MouseWired, [&] { ASSERT_TRUE(Click("polling_rate_option_3")); }), 1u);
    EXPECT_EQ(Block()[kReportRateByte], 3);

    // The receiver comes too; the cable keeps the page. Then the cable goes: the page moves to
    // the receiver with its settings still open, and a change reaches the mouse through it.
    ASSERT_EQ(Devices().Plug(Device::MouseReceiver), 1);
    Run(500);
    ASSERT_EQ(Devices().Unplug(Device::MouseWired), 1);
    CTavimondUSBDevice* page = PageOf(Device::MouseReceiver);
    ASSERT_EQ(page, PageOf(Device::MouseWired)) << "one page serves both connections";
    ASSERT_TRUE(WaitUntil([&] { return page->IsWireless() && Shown("polling_rate_option_0"); }, kDeviceWaitMs));
    Run(300);
    EXPECT_TRUE(IsSelected("polling_rate_option_3"));
    EXPECT_GE(WritesDuring(Device::MouseReceiver, [&] { ASSERT_TRUE(Click("polling_rate_option_0")); }), 1u);
    EXPECT_EQ(Devices().ActiveConfigBlock(Device::MouseReceiver)[kReportRateByte], 0);
    EXPECT_EQ(SavedDevice()["ReportStages"]["StageActive"].asInt(), 0);

    // The cable back: the page takes it again and writes go through it.
    ASSERT_EQ(Devices().Plug(Device::MouseWired), 1);
    ASSERT_TRUE(WaitUntil([&] { return !page->IsWireless() && Shown("polling_rate_option_4"); }, kDeviceWaitMs));
    WaitConnected(Device::MouseWired);
    EXPECT_EQ(WritesDuring(Device::MouseWired, [&] { ASSERT_TRUE(Click("polling_rate_option_4")); }), 1u);
    EXPECT_EQ(Block()[kReportRateByte], 4);
    Screenshot("mouse_after_switches.png");
}

}  // namespace
}  // namespace journeys
