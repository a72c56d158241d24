// A device stops answering while the user changes its settings. The control goes back to what the
// device last confirmed, a short notice says the device is not answering (no box to click away),
// the window goes on answering, and the next change after the device recovers is taken.

#include <QElapsedTimer>
#include <QLabel>

#include "support/JourneyFixture.h"

namespace journeys {
namespace {

// One settings write to a silent device costs at most one command time-out (1000 ms on the
// cable), not one per frame; the rest is the window's own work.
constexpr qint64 kMaxClickMs = 1800;

class HungDeviceJourney : public JourneyTest {
protected:
    // Plugs the device, shows its page and waits for the page's connection sequence (it reads the
    // capability record, 0x03), which replaces the page's settings with the device's.
    void Open(Device device) {
        PlugAndWait(device);
        ShowDevicePage(device);
        ASSERT_TRUE(WaitUntil([&] { return Devices().CountOf(device, 0x03) > 0; }, kDeviceWaitMs))
            << "the page never connected";
        Run(100);
    }

    bool NoticeShown() {
        QWidget* notice = Find("device_notice_label");
        return notice != nullptr && !TextOf("device_notice_label").isEmpty();
    }

    // Clicks and measures how long the window was held by the click.
    qint64 TimedClick(const QString& name) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_TRUE(Click(name));
        return timer.elapsed();
    }

    int StoredPollingRate() {
        return SelectedDeviceRecord("keyboard")["SystemStages"]["PollingRate"].asInt();
    }

};

TEST_F(HungDeviceJourney, KeyboardSettingTheDeviceDoesNotTakeGoesBackAndIsTold) {
    Open(Device::KeyboardWired);
    ASSERT_TRUE(Click("system_Op_tab"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("polling_rate_option_2"); }, 1000));

    // Taken while the keyboard answers.
    ASSERT_TRUE(Click("polling_rate_option_1"));
    ASSERT_TRUE(IsSelected("polling_rate_option_1"));
    ASSERT_EQ(StoredPollingRate(), 1);
    EXPECT_FALSE(NoticeShown());
    const std::vector<uint8_t> confirmed = Devices().ActiveConfigBlock(Device::KeyboardWired);

    // The keyboard hangs: the change is not taken and the option shows the confirmed rate again.
    ASSERT_EQ(Devices().SetUnresponsive(Device::KeyboardWired, true), 1);
    EXPECT_LT(TimedClick("polling_rate_option_2"), kMaxClickMs) << "the window waited too long on the device";
    EXPECT_TRUE(IsSelected("polling_rate_option_1"));
    EXPECT_FALSE(IsSelected("polling_rate_option_2"));
    EXPECT_EQ(StoredPollingRate(), 1) << "the profile keeps a rate the keyboard never took";
    EXPECT_EQ(Devices().ActiveConfigBlock(Device::KeyboardWired), confirmed);
    // Told once, without a box to click away.
    EXPECT_TRUE(NoticeShown());
    EXPECT_TRUE(TextOf("device_notice_label").contains("not answering")) << TextOf("device_notice_label").toStdString();
    EXPECT_FALSE(MessageBoxWasShown());

    // A second try is as short and the window stays usable: another tab opens at once.
    EXPECT_LT(TimedClick("polling_rate_option_3"), kMaxClickMs);
    EXPECT_TRUE(IsSelected("polling_rate_option_1"));
    QElapsedTimer responsive;
    responsive.start();
    ASSERT_TRUE(Click("deng_Op_tab"));
    EXPECT_TRUE(WaitUntil([this] { return Shown("light_combo_modeSelect"); }, 1000));
    EXPECT_LT(responsive.elapsed(), 1000);

    // The notice goes away by itself.
    EXPECT_TRUE(WaitUntil([this] { return !NoticeShown(); }, 8000));

    // Back again: the next change is taken.
    ASSERT_EQ(Devices().SetUnresponsive(Device::KeyboardWired, false), 1);
    ASSERT_TRUE(Click("system_Op_tab"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("polling_rate_option_2"); }, 1000));
    ASSERT_TRUE(Click("polling_rate_option_2"));
    EXPECT_TRUE(IsSelected("polling_rate_option_2"));
    EXPECT_EQ(StoredPollingRate(), 2);
    EXPECT_NE(Devices().ActiveConfigBlock(Device::KeyboardWired), confirmed);
    EXPECT_FALSE(NoticeShown());
}

TEST_F(HungDeviceJourney, MousepadLightingTheDeviceDoesNotTakeGoesBackOnThePanel) {
    Open(Device::Mousepad);
    ASSERT_TRUE(Click("deng_Op_tab"));
    ASSERT_TRUE(WaitUntil([this] { return Shown("deng_light_slider"); }, 1000));

    ASSERT_TRUE(DragSlider("deng_light_slider", 2));
    ASSERT_EQ(SliderValue("deng_light_slider"), 2);
    const auto stored = [this] {
        return SelectedDeviceRecord("MousePad")["LightInfo"]["Light"].asInt();
    };
    ASSERT_EQ(stored(), 2);
    const std::vector<uint8_t> confirmed = Devices().ActiveConfigBlock(Device::Mousepad);

    ASSERT_EQ(Devices().SetUnresponsive(Device::Mousepad, true), 1);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(DragSlider("deng_light_slider", 0));
    EXPECT_LT(timer.elapsed(), kMaxClickMs);
    EXPECT_EQ(SliderValue("deng_light_slider"), 2) << "the slider keeps a brightness the mousepad never took";
    EXPECT_EQ(stored(), 2);
    EXPECT_EQ(Devices().ActiveConfigBlock(Device::Mousepad), confirmed);
    EXPECT_TRUE(NoticeShown());
    EXPECT_FALSE(MessageBoxWasShown());
    ASSERT_EQ(Devices().SetUnresponsive(Device::Mousepad, false), 1);
}

TEST_F(HungDeviceJourney, MousepadShowsThePhoneOnItsCharger) {
    // The charger's report is read on the power timer, as the battery of other devices is.
    ASSERT_EQ(Devices().SetPhoneType(Device::Mousepad, 2), 1);
    PlugAndWait(Device::Mousepad);
    ShowDevicePage(Device::Mousepad);
    EXPECT_TRUE(WaitUntil([this] { return TextOf("device_phone_type").contains("Samsung"); }, kDeviceWaitMs))
        << TextOf("device_phone_type").toStdString();
    ASSERT_EQ(Devices().SetPhoneType(Device::Mousepad, 1), 1);
    EXPECT_TRUE(WaitUntil([this] { return TextOf("device_phone_type").contains("iPhone"); }, 8000))
        << TextOf("device_phone_type").toStdString();
}

}  // namespace
}  // namespace journeys
