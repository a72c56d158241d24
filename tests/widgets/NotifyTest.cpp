// Notifications: each user action reaches the window's handler once with its type and sender;
// the same change made from code reports nothing. Also option groups across containers, control
// timers and language switches.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <memory>

#include "support/QtTestEnv.h"
#include "widgets/ButtonUI.h"
#include "widgets/ColorPaletteUI.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/EditUI.h"
#include "widgets/ListUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ResourceManager.h"
#include "widgets/SliderUI.h"
#include "widgets/TabLayoutUI.h"

using vx::widgets::CButtonUI;
using vx::widgets::CColorPaletteUI;
using vx::widgets::CComboUI;
using vx::widgets::CDialogBuilder;
using vx::widgets::CEditUI;
using vx::widgets::CListUI;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::CSliderUI;
using vx::widgets::CTabLayoutUI;
using vx::widgets::TNotifyUI;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;

namespace {

struct Seen {
    QString type;
    QString sender;
    quintptr wParam;
    qintptr lParam;
};

class Recorder : public vx::widgets::INotifyUI {
public:
    void Notify(TNotifyUI& msg) override {
        seen.push_back(
            {msg.sType, msg.pSender ? msg.pSender->objectName() : QString(), msg.wParam, msg.lParam});
    }
    int Count(const QString& type, const QString& sender) const {
        int n = 0;
        for (const Seen& s : seen) n += s.type == type && s.sender == sender;
        return n;
    }
    std::vector<Seen> seen;
};

class NotifyTest : public testing::Test {
protected:
    void SetUp() override {
        CResourceManager& rm = CResourceManager::GetInstance();
        rm.SetResourcePath(vxtest::FixtureDir("widgets/skin"));
        ASSERT_TRUE(rm.LoadResource());
        ASSERT_TRUE(rm.LoadLanguage("lan_a.xml"));
        root.reset(CDialogBuilder::Create("XML_CONTROLS"));
        ASSERT_NE(root, nullptr);
        pm.AttachRoot(root.get());
        pm.AddNotifier(&rec);
        root->show();
        vxtest::Pump();
        ASSERT_EQ(rec.Count(notify::kWindowInit, "root"), 1);
        rec.seen.clear();
    }

    std::unique_ptr<QWidget> root;
    CPaintManagerUI pm;
    Recorder rec;
};

TEST_F(NotifyTest, ClickReachesHandlerOnceAndCodeChangesReportNothing) {
    auto* button = pm.FindControl<CButtonUI>("APPLY_BTN");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(rec.seen.size(), 1u);
    EXPECT_EQ(rec.seen[0].type, "click");
    EXPECT_EQ(rec.seen[0].sender, "apply_btn");

    rec.seen.clear();
    ui::SetText(button, "Other");
    ui::SetEnabled(button, false);
    ui::SetEnabled(button, true);
    ui::SetVisible(button, false);
    ui::SetVisible(button, true);
    ui::SetBkColor(button, 0xFF102030);
    ui::SetUserData(button, "x");
    QTest::mouseClick(button, Qt::RightButton);
    EXPECT_TRUE(rec.seen.empty());
    EXPECT_EQ(ui::GetBkColor(button), 0xFF102030u);
    EXPECT_EQ(ui::GetUserData(button), "x");
}

TEST_F(NotifyTest, OptionGroupSpansContainers) {
    auto* a = pm.FindControl<COptionUI>("opt_a");
    auto* b = pm.FindControl<COptionUI>("opt_b");
    auto* c = pm.FindControl<COptionUI>("opt_c");
    auto* loose = pm.FindControl<COptionUI>("loose_option");
    ASSERT_TRUE(a && b && c && loose);
    a->Selected(true);
    EXPECT_TRUE(rec.seen.empty());

    QTest::mouseClick(c, Qt::LeftButton);  // c sits in another container than a
    EXPECT_TRUE(c->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    EXPECT_FALSE(b->IsSelected());
    ASSERT_EQ(rec.seen.size(), 2u);
    EXPECT_EQ(rec.seen[0].type, "click");
    EXPECT_EQ(rec.seen[1].type, "selectchanged");
    EXPECT_EQ(rec.seen[1].sender, "opt_c");

    // A selected group member stays selected when clicked again; nothing changed, so no
    // "selectchanged".
    rec.seen.clear();
    QTest::mouseClick(c, Qt::LeftButton);
    EXPECT_TRUE(c->IsSelected());
    EXPECT_EQ(rec.Count("selectchanged", "opt_c"), 0);
    EXPECT_EQ(rec.Count("click", "opt_c"), 1);

    rec.seen.clear();
    b->Selected(true);
    EXPECT_FALSE(c->IsSelected());
    EXPECT_TRUE(rec.seen.empty());

    // An option without a group toggles and is not touched by the group.
    QTest::mouseClick(loose, Qt::LeftButton);
    QTest::mouseClick(loose, Qt::LeftButton);
    EXPECT_FALSE(loose->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_EQ(rec.Count("selectchanged", "loose_option"), 2);
}

TEST_F(NotifyTest, ComboSelectionByUserOnly) {
    auto* combo = pm.FindControl<CComboUI>("speed_combo");
    ASSERT_NE(combo, nullptr);
    combo->AddItem("slow");
    combo->AddItem("fast", true);
    combo->AddItem("faster");
    EXPECT_EQ(combo->itemText(1), "Fast");
    ASSERT_TRUE(combo->SelectItem(0));
    EXPECT_FALSE(combo->SelectItem(7));
    EXPECT_TRUE(rec.seen.empty());

    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(rec.Count("itemselect", "speed_combo"), 1);
    EXPECT_EQ(rec.seen.back().wParam, 1u);
    EXPECT_EQ(rec.seen.back().lParam, 0);
    EXPECT_EQ(combo->GetCurSel(), 1);
}

TEST_F(NotifyTest, SliderStepsAndDragsReportCodeDoesNot) {
    auto* slider = pm.FindControl<CSliderUI>("bright_slider");
    ASSERT_NE(slider, nullptr);
    slider->SetValue(40);
    slider->SetMaxValue(100);
    EXPECT_EQ(slider->GetValue(), 40);
    EXPECT_TRUE(rec.seen.empty());

    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    ASSERT_EQ(rec.Count("valuechanged", "bright_slider"), 1);
    EXPECT_EQ(rec.seen.back().wParam, 41u);

    // At the end of the range a step changes nothing and reports nothing; a later change from
    // code must not be taken for it.
    rec.seen.clear();
    slider->SetValue(100);
    QTest::keyClick(slider, Qt::Key_Right);
    slider->setValue(90);
    EXPECT_EQ(rec.Count("valuechanged", "bright_slider"), 0);

    rec.seen.clear();
    slider->SetValue(0);
    const QPoint handle(4, slider->height() / 2);
    QTest::mousePress(slider, Qt::LeftButton, {}, handle);
    QTest::mouseMove(slider, handle + QPoint(60, 0));
    QTest::mouseMove(slider, handle + QPoint(120, 0));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, handle + QPoint(120, 0));
    EXPECT_GE(rec.Count("movevaluechanged", "bright_slider"), 1);
    EXPECT_EQ(rec.Count("valuechanged", "bright_slider"), 1);
    EXPECT_GT(slider->GetValue(), 0);
}

TEST_F(NotifyTest, EditTypingAndUserFocusLoss) {
    auto* edit = pm.FindControl<CEditUI>("name_edit");
    auto* other = pm.FindControl<CEditUI>("other_edit");
    ASSERT_TRUE(edit && other);
    root->activateWindow();
    edit->setFocus();
    ui::SetText(edit, "preset");
    other->setFocus();  // focus moved by the program
    edit->setFocus();
    EXPECT_EQ(rec.Count("killfocus", "name_edit"), 0);
    EXPECT_EQ(rec.Count("textchanged", "name_edit"), 0);

    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(rec.Count("textchanged", "name_edit"), 2);
    EXPECT_EQ(ui::GetText(edit), "presetab");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(rec.Count("return", "name_edit"), 1);
    QTest::keyClick(edit, Qt::Key_Tab);  // the user leaves the field
    EXPECT_EQ(rec.Count("killfocus", "name_edit"), 1);
}

TEST_F(NotifyTest, ListClickSelectsAndReportsCodeSelectionDoesNot) {
    auto* list = pm.FindControl<CListUI>("profile_list");
    ASSERT_NE(list, nullptr);
    list->AddText("first", "1");
    list->AddText("second", "2");
    list->SelectItem(0);
    EXPECT_TRUE(rec.seen.empty());

    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(rec.Count("itemselect", "profile_list"), 1);
    EXPECT_EQ(rec.Count("itemclick", "profile_list"), 1);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->GetItemUserData(1), "2");
}

TEST_F(NotifyTest, PaletteReportsPickedColour) {
    auto* palette = pm.FindControl<CColorPaletteUI>("palette");
    ASSERT_NE(palette, nullptr);
    palette->SetSelectColor(0xFF00FF00);
    EXPECT_EQ(palette->GetSelectColor(), 0xFF00FF00u);
    EXPECT_TRUE(rec.seen.empty());
    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_EQ(rec.Count("colorchanged", "palette"), 1);
    const QRgb picked = static_cast<QRgb>(rec.seen.back().wParam);
    EXPECT_EQ(picked, palette->GetSelectColor());
    EXPECT_GT(qRed(picked), 200);  // top-left of the field is red
}

TEST_F(NotifyTest, TabSelectionIsSilent) {
    auto* pages = pm.FindControl<CTabLayoutUI>("pages");
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->GetCount(), 2);
    EXPECT_TRUE(pages->SelectItem(1));
    EXPECT_FALSE(pages->SelectItem(2));
    EXPECT_EQ(pages->GetCurSel(), 1);
    EXPECT_TRUE(rec.seen.empty());
}

class TickCounter : public QLabel, public vx::widgets::IControlEvents {
public:
    using QLabel::QLabel;
    void DoTimer(int id) override { ticks.push_back(id); }
    std::vector<int> ticks;
};

TEST_F(NotifyTest, ControlTimersFireAndStop) {
    QWidget* label = pm.FindControl("plain_label");
    ASSERT_TRUE(pm.SetTimer(label, 7, 15));
    vxtest::Pump(120);
    const int fired = rec.Count("timer", "plain_label");
    EXPECT_GE(fired, 3);
    for (const Seen& s : rec.seen) EXPECT_EQ(s.wParam, 7u);
    EXPECT_TRUE(pm.KillTimer(label, 7));
    EXPECT_FALSE(pm.KillTimer(label, 7));
    vxtest::Pump(60);
    EXPECT_EQ(rec.Count("timer", "plain_label"), fired);

    // A control with its own timer handling gets the tick instead of the window.
    auto* counter = new TickCounter(root.get());
    counter->setObjectName("counter");
    pm.SetTimer(counter, 3, 10);
    vxtest::Pump(60);
    EXPECT_GE(counter->ticks.size(), 2u);
    EXPECT_EQ(rec.Count("timer", "counter"), 0);
    // A destroyed control's timer goes with it.
    delete counter;
    EXPECT_FALSE(pm.HasTimer(counter, 3));
    vxtest::Pump(40);
}

TEST_F(NotifyTest, LanguageSwitchRetextsKeyModeControls) {
    CResourceManager& rm = CResourceManager::GetInstance();
    QWidget* apply = pm.FindControl("apply_btn");
    QWidget* plain = pm.FindControl("plain_label");
    auto* combo = pm.FindControl<CComboUI>("speed_combo");
    combo->AddItem("fast", true);
    combo->AddItem("literal");
    EXPECT_EQ(ui::GetText(apply), "Apply");
    EXPECT_EQ(ui::GetTextKey(apply), "apply");

    ui::SetResourceText(plain, true);
    ui::SetText(plain, "title_key");
    EXPECT_EQ(ui::GetText(plain), "Title A");

    ASSERT_TRUE(rm.LoadLanguage("lan_b.xml"));
    rm.ReloadText();
    EXPECT_EQ(ui::GetText(apply), "Anwenden");
    EXPECT_EQ(ui::GetText(plain), "Titel B");
    EXPECT_EQ(combo->itemText(0), "Schnell");
    EXPECT_EQ(combo->itemText(1), "literal");
    EXPECT_TRUE(rec.seen.empty());

    // A control leaves key mode: its text stays as set.
    ui::SetResourceText(plain, false);
    ui::SetText(plain, "fixed");
    ASSERT_TRUE(rm.LoadLanguage("lan_a.xml"));
    rm.ReloadText();
    EXPECT_EQ(ui::GetText(plain), "fixed");
    EXPECT_EQ(ui::GetText(apply), "Apply");

    // A broken or missing file leaves the current table in place; an unknown key shows itself.
    EXPECT_FALSE(rm.LoadLanguage("broken.xml"));
    EXPECT_FALSE(rm.LoadLanguage("absent.xml"));
    EXPECT_EQ(rm.GetText("apply"), "Apply");
    EXPECT_EQ(rm.GetText("no_such_key"), "no_such_key");
}

}  // namespace
