// The lighting panel as it shows things: the layout's controls, the mode lists of every device
// kind, which control groups each mode leaves usable, and the light and audio records on screen.
#include <QListView>
#include <QStandardItemModel>
#include <QTest>
#include <map>

#include "LightPanelFixture.h"
#include "panels/LightControlModeTables.h"
#include "widgets/ColorPaletteUI.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/SliderUI.h"
#include "widgets/TabLayoutUI.h"

using namespace lightpanel_test;
using vx::panels::CLightControlUI;
namespace light_panel = vx::panels::light_panel;
using vx::panels::light_panel::SameModeClassOfMode;
using vx::panels::light_panel::SameModeOfClass;
using vx::panels::light_panel::kKindHeadset;
using vx::panels::light_panel::kKindKeyboard;
using vx::panels::light_panel::kKindMouse;
using vx::panels::light_panel::kKindMousePad;
using vx::widgets::CColorPaletteUI;
using vx::widgets::CComboUI;
using vx::widgets::COptionUI;
using vx::widgets::CResourceManager;
using vx::widgets::CSliderUI;
using vx::widgets::CTabLayoutUI;
namespace ui = vx::widgets::ui;

namespace {

bool RowHidden(CComboUI* combo, int row) {
    auto* view = qobject_cast<QListView*>(combo->view());
    return view && view->isRowHidden(row);
}

TEST_F(LightPanelTest, LayoutHasEveryNamedControlOfTheRightClass) {
    EXPECT_EQ(panel->objectName(), "LightControlItem");
    for (const char* name : {"light_combo_modeSelect", "light_combo_custommodeSelect",
                             "light_combo_ZZCCmodeSelect", "light_combo_audiomodeSelect"}) {
        EXPECT_NE(qobject_cast<CComboUI*>(Find(name)), nullptr) << name;
    }
    for (const char* name : {"deng_light_slider", "deng_speed_slider"}) {
        EXPECT_NE(qobject_cast<CSliderUI*>(Find(name)), nullptr) << name;
    }
    for (const char* name : {"deng_7color_check", "deng_FXL_check", "deng_FXR_check",
                             "deng_7audiocolor_check", "audio_BkColor_check", "audio_FgColor_check"}) {
        EXPECT_NE(qobject_cast<COptionUI*>(Find(name)), nullptr) << name;
    }
    for (const char* name : {"deng_Color_Pallet", "deng_audioColor_Pallet"}) {
        EXPECT_NE(qobject_cast<CColorPaletteUI*>(Find(name)), nullptr) << name;
    }
    for (const char* name : {"deng_edit_R",
                             "deng_edit_G",
                             "deng_edit_B",
                             "deng_audioedit_R",
                             "deng_audioedit_G",
                             "deng_audioedit_B",
                             "deng_colordp_btn",
                             "deng_audiocolordp_btn",
                             "deng_same_mode",
                             "Close_bkColor_btn",
                             "lighteffect_layout",
                             "deng_color_layout",
                             "colorpallet_layout",
                             "light_color_layout",
                             "lightcustom_layout",
                             "deng_light_layout",
                             "deng_speed_layout",
                             "deng_fx_layout",
                             "light_combo_ZZCCmodeSelectLayout",
                             "light_combo_AudiomodeSelectLayout",
                             "light_audiocolor_layout",
                             "audiocolorpallet_layout"}) {
        EXPECT_NE(Find(name), nullptr) << name;
    }
    // Page 0 of the colour tab holds the effect colour, page 1 the audio colours.
    auto* tabs = qobject_cast<CTabLayoutUI*>(Find("light_color_tablayout"));
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->GetCount(), 2);
    EXPECT_TRUE(tabs->widget(0)->isAncestorOf(Find("deng_color_layout")));
    EXPECT_TRUE(tabs->widget(0)->isAncestorOf(Find("deng_Color_Pallet")));
    EXPECT_TRUE(tabs->widget(1)->isAncestorOf(Find("light_audiocolor_layout")));
    EXPECT_TRUE(tabs->widget(1)->isAncestorOf(Find("deng_audioColor_Pallet")));
    // Swatches carry their colour as background; every one is a real, opaque colour.
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(qAlpha(panel->GetColorOptionColor(i)), 255) << i;
        EXPECT_EQ(qAlpha(panel->GetAudioOptionColor(i)), 255) << i;
    }
    EXPECT_EQ(panel->GetColorOptionColor(0), 0xFFFF0000u);
    EXPECT_EQ(panel->GetColorOptionColor(12), 0u);
}

TEST_F(LightPanelTest, EveryTextOfTheLayoutIsInBothLanguages) {
    std::vector<QString> keys;
    for (QWidget* w : panel->findChildren<QWidget*>()) {
        if (!ui::GetTextKey(w).isEmpty()) keys.push_back(ui::GetTextKey(w));
        const QString tip = w->property("vx_tipkey").toString();
        if (!tip.isEmpty()) keys.push_back(tip);
    }
    ASSERT_GT(keys.size(), 20u);
    for (const char* language : {"lan_en.xml", "lan_cn.xml"}) {
        ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage(language));
        for (const QString& key : keys)
            EXPECT_TRUE(CResourceManager::GetInstance().HasText(key)) << language << " " << key.toStdString();
    }
}

TEST_F(LightPanelTest, ModeListsOfEveryKindComeFromTheDefaultLightFile) {
    struct Kind {
        int32_t kind, index, count;
        std::vector<int> hidden;
        const char* firstText;
    };
    const Kind kinds[] = {{1, 0, 32, {0, 19, 30, 31}, "Light steps"},
                          {2, 1, 12, {5}, "Wave"},
                          {3, 2, 9, {5}, "Wave"},
                          {7, 3, 9, {5}, "Wave"}};
    auto* combo = qobject_cast<CComboUI*>(Find("light_combo_modeSelect"));
    ASSERT_NE(combo, nullptr);
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.kind);
        ShowKind(k.kind, k.index);
        ASSERT_EQ(combo->GetCount(), k.count);
        for (int row = 0; row < k.count; ++row) {
            const bool expectHidden = std::find(k.hidden.begin(), k.hidden.end(), row) != k.hidden.end();
            EXPECT_EQ(RowHidden(combo, row), expectHidden) << row;
            EXPECT_TRUE(combo->GetItemUserData(row).startsWith("light_mode_")) << row;
            // Every mode name has a text in the language file: no raw key is ever shown.
            EXPECT_TRUE(CResourceManager::GetInstance().HasText(combo->GetItemUserData(row))) << row;
        }
        EXPECT_EQ(combo->itemText(0), k.firstText);
        EXPECT_EQ(combo->itemData(0, Qt::SizeHintRole).toSize().height(), 30);
        EXPECT_EQ(qobject_cast<CSliderUI*>(Find("deng_light_slider"))->GetMaxValue(), 4);
        EXPECT_EQ(qobject_cast<CSliderUI*>(Find("deng_speed_slider"))->GetMaxValue(), 4);
    }
    // An index the file has no list for leaves the list as it was.
    EXPECT_FALSE(panel->LoadModeList(DefaultLightFile().toStdString(), 9));
    EXPECT_EQ(combo->GetCount(), 9);
    EXPECT_FALSE(panel->LoadModeList("/nonexistent/default_light.json", 0));
    EXPECT_EQ(combo->GetCount(), 9);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(LightPanelTest, HiddenModesKeepTheirPositionAndCannotBeReachedFromTheKeyboard) {
    ShowKind(1, 0);
    panel->SelectMode(18);
    auto* combo = qobject_cast<CComboUI*>(Find("light_combo_modeSelect"));
    combo->setFocus();
    // Mode 19 is hidden: one step down from 18 lands on 20.
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->GetCurSel(), 20);
    // Selecting a hidden position from code still works and applies that position's row.
    panel->SelectMode(19);
    EXPECT_EQ(panel->GetSelectedMode(), 19);
    EXPECT_FALSE(ui::IsEnabled(Find("deng_light_layout")));
}

// One line per keyboard mode, the columns of the mode table as the panel must leave the controls:
// seven-colour option, colour groups, colour frame, brightness, speed (E enabled, D disabled,
// H hidden), direction, same-mode button (with synchronisation available).
struct Expect {
    bool seven, colour, frame, bright;
    char speed;
    bool dir, same;
};
const std::map<int, Expect> kKeyboardModes = {
    {0, {0, 0, 1, 0, 'D', 0, 0}},   {1, {1, 1, 1, 1, 'E', 1, 0}},  {2, {1, 1, 1, 1, 'E', 1, 0}},
    {3, {1, 1, 1, 1, 'E', 1, 0}},   {4, {0, 0, 0, 1, 'E', 0, 1}},  {5, {1, 1, 1, 1, 'E', 0, 1}},
    {6, {1, 1, 1, 1, 'D', 0, 1}},   {7, {1, 1, 1, 1, 'E', 0, 0}},  {8, {1, 1, 1, 1, 'E', 0, 0}},
    {9, {1, 1, 1, 1, 'E', 0, 0}},   {10, {1, 1, 1, 1, 'E', 0, 0}}, {11, {0, 0, 0, 1, 'E', 0, 0}},
    {12, {0, 0, 0, 1, 'E', 1, 0}},  {13, {1, 1, 1, 1, 'E', 0, 0}}, {14, {1, 1, 1, 1, 'E', 0, 0}},
    {15, {1, 1, 1, 1, 'E', 0, 0}},  {16, {1, 1, 1, 1, 'D', 0, 0}}, {17, {0, 0, 0, 1, 'H', 0, 0}},
    {18, {0, 0, 0, 1, 'D', 1, 0}},  {19, {0, 0, 1, 0, 'D', 0, 0}}, {20, {0, 1, 1, 1, 'H', 0, 0}},
    {21, {1, 1, 1, 1, 'H', 1, 0}},  {22, {1, 1, 1, 1, 'E', 0, 0}}, {23, {1, 1, 1, 1, 'E', 0, 1}},
    {24, {1, 1, 1, 1, 'E', 1, 0}},  {25, {1, 1, 1, 1, 'E', 0, 0}}, {26, {0, 0, 0, 1, 'E', 0, 0}},
    {27, {0, 0, 1, 1, 'E', 0, 0}},  {28, {0, 0, 1, 0, 'D', 0, 1}}, {29, {1, 1, 1, 1, 'E', 1, 0}},
    {30, {0, 0, 1, 0, 'D', 0, 0}},  {31, {0, 0, 0, 1, 'D', 0, 0}}, {32, {0, 0, 1, 0, 'D', 0, 0}},
    {200, {0, 0, 1, 0, 'D', 0, 0}},
};
const std::map<int, Expect> kMouseModes = {
    {0, {1, 1, 1, 1, 'E', 1, 0}},  {1, {0, 0, 1, 1, 'E', 0, 1}},  {2, {1, 1, 1, 1, 'E', 0, 1}},
    {3, {0, 1, 1, 1, 'D', 0, 1}},  {4, {1, 1, 1, 1, 'E', 0, 1}},  {5, {1, 1, 1, 1, 'E', 1, 0}},
    {6, {1, 1, 1, 1, 'E', 0, 1}},  {7, {0, 0, 1, 1, 'E', 0, 0}},  {8, {0, 0, 1, 1, 'E', 0, 0}},
    {9, {1, 1, 1, 1, 'E', 1, 0}},  {10, {0, 0, 1, 0, 'D', 0, 1}}, {11, {1, 1, 1, 1, 'H', 1, 0}},
    {12, {0, 0, 1, 0, 'D', 0, 0}},
};
const std::map<int, Expect> kPadModes = {
    {0, {1, 1, 1, 1, 'E', 1, 0}}, {1, {0, 0, 1, 1, 'E', 0, 1}}, {2, {1, 1, 1, 1, 'E', 0, 1}},
    {3, {0, 1, 1, 1, 'D', 0, 1}}, {4, {1, 1, 1, 1, 'E', 0, 1}}, {5, {0, 0, 1, 0, 'D', 0, 0}},
    {6, {0, 0, 1, 0, 'D', 0, 0}}, {7, {0, 0, 1, 0, 'D', 0, 0}}, {8, {0, 0, 1, 0, 'D', 0, 1}},
    {9, {0, 0, 1, 0, 'D', 0, 0}},
};

void CheckModes(CLightControlUI* panel, int32_t kind, const std::map<int, Expect>& modes) {
    panel->SetDeviceKind(kind);
    panel->SetSyncAvailable(true);
    // Walk the modes in an order that makes every row follow a different one.
    for (int pass = 0; pass < 2; ++pass) {
        for (auto it = modes.begin(); it != modes.end(); ++it) {
            const auto& [mode, e] =
                pass == 0 ? *it : *std::prev(modes.end(), std::distance(modes.begin(), it) + 1);
            SCOPED_TRACE(testing::Message() << "kind " << kind << " mode " << mode << " pass " << pass);
            panel->ApplyModeLayout(kind, mode);
            auto find = [&](const char* name) { return panel->Control(QString::fromLatin1(name)); };
            EXPECT_TRUE(ui::IsEnabled(find("lighteffect_layout")));
            EXPECT_EQ(ui::IsEnabled(find("deng_7color_check")), e.seven);
            EXPECT_EQ(ui::IsEnabled(find("deng_color_layout")), e.colour);
            EXPECT_EQ(ui::IsEnabled(find("colorpallet_layout")), e.colour);
            EXPECT_EQ(ui::IsEnabled(find("light_color_layout")), e.frame);
            EXPECT_EQ(ui::IsEnabled(find("deng_light_layout")), e.bright);
            QWidget* speed = find("deng_speed_layout");
            EXPECT_EQ(ui::IsVisible(speed), e.speed != 'H');
            if (e.speed != 'H') { EXPECT_EQ(ui::IsEnabled(speed), e.speed == 'E'); }
            EXPECT_EQ(ui::IsEnabled(find("deng_fx_layout")), e.dir);
            EXPECT_EQ(ui::IsVisible(find("deng_same_mode")), e.same);
        }
    }
}

TEST_F(LightPanelTest, EveryModeOfEveryKindEnablesItsGroups) {
    CheckModes(panel, 1, kKeyboardModes);
    CheckModes(panel, 2, kMouseModes);
    CheckModes(panel, 3, kPadModes);
    CheckModes(panel, 7, kPadModes);
    EXPECT_TRUE(recorder.events.empty()) << recorder.events.front().toStdString();
}

TEST_F(LightPanelTest, ModeExtrasAndDirectionCaptionsFollowTheMode) {
    ShowKind(1, 0);
    auto visible = [&](const char* name) { return ui::IsVisible(Find(name)); };
    auto captions = [&] {
        return ui::GetText(Find("deng_FXL_check")) + " / " + ui::GetText(Find("deng_FXR_check"));
    };
    auto* tabs = qobject_cast<CTabLayoutUI*>(Find("light_color_tablayout"));

    panel->SelectMode(17);
    EXPECT_TRUE(visible("light_combo_ZZCCmodeSelectLayout"));
    EXPECT_FALSE(visible("lightcustom_layout"));
    panel->SelectMode(20);
    EXPECT_FALSE(visible("light_combo_ZZCCmodeSelectLayout"));
    EXPECT_TRUE(visible("lightcustom_layout"));
    panel->SelectMode(21);
    EXPECT_FALSE(visible("lightcustom_layout"));
    EXPECT_TRUE(visible("light_combo_AudiomodeSelectLayout"));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(captions(), "Right to left / Left to right");
    panel->SelectMode(3);
    EXPECT_FALSE(visible("light_combo_AudiomodeSelectLayout"));
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_EQ(captions(), "Clockwise / Anticlockwise");
    panel->SelectMode(29);
    EXPECT_EQ(captions(), "Top to bottom / Bottom to top");
    panel->SelectMode(18);
    EXPECT_EQ(captions(), "Inside out / Outside in");
    panel->SelectMode(1);
    EXPECT_EQ(captions(), "Right to left / Left to right");

    ShowKind(2, 1);
    panel->SelectMode(11);
    EXPECT_TRUE(visible("light_combo_AudiomodeSelectLayout"));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    panel->SelectMode(0);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_EQ(captions(), "Bottom to top / Top to bottom");

    // The sub-effect and audio lists are filled with their fixed entries, all with texts.
    for (const char* name : {"light_combo_ZZCCmodeSelect", "light_combo_audiomodeSelect"}) {
        auto* combo = qobject_cast<CComboUI*>(Find(name));
        ASSERT_GT(combo->GetCount(), 0) << name;
        for (int i = 0; i < combo->GetCount(); ++i) {
            EXPECT_TRUE(CResourceManager::GetInstance().HasText(combo->GetItemUserData(i))) << name << i;
        }
    }
    EXPECT_EQ(qobject_cast<CComboUI*>(Find("light_combo_ZZCCmodeSelect"))->GetCount(), 4);
    EXPECT_EQ(qobject_cast<CComboUI*>(Find("light_combo_audiomodeSelect"))->GetCount(), 7);
}

TEST_F(LightPanelTest, SameModeButtonNeedsTwoLinkedDevices) {
    ShowKind(2, 1);
    panel->SelectMode(6);
    EXPECT_FALSE(ui::IsVisible(Find("deng_same_mode")));
    panel->ShowSameMode(true);
    EXPECT_FALSE(ui::IsVisible(Find("deng_same_mode")));
    panel->SetSyncAvailable(true);
    EXPECT_TRUE(ui::IsVisible(Find("deng_same_mode")));
    panel->SelectMode(7);
    EXPECT_FALSE(ui::IsVisible(Find("deng_same_mode")));
    panel->SelectMode(6);
    panel->SetSyncAvailable(false);
    EXPECT_FALSE(ui::IsVisible(Find("deng_same_mode")));
}

TEST_F(LightPanelTest, SetLightInfoShowsTheWholeRecordWithoutNotifying) {
    ShowKind(1, 0);
    LightInfo info;
    info.selectItem = 17;
    info.light = 3;
    info.speed = 1;
    info.fx = 0;
    info.multiColor = 1;
    info.red = 18;
    info.green = 200;
    info.blue = 7;
    info.zzccLedMode = 2;
    panel->SetLightInfo(info);
    EXPECT_EQ(panel->GetSelectedMode(), 17);
    EXPECT_EQ(panel->GetBrightness(), 3);
    EXPECT_EQ(panel->GetSpeed(), 1);
    EXPECT_EQ(panel->GetColorEditText(0), "18");
    EXPECT_EQ(panel->GetColorEditText(1), "200");
    EXPECT_EQ(panel->GetColorEditText(2), "7");
    EXPECT_EQ(panel->GetPaletteColor(), 0xFF12C807u);
    EXPECT_EQ(ui::GetBkColor(Find("deng_colordp_btn")), 0xFF12C807u);
    EXPECT_TRUE(panel->GetSevenColor());
    EXPECT_FALSE(qobject_cast<COptionUI*>(Find("deng_FXL_check"))->IsSelected());
    EXPECT_TRUE(qobject_cast<COptionUI*>(Find("deng_FXR_check"))->IsSelected());
    EXPECT_EQ(panel->GetSelectedZZCCMode(), 2);
    // Mode 17's row, applied after the option setters.
    EXPECT_TRUE(ui::IsVisible(Find("light_combo_ZZCCmodeSelectLayout")));
    EXPECT_FALSE(ui::IsEnabled(Find("deng_7color_check")));

    info.fx = 5;
    info.multiColor = 0;
    info.selectItem = 1;
    panel->SetLightInfo(info);
    EXPECT_TRUE(qobject_cast<COptionUI*>(Find("deng_FXL_check"))->IsSelected());
    EXPECT_FALSE(qobject_cast<COptionUI*>(Find("deng_FXR_check"))->IsSelected());
    EXPECT_EQ(panel->GetDirection(), 1);
    EXPECT_FALSE(panel->GetSevenColor());
    EXPECT_FALSE(ui::IsVisible(Find("light_combo_ZZCCmodeSelectLayout")));
    EXPECT_TRUE(recorder.events.empty()) << recorder.events.front().toStdString();
}

TEST_F(LightPanelTest, AudioRecordShowsTheColourBeingEdited) {
    ShowKind(1, 0);
    AudioLightInfo audio;
    audio.audioMode = 2;
    audio.bkRed = 1, audio.bkGreen = 2, audio.bkBlue = 3;
    audio.fgRed = 250, audio.fgGreen = 128, audio.fgBlue = 0;
    audio.sevenColorFlags = 1;
    audio.colorTypeFlags = 0;
    panel->SetAudioLightInfo(audio);
    auto* background = qobject_cast<COptionUI*>(Find("audio_BkColor_check"));
    auto* foreground = qobject_cast<COptionUI*>(Find("audio_FgColor_check"));
    auto* seven = qobject_cast<COptionUI*>(Find("deng_7audiocolor_check"));
    EXPECT_EQ(qobject_cast<CComboUI*>(Find("light_combo_audiomodeSelect"))->GetCurSel(), 2);
    EXPECT_TRUE(background->IsSelected());
    EXPECT_FALSE(foreground->IsSelected());
    EXPECT_FALSE(seven->isEnabled());
    EXPECT_EQ(panel->GetAudioEditText(0), "1");
    EXPECT_EQ(panel->GetAudioEditText(2), "3");
    EXPECT_EQ(panel->GetAudioEditText(3), "");
    EXPECT_EQ(panel->GetAudioPaletteColor(), 0xFF010203u);
    EXPECT_EQ(ui::GetBkColor(Find("deng_audiocolordp_btn")), 0xFF010203u);
    EXPECT_TRUE(ui::IsEnabled(Find("light_audiocolor_layout")));

    audio.colorTypeFlags = 1;
    panel->SetAudioLightInfo(audio);
    EXPECT_FALSE(background->IsSelected());
    EXPECT_TRUE(foreground->IsSelected());
    EXPECT_TRUE(seven->isEnabled());
    EXPECT_TRUE(seven->IsSelected());
    EXPECT_EQ(panel->GetAudioEditText(0), "250");
    EXPECT_EQ(panel->GetAudioPaletteColor(), 0xFFFA8000u);

    // Style 3 takes its colours from the colour wheel: both colour groups go grey.
    audio.audioMode = 3;
    panel->SetAudioLightInfo(audio);
    EXPECT_FALSE(ui::IsEnabled(Find("light_audiocolor_layout")));
    EXPECT_FALSE(ui::IsEnabled(Find("audiocolorpallet_layout")));
    EXPECT_EQ(panel->ShownAudioLightInfo(), audio);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(LightPanelTest, ReadingTheAudioRecordBack) {
    ShowKind(1, 0);
    AudioLightInfo audio;
    audio.audioMode = 1;
    audio.bkRed = 10, audio.bkGreen = 20, audio.bkBlue = 30;
    audio.fgRed = 40, audio.fgGreen = 50, audio.fgBlue = 60;
    panel->SetAudioLightInfo(audio);
    auto* background = qobject_cast<COptionUI*>(Find("audio_BkColor_check"));
    auto* foreground = qobject_cast<COptionUI*>(Find("audio_FgColor_check"));

    // Nothing changed: the same record comes back, with or without the preview colour.
    EXPECT_EQ(panel->GetAudioLightInfo(false), audio);
    EXPECT_EQ(panel->GetAudioLightInfo(true), audio);

    // The preview colour goes into the side being edited (background here).
    ui::SetBkColor(Find("deng_audiocolordp_btn"), 0xFF0A0B0Cu);
    qobject_cast<CComboUI*>(Find("light_combo_audiomodeSelect"))->SelectItem(4);
    AudioLightInfo read = panel->GetAudioLightInfo(true);
    EXPECT_EQ(read.audioMode, 4);
    EXPECT_EQ(read.bkRed, 0x0A);
    EXPECT_EQ(read.bkBlue, 0x0C);
    EXPECT_EQ(read.fgRed, 40);
    EXPECT_EQ(read.colorTypeFlags, 0);

    // The user turns the foreground on (the two options are one group).
    foreground->Selected(true);
    EXPECT_FALSE(background->IsSelected());
    EXPECT_EQ(panel->GetAudioLightInfo(false).colorTypeFlags, 1);
    audio.colorTypeFlags = 1;
    panel->SetAudioLightInfo(audio);
    background->Selected(true);
    EXPECT_EQ(panel->GetAudioLightInfo(false).colorTypeFlags, 0);
    // Without the group both may read selected; the option turned on last wins.
    foreground->SetGroup(QString());
    background->SetGroup(QString());
    foreground->Selected(true);
    background->Selected(true);
    EXPECT_EQ(panel->GetAudioLightInfo(false).colorTypeFlags, 0);
    audio.colorTypeFlags = 0;
    panel->SetAudioLightInfo(audio);
    foreground->Selected(true);
    EXPECT_EQ(panel->GetAudioLightInfo(false).colorTypeFlags, 1);
}

TEST(LightPanelTables, SameModeClassesTranslateBetweenKinds) {
    using namespace light_panel;
    // Breathing on the keyboard is breathing everywhere.
    const int32_t breathing = SameModeClassOfMode(kKindKeyboard, 5);
    ASSERT_GE(breathing, 0);
    EXPECT_EQ(SameModeOfClass(kKindMouse, breathing), 2);
    EXPECT_EQ(SameModeOfClass(kKindMousePad, breathing), 2);
    // Off on the mouse is 28 on the keyboard and 8 on the mousepad and the headset.
    const int32_t off = SameModeClassOfMode(kKindMouse, 10);
    EXPECT_EQ(SameModeOfClass(kKindKeyboard, off), 28);
    EXPECT_EQ(SameModeOfClass(kKindMousePad, off), 8);
    EXPECT_EQ(SameModeOfClass(kKindHeadset, off), 8);
    EXPECT_EQ(SameModeClassOfMode(kKindKeyboard, 4), SameModeClassOfMode(kKindMouse, 1));
    EXPECT_EQ(SameModeClassOfMode(kKindKeyboard, 23), SameModeClassOfMode(kKindHeadset, 4));
    EXPECT_EQ(SameModeClassOfMode(kKindKeyboard, 6), SameModeClassOfMode(kKindMousePad, 3));
    // The mouse shows the same-mode button in its mode 6, but mode 6 has no equivalent.
    EXPECT_EQ(SameModeClassOfMode(kKindMouse, 6), -1);
    EXPECT_EQ(SameModeClassOfMode(5, 2), -1);
    EXPECT_EQ(SameModeOfClass(kKindKeyboard, 5), -1);
    EXPECT_EQ(SameModeOfClass(kKindKeyboard, -1), -1);
    // Every mode that shows the same-mode button on a kind, except the mouse's 6, has a class.
    for (int32_t kind : {kKindKeyboard, kKindMouse, kKindMousePad}) {
        for (int32_t mode = 0; mode < 40; ++mode) {
            const ModeLayoutRow* row = FindModeLayout(kind, mode);
            ASSERT_NE(row, nullptr);
            if (row->sameMode && !(kind == kKindMouse && mode == 6)) {
                EXPECT_GE(SameModeClassOfMode(kind, mode), 0) << kind << " " << mode;
            }
        }
    }
}

TEST(LightPanelBare, MissingControlsGiveDefaultsAndChangeNothing) {
    CLightControlUI panel;
    panel.SetDeviceKind(1);
    EXPECT_EQ(panel.GetSelectedMode(), -1);
    EXPECT_EQ(panel.GetSelectedCustomMode(), -1);
    EXPECT_EQ(panel.GetSelectedZZCCMode(), -1);
    EXPECT_EQ(panel.GetBrightness(), 0);
    EXPECT_EQ(panel.GetSpeed(), 0);
    EXPECT_EQ(panel.GetColorEditText(1), "");
    EXPECT_EQ(panel.GetPaletteColor(), 0xFF000000u);
    EXPECT_EQ(panel.GetAudioPaletteColor(), 0xFF000000u);
    EXPECT_FALSE(panel.GetSevenColor());
    EXPECT_EQ(panel.GetColorOptionColor(0), 0u);
    EXPECT_EQ(panel.GetAudioOptionColor(0), 0u);
    LightInfo info;
    info.selectItem = 5;
    panel.SetLightInfo(info);
    panel.ApplyModeLayout(1, 5);
    panel.SetModeList({u"light_mode_wave"}, {true}, 4, 4);

    AudioLightInfo audio;
    audio.audioMode = 2;
    audio.fgRed = 9;
    panel.SetAudioLightInfo(audio);
    EXPECT_EQ(panel.ShownAudioLightInfo(), AudioLightInfo{});
    EXPECT_EQ(panel.GetAudioLightInfo(true), AudioLightInfo{});
}

}  // namespace
