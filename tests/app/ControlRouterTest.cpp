// Control routing: which row a name reaches (letter case, prefix rows, first match), what the
// window rows do, the current-page rule, questions and timer 1055, and the same-mode action
// across device pages.
#include <algorithm>
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSet>
#include <QXmlStreamReader>
#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "app/ControlRouter.h"
#include "app/LightingSyncPages.h"
#include "app/WindowRoutes.h"
#include "devices/TavimondUSBDevice.h"
#include "devices/lighting/LightingClock.h"
#include "widgets/ControlUI.h"
#include "widgets/EditUI.h"
#include "widgets/LabelUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/SliderUI.h"
#include "tests/widgets/support/QtTestEnv.h"

using vx::lighting::CLightingSync;
using vx::lighting::ILightingSyncTarget;
using vx::lighting::SharedEffect;
using vx::lighting::SyncEffectState;
using vx::app::CControlRouter;
using vx::app::CLightingSyncPages;
using vx::app::CWindowRoutes;
using vx::app::RouteOwner;
using vx::app::RouteRow;
using vx::app::WindowButton;
namespace routes = vx::app::routes;
using vx::devices::CTavimondUSBDevice;
using vx::devices::DeviceIdentity;
using vx::devices::kTypeHeadset;
using vx::devices::kTypeKeyboard;
using vx::devices::kTypeKeyboardReceiver;
using vx::devices::kTypeMouse;
using vx::devices::kTypeMousePad;
using vx::widgets::CEditUI;
using vx::widgets::CLabelUI;
using vx::widgets::CSliderUI;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;
using vx::widgets::TNotifyUI;

namespace {

// A device page that records what the routing asks of it.
class RecordingPage : public vx::devices::CTavimondUSBDevice {
public:
    explicit RecordingPage(uint16_t typeCode, int leds = 15) {
        DeviceIdentity id;
        id.typeCode = typeCode;
        SetDeviceRecord(id);
        SetLedCount(leds);
    }
    void SelectKey(int key) override {
        CTavimondUSBDevice::SelectKey(key);
        calls.push_back("SelectKey " + std::to_string(key));
    }
    void ResetToProfile() override { calls.push_back("ResetToProfile"); }
    void SaveProfile() override { calls.push_back("SaveProfile"); }
    void RefreshPage() override { calls.push_back("RefreshPage"); }
    int WriteSettings(int profile, int, int flag, int width, int height) override {
        calls.push_back("WriteSettings " + std::to_string(profile) + " " + std::to_string(flag) + " " +
                        std::to_string(width) + "x" + std::to_string(height) + " mode " +
                        std::to_string(GetLightInfo().selectItem));
        return 1;
    }
    std::vector<std::string> calls;
};

class RecordingHost : public vx::app::IControlRouterHost {
public:
    CTavimondUSBDevice* CurrentDevicePage() override { return current; }
    QWidget* FindWindowControl(const QString& name) override {
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (w->objectName().compare(name, Qt::CaseInsensitive) == 0) return w;
        }
        return nullptr;
    }
    void OnWindowInit() override { log.push_back("init"); }
    void OnWindowButton(WindowButton button) override {
        static const char* const kNames[] = {"close", "no device ok", "light control", "minimize",
                                             "maximize",  "restore", "skin", "settings"};
        log.push_back(std::string("button ") + kNames[static_cast<int>(button)]);
    }
    void OnDeviceSelectChanged() override { log.push_back("select changed"); }
    void SelectAdjacentDevice(bool next) override { log.push_back(next ? "next" : "prev"); }
    int AskQuestion(const QString& key) override {
        log.push_back("ask " + key.toStdString());
        return answer;
    }
    void ShowNotice(const QString& key) override { log.push_back("notice " + key.toStdString()); }
    QString OpenFileDialog(const QString& name, const QString& pattern) override {
        log.push_back("open " + name.toStdString() + " " + pattern.toStdString());
        return chosenFile;
    }
    QString SaveFileDialog(const QString& name, const QString& pattern) override {
        log.push_back("save " + name.toStdString() + " " + pattern.toStdString());
        return chosenFile;
    }
    void SetWindowTimer(int id, int ms) override { timers[id] = ms; }
    void KillWindowTimer(int id) override { timers.erase(id); }
    QSize ScreenSize() override { return {1920, 1080}; }
    bool LaunchDetached(const QString& program, const QStringList& arguments) override {
        launched = QStringList{program} + arguments;
        return true;
    }
    void SendCompanionCommand(int command, int value) override {
        log.push_back("companion " + std::to_string(command) + " " + std::to_string(value));
    }
    void EndKeyCapture() override { log.push_back("capture end"); }
    void OpenSettingsWindow(bool centred) override { log.push_back(centred ? "settings centred" : "settings"); }
    void OpenAudioStyleWindow() override { log.push_back("audio styles"); }
    void OpenAboutWindow() override { log.push_back("about"); }
    int PickColour(QRgb& colour) override {
        log.push_back("pick colour");
        colour = pickedColour;
        return pickResult;
    }

    CTavimondUSBDevice* current = nullptr;
    QRgb pickedColour = 0;
    int pickResult = 0;
    QWidget window;
    std::vector<std::string> log;
    std::map<int, int> timers;
    QStringList launched;
    int answer = 0;
    QString chosenFile;
};

// A control of the window with a name, as the layouts give them.
template <class T = QWidget>
T* Control(RecordingHost& host, const QString& name) {
    auto* w = new T(&host.window);
    w->setObjectName(name);
    return w;
}

bool Send(CControlRouter& router, QWidget* sender, const QString& type, quintptr wParam = 0) {
    TNotifyUI msg{type, sender, wParam, 0};
    return router.Notify(msg);
}

std::vector<std::pair<QString, std::span<const RouteRow>>> AllTables() {
    return {{notify::kClick, routes::kClick},         {notify::kSelectChanged, routes::kSelect},
            {notify::kValueChanged, routes::kValue},  {notify::kMoveValueChanged, routes::kDrag},
            {notify::kKillFocus, routes::kKillFocus}, {notify::kReturn, routes::kReturn},
            {notify::kItemSelect, routes::kItem},
            {notify::kColorChanged, routes::kColour}, {QStringLiteral("menu"), routes::kMenu},
            {QStringLiteral("menu"), routes::kMenuRequest}};
}

}  // namespace

TEST(ControlRouterTables, EveryRowIsReachableInAnyLetterCase) {
    // A row shadowed by an earlier one (same name, or a prefix catching it) would never run.
    for (const auto& [type, table] : AllTables()) {
        for (const RouteRow& row : table) {
            QString name = QString::fromLatin1(row.name);
            if (row.prefix) name += QStringLiteral("17");
            for (const QString& spelling : {name, name.toUpper(), name.toLower()}) {
                int index = -2;
                const RouteRow* found = type == QStringLiteral("menu")
                                            ? routes::Find(table, spelling, index)
                                            : CControlRouter::Resolve(type, spelling, index);
                ASSERT_EQ(found, &row) << type.toStdString() << " " << spelling.toStdString();
                EXPECT_EQ(index, row.prefix ? 17 : -1);
            }
        }
    }
}

// The layouts of windows that handle their own controls: the message box, the settings window
// with its update rows, the colour picker.
constexpr const char* kOwnWindows[] = {"msgwnd.xml", "setwnd.xml", "device_Update_list_item.xml",
                                       "PalletDialog.xml", "AboutWnd.xml", "skin.xml", "music.xml"};

TEST(ControlRouterTables, EveryControlOfTheLayoutsIsRouted) {
    // The classes of the layouts that report user actions.
    const QSet<QString> interactive = {"QPushButton", "Button",  "Option",   "QRadioButton",
                                       "QCheckBox",   "QLineEdit", "Edit",   "Slider",
                                       "QSlider",     "QComboBox", "ColorPalette"};
    // Controls that take no row on purpose: buttons without an action of their own yet, edits
    // read by another control's action, the selector entry's own check box, and the menu's
    // "exit", which the window handles itself.
    const QSet<QString> noRow = {"gamemodebtn",          "cloudbtn",
                                 "smarteyesbtn",         "synchro_device_select",
                                 "device_profile_name_edit", "repeat_input_richedit",
                                 "macro_edit_macroname",  "macro_fixed_time_edit",
                                 "macro_check_time",      "mouse_x_left_edit",
                                 "mouse_x_right_edit",    "mouse_y_up_edit",
                                 "mouse_y_down_edit",     "macro_tab_macroaction_edit",
                                 "macro_tab_macrodelay_edit", "custom_eq_name_edit",
                                 "exit"};
    int controls = 0;
    QDirIterator files(vxtest::RepoSkinDir(), {QStringLiteral("*.xml")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        // Windows of their own that handle their own controls.
        if (std::any_of(std::begin(kOwnWindows), std::end(kOwnWindows),
                        [&](const char* own) { return path.endsWith(QLatin1String(own)); }))
            continue;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        QXmlStreamReader xml(&file);
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("widget")) continue;
            if (!interactive.contains(xml.attributes().value("class").toString())) continue;
            const QString name = xml.attributes().value("name").toString();
            ++controls;
            if (noRow.contains(name)) continue;
            bool known = false;
            for (const auto& [type, table] : AllTables()) {
                int index = -1;
                known = known || routes::Find(table, name, index) != nullptr;
            }
            EXPECT_TRUE(known) << path.toStdString() << ": " << name.toStdString();
        }
        EXPECT_FALSE(xml.hasError()) << path.toStdString();
    }
    EXPECT_GT(controls, 100);
}

TEST(ControlRouterTables, PrefixRowsNeedTheirIndex) {
    int index = 0;
    EXPECT_EQ(CControlRouter::Resolve(notify::kValueChanged, "DPI_slider_", index), nullptr);
    EXPECT_EQ(CControlRouter::Resolve(notify::kValueChanged, "DPI_slider", index), nullptr);
    EXPECT_EQ(CControlRouter::Resolve(notify::kValueChanged, "DPI_slider_x", index), nullptr);
    EXPECT_EQ(CControlRouter::Resolve(notify::kClick, "key_", index), nullptr);
    // An exact row does not take an index either.
    EXPECT_EQ(CControlRouter::Resolve(notify::kClick, "closebtn_1", index), nullptr);
    // Names that only begin like a prefix row are not taken by it.
    const RouteRow* save = CControlRouter::Resolve(notify::kClick, "key_butt_keysave", index);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->owner, RouteOwner::KeyPanel);
    EXPECT_EQ(index, -1);
    const RouteRow* key = CControlRouter::Resolve(notify::kClick, "KEY_104", index);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->owner, RouteOwner::Page);
    EXPECT_EQ(index, 104);
    // A type without a table, and names in the wrong table, route nowhere.
    EXPECT_EQ(CControlRouter::Resolve(notify::kTextChanged, "closebtn", index), nullptr);
    EXPECT_EQ(CControlRouter::Resolve(notify::kValueChanged, "closebtn", index), nullptr);
}

TEST(ControlRouterTables, FirstMatchingRowWins) {
    using routes::Exact;
    using routes::Prefix;
    const RouteRow rows[] = {
        Prefix<&CWindowRoutes::OnSystemSettings>("tab_", 1),
        Exact<&CWindowRoutes::OnSystemSettings>("tab_3", 2),
        Prefix<&CWindowRoutes::OnSystemSettings>("TAB_", 3),
    };
    int index = -1;
    const RouteRow* found = routes::Find(rows, "Tab_3", index);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->value, 1);
    EXPECT_EQ(index, 3);
    const RouteRow exactFirst[] = {rows[1], rows[0]};
    found = routes::Find(exactFirst, "tab_3", index);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->value, 2);
    EXPECT_EQ(index, -1);
}

TEST(ControlRouterWindow, WindowRowsReachTheWindowWhateverTheCase) {
    RecordingHost host;
    CControlRouter router(host);
    auto* close = Control(host, "CloseBtn");
    auto* setbtn = Control(host, "SETBTN");
    auto* prev = Control(host, "device_select_prev");
    auto* select = Control(host, "Device_Select");
    EXPECT_TRUE(Send(router, close, notify::kClick));
    Send(router, setbtn, notify::kClick);
    Send(router, prev, notify::kClick);
    Send(router, select, notify::kSelectChanged);
    // The same name in another notification does nothing.
    Send(router, close, notify::kSelectChanged);
    Send(router, nullptr, notify::kWindowInit);
    EXPECT_EQ(host.log, (std::vector<std::string>{"button close", "button settings", "prev",
                                                  "select changed", "init"}));
}

TEST(ControlRouterWindow, DefaultHandlingIsSkippedOnlyForListRowTypes) {
    RecordingHost host;
    CControlRouter router(host);
    auto* row = Control(host, "wp_row");
    for (const char* type : {"click_wpremove", "click_wpadd", "click_wpedit", "click_wpselect"}) {
        EXPECT_FALSE(Send(router, row, QString::fromLatin1(type))) << type;
    }
    EXPECT_TRUE(Send(router, row, QStringLiteral("click_wpother")));
    EXPECT_TRUE(Send(router, row, QStringLiteral("click_select_end")));
    EXPECT_TRUE(Send(router, row, notify::kTimer));
    EXPECT_TRUE(host.log.empty());
}

TEST(ControlRouterWindow, QorinDpiEditClampsAndFollowsItsSlider) {
    RecordingHost host;
    CControlRouter router(host);
    auto* slider = Control<CSliderUI>(host, "qorin_DPI_slider_2");
    slider->SetMinValue(0);
    slider->SetMaxValue(10000);
    auto* edit = Control<CEditUI>(host, "qorin_DPI_edit_2");
    auto* other = Control<CEditUI>(host, "qorin_DPI_edit_3");
    slider->SetValue(1234);
    Send(router, slider, notify::kMoveValueChanged);
    EXPECT_EQ(edit->text(), "1234");
    EXPECT_EQ(other->text(), "");

    ui::SetText(edit, "9999");
    Send(router, edit, notify::kKillFocus);
    EXPECT_EQ(edit->text(), "6500");
    EXPECT_EQ(slider->GetValue(), 6500);
    ui::SetText(edit, "abc");
    Send(router, edit, notify::kKillFocus);
    EXPECT_EQ(edit->text(), "200");
    EXPECT_EQ(slider->GetValue(), 200);
    ui::SetText(edit, " 800x");
    Send(router, edit, notify::kKillFocus);
    EXPECT_EQ(edit->text(), "800");
}

TEST(ControlRouterWindow, CompanionSlidersSendAndLabel) {
    RecordingHost host;
    CControlRouter router(host);
    auto* green = Control<CSliderUI>(host, "G_light_slider");
    green->SetMaxValue(255);
    auto* label = Control<CLabelUI>(host, "G_light_label");
    green->SetValue(77);
    Send(router, green, notify::kValueChanged);
    EXPECT_EQ(host.log, (std::vector<std::string>{"companion 7 77"}));
    EXPECT_EQ(ui::GetText(label), "G 77");
}

TEST(ControlRouterWindow, SystemSettingsOnlyForKeyboardAndMouse) {
    RecordingHost host;
    CControlRouter router(host);
    Send(router, Control(host, "windowdeviceset_5"), notify::kClick);
    EXPECT_TRUE(host.launched.isEmpty());
    Send(router, Control(host, "windowdeviceset_1"), notify::kClick);
    // Whether a settings program exists depends on the desktop; when one does, it is the one
    // started.
    EXPECT_EQ(host.launched, CWindowRoutes::SystemSettingsCommand(1));
    EXPECT_TRUE(CWindowRoutes::SystemSettingsCommand(2).isEmpty());
}

TEST(ControlRouterPage, DeviceRowsNeedACurrentPage) {
    RecordingHost host;
    CControlRouter router(host);
    host.answer = 1;
    auto* defaults = Control(host, "default_btn");
    auto* key = Control(host, "key_5");
    auto* combo = Control(host, "device_profile_combo");
    Send(router, defaults, notify::kClick);
    Send(router, key, notify::kClick);
    Send(router, combo, notify::kItemSelect);
    // Without a page not even the question is asked.
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(host.timers.empty());

    RecordingPage page(kTypeKeyboard);
    host.current = &page;
    Send(router, key, notify::kClick);
    EXPECT_EQ(page.GetSelectedKey(), 5);
    host.answer = 0;
    Send(router, defaults, notify::kClick);
    EXPECT_EQ(page.calls, (std::vector<std::string>{"SelectKey 5"}));
    host.answer = 1;
    Send(router, defaults, notify::kClick);
    EXPECT_EQ(page.calls, (std::vector<std::string>{"SelectKey 5", "ResetToProfile", "WriteSettings 0 1 1920x1080 mode 0"}));
    EXPECT_EQ(host.log, (std::vector<std::string>{"ask message_text_22", "ask message_text_22"}));
}

TEST(ControlRouterPage, ColourPickerRowsOpenItOnlyWhereTheyApply) {
    RecordingHost host;
    CControlRouter router(host);
    host.pickResult = 1;
    auto* stage = Control(host, "DPI_color_option_2");
    auto* preview = Control(host, "deng_colordp_btn");
    // No page, a keyboard page (no DPI stages, no lighting panel here): no picker.
    Send(router, stage, notify::kClick);
    RecordingPage keyboard(kTypeKeyboard);
    host.current = &keyboard;
    Send(router, stage, notify::kClick);
    Send(router, preview, notify::kClick);
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(keyboard.calls.empty());
    // The rows are the window's own and take the stage from the name.
    int index = -1;
    const RouteRow* row = CControlRouter::Resolve(notify::kClick, "dpi_COLOR_option_4", index);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->owner, RouteOwner::Window);
    EXPECT_EQ(index, 4);
    row = CControlRouter::Resolve(notify::kClick, "deng_audiocolordp_btn", index);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->value, 1);
}

TEST(ControlRouterPage, ProfileChoiceWaitsForTimer1055) {
    RecordingHost host;
    CControlRouter router(host);
    RecordingPage page(kTypeMouse);
    host.current = &page;
    Send(router, Control(host, "Device_Profile_Combo"), notify::kItemSelect, 2);
    ASSERT_EQ(host.timers.count(CWindowRoutes::kProfileTimerId), 1u);
    EXPECT_EQ(host.timers[CWindowRoutes::kProfileTimerId], 400);
    ASSERT_NE(router.LastRow(), nullptr);
    EXPECT_STREQ(router.LastRow()->name, "device_profile_combo");
    router.OnTimer(1011);
    EXPECT_EQ(host.timers.count(CWindowRoutes::kProfileTimerId), 1u);
    router.OnTimer(CWindowRoutes::kProfileTimerId);
    EXPECT_TRUE(host.timers.empty());
}

TEST(ControlRouterPage, ControlsOfAnotherKindsPageHaveTheirRowButNoOwner) {
    RecordingHost host;
    CControlRouter router(host);
    RecordingPage page(kTypeKeyboard);
    host.current = &page;
    // A headset control while another kind's page is in front has its row but no owner.
    Send(router, Control(host, "6533_eq_hz_slider_3"), notify::kValueChanged);
    ASSERT_NE(router.LastRow(), nullptr);
    EXPECT_STREQ(router.LastRow()->name, "6533_eq_hz_slider_");
    EXPECT_EQ(router.LastRow()->owner, RouteOwner::HeadsetPage);
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(page.calls.empty());
    // A built menu command reaches its owner.
    router.OnMenuCommand("setwnd_menu");
    EXPECT_EQ(host.log, std::vector<std::string>{"settings centred"});
}

// The audio-style window opens from the lighting panel's button and its caption, also with no
// device page in front; the about window from the tray menu.
TEST(ControlRouterWindow, StyleAndAboutWindowsOpen) {
    RecordingHost host;
    CControlRouter router(host);
    Send(router, Control(host, "music_setting_btn"), notify::kClick);
    Send(router, Control(host, "MUSIC_SETTING_TEXT"), notify::kClick);
    router.OnMenuCommand("about_menu");
    EXPECT_EQ(host.log, (std::vector<std::string>{"audio styles", "audio styles", "about"}));
}

TEST(ControlRouterSameMode, AdoptsTheCurrentEffectOnEveryConnectedPage) {
    RecordingHost host;
    CControlRouter router(host);
    vx::lighting::ManualLightingClock clock;
    CLightingSync sync(clock);
    CLightingSyncPages pages(sync);
    router.SetLightingSync(&pages);

    RecordingPage mouse(kTypeMouse, 15);
    RecordingPage keyboard(kTypeKeyboardReceiver, 170);
    RecordingPage pad(kTypeMousePad, 15);
    RecordingPage unplugged(kTypeMousePad, 15);
    for (RecordingPage* p : {&mouse, &keyboard, &pad, &unplugged}) ASSERT_TRUE(pages.AddPage(p));
    for (RecordingPage* p : {&mouse, &keyboard, &pad}) p->CommandLink().SetConnected(true);
    std::vector<std::string> shown;
    pages.SetPanelShow([&](CTavimondUSBDevice& page, const LightInfo& info) {
        shown.push_back(std::to_string(page.GetKind()) + ":" + std::to_string(info.selectItem));
    });

    auto* same = Control(host, "deng_same_mode");
    // No current page: nothing.
    Send(router, same, notify::kClick);
    EXPECT_TRUE(shown.empty());

    // A mouse in mode 6 (reactive) has no shared effect: nothing changes.
    host.current = &mouse;
    LightInfo info;
    info.selectItem = 6;
    mouse.SetLightInfo(info);
    Send(router, same, notify::kClick);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(mouse.CommandLink().IsHeld());

    // The keyboard's own custom group stays its own.
    LightInfo keyboardOwn;
    keyboardOwn.customGroup = 3;
    keyboard.SetLightInfo(keyboardOwn);
    // "Off" on the mouse: keyboards 28, mousepads 8, in the order keyboards, mice, mousepads.
    info.customGroup = 1;
    info.selectItem = 10;
    info.light = 3;
    info.speed = 1;
    info.red = 40;
    mouse.SetLightInfo(info);
    Send(router, same, notify::kClick);
    EXPECT_EQ(shown, (std::vector<std::string>{"9:28", "2:10", "3:8"}));
    for (RecordingPage* p : {&mouse, &keyboard, &pad}) {
        EXPECT_TRUE(p->CommandLink().IsHeld());
        EXPECT_TRUE(pages.IsSynchronised(p));
        EXPECT_EQ(p->GetLightInfo().light, 3);
        EXPECT_EQ(p->GetLightInfo().red, 40);
    }
    EXPECT_EQ(keyboard.GetLightInfo().customGroup, 3);
    EXPECT_EQ(keyboard.calls,
              (std::vector<std::string>{"SaveProfile", "WriteSettings 0 1 1920x1080 mode 28"}));
    EXPECT_EQ(pad.calls, (std::vector<std::string>{"SaveProfile", "WriteSettings 0 1 1920x1080 mode 8"}));
    // The unplugged pad is neither marked nor written.
    EXPECT_FALSE(unplugged.CommandLink().IsHeld());
    EXPECT_FALSE(pages.IsSynchronised(&unplugged));
    EXPECT_TRUE(unplugged.calls.empty());
    const SharedEffect effect = sync.GetSharedEffect();
    EXPECT_EQ(effect.type, vx::lighting::sync::kOff);
    EXPECT_EQ(effect.brightness, 3);
    EXPECT_EQ(effect.speed, 1);

    // Leaving gives the page its own lighting back.
    pages.Leave(&pad);
    EXPECT_FALSE(pages.IsSynchronised(&pad));
    EXPECT_FALSE(pad.CommandLink().IsHeld());
    EXPECT_TRUE(pages.IsSynchronised(&keyboard));
}

TEST(ControlRouterSameMode, OnlyDeviceKindsTakePart) {
    vx::lighting::ManualLightingClock clock;
    CLightingSync sync(clock);
    CLightingSyncPages pages(sync);
    RecordingPage hub(5);
    RecordingPage headset(kTypeHeadset, 13);
    EXPECT_FALSE(pages.AddPage(&hub));
    EXPECT_FALSE(pages.AddPage(nullptr));
    EXPECT_TRUE(pages.AddPage(&headset));
    EXPECT_TRUE(pages.AddPage(&headset));
    EXPECT_EQ(sync.TargetCount(), 1);
    EXPECT_EQ(sync.LightCount(0), 13);
}
