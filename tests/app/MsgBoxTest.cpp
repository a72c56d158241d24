// The message box: its result for each way of closing it, button modes, texts, and the DPI rule.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

#include "widgets/MsgWnd.h"
#include "app/StartUp.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "widgets/ResourceManager.h"

using vx::app::SetupResources;
using vx::widgets::CMsgWnd;
using vx::widgets::CResourceManager;
using vx::widgets::ShowMessageBox;
namespace ui = vx::widgets::ui;

namespace {

QStringList g_log;
void Capture(QtMsgType, const QMessageLogContext&, const QString& text) {
    g_log << text;
}

class MsgBoxTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    }
    // Runs ShowMessageBox and, once the box is up, hands it to `act`.
    int Run(int mode, std::function<void(CMsgWnd&)> act, const QString& text = "message_text_22",
            bool key = true, int dpi = 96, const QString& title = QString(), QWidget* parent = nullptr) {
        QTimer::singleShot(30, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<CMsgWnd*>(w); box && box->isVisible()) act(*box);
            }
        });
        return ShowMessageBox(parent, title, text, dpi, key, mode);
    }
    static void Click(CMsgWnd& box, const char* name) {
        QWidget* button = box.GetPaintManager().FindControl(name);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

TEST_F(MsgBoxTest, OnlyConfirmReturnsOne) {
    EXPECT_EQ(Run(1, [](CMsgWnd& b) { Click(b, "confirm_btn"); }), 1);
    EXPECT_EQ(Run(1, [](CMsgWnd& b) { Click(b, "cancel_btn"); }), 0);
    EXPECT_EQ(Run(1, [](CMsgWnd& b) { Click(b, "closebtn"); }), 0);
    EXPECT_EQ(Run(1, [](CMsgWnd& b) { b.close(); }), 0);
    EXPECT_EQ(Run(0, [](CMsgWnd& b) { Click(b, "CONFIRM_BTN"); }), 1);
}

TEST_F(MsgBoxTest, ButtonModes) {
    bool cancelShown = true;
    bool confirmShown = false;
    auto look = [&](CMsgWnd& b) {
        cancelShown = ui::IsVisible(b.GetPaintManager().FindControl("cancel_btn"));
        confirmShown = ui::IsVisible(b.GetPaintManager().FindControl("confirm_btn"));
        b.Close(0);
    };
    Run(0, look);
    EXPECT_FALSE(cancelShown);
    EXPECT_TRUE(confirmShown);
    Run(1, look);
    EXPECT_TRUE(cancelShown);
    EXPECT_TRUE(confirmShown);
    Run(7, look);  // the layout's own visibility
    EXPECT_TRUE(cancelShown);
    EXPECT_TRUE(confirmShown);
}

TEST_F(MsgBoxTest, TextAsKeyOrAsGivenAndTitle) {
    QString text;
    QString title;
    auto look = [&](CMsgWnd& b) {
        text = ui::GetText(b.GetPaintManager().FindControl("MessageText"));
        title = ui::GetText(b.GetPaintManager().FindControl("MessageTitle"));
        b.Close(0);
    };
    Run(0, look, "message_text_22", true);
    EXPECT_EQ(text, "Restore this profile to its factory settings? Your changes to it will be lost.");
    EXPECT_EQ(title, "Vexor Umbrel");  // empty title: the layout's stays
    Run(0, look, "message_text_22", false, 96, "Profiles");
    EXPECT_EQ(text, "message_text_22");
    EXPECT_EQ(title, "Profiles");
}

TEST_F(MsgBoxTest, DpiRule) {
    g_log.clear();
    const auto previous = qInstallMessageHandler(Capture);
    int dpi = 0;
    QSize size;
    auto look = [&](CMsgWnd& b) {
        dpi = b.GetDPI();
        size = b.size();
        b.Close(0);
    };
    Run(0, look, "x", false, 100);
    qInstallMessageHandler(previous);
    EXPECT_EQ(dpi, 96);
    EXPECT_TRUE(g_log.contains("MSG_WND DPI SET ERROR"));
    EXPECT_EQ(size, QSize(420, 220));
    Run(0, look, "x", false, 120);
    EXPECT_EQ(dpi, 120);
    EXPECT_EQ(size, QSize(525, 275));
}

// A notice that names a file in a deep folder is longer than the layout's box: the box grows
// downwards until the whole text shows, and keeps its width.
TEST_F(MsgBoxTest, LongTextMakesTheBoxTallerNotCutOff) {
    const QString text = QStringLiteral(
        "The file /home/someone/.local/share/VexorUmbrelControlCenter/keyboard/2026_12_09_20_42_38_855.Json "
        "was damaged and has been replaced with factory settings. The damaged file was kept as "
        "/home/someone/.local/share/VexorUmbrelControlCenter/keyboard/2026_12_09_20_42_38_855.Json.broken.");
    QSize size;
    int labelHeight = 0;
    int labelNeeds = 0;
    Run(0, [&](CMsgWnd& b) {
        size = b.size();
        QWidget* label = b.GetPaintManager().FindControl("MessageText");
        labelHeight = label->height();
        labelNeeds = label->heightForWidth(label->width());
        b.Close(0);
    }, text, false);
    EXPECT_EQ(size.width(), 420);
    EXPECT_GT(size.height(), 220);
    EXPECT_GE(labelHeight, labelNeeds) << "the text is cut off";
}

TEST_F(MsgBoxTest, OwnerIsBlockedWhileTheBoxRuns) {
    QWidget owner;
    owner.resize(300, 200);
    owner.show();
    bool boxIsModal = false;
    bool ownedByOwner = false;
    const int result = Run(
        1,
        [&](CMsgWnd& b) {
            boxIsModal = QApplication::activeModalWidget() == &b;
            ownedByOwner = b.parentWidget() == &owner;
            Click(b, "confirm_btn");
        },
        "x", false, 96, QString(), &owner);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(boxIsModal);
    EXPECT_TRUE(ownedByOwner);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
