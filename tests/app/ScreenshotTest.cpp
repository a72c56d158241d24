// Renders the main window and a message box with the real skin to PNG files in the build folder
// (build/screenshots/), so that their look can be checked by eye; the checks here make sure the
// pictures show the skin and not an unstyled form.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTimer>

#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "app/StartUp.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "widgets/ResourceManager.h"

namespace {
const QString kOut = QStringLiteral(VX_BINARY_DIR "/screenshots/");

// The share of pixels darker than the theme's panels: a dark skin is mostly dark.
double DarkShare(const QImage& image) {
    qint64 dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 60;
    }
    return double(dark) / (qint64(image.width()) * image.height());
}

class ScreenshotTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir())); }
};

TEST_F(ScreenshotTest, MainWindowInEnglishAndChinese) {
    CMainWnd wnd;
    ASSERT_TRUE(
        wnd.Create(nullptr, CMainWnd::kTitle, 0, 0, QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight)));
    wnd.show();
    vxtest::Pump(50);
    EXPECT_EQ(wnd.size(), QSize(800, 572));
    ASSERT_TRUE(vxtest::RenderToPng(&wnd, kOut + "main_cn.png"));

    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    CResourceManager::GetInstance().ReloadText();
    vxtest::Pump(20);
    EXPECT_EQ(ui::GetText(wnd.GetPaintManager().FindControl("nodevice_title")), "No device connected");
    ASSERT_TRUE(vxtest::RenderToPng(&wnd, kOut + "main_en.png"));

    const QImage shot(kOut + "main_en.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(DarkShare(shot), 0.8);
    wnd.OnMenuItem("exit");
}

TEST_F(ScreenshotTest, QuestionBox) {
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    bool shot = false;
    QTimer::singleShot(100, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<CMsgWnd*>(w); box && box->isVisible()) {
                shot = vxtest::RenderToPng(box, kOut + "msgbox.png");
                box->Close(0);
            }
        }
    });
    ShowMessageBox(nullptr, QString(), "message_text_22", 96, true, 1);
    ASSERT_TRUE(shot);
    EXPECT_GT(DarkShare(QImage(kOut + "msgbox.png")), 0.7);
}
}  // namespace
