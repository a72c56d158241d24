// Key assignment as a user does it: choose a key on the keyboard picture or a button on the mouse
// picture, give it another function on the key panel and save it to the device. The picture marks
// the key, the device's key table holds the new function in the key's slot, and the profile file
// keeps it.

#include <QComboBox>
#include <QListView>

#include "support/JourneyFixture.h"
// The window's headers after the fixture's: what the pages hold is read, never set.
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMouseDevice.h"
#include "widgets/DeviceKeyButtonUI.h"

using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondMouseDevice;
using vx::widgets::CDeviceKeyButtonUI;

namespace journeys {
namespace {

// A key's function as the profile file stores it: code, first, second in one number.
int Stored(int code, int first, int second) {
    return code * 65536 + first * 256 + second;
}

class KeyAssignmentJourney : public JourneyTest {
protected:
    // The three bytes of a slot of the device's key table.
    std::vector<int> SlotFunction(Device device, int slot) {
        const std::vector<uint8_t> table = Devices().KeyTable(device);
        const size_t at = static_cast<size_t>(slot) * 3;
        if (slot < 0 || table.size() < at + 3) return {};
        return {table[at], table[at + 1], table[at + 2]};
    }

    bool Marked(const QString& keyName) {
        auto* key = qobject_cast<CDeviceKeyButtonUI*>(Find(keyName));
        return key != nullptr && !key->IsKeySetImageHidden();
    }

    // The items the open list of a combo shows (hidden rows are not offered).
    QStringList OfferedItems(const QString& name) {
        QStringList items;
        auto* combo = qobject_cast<QComboBox*>(Find(name));
        auto* view = combo ? qobject_cast<QListView*>(combo->view()) : nullptr;
        for (int i = 0; combo && view && i < combo->count(); ++i) {
            if (!view->isRowHidden(i)) items << combo->itemText(i);
        }
        return items;
    }

    int SavedAssignment(const std::string& folder, int key) {
        return SelectedDeviceRecord(folder)["KeyList"][key]["Assignment"].asInt();
    }
};

TEST_F(KeyAssignmentJourney, AKeyboardKeyAndAMouseButtonTakeANewFunction) {
    PlugAndWait(Device::KeyboardWired);
    ShowDevicePage(Device::KeyboardWired);
    ASSERT_TRUE(Click("key_Op_tab"));
    // Before a key is chosen the panel asks for one.
    EXPECT_TRUE(Shown("keyset_hint"));
    EXPECT_FALSE(Shown("keyset_function_combo"));
    EXPECT_FALSE(Marked("key_0"));

    ASSERT_TRUE(Click("key_0"));
    ASSERT_TRUE(Shown("keyset_function_combo"));
    EXPECT_EQ(ComboText("keyset_function_combo"), QStringLiteral("Default"));
    // A keyboard has no DPI functions and no gun keys to offer.
    const QStringList offered = OfferedItems("keyset_function_combo");
    EXPECT_TRUE(offered.contains(QStringLiteral("Media")));
    EXPECT_FALSE(offered.contains(QStringLiteral("Gun key")));
    EXPECT_FALSE(offered.contains(QStringLiteral("DPI")));
    ASSERT_TRUE(ChooseItem("keyset_function_combo", QStringLiteral("Media")));
    // The media list starts at its first entry, and the key takes it at once.
    EXPECT_EQ(ComboText("keyset_media_combo"), QStringLiteral("Media Player"));
    EXPECT_TRUE(Marked("key_0")) << "choosing a function left the key as it was";
    ASSERT_TRUE(ChooseItem("keyset_media_combo", QStringLiteral("Volume Up")));
    EXPECT_TRUE(Marked("key_0")) << "the picture does not mark the changed key";
    Screenshot("key_panel_keyboard.png");

    auto* keyboard = dynamic_cast<CTavimondKeyboardDevice*>(PageOf(Device::KeyboardWired));
    ASSERT_NE(keyboard, nullptr);
    const int slot = keyboard->KeySlotMap()[0];
    ASSERT_NE(slot, CTavimondKeyboardDevice::kNoSlot);
    // Nothing reaches the keyboard before the user saves to it.
    EXPECT_NE(SlotFunction(Device::KeyboardWired, slot), (std::vector<int>{0x30, 0xE9, 0x00}));
    ASSERT_TRUE(Click("key_butt_prosave"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return SlotFunction(Device::KeyboardWired, slot) == std::vector<int>{0x30, 0xE9, 0x00};
        },
        kDeviceWaitMs))
        << "the keyboard's key table never got volume up in the key's slot";
    EXPECT_EQ(SavedAssignment("keyboard", 0), Stored(0x30, 0xE9, 0x00));
    QWidget* write = Find("key_butt_prosave");
    ASSERT_NE(write, nullptr);
    EXPECT_FALSE(write->isEnabled()) << "save to device stays offered after the write";

    // The mouse: a button chosen on its picture becomes "DPI up".
    PlugAndWait(Device::MouseWired);
    ShowDevicePage(Device::MouseWired);
    ASSERT_TRUE(Click("mouse_function_option_0"));
    ASSERT_TRUE(Click("key_2"));
    EXPECT_TRUE(OfferedItems("keyset_function_combo").contains(QStringLiteral("Gun key")));
    ASSERT_TRUE(ChooseItem("keyset_function_combo", QStringLiteral("DPI")));
    ASSERT_TRUE(ChooseItem("keyset_mousedpi_combo", QStringLiteral("DPI up")));
    EXPECT_TRUE(Marked("key_2"));
    Screenshot("key_panel_mouse.png");
    auto* mouse = dynamic_cast<CTavimondMouseDevice*>(PageOf(Device::MouseWired));
    ASSERT_NE(mouse, nullptr);
    const int buttonSlot = mouse->ButtonMap().SlotOf(2);
    ASSERT_NE(buttonSlot, 170);
    ASSERT_TRUE(Click("key_butt_prosave"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return SlotFunction(Device::MouseWired, buttonSlot) == std::vector<int>{0x13, 1, 0};
        },
        kDeviceWaitMs))
        << "the mouse's key table never got DPI up in the button's slot";
    EXPECT_EQ(SavedAssignment("mouse", 2), Stored(0x13, 1, 0));

    // Back to the default: the mark goes, the device and the file get the factory function.
    ASSERT_TRUE(Click("key_butt_keydefalut"));
    ASSERT_TRUE(Click("key_butt_keysave"));
    EXPECT_FALSE(Marked("key_2"));
    ASSERT_TRUE(Click("key_butt_prosave"));
    const int factory = SelectedDeviceRecord("mouse")["KeyList"][2]["DefaultAssignment"].asInt();
    ASSERT_TRUE(WaitUntil([&] { return SavedAssignment("mouse", 2) == factory; }, kDeviceWaitMs));
    EXPECT_EQ(SlotFunction(Device::MouseWired, buttonSlot),
              (std::vector<int>{factory >> 16, (factory >> 8) & 0xFF, factory & 0xFF}));
}

TEST_F(KeyAssignmentJourney, AMouseAsleepBehindItsReceiverGetsItsButtonsWhenItAnswersAgain) {
    PlugAndWait(Device::MouseReceiver);
    ShowDevicePage(Device::MouseReceiver);
    auto* mouse = dynamic_cast<CTavimondMouseDevice*>(PageOf(Device::MouseReceiver));
    ASSERT_NE(mouse, nullptr);
    const int slot = mouse->ButtonMap().SlotOf(2);
    ASSERT_NE(slot, 170);
    ASSERT_TRUE(Click("mouse_function_option_0"));
    ASSERT_TRUE(Click("key_2"));
    ASSERT_TRUE(ChooseItem("keyset_function_combo", QStringLiteral("Mouse button")));
    ASSERT_TRUE(ChooseItem("keyset_mousekey_combo", QStringLiteral("Forward")));

    // The mouse sleeps: nothing reaches it, the user is told, and the choice is kept.
    ASSERT_EQ(Devices().SetAsleep(Device::MouseReceiver, true), 1);
    Devices().ClearReceived(Device::MouseReceiver);
    AnswerNextMessageBox(true);
    ASSERT_TRUE(Click("key_butt_prosave"));
    ASSERT_TRUE(WaitUntil([this] { return MessageBoxWasShown(); }, kDeviceWaitMs)) << "the user was not told";
    EXPECT_EQ(LastMessageText(), QStringLiteral("The settings could not be written to the device."));
    EXPECT_NE(SlotFunction(Device::MouseReceiver, slot), (std::vector<int>{0x10, 0x10, 0x00}));
    EXPECT_EQ(SavedAssignment("mouse", 2), Stored(0x10, 0x10, 0x00));
    EXPECT_TRUE(Marked("key_2"));

    // Awake again: the next save reaches it.
    ASSERT_EQ(Devices().SetAsleep(Device::MouseReceiver, false), 1);
    ASSERT_TRUE(Click("key_2"));
    EXPECT_EQ(ComboText("keyset_mousekey_combo"), QStringLiteral("Forward"));
    ASSERT_TRUE(ChooseItem("keyset_mousekey_combo", QStringLiteral("Back")));
    ASSERT_TRUE(ChooseItem("keyset_mousekey_combo", QStringLiteral("Forward")));
    ASSERT_TRUE(Click("key_butt_prosave"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return SlotFunction(Device::MouseReceiver, slot) == std::vector<int>{0x10, 0x10, 0x00};
        },
        kDeviceWaitMs))
        << "the mouse never got forward in the button's slot";
}

}  // namespace
}  // namespace journeys
