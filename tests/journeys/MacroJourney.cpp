// Macros as a user makes them: a new macro, recorded, its events edited, a mouse click and a
// move put in by hand, renamed, exported, imported back, deleted. The list, the ".mac" files and
// the key panel's macro list follow every step.
//
// The keyboard and mouse events of a recording come from the global input hook, which these
// journeys do not drive: they hand the page's hook sink the events the hook would hand it, as the
// main window does while a recording runs. Everything else is done with input events on the
// panel's controls.

#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QTest>
#include <fstream>

#include "support/JourneyFixture.h"
// The window's headers after the fixture's: what the pages hold is read, never set.
#include "devices/TavimondUSBDevice.h"
#include "platform/InputHookEvents.h"

namespace fs = std::filesystem;
using vx::platform::KeyboardEventRecord;
using vx::platform::MouseEventRecord;

namespace journeys {
namespace {

constexpr uint32_t kKeyDown = vx::platform::kWmKeyDown;
constexpr uint32_t kKeyUp = vx::platform::kWmKeyUp;
constexpr uint32_t kScanA = 0x1E;
constexpr uint32_t kScanB = 0x30;

class MacroJourney : public JourneyTest {
protected:
    // What the hook hands the page while a recording of target `target` runs.
    void HookKey(Device device, uint32_t message, uint32_t scanCode, int target = vx::platform::kHookMacro) {
        vx::platform::IHookEventSink* sink = PageOf(device)->HookEventSink();
        ASSERT_NE(sink, nullptr);
        KeyboardEventRecord record;
        record.scanCode = scanCode;
        sink->OnRecordKey(target, message, record);
        Run(60);
    }
    void HookMouse(Device device, uint32_t message, int target = vx::platform::kHookMacro) {
        vx::platform::IHookEventSink* sink = PageOf(device)->HookEventSink();
        ASSERT_NE(sink, nullptr);
        // Far away from the window's stop button.
        MouseEventRecord record;
        record.x = -5000;
        record.y = -5000;
        sink->OnRecordMouse(target, message, record);
        Run(60);
    }

    bool ClickListRow(const QString& listName, int row) {
        auto* list = qobject_cast<QListWidget*>(Find(listName));
        if (list == nullptr || row >= list->count()) {
            ADD_FAILURE() << "no row " << row << " in \"" << listName.toStdString() << "\"";
            return false;
        }
        QWidget* target = list->itemWidget(list->item(row));
        if (target == nullptr) target = list->viewport();
        const QPoint at = target == list->viewport() ? list->visualItemRect(list->item(row)).center()
                                                     : target->rect().center();
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
        Run(80);
        return true;
    }

    // A right click as the desktop delivers it: the press and release, then the context menu
    // request for the point.
    bool RightClick(QWidget* widget) {
        if (widget == nullptr || !widget->isVisible()) {
            ADD_FAILURE() << "nothing visible to right-click";
            return false;
        }
        const QPoint at = widget->rect().center();
        QTest::mouseClick(widget, Qt::RightButton, Qt::NoModifier, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &menu);
        Run(120);
        return true;
    }

    QStringList ListTexts(const QString& listName) {
        QStringList texts;
        if (auto* list = qobject_cast<QListWidget*>(Find(listName))) {
            for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        }
        return texts;
    }

    int RowCount() {
        auto* list = qobject_cast<QListWidget*>(Find("macro_action_list"));
        return list ? list->count() : -1;
    }

    fs::path Folder(Device device) { return PageOf(device)->MacroFolder(); }

    Json::Value MacroList(Device device) { return ReadJson(Folder(device) / "macro.config")["MacroInfo"]; }

    Json::Value Events(Device device, int macro) {
        const std::string guid = MacroList(device)[macro]["Guid"].asString();
        return ReadJson(Folder(device) / (guid + ".mac"))["Events"];
    }

    static std::string Row(const Json::Value& e) {
        return e["Action"].asString() + " " + std::to_string(e["Type"].asInt()) + " " +
               std::to_string(e["Button"].asInt()) + " " + e["Delay"].asString();
    }
    static std::vector<std::string> Rows(const Json::Value& events) {
        std::vector<std::string> rows;
        for (const Json::Value& e : events) rows.push_back(Row(e));
        return rows;
    }
};

TEST_F(MacroJourney, RecordEditRenameExportImportAndDeleteAMacro) {
    PlugAndWait(Device::KeyboardWired);
    ShowDevicePage(Device::KeyboardWired);
    ASSERT_TRUE(Click("macro_Op_tab"));
    EXPECT_FALSE(Find("macro_btn_starredio")->isEnabled()) << "recording offered without a macro";

    ASSERT_TRUE(Click("macro_btn_name_add"));
    EXPECT_EQ(ListTexts("macro_name_list"), QStringList{"macro_1"});
    ASSERT_EQ(MacroList(Device::KeyboardWired).size(), 1u);

    // Recorded with a fixed delay of 120 ms: a held key gives one press, not one per repeat.
    ASSERT_TRUE(Click("macro_check_time"));
    ASSERT_TRUE(TypeInto("macro_fixed_time_edit", "120"));
    ASSERT_TRUE(Click("macro_btn_starredio"));
    EXPECT_TRUE(Shown("macro_btn_stopredio"));
    EXPECT_FALSE(Shown("macro_btn_starredio"));
    HookKey(Device::KeyboardWired, kKeyDown, kScanA);
    HookKey(Device::KeyboardWired, kKeyDown, kScanA);
    HookKey(Device::KeyboardWired, kKeyDown, kScanA);
    HookKey(Device::KeyboardWired, kKeyUp, kScanA);
    HookMouse(Device::KeyboardWired, vx::platform::kWmLButtonDown);
    HookMouse(Device::KeyboardWired, vx::platform::kWmLButtonUp);
    EXPECT_EQ(RowCount(), 4);
    Screenshot("macro_panel_recording.png");
    ASSERT_TRUE(Click("macro_btn_stopredio"));
    EXPECT_TRUE(Shown("macro_btn_starredio"));
    EXPECT_EQ(Rows(Events(Device::KeyboardWired, 0)),
              (std::vector<std::string>{"down 10 4 120", "up 10 4 120", "down 1 1 120", "up 1 1 120"}));

    // The first event's pause typed in: saved at once.
    ASSERT_TRUE(TypeInto("macro_delay", "300"));
    EXPECT_EQ(Events(Device::KeyboardWired, 0)[0]["Delay"].asString(), "300");

    // A right click on the first event offers the menu; a right-button click goes in after it.
    ASSERT_TRUE(RightClick(Find("macro_action")));
    ASSERT_TRUE(MenuOffers("left_click"));
    ASSERT_TRUE(MenuOffers("redio_later_ignore_time"));
    ASSERT_TRUE(ChooseMenuItem("right_click"));
    Run(100);
    EXPECT_EQ(Rows(Events(Device::KeyboardWired, 0)),
              (std::vector<std::string>{"down 10 4 300", "down 1 2 120", "up 1 2 120", "up 10 4 120",
                                        "down 1 1 120", "up 1 1 120"}));
    // A move of 25 to the left after the chosen event, then moved to the top and saved.
    ASSERT_TRUE(TypeInto("mouse_x_left_edit", "25"));
    ASSERT_TRUE(Click("macro_inset_moveleftkey_btn"));
    EXPECT_EQ(Row(Events(Device::KeyboardWired, 0)[3]), "down 4 25 120");
    ASSERT_TRUE(Click("macro_btn_uptop"));
    ASSERT_TRUE(Click("macro_btn_save"));
    EXPECT_EQ(Row(Events(Device::KeyboardWired, 0)[0]), "down 4 25 120");
    EXPECT_EQ(Events(Device::KeyboardWired, 0).size(), 7u);
    // Removed again, but not saved: "revert" brings the saved list back.
    ASSERT_TRUE(Click("macro_btn_delete"));
    EXPECT_EQ(RowCount(), 6);
    ASSERT_TRUE(Click("macro_btn_cancel"));
    EXPECT_EQ(RowCount(), 7);
    Screenshot("macro_panel_keyboard.png");

    // Renamed; a name already taken is refused with a notice.
    ASSERT_TRUE(TypeInto("macro_edit_macroname", "Reload"));
    ASSERT_TRUE(Click("macro_btn_name_edit"));
    EXPECT_EQ(ListTexts("macro_name_list"), QStringList{"Reload"});
    EXPECT_EQ(MacroList(Device::KeyboardWired)[0]["MacroName"].asString(), "Reload");
    AnswerNextMessageBox(true);
    ASSERT_TRUE(TypeInto("macro_edit_macroname", "RELOAD"));
    ASSERT_TRUE(Click("macro_btn_name_edit"));
    EXPECT_TRUE(MessageBoxWasShown());
    EXPECT_EQ(MacroList(Device::KeyboardWired)[0]["MacroName"].asString(), "Reload");

    // The key panel offers it by its new name.
    ASSERT_TRUE(Click("key_Op_tab"));
    ASSERT_TRUE(Click("key_5"));
    ASSERT_TRUE(ChooseItem("keyset_function_combo", "Macro"));
    EXPECT_EQ(ComboItems("keyset_macro_combo"), QStringList{"Reload"});

    // Exported, then imported back as a second macro with the same events.
    ASSERT_TRUE(Click("macro_Op_tab"));
    // Only the name is typed, without its suffix: the file goes to the folder the dialog opened
    // in, as a ".mac" file the import offers.
    AnswerNextFileDialog("reload");
    ASSERT_TRUE(Click("macro_btn_export"));
    const fs::path exported = fs::path(LastDialogFolder().toStdString()) / "reload.mac";
    ASSERT_TRUE(fs::exists(exported)) << "no " << exported;
    EXPECT_EQ(Rows(ReadJson(exported)["Events"]), Rows(Events(Device::KeyboardWired, 0)));
    AnswerNextFileDialog(exported.filename().string());
    ASSERT_TRUE(Click("macro_btn_import"));
    EXPECT_EQ(ListTexts("macro_name_list"), (QStringList{"Reload", "macro_1"}));
    EXPECT_EQ(RowCount(), 7);
    EXPECT_EQ(Rows(Events(Device::KeyboardWired, 1)), Rows(Events(Device::KeyboardWired, 0)));
    ASSERT_TRUE(Click("key_Op_tab"));
    EXPECT_EQ(ComboItems("keyset_macro_combo"), (QStringList{"Reload", "macro_1"}));

    // Deleted after the question; its file goes with it.
    ASSERT_TRUE(Click("macro_Op_tab"));
    ASSERT_TRUE(ClickListRow("macro_name_list", 0));
    const std::string guid = MacroList(Device::KeyboardWired)[0]["Guid"].asString();
    AnswerNextMessageBox(true);
    ASSERT_TRUE(Click("macro_btn_name_sub"));
    EXPECT_EQ(ListTexts("macro_name_list"), QStringList{"macro_1"});
    EXPECT_EQ(MacroList(Device::KeyboardWired).size(), 1u);
    EXPECT_FALSE(fs::exists(Folder(Device::KeyboardWired) / (guid + ".mac")));
    ASSERT_TRUE(Click("key_Op_tab"));
    EXPECT_EQ(ComboItems("keyset_macro_combo"), QStringList{"macro_1"});
}

TEST_F(MacroJourney, TheMouseRecordsItsButtons) {
    PlugAndWait(Device::MouseWired);
    ShowDevicePage(Device::MouseWired);
    ASSERT_TRUE(Click("mouse_function_option_3"));
    ASSERT_TRUE(Click("macro_btn_name_add"));
    ASSERT_TRUE(Click("macro_btn_starredio"));
    HookMouse(Device::MouseWired, vx::platform::kWmRButtonDown);
    HookMouse(Device::MouseWired, vx::platform::kWmRButtonUp);
    HookKey(Device::MouseWired, kKeyDown, kScanB);
    HookKey(Device::MouseWired, kKeyUp, kScanB);
    ASSERT_TRUE(Click("macro_btn_stopredio"));
    const Json::Value events = Events(Device::MouseWired, 0);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0]["Type"].asInt(), 1);
    EXPECT_EQ(events[0]["Button"].asInt(), 2);
    EXPECT_EQ(events[2]["Type"].asInt(), 10);
    EXPECT_EQ(events[2]["Button"].asInt(), 0x05);
    Screenshot("macro_panel_mouse.png");
}

}  // namespace
}  // namespace journeys
