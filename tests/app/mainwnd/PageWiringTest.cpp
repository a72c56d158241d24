// The device pages inside the real window, driven by input events on their named controls: each
// control of a page must reach its page once per user action, the page must show what its
// highlighted tab names, and one page's choices must not clear another's.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QSlider>
#include <QTest>
#include <QWidget>
#include <functional>

#include "DeviceWindowFixture.h"
#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMouseDevice.h"
#include "devices/lighting/LightingEngine.h"
#include "panels/DeviceProfileUI.h"
#include "panels/LightControlUI.h"
#include "profiles/MouseProfiledata.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ResourceManager.h"
#include "widgets/TabLayoutUI.h"

using vx::profiles::CMouseProfiledata;

using journeys::Device;
using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondMouseDevice;
using vx::panels::CLightControlUI;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::CTabLayoutUI;
namespace ui = vx::widgets::ui;
using vx::app::CDeviceOptionUI;
using vx::devices::CTavimondUSBDevice;

namespace {

class PageWiringTest : public DeviceWindowTest {
protected:
    template <class T = QWidget>
    T* Control(CTavimondUSBDevice* page, const char* name) {
        return qobject_cast<T*>(CPaintManagerUI::FindSubControlByName(page->GetPage(), QString::fromLatin1(name)));
    }

    // A left click in the middle of a control the user can see.
    void Click(QWidget* control) {
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(control->isVisible()) << control->objectName().toStdString();
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
        vxtest::Pump(5);
    }

    void Keys(QWidget* control, Qt::Key key, int times = 1) {
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(control->isVisible()) << control->objectName().toStdString();
        control->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < times; ++i) QTest::keyClick(control, key);
        vxtest::Pump(5);
    }

    // Plugs a device and waits until its page ran its connection sequence.
    CTavimondUSBDevice* Connect(Device device, CTavimondUSBDevice* page) {
        EXPECT_EQ(m_hub->Plug(device), 1);
        EXPECT_TRUE(WaitUntil([&] { return EntryShown(page) && page->LightingThreadRunning(); },
                              4000 * kSlowdown));
        vxtest::Pump(100);
        return page;
    }

    // Makes the page the one shown, as a click on its selector entry does.
    void Show(CTavimondUSBDevice* page) {
        CDeviceOptionUI* entry = EntryOf(page);
        ASSERT_NE(entry, nullptr);
        if (!entry->IsSelected()) Click(CPaintManagerUI::FindSubControlByName(entry, "device_select"));
        auto* pages = m_wnd->GetPaintManager().FindControl<CTabLayoutUI>("device_switch");
        ASSERT_NE(pages, nullptr);
        ASSERT_EQ(pages->currentWidget(), page->GetPage());
    }

    QWidget* ShownFunctionPage(CTavimondUSBDevice* page) {
        auto* tabs = Control<CTabLayoutUI>(page, "device_function_switch");
        return tabs ? tabs->currentWidget() : nullptr;
    }

    // Steps through a combo's items with the arrow keys, as a user looking for an item does, until
    // `found` holds; false when no item made it hold.
    bool StepComboUntil(QComboBox* combo, const std::function<bool()>& found) {
        if (found()) return true;
        combo->setFocus(Qt::TabFocusReason);
        QTest::keyClick(combo, Qt::Key_Home);
        vxtest::Pump(5);
        for (int i = 0; i <= combo->count(); ++i) {
            if (found()) return true;
            QTest::keyClick(combo, Qt::Key_Down);
            vxtest::Pump(5);
        }
        return found();
    }

    // Runs an action and returns how many settings sessions the device accepted meanwhile.
    size_t SessionsDuring(Device device, const std::function<void()>& action) {
        const size_t before = m_hub->ConfigSessions(device);
        action();
        vxtest::Pump(50);
        return m_hub->ConfigSessions(device) - before;
    }

    std::vector<uint8_t> ActiveBlock(Device device) {
        return m_hub->ConfigBlock(device, m_hub->ActiveProfile(device));
    }

    // The mouse's profile as the data folder holds it.
    CMouseProfiledata SavedMouseProfile(CTavimondMouseDevice* mouse) {
        CMouseProfiledata saved;
        saved.LoadProfile(mouse->Profile().GetProfilePath());
        return saved;
    }
};

// Byte offsets of the mouse's settings block: report rate, active stage, the stages (9 bytes each:
// active, separate axes, DPI x low/high, ...).
constexpr size_t kReportRateByte = 11;
constexpr size_t kActiveStageByte = 12;
constexpr size_t kStageBase = 14;
constexpr size_t kStageLength = 9;

int StageDpi(const std::vector<uint8_t>& block, int stage) {
    const size_t at = kStageBase + kStageLength * static_cast<size_t>(stage);
    return block[at + 2] | (block[at + 3] << 8);
}

TEST_F(PageWiringTest, EveryMouseControlReachesTheMouseOncePerAction) {
    auto* mouse = dynamic_cast<CTavimondMouseDevice*>(Connect(Device::MouseWired, MousePage()));
    ASSERT_NE(mouse, nullptr);
    Show(mouse);
    constexpr Device kMouse = Device::MouseWired;

    // The four feature tabs open their pages.
    const char* const tabs[] = {"mouse_function_option_0", "mouse_function_option_1", "mouse_function_option_2",
                                "mouse_function_option_3"};
    const char* const pages[] = {"mouse_keys_page", "LightControlItem", "mouse_device_seting_layout",
                                 "MacroControlItem"};
    for (int i = 3; i >= 0; --i) {
        Click(Control(mouse, tabs[i]));
        EXPECT_EQ(ShownFunctionPage(mouse), Control(mouse, pages[i])) << tabs[i];
        for (int j = 0; j < 4; ++j) EXPECT_EQ(Control<COptionUI>(mouse, tabs[j])->IsSelected(), i == j);
    }
    Click(Control(mouse, "mouse_function_option_1"));
    auto* lightPanel = Control(mouse, "LightControlItem")->findChild<CLightControlUI*>();
    ASSERT_NE(lightPanel, nullptr);
    EXPECT_TRUE(lightPanel->isVisible());

    Click(Control(mouse, "mouse_function_option_2"));
    Click(Control(mouse, "mouse_device_seting_option_0"));
    ASSERT_TRUE(Control(mouse, "polling_rate_option_3")->isVisible());

    // Report rate: one write, the block's rate byte, the profile file.
    const int shownRate = ActiveBlock(kMouse)[kReportRateByte];
    const int rate = (shownRate + 2) % 5;
    const std::string rateOption = "polling_rate_option_" + std::to_string(rate);
    EXPECT_TRUE(Control<COptionUI>(mouse, ("polling_rate_option_" + std::to_string(shownRate)).c_str())->IsSelected());
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Click(Control(mouse, rateOption.c_str())); }), 1u);
    EXPECT_EQ(ActiveBlock(kMouse)[kReportRateByte], rate);
    EXPECT_EQ(SavedMouseProfile(mouse).GetMouseSystemStages().reportStage, rate);
    for (int i = 0; i < 5; ++i) {
        const std::string name = "polling_rate_option_" + std::to_string(i);
        EXPECT_EQ(Control<COptionUI>(mouse, name.c_str())->IsSelected(), i == rate) << name;
    }
    // Clicking the chosen rate again changes nothing and sends nothing.
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Click(Control(mouse, rateOption.c_str())); }), 0u);

    // A DPI stage's slider stepped with the keyboard: one write with the new value.
    auto* slider = Control<QSlider>(mouse, "DPI_slider_1");
    ASSERT_NE(slider, nullptr);
    const int position = slider->value();
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Keys(slider, Qt::Key_Right); }), 1u);
    const int expected = mouse->DpiScale().SliderToDpi(position + 1);
    EXPECT_EQ(StageDpi(ActiveBlock(kMouse), 1), expected);
    EXPECT_EQ(ui::GetText(Control(mouse, "DPI_edit_1")), QString::number(expected));
    EXPECT_EQ(SavedMouseProfile(mouse).GetDpiStages().at(1).dpiX, expected);

    // A DPI typed into a stage's box: one write on Enter, none more when the box loses the focus.
    auto* edit = Control<QLineEdit>(mouse, "DPI_edit_2");
    ASSERT_NE(edit, nullptr);
    const int typed = mouse->DpiScale().SliderToDpi(10);
    EXPECT_EQ(SessionsDuring(kMouse,
                             [&] {
                                 edit->setFocus(Qt::TabFocusReason);
                                 edit->selectAll();
                                 QTest::keyClicks(edit, QString::number(typed));
                                 QTest::keyClick(edit, Qt::Key_Return);
                                 QTest::keyClick(edit, Qt::Key_Tab);
                             }),
              1u);
    EXPECT_EQ(StageDpi(ActiveBlock(kMouse), 2), typed);

    // The active stage and a stage switched off.
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Click(Control(mouse, "DPI_select_check_2")); }), 1u);
    EXPECT_EQ(ActiveBlock(kMouse)[kActiveStageByte], 2);
    const uint8_t stage4Before = ActiveBlock(kMouse)[kStageBase + kStageLength * 4];
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Click(Control(mouse, "DPI_enable_check_4")); }), 1u);
    EXPECT_NE(ActiveBlock(kMouse)[kStageBase + kStageLength * 4], stage4Before);

    // Pointer settings: each stored in the profile file, once.
    Click(Control(mouse, "mouse_device_seting_option_1"));
    const MouseSystemStages before = SavedMouseProfile(mouse).GetMouseSystemStages();
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Keys(Control(mouse, "pointer_speed_slider"), Qt::Key_Right); }), 1u);
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Keys(Control(mouse, "scroll_speed_slider"), Qt::Key_Right); }), 1u);
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Keys(Control(mouse, "double_click_slider"), Qt::Key_PageUp); }), 1u);
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Click(Control(mouse, "pointer_precision_check")); }), 1u);
    EXPECT_EQ(SessionsDuring(kMouse, [&] { Click(Control(mouse, "scrolls_page_check")); }), 1u);
    const MouseSystemStages after = SavedMouseProfile(mouse).GetMouseSystemStages();
    EXPECT_EQ(after.mouseSpeed, before.mouseSpeed + 1);
    EXPECT_EQ(after.wheelScorlllinse, before.wheelScorlllinse + 1);
    EXPECT_GT(after.doubleClickTime, before.doubleClickTime);
    EXPECT_NE(after.pointerPrecision, before.pointerPrecision);
    EXPECT_NE(after.scorllPage, before.scorllPage);
}

TEST_F(PageWiringTest, EachPageOpensOnTheTabItHighlights) {
    CTavimondUSBDevice* mouse = Connect(Device::MouseWired, MousePage());
    CTavimondUSBDevice* keyboard = Connect(Device::KeyboardWired, KeyboardPage());
    // The profile panel highlights its first tab, lighting, when it is connected to its page.
    EXPECT_TRUE(Control<COptionUI>(keyboard, "deng_Op_tab")->IsSelected());
    // The keyboard's lighting tab holds the lighting panel and its custom-colour buttons.
    EXPECT_EQ(ShownFunctionPage(keyboard), Control(keyboard, "keyboard_light_page"));
    EXPECT_TRUE(Control(keyboard, "LightControlItem")->isVisibleTo(ShownFunctionPage(keyboard)));
    EXPECT_TRUE(Control<COptionUI>(mouse, "mouse_function_option_1")->IsSelected());
    EXPECT_EQ(ShownFunctionPage(mouse), Control(mouse, "LightControlItem"));

    // The user's choice of another tab on one page leaves the other page's tab as it was.
    Show(keyboard);
    Click(Control(keyboard, "system_Op_tab"));
    EXPECT_TRUE(Control<COptionUI>(keyboard, "system_Op_tab")->IsSelected());
    EXPECT_FALSE(Control<COptionUI>(keyboard, "deng_Op_tab")->IsSelected());
    EXPECT_TRUE(Control<COptionUI>(mouse, "deng_Op_tab")->IsSelected());
    EXPECT_TRUE(Control<COptionUI>(mouse, "mouse_function_option_1")->IsSelected());
}

TEST_F(PageWiringTest, ALightingChoiceOnOnePageKeepsTheOtherPagesChoices) {
    CTavimondUSBDevice* mouse = Connect(Device::MouseWired, MousePage());
    CTavimondUSBDevice* keyboard = Connect(Device::KeyboardWired, KeyboardPage());
    // Both direction options of both pages, and which of each pair is on.
    auto* mouseLeft = Control<COptionUI>(mouse, "deng_FXL_check");
    auto* mouseRight = Control<COptionUI>(mouse, "deng_FXR_check");
    auto* keyboardLeft = Control<COptionUI>(keyboard, "deng_FXL_check");
    auto* keyboardRight = Control<COptionUI>(keyboard, "deng_FXR_check");
    ASSERT_TRUE(mouseLeft && mouseRight && keyboardLeft && keyboardRight);
    // Same group names on both pages, as both carry the same panel.
    ASSERT_EQ(mouseLeft->GetGroup(), keyboardLeft->GetGroup());
    mouseLeft->Selected(true);
    keyboardRight->Selected(true);
    ASSERT_TRUE(mouseLeft->IsSelected());

    Show(keyboard);
    // An effect that moves, chosen in the keyboard's effect list with the keyboard.
    auto* modes = Control<QComboBox>(keyboard, "light_combo_modeSelect");
    ASSERT_NE(modes, nullptr);
    ASSERT_TRUE(StepComboUntil(modes, [&] { return keyboardLeft->isVisible() && keyboardLeft->isEnabled(); }));
    mouseLeft->Selected(true);
    keyboardRight->Selected(true);
    Click(keyboardLeft);
    EXPECT_TRUE(keyboardLeft->IsSelected());
    EXPECT_FALSE(keyboardRight->IsSelected());
    // The mouse page's choice stays.
    EXPECT_TRUE(mouseLeft->IsSelected());
    Click(keyboardRight);
    EXPECT_TRUE(mouseLeft->IsSelected());
    EXPECT_FALSE(mouseRight->IsSelected());
}

TEST_F(PageWiringTest, TheMouseProfilePanelAndItsMenuAreUsable) {
    CTavimondUSBDevice* mouse = Connect(Device::MouseWired, MousePage());
    Show(mouse);
    auto* combo = Control<QComboBox>(mouse, "device_profile_combo");
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_GE(combo->height(), 28);
    // The page has its own feature tabs; the panel's list is not shown a second time.
    EXPECT_FALSE(Control(mouse, "device_profile_tabs")->isVisible());

    Click(Control(mouse, "profile_fun_spread_btn"));
    for (const char* name : {"device_add_btn", "device_copy_btn", "device_sub_btn", "device_import_btn",
                             "device_export_btn", "device_reset_btn", "device_profile_name_edit",
                             "device_profile_edit_save_btn"}) {
        QWidget* control = Control(mouse, name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_TRUE(control->isVisible()) << name;
        EXPECT_GE(control->height(), 24) << name;
        // Wholly inside the page, not cut by its container.
        const QRect inPage(control->mapTo(mouse->GetPage(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(mouse->GetPage()->rect().contains(inPage)) << name;
        const QRect inItem(control->mapTo(Control(mouse, "DeviceProfileItem"), QPoint(0, 0)), control->size());
        EXPECT_TRUE(Control(mouse, "DeviceProfileItem")->rect().contains(inItem)) << name;
    }
    // A new profile made from the mouse page's menu.
    Click(Control(mouse, "device_add_btn"));
    EXPECT_EQ(combo->count(), 2);
    Click(Control(mouse, "profile_fun_spread_btn"));
    EXPECT_FALSE(Control(mouse, "device_add_btn")->isVisible());
    EXPECT_FALSE(Control(mouse, "device_profile_tabs")->isVisible());

    // The lighting panel fills its container.
    Click(Control(mouse, "mouse_function_option_1"));
    QWidget* item = Control(mouse, "LightControlItem");
    auto* panel = item->findChild<CLightControlUI*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), item->contentsRect());
}

TEST_F(PageWiringTest, AKeyClickedInCustomColourModePaintsItsLed) {
    auto* keyboard = dynamic_cast<CTavimondKeyboardDevice*>(Connect(Device::KeyboardWired, KeyboardPage()));
    ASSERT_NE(keyboard, nullptr);
    Show(keyboard);
    ASSERT_EQ(ShownFunctionPage(keyboard), Control(keyboard, "keyboard_light_page"));
    // The custom-colour effect chosen in the effect list with the keyboard.
    auto* modes = Control<QComboBox>(keyboard, "light_combo_modeSelect");
    ASSERT_NE(modes, nullptr);
    const QString custom = CResourceManager::GetInstance().GetText("light_mode_custom");
    ASSERT_TRUE(StepComboUntil(modes, [&] { return modes->currentText() == custom; }));
    ASSERT_TRUE(WaitUntil([&] { return keyboard->Engine().GetLightInfo().selectItem == 20; }, 1000 * kSlowdown));

    // A preset colour, then a key of the picture.
    Click(Control(keyboard, "color_option_2"));
    const auto light = keyboard->Engine().GetLightInfo();
    constexpr int kKey = 40;
    const auto group = static_cast<size_t>(keyboard->GetProfileData()->GetLightInfo().customGroup);
    const std::vector<uint8_t> coloursBefore = m_hub->KeyColours(Device::KeyboardWired, group);
    Click(Control(keyboard, "key_40"));
    const vx::lighting::LedEntry led = keyboard->Engine().GetLed(kKey);
    EXPECT_EQ(led.red, light.red);
    EXPECT_EQ(led.green, light.green);
    EXPECT_EQ(led.blue, light.blue);
    EXPECT_NE(m_hub->KeyColours(Device::KeyboardWired, group), coloursBefore);
}

// Shown on its page: not hidden itself nor inside a hidden container, except that a tab layout's
// pages other than the current one count as shown (the user opens them with a click).
bool ShownOnItsPage(const QWidget* w, const QWidget* window) {
    for (const QWidget* at = w; at && at != window; at = at->parentWidget()) {
        if (!at->isHidden()) continue;
        if (!qobject_cast<const QStackedWidget*>(at->parentWidget())) return false;
    }
    return true;
}

bool LooksLikeLanguageKey(const QString& text) {
    static const QRegularExpression key(QStringLiteral("^%\\[.*\\]$|^[a-z0-9]+(_[a-z0-9.]+)+$"));
    return key.match(text.trimmed()).hasMatch();
}

TEST_F(PageWiringTest, EveryControlAUserCanActOnIsNamedInTheLanguageAndNoTextIsARawKey) {
    Connect(Device::MouseWired, MousePage());
    Connect(Device::KeyboardWired, KeyboardPage());
    QStringList unnamed;
    QStringList raw;
    for (QWidget* w : m_wnd->findChildren<QWidget*>()) {
        if (!ShownOnItsPage(w, m_wnd.get())) continue;
        for (const QString& text : {w->toolTip(), w->accessibleName(), ui::GetText(w)}) {
            if (LooksLikeLanguageKey(text)) raw << w->objectName() + QStringLiteral(": ") + text;
        }
        const bool actionable = qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSlider*>(w) ||
                                qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w);
        if (!actionable) continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        if (face == nullptr || face->text(QAccessible::Name).trimmed().isEmpty()) unnamed << w->objectName();
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(raw.isEmpty()) << raw.join(QStringLiteral(", ")).toStdString();

    // The names follow the language.
    auto* prev = m_wnd->GetPaintManager().FindControl("device_select_prev");
    ASSERT_NE(prev, nullptr);
    CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
    CResourceManager::GetInstance().ReloadText();
    EXPECT_EQ(prev->accessibleName(), QStringLiteral("Previous device"));
    // An LED under a labelled key cap is named after the key.
    int labelled = 0;
    while (labelled < 170 && (!Control(KeyboardPage(), ("key_" + std::to_string(labelled)).c_str()) ||
                              ui::GetText(Control(KeyboardPage(), ("key_" + std::to_string(labelled)).c_str())).isEmpty()))
        ++labelled;
    ASSERT_LT(labelled, 170);
    const std::string n = std::to_string(labelled);
    EXPECT_EQ(Control(KeyboardPage(), ("light_" + n).c_str())->accessibleName(),
              QStringLiteral("Light %1").arg(ui::GetText(Control(KeyboardPage(), ("key_" + n).c_str()))));
    CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_cn.xml"));
    CResourceManager::GetInstance().ReloadText();
    EXPECT_EQ(prev->accessibleName(), QStringLiteral("上一个设备"));
}

}  // namespace
