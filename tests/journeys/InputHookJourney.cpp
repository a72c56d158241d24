// What reaches the program from outside its controls: key presses on the keyboard itself light
// the key-reaction effects on the picture; a game's lighting event switches the effect for five
// seconds and then gives the previous one back; a recording holds the selector and the page's
// profile and key panels until it ends.

#include <QComboBox>
#include <QPushButton>
#include <QElapsedTimer>

#include "support/JourneyFixture.h"
// The window's headers after the fixture's: what the pages hold is read, never set, except the
// game event's restore delay, which the shortened cases set as a tester's clock would.
#include "app/ControlCenterBus.h"
#include "app/DevicePageSet.h"
#include "app/DeviceOptionUI.h"
#include "app/MainWnd.h"
#include "devices/TavimondKeyboardDevice.h"

using vx::app::CControlCenterBus;
using vx::app::CDeviceOptionUI;
using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondUSBDevice;

namespace journeys {
namespace {

constexpr uint16_t kUsageA = 0x04;
constexpr uint16_t kUsageEsc = 0x29;

class InputHookJourney : public JourneyTest {
protected:
    void OpenKeyboardLighting() {
        PlugAndWait(Device::KeyboardWired);
        ShowDevicePage(Device::KeyboardWired);
        if (!Shown("light_combo_modeSelect")) ASSERT_TRUE(Click("deng_Op_tab"));
        ASSERT_TRUE(WaitUntil([this] { return Shown("light_combo_modeSelect"); }, 1000));
    }

    void ChooseEffect(int mode) {
        ASSERT_TRUE(ChooseRow("light_combo_modeSelect", mode));
        ASSERT_TRUE(WaitUntil([&] { return Block(1) == mode; }, kDeviceWaitMs)) << "the keyboard did not get " << mode;
    }

    int Block(size_t byte) {
        const std::vector<uint8_t> block = Devices().ActiveConfigBlock(Device::KeyboardWired);
        return byte < block.size() ? block[byte] : -1;
    }

    int ShownEffect() {
        auto* combo = qobject_cast<QComboBox*>(Find("light_combo_modeSelect"));
        return combo ? combo->currentIndex() : -1;
    }

    int StoredEffect() { return SelectedDeviceRecord("keyboard")["LightInfo"]["SelectItem"].asInt(); }

    // The LED under the key a user sees labelled `label` on the picture.
    QString LedOf(const QString& label) {
        CTavimondUSBDevice* page = PageOf(Device::KeyboardWired);
        if (page == nullptr || page->GetPage() == nullptr) return {};
        for (auto* key : page->GetPage()->findChildren<QPushButton*>()) {
            if (key->objectName().startsWith(QLatin1String("key_")) && key->text() == label)
                return QStringLiteral("light_") + key->objectName().mid(4);
        }
        return {};
    }

    // Another program's game event, as it arrives over the program's message interface.
    bool PostGameEvent(const QString& name, qint64 kind, qint64 effect) {
        CControlCenterBus bus;
        bus.SetTarget(Window().GetHWND());
        return bus.PostMessage(name, kind, effect);
    }
};

TEST_F(InputHookJourney, KeysPressedOnTheKeyboardLightTheKeyReactionEffectOnThePicture) {
    ASSERT_NO_FATAL_FAILURE(OpenKeyboardLighting());
    const QString ledA = LedOf(QStringLiteral("A"));
    const QString ledEsc = LedOf(QStringLiteral("Esc"));
    ASSERT_FALSE(ledA.isEmpty()) << "the keyboard's A key has no LED";
    ASSERT_FALSE(ledEsc.isEmpty());

    // A static effect: a key press changes nothing on the picture's dark keys.
    ASSERT_NO_FATAL_FAILURE(ChooseEffect(7));
    ASSERT_TRUE(WaitUntil([&] { return IsDark(ShownColour(ledA)) && IsDark(ShownColour(ledEsc)); }, kDeviceWaitMs))
        << "the key-reaction effect is lit before any key";
    auto* keyboard = dynamic_cast<CTavimondKeyboardDevice*>(PageOf(Device::KeyboardWired));
    ASSERT_TRUE(WaitUntil([&] { return keyboard->KeyReaderFound(false); }, kDeviceWaitMs))
        << "the keyboard's own keyboard collection was not found";

    // The user presses A on the keyboard: its key lights on the picture, Esc stays dark.
    ASSERT_EQ(Devices().SendKeys(Device::KeyboardWired, 0, {kUsageA}), 1);
    EXPECT_TRUE(WaitUntil([&] { return !IsDark(ShownColour(ledA)); }, kDeviceWaitMs)) << "the pressed key stays dark";
    EXPECT_TRUE(IsDark(ShownColour(ledEsc)));
    Screenshot(QStringLiteral("key_reaction_mode7.png"));
    // Released, the key fades out again.
    ASSERT_EQ(Devices().SendKeys(Device::KeyboardWired, 0, {}), 1);
    EXPECT_TRUE(WaitUntil([&] { return IsDark(ShownColour(ledA)); }, 10000)) << "the released key stays lit";

    // In an effect without key reactions, pressing a key leaves the picture to the effect: back in
    // mode 7 nothing that was pressed meanwhile shows.
    ASSERT_NO_FATAL_FAILURE(ChooseEffect(28));
    ASSERT_EQ(Devices().SendKeys(Device::KeyboardWired, 0, {kUsageEsc}), 1);
    ASSERT_EQ(Devices().SendKeys(Device::KeyboardWired, 0, {}), 1);
    Run(200);
    ASSERT_NO_FATAL_FAILURE(ChooseEffect(7));
    Run(300);
    EXPECT_TRUE(IsDark(ShownColour(ledEsc))) << "a key pressed in another effect shows up later";
}

TEST_F(InputHookJourney, AGameEventSwitchesTheEffectAndGivesItBackAfterFiveSeconds) {
    ASSERT_NO_FATAL_FAILURE(OpenKeyboardLighting());
    ASSERT_NO_FATAL_FAILURE(ChooseEffect(3));

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(PostGameEvent(QStringLiteral("Game_Start"), 0, 5));
    ASSERT_TRUE(WaitUntil([&] { return ShownEffect() == 5 && Block(1) == 5; }, kDeviceWaitMs))
        << "the game's effect did not reach the panel and the keyboard";
    EXPECT_EQ(StoredEffect(), 5);
    EXPECT_EQ(SelectedDeviceRecord("keyboard")["LightInfo"]["OldLedmode"].asInt(), 3)
        << "the effect before the game was not kept";

    // Five seconds later the effect before the game is back, on the panel, the device and disk.
    ASSERT_TRUE(WaitUntil([&] { return ShownEffect() == 3 && Block(1) == 3; }, 8000 * kSlowdown))
        << "the effect was not given back";
    EXPECT_GE(clock.elapsed(), 4900) << "given back before the five seconds";
    EXPECT_EQ(StoredEffect(), 3);

    // A name that is not a registered message is refused and changes nothing.
    EXPECT_FALSE(PostGameEvent(QStringLiteral("Game_Whatever"), 0, 9));
    Run(200);
    EXPECT_EQ(ShownEffect(), 3);
}

TEST_F(InputHookJourney, TwoGameEventsInARowGiveBackTheFirstOnesEffect) {
    ASSERT_NO_FATAL_FAILURE(OpenKeyboardLighting());
    ASSERT_NO_FATAL_FAILURE(ChooseEffect(2));
    Window().SetGameRestoreDelay(800);

    ASSERT_TRUE(PostGameEvent(QStringLiteral("Game_Start"), 0, 5));
    ASSERT_TRUE(WaitUntil([&] { return Block(1) == 5; }, kDeviceWaitMs));
    // Within the first event's time: the second keeps the first's effect as the one to give back.
    ASSERT_TRUE(PostGameEvent(QStringLiteral("Game_Kill"), 0, 9));
    ASSERT_TRUE(WaitUntil([&] { return Block(1) == 9 && ShownEffect() == 9; }, kDeviceWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return !Window().GameRestorePending(); }, 3000 * kSlowdown));
    EXPECT_TRUE(WaitUntil([&] { return Block(1) == 5 && ShownEffect() == 5; }, kDeviceWaitMs))
        << "not the first event's effect came back";
    EXPECT_EQ(StoredEffect(), 5);

    // Kind 1 and 2 leave the effect to give back as it is; any other kind only restarts the timer.
    ASSERT_TRUE(PostGameEvent(QStringLiteral("Game_Death"), 1, 11));
    ASSERT_TRUE(WaitUntil([&] { return Block(1) == 11; }, kDeviceWaitMs));
    ASSERT_TRUE(PostGameEvent(QStringLiteral("Game_End"), 7, 13));
    Run(100);
    EXPECT_EQ(Block(1), 11) << "an event of an unknown kind changed the effect";
    EXPECT_TRUE(WaitUntil([&] { return Block(1) == 5 && ShownEffect() == 5; }, 3000 * kSlowdown));

    // An effect the keyboard does not have changes nothing, and the lighting stays whole.
    ASSERT_TRUE(PostGameEvent(QStringLiteral("Game_Start"), 0, 200));
    Run(100);
    EXPECT_EQ(Block(1), 5);
    EXPECT_EQ(ShownEffect(), 5);
}

TEST_F(InputHookJourney, ARecordingHoldsTheSelectorAndTheProfilePanelUntilItEndsOrTheDeviceGoes) {
    PlugAndWait(Device::KeyboardWired);
    PlugAndWait(Device::MouseWired);
    ShowDevicePage(Device::KeyboardWired);
    CTavimondUSBDevice* page = CurrentPage();
    ASSERT_NE(page, nullptr);
    vx::platform::IRecordingHost* host = page->RecordingHost();
    ASSERT_NE(host, nullptr) << "the page was given no recording host";

    // What the macro panel's start button asks for.
    host->StartRecording(1, vx::platform::kHookMacro);
    EXPECT_FALSE(Window().RecordingUnlocked());
    EXPECT_EQ(Window().Hook().Mode(), vx::platform::kHookMacro);
    QWidget* profilePanel = page->GetPage()->findChild<QWidget*>(QStringLiteral("DeviceProfileItem"));
    if (profilePanel) EXPECT_FALSE(profilePanel->isEnabled());
    // The user cannot switch to the mouse: its entry takes no click.
    CDeviceOptionUI* mouseEntry = Window().Pages()->EntryOf(PageOf(Device::MouseWired));
    ASSERT_NE(mouseEntry, nullptr);
    QWidget* mouseSelect = FindIn(mouseEntry, "device_select");
    ASSERT_NE(mouseSelect, nullptr);
    EXPECT_FALSE(mouseSelect->isEnabled()) << "another device could be chosen during a recording";

    host->StopRecording();
    EXPECT_TRUE(Window().RecordingUnlocked());
    EXPECT_FALSE(Window().Hook().KeyboardHookInstalled());
    if (profilePanel) EXPECT_TRUE(profilePanel->isEnabled());
    ShowDevicePage(Device::MouseWired);
    EXPECT_NE(CurrentPage(), page);

    // The keyboard is pulled out during a recording: the hook goes, the selector is free again
    // and shows the mouse.
    ShowDevicePage(Device::KeyboardWired);
    host->StartRecording(1, vx::platform::kHookMacro);
    ASSERT_FALSE(Window().RecordingUnlocked());
    ASSERT_EQ(Devices().Unplug(Device::KeyboardWired), 1);
    EXPECT_TRUE(WaitUntil([&] { return Window().RecordingUnlocked(); }, kDeviceWaitMs))
        << "the lock stayed after the recorded device went";
    EXPECT_FALSE(Window().Hook().KeyboardHookInstalled());
    EXPECT_TRUE(WaitUntil([&] { return CurrentPage() == PageOf(Device::MouseWired); }, kDeviceWaitMs));
    EXPECT_TRUE(mouseSelect->isEnabled());
}

}  // namespace
}  // namespace journeys
