// The key and macro panels on a real keyboard page connected to a virtual keyboard, driven
// through the main window's routing as its notifications arrive: where assignments and macros
// end up on the device and in the profile files, and what the hook's events become in a macro.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QWidget>
#include <deque>
#include <fstream>
#include <map>

#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
// The page headers need the widget classes above.
#include "app/ControlRegistry.h"
#include "app/ControlRouter.h"
#include "app/PagePanels.h"
#include "devices/TavimondKeyboardDevice.h"
#include "panels/KeyFunctionTables.h"
#include "panels/KeySetControlUI.h"
#include "panels/MacroControlUI.h"
#include "profiles/JsonFile.h"
#include "profiles/MacroFiles.h"
#include "tests/devices/support/PageFixture.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/ResourceManager.h"
#include "tests/app/support/QuietRouterHost.h"

using vx::app::CControlRegistry;
using vx::app::CControlRouter;
using vx::app::CPagePanels;
using vx::app::IControlRouterHost;
using vx::app::WindowButton;
using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondUSBDevice;
using vx::devices::kTypeKeyboard;
using vx::panels::CKeySetControlUI;
using vx::panels::CMacroControlUI;
using vx::platform::KeyboardEventRecord;
using vx::platform::MouseEventRecord;
using vx::profiles::JsonFile;
using vx::widgets::CComboUI;
using vx::widgets::CListUI;
using vx::widgets::ControlEvent;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::TNotifyUI;
using vxtest::RigModel;
namespace ui = vx::widgets::ui;
namespace notify = vx::widgets::notify;

namespace fs = std::filesystem;

namespace {

const QString kKeyboardLayout = QStringLiteral("XML\\DeviceXml\\keyboarddevice.xml");
constexpr uint32_t kDown = vx::platform::kWmKeyDown;
constexpr uint32_t kUp = vx::platform::kWmKeyUp;
constexpr uint32_t kScanA = 0x1E;
constexpr uint32_t kScanB = 0x30;
constexpr int kKeyA = 5;  // two keys of the picture that run macros in these tests
constexpr int kKeyB = 6;

class PageHost : public vxtest::QuietRouterHost {
public:
    int AskQuestion(const QString& key) override {
        log.push_back("ask " + key.toStdString());
        if (answers.empty()) return 0;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowNotice(const QString& key) override { log.push_back("notice " + key.toStdString()); }
    void ShowNoticeText(const QString& text) override { log.push_back("message " + text.toStdString()); }
    QString OpenFileDialog(const QString&, const QString&) override { return file; }
    QString SaveFileDialog(const QString&, const QString&) override { return file; }

    std::vector<std::string> log;
    std::deque<int> answers;
    QString file;
};

class KeyMacroDeviceTest : public vxtest::PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        CResourceManager& resources = CResourceManager::GetInstance();
        resources.SetResourcePath(vxtest::RepoSkinDir());
        ASSERT_TRUE(resources.LoadResource());
        resources.LoadLanguage(QStringLiteral("lan_en.xml"));
        CControlRegistry::RegisterControlClasses();
        router = std::make_unique<CControlRouter>(host);
        keyboard = std::make_unique<CTavimondKeyboardDevice>();
        SetUpPage(*keyboard, "keyboard", 170, 170, 0, kTypeKeyboard, kKeyboardLayout);
        ASSERT_NE(keyboard->GetPage(), nullptr);
        ASSERT_TRUE(Connect(*keyboard, RigModel::KeyboardWired));
        keyboard->OnConnected();
        ASSERT_EQ(CPagePanels::Connect(*keyboard, nullptr), 4);
        host.current = keyboard.get();
        keys = CPagePanels::KeyPanelOf(keyboard.get());
        macros = CPagePanels::MacroPanelOf(keyboard.get());
        ASSERT_NE(keys, nullptr);
        ASSERT_NE(macros, nullptr);
        macros->SetTickSource([this] { return now; });
    }

    void TearDown() override {
        if (keyboard) {
            keyboard->StopLightingThread();
            Disconnect(*keyboard);
        }
        router.reset();
        keyboard.reset();
        PageTest::TearDown();
    }

    template <class T = QWidget>
    T* Find(const char* name) {
        return CPaintManagerUI::FindSubControl<T>(keyboard->GetPage(), QString::fromLatin1(name));
    }

    void Send(QWidget* sender, const QString& type, quintptr wParam = 0) {
        ASSERT_NE(sender, nullptr);
        TNotifyUI msg{type, sender, wParam, 0};
        router->Notify(msg);
    }
    void Click(const char* name) { Send(Find(name), notify::kClick); }
    // A user's choice in a combo: the combo shows it, then reports it.
    void Choose(const char* combo, int position) {
        auto* box = Find<CComboUI>(combo);
        ASSERT_NE(box, nullptr) << combo;
        box->SelectItem(position);
        Send(box, notify::kItemSelect, static_cast<quintptr>(position));
    }
    void ChooseMacroInList(int position) {
        auto* list = Find<CListUI>("macro_name_list");
        list->SelectItem(position);
        Send(list, notify::kItemSelect, static_cast<quintptr>(position));
    }
    // A key of the picture gets macro `macro` with play mode `mode`.
    void AssignMacro(int key, int macro, int mode) {
        Click(("key_" + std::to_string(key)).c_str());
        Choose("keyset_function_combo", keys->FunctionPosition(vx::panels::kFunctionMacro));
        Choose("keyset_macro_combo", macro);
        Choose("keyset_macro_over_combo", mode);
    }

    void HookKey(uint32_t message, uint32_t scan, int target = vx::platform::kHookMacro) {
        KeyboardEventRecord record;
        record.scanCode = scan;
        keyboard->HookEventSink()->OnRecordKey(target, message, record);
    }
    void HookMouse(uint32_t message, uint32_t mouseData = 0, int target = vx::platform::kHookMacro) {
        MouseEventRecord record;
        record.x = -9000;
        record.mouseData = mouseData;
        keyboard->HookEventSink()->OnRecordMouse(target, message, record);
    }

    // Rows of the shown macro as "action type button delay".
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int i = 0; i < macros->RowCount(); ++i) {
            const Json::Value e = macros->RowEvent(i);
            rows.push_back(e["Action"].asString() + " " + std::to_string(e["Type"].asInt()) + " " +
                           std::to_string(e["Button"].asInt()) + " " + macros->RowDelayText(i).toStdString());
        }
        return rows;
    }

    fs::path Folder() const { return keyboard->MacroFolder(); }
    std::vector<int> Slot(int key) {
        const std::vector<uint8_t> table = m_rig->KeyTable(RigModel::KeyboardWired);
        const size_t at = static_cast<size_t>(keyboard->KeySlotMap()[key]) * 3;
        if (table.size() < at + 3) return {};
        return {table[at], table[at + 1], table[at + 2]};
    }
    static int Assignment(const Json::Value& profile, int key, const char* member = "Assignment") {
        return profile["Device"][0]["KeyList"][key][member].asInt();
    }

    PageHost host;
    std::unique_ptr<CControlRouter> router;
    std::unique_ptr<CTavimondKeyboardDevice> keyboard;
    CKeySetControlUI* keys = nullptr;
    CMacroControlUI* macros = nullptr;
    uint32_t now = 1000;
};

TEST_F(KeyMacroDeviceTest, AKeyRunningAMacroReachesTheKeyboardWithTheMacrosSlotAndItsImage) {
    Click("macro_btn_name_add");
    Click("macro_btn_name_add");
    ASSERT_EQ(macros->Macros().size(), 2u);
    // The second macro is recorded; the first stays empty and unused.
    ChooseMacroInList(1);
    Click("macro_btn_starredio");
    now = 1100;
    HookKey(kDown, kScanB);
    now = 1350;
    HookKey(kUp, kScanB);
    Click("macro_btn_stopredio");

    AssignMacro(kKeyA, 1, 2);
    EXPECT_EQ(keys->Record().current.type, 0x70);
    EXPECT_EQ(keys->Record().current.first, 1);
    Click("key_butt_prosave");

    // The only macro the keys use sits in slot 0 of the device's macro memory, whatever its place
    // in the list: the key names slot 0.
    EXPECT_EQ(Slot(kKeyA), (std::vector<int>{0x70, 0, 2}));
    const std::vector<uint8_t> image = m_rig->ValidMacroImage(RigModel::KeyboardWired);
    ASSERT_EQ(image.size(), 16u + 6u + 2u * 4u) << "one macro of two events";
    EXPECT_EQ(image[4] | (image[5] << 8), 1) << "record count";
    const std::vector<uint8_t> events(image.end() - 8, image.end());
    // B pressed (type 10 | 0x80, usage 0x05) with the pause before its release, then released.
    EXPECT_EQ(events, (std::vector<uint8_t>{250, 0, 0x8A, 0x05, 0, 0, 0x0A, 0x05}));
    // The profile file keeps the macro's place in the list.
    const Json::Value saved = JsonFile().ReadJson(keyboard->GetProfileData()->GetProfilePath());
    EXPECT_EQ(Assignment(saved, kKeyA), 0x70 * 65536 + 1 * 256 + 2);
}

TEST_F(KeyMacroDeviceTest, DeletingAMacroUsedInTwoProfilesGivesItsKeysTheirDefaultsInBoth) {
    for (int i = 0; i < 3; ++i) Click("macro_btn_name_add");
    AssignMacro(kKeyA, 1, 0);
    AssignMacro(kKeyB, 2, 3);
    Click("key_butt_prosave");
    const fs::path own = keyboard->GetProfileData()->GetProfilePath();
    Json::Value document = JsonFile().ReadJson(own);
    ASSERT_EQ(Assignment(document, kKeyA), 0x700100);
    // A second profile of the device whose keys 7 and 8 run macros 1 and 2.
    document["Device"][0]["KeyList"][7]["Assignment"] = 0x700100;
    document["Device"][0]["KeyList"][8]["Assignment"] = 0x710205;
    const fs::path other = Folder() / "2024_01_02_03_04_05_006.Json";
    ASSERT_TRUE(JsonFile().TryWriteJson(other, document));
    const std::string otherBefore = vxtest::ReadFile(other);
    const std::string ownBefore = vxtest::ReadFile(own);

    // Confirmed, then told the macro is in use and cancelled: nothing changes anywhere.
    ChooseMacroInList(1);
    host.answers = {1, 0};
    Click("macro_btn_name_sub");
    EXPECT_EQ(host.log, (std::vector<std::string>{"ask message_text_4", "ask message_text_2"}));
    EXPECT_EQ(macros->Macros().size(), 3u);
    EXPECT_EQ(vxtest::ReadFile(other), otherBefore);
    EXPECT_EQ(vxtest::ReadFile(own), ownBefore);
    EXPECT_EQ(Find<CComboUI>("keyset_macro_combo")->GetCount(), 3);

    host.answers = {1, 1};
    Click("macro_btn_name_sub");
    ASSERT_EQ(macros->Macros().size(), 2u);
    const Json::Value ownAfter = JsonFile().ReadJson(own);
    const Json::Value otherAfter = JsonFile().ReadJson(other);
    // Keys running the deleted macro have their factory function again; keys running the macro
    // after it follow it down.
    EXPECT_EQ(Assignment(ownAfter, kKeyA), Assignment(ownAfter, kKeyA, "DefaultAssignment"));
    EXPECT_EQ(Assignment(ownAfter, kKeyB), 0x700103);
    EXPECT_EQ(Assignment(otherAfter, 7), Assignment(otherAfter, 7, "DefaultAssignment"));
    EXPECT_EQ(Assignment(otherAfter, 8), 0x710105);
    EXPECT_EQ(Find<CComboUI>("keyset_macro_combo")->GetCount(), 2);
    // The keyboard got the current profile's keys at once: key B's macro is now the only one used.
    const int factory = Assignment(ownAfter, kKeyA, "DefaultAssignment");
    EXPECT_EQ(Slot(kKeyA), (std::vector<int>{factory >> 16, (factory >> 8) & 0xFF, factory & 0xFF}));
    EXPECT_EQ(Slot(kKeyB), (std::vector<int>{0x70, 0, 3}));
}

TEST_F(KeyMacroDeviceTest, RecordingTakesDelaysByModeDropsRepeatsAndTakesMouseButtons) {
    Click("macro_btn_name_add");
    // Real time: each pause belongs to the event before it; a held key's repeats are dropped.
    Click("macro_btn_starredio");
    EXPECT_TRUE(macros->IsRecording());
    now = 1100;
    HookKey(kDown, kScanA);
    now = 1150;
    HookKey(kDown, kScanA);
    now = 1200;
    HookKey(kDown, kScanA);
    now = 1400;
    HookKey(kUp, kScanA);
    now = 1450;
    HookMouse(vx::platform::kWmLButtonDown);
    // Forward (XBUTTON 2) and back (XBUTTON 1) share one message: back right after forward is
    // taken for a repeat.
    now = 1500;
    HookMouse(vx::platform::kWmXButtonDown, 2u << 16);
    now = 1510;
    HookMouse(vx::platform::kWmXButtonDown, 1u << 16);
    // Events for another target, and keys the table does not know, are not this recording's.
    HookKey(kDown, kScanB, vx::platform::kHookMacroLater);
    HookKey(kDown, 0x7F);
    Click("macro_btn_stopredio");
    EXPECT_FALSE(macros->IsRecording());
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{"down 10 4 300", "up 10 4 50", "down 1 1 50", "down 1 16 0"}));
    const std::vector<vx::profiles::MacroEvent> saved =
        vx::profiles::MacroFiles(Folder()).LoadEvents(macros->Macros()[0].guid);
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[0].delay, 300);

    // Constant time: the new event and the one before it both carry the fixed delay; a fixed
    // delay beyond 16 bits is cut to the largest one.
    Click("macro_btn_deleteall");
    Find<COptionUI>("macro_check_time")->Selected(true);
    ui::SetText(Find("macro_fixed_time_edit"), "70000");
    Click("macro_btn_starredio");
    EXPECT_EQ(ui::GetText(Find("macro_fixed_time_edit")), "65535");
    ui::SetText(Find("macro_fixed_time_edit"), "75");
    Click("macro_btn_stopredio");
    Click("macro_btn_starredio");
    HookKey(kDown, kScanB);
    HookKey(kUp, kScanB);
    Click("macro_btn_stopredio");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"down 10 5 75", "up 10 5 75"}));

    // No time: zeros; "before" puts the events in front of the chosen row, "later" after it.
    macros->SelectRow(1);
    ControlEvent before;
    before.rowValue = 3 * 100 + vx::platform::kHookMacroPrevious;
    macros->OnRecordMenu(before);
    HookKey(kDown, kScanA, vx::platform::kHookMacroPrevious);
    macros->StopRecording();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"down 10 5 0", "down 10 4 0", "up 10 5 75"}));
    // Replacing the chosen row's key keeps its action and pause.
    macros->SelectRow(2);
    ControlEvent replace;
    replace.rowValue = 3 * 100 + vx::platform::kHookMacroSingle;
    macros->OnRecordMenu(replace);
    HookKey(kDown, 0x2C /* Z */, vx::platform::kHookMacroSingle);
    macros->StopRecording();
    EXPECT_EQ(Rows().back(), "up 10 29 75");
}

TEST_F(KeyMacroDeviceTest, ACapturedKeyBecomesTheKeysFunctionWithItsModifier) {
    auto capture = [this](uint32_t scan, bool extended) {
        KeyboardEventRecord record;
        record.scanCode = scan;
        record.flags = extended ? vx::platform::kKeyFlagExtended : 0;
        keyboard->HookEventSink()->OnSingleKey(kDown, record);
        // The release that follows changes nothing.
        keyboard->HookEventSink()->OnSingleKey(kUp, record);
    };
    auto keyText = [this] { return ui::GetText(Find("keyset_keyboard_text_edit")); };
    // Nothing is captured while no key of the picture is chosen.
    capture(kScanA, false);
    EXPECT_TRUE(keyText().isEmpty());

    Click("key_5");
    Choose("keyset_function_combo", keys->FunctionPosition(vx::panels::kFunctionKey));
    // Right Ctrl alone: the Ctrl option, the key's own bit.
    capture(0x1D, true);
    EXPECT_EQ(keys->GetModifierOption(), 1);
    EXPECT_TRUE(keyText().isEmpty());
    EXPECT_EQ(keys->Record().current.type, 0x20);
    EXPECT_EQ(keys->Record().current.first, 0x10);
    // Then A: Ctrl+A, Ctrl as the option gives it (the left one).
    capture(kScanA, false);
    EXPECT_EQ(keyText(), "A");
    EXPECT_EQ(keys->Record().current.first, 0x01);
    EXPECT_EQ(keys->Record().current.second, 0x04);
    // Pause and Num Lock share the make code 0x45; only Num Lock's carries E0.
    capture(0x45, false);
    EXPECT_EQ(keyText(), "Pause");
    EXPECT_EQ(keys->Record().current.second, 0x48);
    capture(0x45, true);
    EXPECT_EQ(keyText(), "Num Lock");
    EXPECT_EQ(keys->Record().current.second, 0x53);
    // A make code the table does not hold leaves everything as it was.
    capture(0x7F, false);
    EXPECT_EQ(keyText(), "Num Lock");

    Click("key_butt_prosave");
    EXPECT_EQ(Slot(5), (std::vector<int>{0x20, 0x01, 0x53}));
    // Shown again later from the stored record: the Ctrl option and the key's name.
    Click("key_6");
    Click("key_5");
    EXPECT_EQ(keys->ShownFunctionPage(), vx::panels::kFunctionKey);
    EXPECT_EQ(keys->GetModifierOption(), 1);
    EXPECT_EQ(keyText(), "Num Lock");
}

TEST_F(KeyMacroDeviceTest, AfterTheProfileIsRestoredTheKeyPanelShowsAndCancelsToWhatTheKeyNowHas) {
    Click("key_5");
    Choose("keyset_function_combo", keys->FunctionPosition(vx::panels::kFunctionMedia));
    Choose("keyset_media_combo", 6);  // volume up
    vx::profiles::KeyEntry entry;
    ASSERT_TRUE(keyboard->GetKeyEntry(5, &entry));
    ASSERT_EQ(entry.current.type, 0x30);
    // The window's "restore defaults" button, confirmed.
    QWidget restore;
    restore.setObjectName(QStringLiteral("default_btn"));
    host.answers = {1};
    Send(&restore, notify::kClick);
    ASSERT_TRUE(keyboard->GetKeyEntry(5, &entry));
    ASSERT_TRUE(entry.current.SameFunction(entry.defaults));
    EXPECT_EQ(keys->ShownFunctionPage(), vx::panels::kFunctionDefault);
    // Cancel goes back to what the key has in the restored profile, not to the media key of the
    // profile before.
    Click("key_butt_keycancel");
    ASSERT_TRUE(keyboard->GetKeyEntry(5, &entry));
    EXPECT_TRUE(entry.current.SameFunction(entry.defaults));
}

TEST_F(KeyMacroDeviceTest, MacrosTooLongForTheDeviceAreReportedAndNothingIsWritten) {
    Click("macro_btn_name_add");
    Click("macro_btn_starredio");
    // 600 events: 2400 bytes of events, more than the virtual keyboard's 2048 bytes of memory.
    for (int i = 0; i < 300; ++i) {
        HookKey(kDown, i % 2 ? kScanA : kScanB);
        HookKey(kUp, i % 2 ? kScanA : kScanB);
    }
    Click("macro_btn_stopredio");
    ASSERT_EQ(macros->RowCount(), 600);
    AssignMacro(kKeyA, 0, 0);
    const std::vector<int> slotBefore = Slot(kKeyA);
    const std::string fileBefore = vxtest::ReadFile(keyboard->GetProfileData()->GetProfilePath());
    host.log.clear();
    Click("key_butt_prosave");
    // The text says how many events have to go (header 16 + one record 6 + 2400, in 2048).
    const size_t over = (16 + 6 + 600 * 4 - m_rig->Capability(RigModel::KeyboardWired)[6] * 128) / 4 + 1;
    ASSERT_EQ(host.log.size(), 1u);
    EXPECT_EQ(host.log[0], "message The macros do not fit the device's memory. Remove " +
                               std::to_string(over) + " events and try again.");
    EXPECT_EQ(Slot(kKeyA), slotBefore);
    EXPECT_TRUE(m_rig->ValidMacroImage(RigModel::KeyboardWired).empty());
    EXPECT_EQ(vxtest::ReadFile(keyboard->GetProfileData()->GetProfilePath()), fileBefore);
    EXPECT_TRUE(Find("key_butt_prosave")->isEnabled()) << "the user can try again after shortening the macro";
}

TEST_F(KeyMacroDeviceTest, AHostileMacroFileIsRefusedOrClampedAndWritesNothingElsewhere) {
    const fs::path outside = m_root / "outside";
    fs::create_directories(outside);
    auto write = [&](const std::string& name, const std::string& text) {
        const fs::path path = outside / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    };
    auto import = [&](const fs::path& path) {
        host.file = QString::fromStdString(path.string());
        host.log.clear();
        Click("macro_btn_import");
    };
    // Not a macro at all, or more events than the editor could ever make: refused with a notice.
    std::string many = "{\"Events\":[";
    for (int i = 0; i < 5000; ++i)
        many += std::string(i ? "," : "") + "{\"Action\":\"down\",\"Type\":10,\"Button\":4}";
    many += "]}";
    for (const fs::path& refused :
         {write("many.mac", many), write("text.mac", "no json"), write("array.mac", "[1,2,3]"),
          write("events.mac", "{\"Events\":7}"), write("items.mac", "{\"Events\":[1,2]}")}) {
        import(refused);
        EXPECT_EQ(host.log, std::vector<std::string>{"notice macro_import_refused"}) << refused;
        EXPECT_TRUE(macros->Macros().empty()) << refused;
    }
    EXPECT_EQ(vxtest::ReadFile(Folder() / "macro.config").find("macro_"), std::string::npos);

    // A name of 100000 characters and a Guid that climbs out of the folder inside, absurd values
    // in its events: taken under a name of the list's own, values clamped, nothing written but
    // into the macro folder.
    const std::string name(100000, 'x');
    const fs::path odd =
        write("odd.mac", "{\"MacroName\":\"" + name +
                             "\",\"Guid\":\"../../../escape\",\"Events\":["
                             "{\"Action\":\"down\",\"Type\":10,\"Button\":4,\"Delay\":\"99999999\"},"
                             "{\"Action\":\"sideways\",\"Type\":2000000,\"Button\":-7,\"Delay\":\"-5\"},"
                             "{\"Action\":\"up\",\"Type\":10,\"Button\":4,\"Delay\":\"abc\"}]}");
    import(odd);
    ASSERT_EQ(macros->Macros().size(), 1u);
    EXPECT_EQ(macros->Macros()[0].name, u"macro_1");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"down 10 4 65535", "up 2000000 -7 65535", "up 10 4 0"}));
    EXPECT_FALSE(fs::exists(m_root / "escape.mac"));
    EXPECT_FALSE(fs::exists(Folder().parent_path() / "escape.mac"));
    Click("macro_btn_save");
    const Json::Value stored = JsonFile().ReadJson(Folder() / (macros->Macros()[0].guid + ".mac"));
    EXPECT_EQ(stored["Guid"].asString(), macros->Macros()[0].guid);
    EXPECT_EQ(stored["MacroName"].asString(), "macro_1");

    // A macro file that grew beyond what the editor makes shows the editor's limit of rows.
    Json::Value big(Json::objectValue);
    for (int i = 0; i < 4500; ++i) {
        Json::Value e(Json::objectValue);
        e["Action"] = i % 2 ? "up" : "down";
        e["Type"] = 10;
        e["Button"] = 4;
        e["Delay"] = "1";
        big["Events"].append(e);
    }
    ASSERT_TRUE(JsonFile().TryWriteJson(Folder() / (macros->Macros()[0].guid + ".mac"), big));
    ChooseMacroInList(0);
    EXPECT_EQ(macros->RowCount(), static_cast<int>(vx::profiles::kMaxRecordedEvents));
}

}  // namespace
