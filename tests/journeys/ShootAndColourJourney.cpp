// A user tunes the recoil of a gun and sends it to the mouse; picks colours in the colour picker
// for a DPI stage of the mouse and for the keyboard's lighting, keeping one among his own colours
// across a restart; and restores a keyboard page to its factory settings. Every step acts through
// input events and is checked on the window, the virtual device and the data folder.

#include <QLineEdit>

#include "BuildPaths.h"

#include "app/MainWnd.h"
#include "devices/TavimondUSBDevice.h"
#include "widgets/ControlUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/WindowImplBase.h"

#include "support/JourneyFixture.h"

using vx::widgets::WindowImplBase;
namespace ui = vx::widgets::ui;

namespace fs = std::filesystem;

namespace journeys {
namespace {

constexpr const char* kPicker = "vx::panels::CColorSelectWnd";
// The mouse's settings block: five stages of nine bytes from byte 14, red at the stage's byte 6.
constexpr size_t kStageBase = 14;
constexpr size_t kStageLength = 9;
constexpr size_t kStageRed = 6;
// The keyboard's: the effect colour at bytes 6 to 8.
constexpr size_t kKeyboardRed = 6;
constexpr size_t kWinLockByte = 21;
constexpr uint8_t kBeginConfig = 0x01;
constexpr uint8_t kWriteShoot = 0x17;
constexpr uint8_t kWriteKeyColours = 0x0B;

class ShootAndColourJourney : public JourneyTest {
protected:
    QWidget* InWindow(QWidget* window, const char* name) {
        auto* base = qobject_cast<WindowImplBase*>(window);
        return base ? base->GetPaintManager().FindControl(QString::fromLatin1(name)) : nullptr;
    }

    void OpenShootPanel() {
        PlugAndWait(Device::MouseWired);
        ShowDevicePage(Device::MouseWired);
        ASSERT_TRUE(Click("mouse_function_option_2"));
        ASSERT_TRUE(Click("mouse_device_seting_option_2"));
        ASSERT_TRUE(WaitUntil([this] { return Shown("shootdate_save_btn"); }, 1000)) << "no recoil panel";
    }

    int Block(size_t byte) {
        const std::vector<uint8_t> block = Devices().ActiveConfigBlock(Device::KeyboardWired);
        return byte < block.size() ? block[byte] : -1;
    }

    std::vector<uint8_t> StageColour(int stage) {
        const std::vector<uint8_t> block = Devices().ActiveConfigBlock(Device::MouseWired);
        const size_t at = kStageBase + kStageLength * size_t(stage) + kStageRed;
        if (block.size() < at + 3) return {};
        return {block[at], block[at + 1], block[at + 2]};
    }
};

TEST_F(ShootAndColourJourney, EditABulletAndSendTheGunsToTheMouse) {
    OpenShootPanel();
    // The factory guns are in the mouse's folder, and bullet 1 of gun 1 is shown.
    for (int gun = 0; gun < 4; ++gun)
        EXPECT_TRUE(fs::exists(DataFolder() / "mouse" / ("ShootData_" + std::to_string(gun) + ".Shoot"))) << gun;
    EXPECT_EQ(TextOf("bullet_select_index"), "1");
    EXPECT_TRUE(IsSelected("shoot_gun_op_0"));

    // Gun 2, bullet 3: pull left by 6 and down by 14, then wait 95 ms.
    ASSERT_TRUE(Click("shoot_gun_op_1"));
    ASSERT_TRUE(Click("bullet_op_2"));
    EXPECT_EQ(TextOf("bullet_select_index"), "3");
    ASSERT_TRUE(Click("bullet_x_check"));
    EXPECT_TRUE(IsSelected("bullet_x_check"));
    ASSERT_TRUE(TypeInto("bullet_x_eidt", "6"));
    ASSERT_TRUE(TypeInto("bullet_y_eidt", "14"));
    ASSERT_TRUE(TypeInto("bullet_delay_eidt", "95"));
    // Leaving for the next bullet and coming back shows what was kept.
    ASSERT_TRUE(Click("bullet_selected_next"));
    EXPECT_EQ(TextOf("bullet_select_index"), "4");
    ASSERT_TRUE(Click("bullet_selected_prev"));
    EXPECT_EQ(TextOf("bullet_x_eidt"), "6");
    EXPECT_EQ(TextOf("bullet_y_eidt"), "14");
    EXPECT_EQ(TextOf("bullet_delay_eidt"), "95");
    const Json::Value events = ReadJson(DataFolder() / "mouse" / "ShootData_1.Shoot")["Events"];
    ASSERT_GE(events.size(), 18u);
    EXPECT_EQ(events[14]["Action"].asString(), "down");
    EXPECT_EQ(events[14]["Button"].asInt(), 6);
    EXPECT_EQ(events[15]["Action"].asString(), "up");
    EXPECT_EQ(events[15]["Button"].asInt(), 14);
    EXPECT_EQ(events[15]["Delay"].asInt(), 95);
    Screenshot("shoot_panel.png");

    Devices().ClearReceived(Device::MouseWired);
    ASSERT_TRUE(Click("shootdate_save_btn"));
    ASSERT_TRUE(WaitUntil([&] { return !Devices().ShootImage(Device::MouseWired).empty(); }, kDeviceWaitMs));
    const std::vector<uint8_t> image = Devices().ShootImage(Device::MouseWired);
    // Four guns of 30 bullets, in 56-byte frames.
    ASSERT_EQ(image.size(), 2920u);
    EXPECT_EQ(Devices().CountOf(Device::MouseWired, kWriteShoot), (2920u + 55) / 56);
    const size_t gun2 = size_t(image[18]) | size_t(image[19]) << 8;
    const auto event = [&](size_t n) {
        const size_t at = gun2 + 4 + 4 * n;
        return std::vector<uint8_t>(image.begin() + long(at), image.begin() + long(at) + 4);
    };
    EXPECT_EQ(event(14), (std::vector<uint8_t>{5, 0, 0x84, 6}));   // left: a "down" horizontal move
    EXPECT_EQ(event(15), (std::vector<uint8_t>{95, 0, 0x05, 14}));  // down: an "up" vertical move
    EXPECT_FALSE(MessageBoxWasShown());
}

TEST_F(ShootAndColourJourney, PickColoursForADpiStageAndForTheKeyboard) {
    PlugAndWait(Device::MouseWired);
    ShowDevicePage(Device::MouseWired);
    ASSERT_TRUE(Click("mouse_function_option_2"));
    ASSERT_TRUE(Click("mouse_device_seting_option_0"));
    const std::vector<uint8_t> before = StageColour(2);

    // Closed without a choice: nothing changes, nothing is sent.
    ActInNextWindow(kPicker, [&](QWidget* picker) { ASSERT_TRUE(ClickWidget(InWindow(picker, "closebtn"))); });
    Devices().ClearReceived(Device::MouseWired);
    ASSERT_TRUE(Click("DPI_color_option_2"));
    EXPECT_TRUE(WindowActionRan());
    EXPECT_EQ(Devices().CountOf(Device::MouseWired, kBeginConfig), 0u);
    EXPECT_EQ(StageColour(2), before);

    // Chosen: an empty slot of "my colours", then the colour typed in; OK.
    ActInNextWindow(kPicker, [&](QWidget* picker) {
        ASSERT_TRUE(ClickWidget(InWindow(picker, "collect_color_option_0")));
        ASSERT_TRUE(TypeInto("color_edit_r", "12"));
        ASSERT_TRUE(TypeInto("color_edit_g", "300"));  // held at 255
        ASSERT_TRUE(TypeInto("color_edit_b", "90"));
        EXPECT_EQ(TextOf("color_edit_g"), "255");
        EXPECT_EQ(ui::GetBkColor(InWindow(picker, "collect_color_option_0")), qRgb(12, 255, 90));
        ScreenshotOf(picker, "colour_picker.png");
        ASSERT_TRUE(ClickWidget(InWindow(picker, "okbtn")));
    });
    ASSERT_TRUE(Click("DPI_color_option_2"));
    EXPECT_TRUE(WindowActionRan());
    ASSERT_TRUE(WaitUntil([&] { return StageColour(2) == std::vector<uint8_t>{12, 255, 90}; }, kDeviceWaitMs))
        << "the mouse did not get the stage colour";
    EXPECT_EQ(ui::GetBkColor(Find("DPI_color_option_2")), qRgb(12, 255, 90));
    const Json::Value stage = SelectedDeviceRecord("mouse")["DPIStages"]["StageDPIs"][2];
    EXPECT_EQ(stage["StageColorR"].asInt(), 12) << "the profile keeps the stage colour";
    EXPECT_EQ(stage["StageColorG"].asInt(), 255);
    EXPECT_EQ(stage["StageColorB"].asInt(), 90);

    // The keyboard's lighting colour from its colour preview.
    PlugAndWait(Device::KeyboardWired);
    ShowDevicePage(Device::KeyboardWired);
    if (!Shown("deng_colordp_btn")) ASSERT_TRUE(Click("deng_Op_tab"));
    ActInNextWindow(kPicker, [&](QWidget* picker) {
        // The colour kept in "my colours" is there after the first picker closed.
        EXPECT_EQ(ui::GetUserData(InWindow(picker, "collect_color_option_0")), "1");
        ASSERT_TRUE(ClickWidget(InWindow(picker, "color_option_8")));  // blue
        ASSERT_TRUE(ClickWidget(InWindow(picker, "okbtn")));
    });
    ASSERT_TRUE(Click("deng_colordp_btn"));
    EXPECT_TRUE(WindowActionRan());
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<uint8_t> block = Devices().ActiveConfigBlock(Device::KeyboardWired);
            return block.size() > kKeyboardRed + 2 && block[kKeyboardRed] == 0 && block[kKeyboardRed + 1] == 0 &&
                   block[kKeyboardRed + 2] == 255;
        },
        kDeviceWaitMs))
        << "the keyboard did not get the colour";
    EXPECT_EQ(TextOf("deng_edit_B"), "255");

    // "My colours" survive a restart of the program.
    ExitProgram();
    StartProgram();
    PlugAndWait(Device::MouseWired);
    ShowDevicePage(Device::MouseWired);
    ASSERT_TRUE(Click("mouse_function_option_2"));
    ASSERT_TRUE(Click("mouse_device_seting_option_0"));
    ActInNextWindow(kPicker, [&](QWidget* picker) {
        EXPECT_EQ(ui::GetUserData(InWindow(picker, "collect_color_option_0")), "1");
        EXPECT_EQ(ui::GetBkColor(InWindow(picker, "collect_color_option_0")), qRgb(12, 255, 90));
        // Choosing the kept colour gives it back.
        ASSERT_TRUE(ClickWidget(InWindow(picker, "collect_color_option_0")));
        EXPECT_EQ(TextOf("color_edit_r"), "12");
        ASSERT_TRUE(ClickWidget(InWindow(picker, "laterbtn")));
    });
    ASSERT_TRUE(Click("DPI_color_option_4"));
    EXPECT_TRUE(WindowActionRan());
    const Json::Value file = ReadJson(DataFolder() / "color_option_info.config");
    EXPECT_EQ(file["coloroptioninfo"]["palletDialogcollectcoloroption"][0]["color"].asString(), "FF0CFF5A");
}

TEST_F(ShootAndColourJourney, RestoreAKeyboardPageToItsDefaults) {
    PlugAndWait(Device::KeyboardWired);
    ShowDevicePage(Device::KeyboardWired);
    const Json::Value factory =
        ReadJson(fs::path(VX_SOURCE_DIR) / "DefaultData" / "keyboard.Json")["Device"][0]["SystemStages"];
    ASSERT_EQ(factory["WinFlag"].asInt(), 0);
    ASSERT_TRUE(Click("system_Op_tab"));
    ASSERT_TRUE(Click("winlockflag_option"));
    ASSERT_TRUE(DragSlider("repeat_rate_slider", 5));
    ASSERT_TRUE(WaitUntil([&] { return Block(kWinLockByte) == 1; }, kDeviceWaitMs));
    const Json::Value changed = SelectedDeviceRecord("keyboard");
    ASSERT_EQ(changed["SystemStages"]["WinFlag"].asInt(), 1);
    ASSERT_EQ(changed["SystemStages"]["Repeat"].asInt(), 5);

    // Answered no: nothing changes.
    AnswerNextMessageBox(false);
    Devices().ClearReceived(Device::KeyboardWired);
    ASSERT_TRUE(Click("default_btn"));
    EXPECT_TRUE(MessageBoxWasShown());
    EXPECT_TRUE(IsSelected("winlockflag_option"));
    EXPECT_EQ(SelectedDeviceRecord("keyboard"), changed);
    EXPECT_EQ(Devices().CountOf(Device::KeyboardWired, kBeginConfig), 0u);

    // Answered yes: the page, the profile file and the keyboard are back at the factory values.
    AnswerNextMessageBox(true);
    ASSERT_TRUE(Click("default_btn"));
    EXPECT_TRUE(MessageBoxWasShown());
    EXPECT_FALSE(IsSelected("winlockflag_option"));
    EXPECT_EQ(SliderValue("repeat_rate_slider"), factory["Repeat"].asInt());
    EXPECT_EQ(SelectedDeviceRecord("keyboard")["SystemStages"], factory);
    EXPECT_TRUE(WaitUntil([&] { return Block(kWinLockByte) == 0; }, kDeviceWaitMs))
        << "the keyboard kept the Windows-key lock";

    // The repeat settings have a restore of their own, which leaves the rest alone.
    ASSERT_TRUE(DragSlider("repeat_rate_slider", 3));
    ASSERT_TRUE(Click("repeat_delay_check_3"));
    ASSERT_TRUE(Click("winlockflag_option"));
    ASSERT_TRUE(Click("reset_repeat_btn"));
    EXPECT_EQ(SliderValue("repeat_rate_slider"), factory["Repeat"].asInt());
    EXPECT_TRUE(IsSelected(QStringLiteral("repeat_delay_check_%1").arg(factory["RepeatDelay"].asInt())));
    const Json::Value after = SelectedDeviceRecord("keyboard")["SystemStages"];
    EXPECT_EQ(after["Repeat"], factory["Repeat"]);
    EXPECT_EQ(after["RepeatDelay"], factory["RepeatDelay"]);
    EXPECT_EQ(after["WinFlag"].asInt(), 1);
}

TEST_F(ShootAndColourJourney, CustomColourButtonsLightOrDarkenEveryKey) {
    PlugAndWait(Device::KeyboardWired);
    ShowDevicePage(Device::KeyboardWired);
    if (!Shown("light_combo_modeSelect")) ASSERT_TRUE(Click("deng_Op_tab"));
    ASSERT_TRUE(Shown("custom_bright_color_btn"));
    // Outside the custom-colour effect the buttons send nothing.
    Devices().ClearReceived(Device::KeyboardWired);
    ASSERT_TRUE(Click("custom_bright_color_btn"));
    EXPECT_EQ(Devices().CountOf(Device::KeyboardWired, kWriteKeyColours), 0u);

    ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 20));
    ASSERT_TRUE(WaitUntil([&] { return Block(1) == 20; }, kDeviceWaitMs));
    ASSERT_TRUE(TypeInto("deng_edit_R", "255"));
    ASSERT_TRUE(TypeInto("deng_edit_G", "0"));
    ASSERT_TRUE(TypeInto("deng_edit_B", "0"));
    const size_t group = size_t(Block(25));
    auto litKeys = [&] {
        const std::vector<uint8_t> colours = Devices().KeyColours(Device::KeyboardWired, group);
        int lit = 0;
        for (size_t i = 0; i + 2 < colours.size(); i += 3) lit += colours[i] > 0 && colours[i + 1] == 0;
        return lit;
    };
    ASSERT_TRUE(Click("custom_bright_color_btn"));
    EXPECT_TRUE(WaitUntil([&] { return litKeys() > 100; }, kDeviceWaitMs)) << litKeys();
    EXPECT_TRUE(WaitUntil([this] { return HueDistance(ShownColour("light_42"), qRgb(255, 0, 0)) < 20; },
                          kDeviceWaitMs));
    Screenshot("keyboard_custom_colours_on.png");
    ASSERT_TRUE(Click("custom_off_color_btn"));
    EXPECT_TRUE(WaitUntil([&] { return litKeys() == 0; }, kDeviceWaitMs)) << litKeys();
    EXPECT_TRUE(WaitUntil([this] { return IsDark(ShownColour("light_42")); }, kDeviceWaitMs));
}

}  // namespace
}  // namespace journeys
