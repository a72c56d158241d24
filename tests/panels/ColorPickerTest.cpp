// The colour picker with its real layout, driven by input events: the red/green/blue edits, the
// preset and collected swatches, the option file across openings, and the modal results.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>

#include "BuildPaths.h"
#include "panels/ColorSelectWnd.h"
#include "profiles/JsonFile.h"
#include "tests/profiles/TempDir.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ColorPaletteUI.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ResourceManager.h"

using vx::widgets::CResourceManager;
using vx::widgets::CColorPaletteUI;
using vx::widgets::COptionUI;
namespace ui = vx::widgets::ui;

using vx::panels::CColorSelectWnd;
using vx::profiles::JsonFile;
namespace fs = std::filesystem;

namespace {

const fs::path kFactory = fs::path(VX_SOURCE_DIR) / "DefaultData" / "color_option_info.config";

class ColorPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CResourceManager& resources = CResourceManager::GetInstance();
        resources.SetResourcePath(vxtest::RepoSkinDir());
        ASSERT_TRUE(resources.LoadResource());
        resources.LoadLanguage(QStringLiteral("lan_en.xml"));
        ASSERT_TRUE(fs::exists(kFactory));
    }
    void TearDown() override { picker.reset(); }

    fs::path Working() const { return dir / "color_option_info.config"; }

    // A picker as the opener makes it, shown (not modal) so that the test can act on it.
    CColorSelectWnd& Open(QRgb colour, fs::path factory = kFactory) {
        picker = std::make_unique<CColorSelectWnd>();
        picker->SetOptionFiles(Working(), std::move(factory));
        EXPECT_TRUE(picker->Create(nullptr, "PalletDialog", 0, 0));
        picker->SetPickerColor(colour);
        picker->EnableSevenColor(false);
        picker->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(picker.get()));
        picker->activateWindow();
        QTest::qWaitForWindowActive(picker.get());
        vxtest::Pump();
        return *picker;
    }

    QWidget* Find(const char* name) { return picker->GetPaintManager().FindControl(QString::fromLatin1(name)); }
    COptionUI* Option(const QString& name) {
        return qobject_cast<COptionUI*>(picker->GetPaintManager().FindControl(name));
    }

    void Click(QWidget* control) {
        ASSERT_NE(control, nullptr);
        QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, control->rect().center());
        vxtest::Pump();
    }

    // Types into an edit box and leaves it by giving the focus to another edit.
    void TypeAndLeave(const char* name, const QString& text, const char* next) {
        auto* edit = qobject_cast<QLineEdit*>(Find(name));
        ASSERT_NE(edit, nullptr) << name;
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        if (!text.isEmpty()) QTest::keyClicks(edit, text);
        Find(next)->setFocus(Qt::MouseFocusReason);
        vxtest::Pump();
    }

    QString Text(const char* name) { return ui::GetText(Find(name)); }

    Json::Value Collected(int slot) {
        const Json::Value root = JsonFile().ReadJson(Working());
        return root["coloroptioninfo"]["palletDialogcollectcoloroption"][Json::ArrayIndex(slot)];
    }

    TempDir dir;
    std::unique_ptr<CColorSelectWnd> picker;
};

TEST_F(ColorPickerTest, EditsAreLimitedToAByteAndMakeTheColour) {
    CColorSelectWnd& wnd = Open(0xFF102030);
    EXPECT_EQ(Text("color_edit_r"), "16");
    EXPECT_EQ(Text("color_edit_g"), "32");
    EXPECT_EQ(Text("color_edit_b"), "48");

    TypeAndLeave("color_edit_g", "300", "color_edit_b");
    EXPECT_EQ(Text("color_edit_g"), "255");
    EXPECT_EQ(wnd.GetPickerColor(), 0xFF10FF30u);

    // An empty box counts 0 for its own part only.
    TypeAndLeave("color_edit_b", "", "color_edit_r");
    EXPECT_EQ(Text("color_edit_b"), "0");
    EXPECT_EQ(wnd.GetPickerColor(), 0xFF10FF00u);
    // The result swatch and the palette follow.
    EXPECT_EQ(ui::GetBkColor(Find("color_show_btn")), 0xFF10FF00u);
    EXPECT_EQ(qobject_cast<CColorPaletteUI*>(Find("Pallet"))->GetSelectColor(), 0xFF10FF00u);
}

TEST_F(ColorPickerTest, CollectedColoursAreKeptAcrossOpenings) {
    ASSERT_FALSE(fs::exists(Working()));
    Open(0xFF000000);
    // The working file starts as the factory copy.
    ASSERT_TRUE(fs::exists(Working()));
    ASSERT_EQ(Collected(3)["UserData"].asString(), "");

    // An empty slot, then a preset: the slot takes the preset's colour and the file keeps it.
    Click(Find("collect_color_option_3"));
    EXPECT_EQ(ui::GetUserData(Find("collect_color_option_3")), "");
    Click(Find("color_option_19"));
    EXPECT_EQ(picker->GetPickerColor(), 0xFF0099FFu);
    EXPECT_EQ(ui::GetBkColor(Find("collect_color_option_3")), 0xFF0099FFu);
    EXPECT_EQ(Collected(3)["color"].asString(), "FF0099FF");
    EXPECT_EQ(Collected(3)["UserData"].asString(), "1");
    const Json::Value root = JsonFile().ReadJson(Working());
    EXPECT_EQ(root["coloroptioninfo"]["palletDialogcoloroption_selectitem"].asInt(), 19);
    EXPECT_EQ(root["coloroptioninfo"]["palletDialogcoloroption"][19]["color"].asString(), "FF0099FF");
    // Typing a colour while the slot is still chosen refills it.
    TypeAndLeave("color_edit_r", "7", "color_edit_g");
    EXPECT_EQ(Collected(3)["color"].asString(), "FF0799FF");
    picker->Close(0);

    // Opened again: the slot shows the colour, and a filled slot gives its colour back.
    CColorSelectWnd& again = Open(0xFF000000);
    EXPECT_EQ(ui::GetBkColor(Find("collect_color_option_3")), 0xFF0799FFu);
    EXPECT_EQ(ui::GetUserData(Find("collect_color_option_3")), "1");
    EXPECT_EQ(again.CollectedPosition(), -1);
    EXPECT_EQ(again.PresetPosition(), 19);
    // The slot being filled is not carried over: a preset chosen now fills nothing.
    Click(Find("color_option_0"));
    EXPECT_EQ(again.GetPickerColor(), 0xFFFF0000u);
    EXPECT_EQ(Collected(3)["color"].asString(), "FF0799FF");
    for (int slot = 0; slot < CColorSelectWnd::kSwatches; ++slot) {
        if (slot != 3) EXPECT_EQ(Collected(slot)["UserData"].asString(), "") << slot;
    }
    Click(Find("collect_color_option_3"));
    EXPECT_EQ(again.GetPickerColor(), 0xFF0799FFu);
    EXPECT_EQ(Text("color_edit_r"), "7");
}

TEST_F(ColorPickerTest, AnUnreadableOptionFileIsReplacedAndAMissingFactoryLoadsNothing) {
    {
        std::ofstream broken(Working());
        broken << "{ \"coloroptioninfo\" : [ not json";
    }
    Open(0xFF000000);
    EXPECT_EQ(Collected(0)["color"].asString(), "FFFFFFFF");
    picker->Close(0);

    fs::remove(Working());
    Open(0xFF000000, dir / "no-such-factory.config");
    EXPECT_FALSE(fs::exists(Working()));
    // The swatches keep the layout's state and still work.
    Click(Find("color_option_2"));
    EXPECT_EQ(picker->GetPickerColor(), 0xFFFFFF00u);
    EXPECT_TRUE(fs::exists(Working()));
}

TEST_F(ColorPickerTest, OnlyOkGivesAColourBack) {
    // Each run is answered by clicking in the modal window once it shows.
    auto answer = [](const char* preset, const char* button) {
        QTimer::singleShot(50, [preset, button] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* wnd = qobject_cast<CColorSelectWnd*>(top);
                if (wnd == nullptr || !wnd->isVisible()) continue;
                for (const char* name : {preset, button}) {
                    if (name == nullptr) continue;
                    QWidget* control = wnd->GetPaintManager().FindControl(QString::fromLatin1(name));
                    if (control) QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, control->rect().center());
                }
            }
        });
    };
    QRgb colour = 0xFF123456;
    answer("color_option_8", "closebtn");
    EXPECT_EQ(CColorSelectWnd::PickColour(nullptr, 96, colour), CColorSelectWnd::kClosed);
    EXPECT_EQ(colour, 0xFF123456u);
    answer("color_option_8", "laterbtn");
    EXPECT_EQ(CColorSelectWnd::PickColour(nullptr, 96, colour), CColorSelectWnd::kClosed);
    EXPECT_EQ(colour, 0xFF123456u);
    answer("color_option_8", "okbtn");
    EXPECT_EQ(CColorSelectWnd::PickColour(nullptr, 96, colour), CColorSelectWnd::kAccepted);
    EXPECT_EQ(colour, 0xFF0000FFu);
}

}  // namespace
