// Image strings drawn by the one painter, and menus built from a layout.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "support/QtTestEnv.h"
#include "widgets/MenuWnd.h"
#include "widgets/RenderEngine.h"
#include "widgets/ResourceManager.h"
#include "widgets/TrayIcon.h"

using vx::widgets::CMenuWnd;
using vx::widgets::CRenderEngine;
using vx::widgets::CResourceManager;
using vx::widgets::CTrayIcon;
using vx::widgets::TImageInfo;

namespace {

class RenderTest : public testing::Test {
protected:
    void SetUp() override {
        CResourceManager::GetInstance().SetResourcePath(dir.path());
        CRenderEngine::ClearCache();
        // A 20x20 picture: red left half, blue right half, with a magenta 2-pixel frame.
        QImage image(20, 20, QImage::Format_ARGB32);
        image.fill(QColor(255, 0, 255));
        for (int y = 2; y < 18; ++y) {
            for (int x = 2; x < 18; ++x) image.setPixel(x, y, x < 10 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        }
        ASSERT_TRUE(image.save(dir.path() + "/pic.png"));
    }
    QImage Draw(const QString& imageString, QSize size = QSize(40, 40)) {
        QImage canvas(size, QImage::Format_ARGB32);
        canvas.fill(Qt::black);
        QPainter p(&canvas);
        CRenderEngine::DrawImageString(p, canvas.rect(), imageString);
        return canvas;
    }
    QTemporaryDir dir;
};

TEST_F(RenderTest, ParsesEveryAttribute) {
    const TImageInfo info = CRenderEngine::ParseImageString(
        "file='a.png' source='1,2,11,12' dest='0,0,5,6' corner='3,3,3,3' mask='#FF00FF' fade='128' "
        "hole='true' xtiled='true' ytiled='false' hsl='true'");
    EXPECT_EQ(info.file, "a.png");
    EXPECT_EQ(info.source, QRect(1, 2, 10, 10));
    EXPECT_EQ(info.dest, QRect(0, 0, 5, 6));
    EXPECT_EQ(info.corner, QMargins(3, 3, 3, 3));
    EXPECT_TRUE(info.hasMask);
    EXPECT_EQ(info.mask, 0xFF00FFu);
    EXPECT_EQ(info.fade, 128);
    EXPECT_TRUE(info.hole && info.xtiled && info.hsl);
    EXPECT_FALSE(info.ytiled);
    EXPECT_EQ(CRenderEngine::ParseImageString("plain.png").file, "plain.png");
    EXPECT_EQ(CRenderEngine::ParseImageString("res='r.png' fade='999'").fade, 255);
}

TEST_F(RenderTest, SourceDestFadeAndMask) {
    // The left half of the picture's inside, stretched over the whole canvas: all red.
    QImage out = Draw("file='pic.png' source='2,2,10,18'");
    EXPECT_EQ(out.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(out.pixel(38, 38), qRgb(255, 0, 0));

    // dest places the picture; outside it the canvas stays.
    out = Draw("file='pic.png' source='10,2,18,18' dest='20,0,40,20'");
    EXPECT_EQ(out.pixel(30, 10), qRgb(0, 0, 255));
    EXPECT_EQ(out.pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(30, 30), qRgb(0, 0, 0));

    out = Draw("file='pic.png' source='2,2,10,18' fade='128'");
    EXPECT_NEAR(qRed(out.pixel(20, 20)), 128, 3);

    // The magenta frame is masked out, the inside is not.
    out = Draw("file='pic.png' mask='#FF00FF'", QSize(20, 20));
    EXPECT_EQ(out.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(5, 10), qRgb(255, 0, 0));
}

TEST_F(RenderTest, CornersStayUnscaledAndHoleLeavesTheMiddle) {
    QImage out = Draw("file='pic.png' corner='2,2,2,2' hole='true'", QSize(60, 40));
    EXPECT_EQ(out.pixel(0, 0), qRgb(255, 0, 255));
    EXPECT_EQ(out.pixel(1, 39), qRgb(255, 0, 255));
    EXPECT_EQ(out.pixel(30, 1), qRgb(255, 0, 255));  // top edge stretched, still frame colour
    EXPECT_EQ(out.pixel(30, 20), qRgb(0, 0, 0));     // the hole
    out = Draw("file='pic.png' corner='2,2,2,2'", QSize(60, 40));
    EXPECT_NE(out.pixel(30, 20), qRgb(0, 0, 0));
}

TEST_F(RenderTest, MissingPictureDrawsNothing) {
    QImage canvas(10, 10, QImage::Format_ARGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    EXPECT_FALSE(CRenderEngine::DrawImageString(p, canvas.rect(), "file='absent.png'"));
    EXPECT_FALSE(CRenderEngine::DrawImageString(p, canvas.rect(), ""));
    p.end();
    EXPECT_EQ(canvas.pixel(5, 5), qRgb(0, 0, 0));
}

TEST(MenuTest, PlacementFollowsAlignment) {
    const QSize size(100, 60);
    const QPoint pt(500, 400);
    EXPECT_EQ(CMenuWnd::PlaceMenu(size, pt, CMenuWnd::kAlignLeft | CMenuWnd::kAlignTop), QPoint(500, 400));
    EXPECT_EQ(CMenuWnd::PlaceMenu(size, pt, CMenuWnd::kAlignRight | CMenuWnd::kAlignBottom),
              QPoint(400, 340));
    EXPECT_EQ(CMenuWnd::PlaceMenu(size, pt, CMenuWnd::kAlignLeft | CMenuWnd::kAlignBottom), QPoint(500, 340));
    EXPECT_EQ(CMenuWnd::PlaceMenu(size, pt, 0), QPoint(450, 370));
}

TEST(MenuTest, ItemsComeFromTheLayoutAndReportTheirNames) {
    CResourceManager& rm = CResourceManager::GetInstance();
    rm.SetResourcePath(vxtest::FixtureDir("widgets/skin"));
    ASSERT_TRUE(rm.LoadLanguage("lan_a.xml"));
    QString chosen;
    QMenu* menu =
        CMenuWnd::Show("menu_test.xml", QPoint(100, 100), CMenuWnd::kAlignLeft | CMenuWnd::kAlignTop,
                       [&](const QString& name) { chosen = name; });
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->objectName(), "setwnd_menu");
    EXPECT_EQ(actions[0]->text(), "Apply");
    EXPECT_EQ(actions[1]->objectName(), "exit");
    actions[1]->trigger();
    EXPECT_EQ(chosen, "exit");
    menu->close();
    vxtest::Pump(10);
    EXPECT_EQ(CMenuWnd::Show("no_menu.xml", QPoint(), 0, nullptr), nullptr);
}

}  // namespace

namespace {

TEST(TrayIconTest, StandInReportsBothClicksWhereThereIsNoTray) {
    CResourceManager::GetInstance().SetResourcePath(vxtest::RepoSkinDir());
    CTrayIcon tray;
    int left = 0;
    int right = 0;
    tray.onLeftClick = [&] { ++left; };
    tray.onRightClick = [&] { ++right; };
    ASSERT_TRUE(tray.Create("common/app_icon.svg", "Vexor Umbrel Control Center"));
    if (!tray.IsFallback()) GTEST_SKIP() << "this desktop has a notification area";
    EXPECT_TRUE(tray.IsVisible());
    QWidget* standIn = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->toolTip() == "Vexor Umbrel Control Center") standIn = w;
    }
    ASSERT_NE(standIn, nullptr);
    QTest::mouseClick(standIn, Qt::LeftButton);
    QTest::mouseClick(standIn, Qt::RightButton);
    QTest::mouseClick(standIn, Qt::LeftButton);
    EXPECT_EQ(left, 2);
    EXPECT_EQ(right, 1);
    tray.Remove();
    EXPECT_FALSE(tray.IsVisible());
}

}  // namespace
