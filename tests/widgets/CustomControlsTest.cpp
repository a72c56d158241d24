// The skinned custom controls: rubber-band selection, pulse, level history, picture tiles, ring
// progress, key buttons and list rows.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "support/QtTestEnv.h"
#include "widgets/AudioRecordUI.h"
#include "widgets/CircleProgressUI.h"
#include "widgets/CloudShareListItemUI.h"
#include "widgets/ContainerUI.h"
#include "widgets/ControlUI.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/HandImgButtonUI.h"
#include "widgets/HandImgSelectButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/RedioMacroButtonUI.h"
#include "widgets/ResourceManager.h"
#include "widgets/SelectPanelUI.h"

using vx::widgets::CHandImgButtonUI;
using vx::widgets::CHandImgSelectButtonUI;
using vx::widgets::CCircleProgressUI;
using vx::widgets::CCloudShareListItemUI;

using vx::widgets::CAudioRecordUI;
using vx::widgets::CContainerUI;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CRedioMacroButtonUI;
using vx::widgets::CSelectPanelUI;
using vx::widgets::TNotifyUI;
namespace ui = vx::widgets::ui;

namespace {

class Recorder : public vx::widgets::INotifyUI {
public:
    void Notify(TNotifyUI& msg) override { seen.push_back({msg.sType, msg.pSender}); }
    int Count(const QString& type) const {
        int n = 0;
        for (const auto& s : seen) n += s.first == type;
        return n;
    }
    std::vector<std::pair<QString, QWidget*>> seen;
};

// A window of its own for each test: root, manager and recorder.
class CustomControlsTest : public testing::Test {
protected:
    void SetUp() override {
        root = std::make_unique<CContainerUI>();
        root->setObjectName("root");
        root->resize(600, 400);
        pm.AttachRoot(root.get());
        pm.AddNotifier(&rec);
    }
    void Show() {
        pm.AttachControls(root.get());
        root->show();
        vxtest::Pump();
        rec.seen.clear();
    }
    // A plain picture file in a temporary folder.
    QString MakePicture(const QString& name, QSize size, QColor color) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(color);
        const QString path = dir.path() + "/" + name;
        image.save(path);
        return path;
    }

    QTemporaryDir dir;
    std::unique_ptr<CContainerUI> root;
    CPaintManagerUI pm;
    Recorder rec;
};

// ----- CSelectPanelUI -------------------------------------------------------------------------

class SelectPanelTest : public CustomControlsTest {
protected:
    void SetUp() override {
        CustomControlsTest::SetUp();
        panel = new CSelectPanelUI(root.get());
        panel->setGeometry(0, 0, 400, 300);
        // Four keys: two on the top row, one in the middle, one at the bottom right.
        keys.push_back(MakeKey(20, 20));
        keys.push_back(MakeKey(100, 20));
        keys.push_back(MakeKey(60, 120));
        keys.push_back(MakeKey(300, 240));
        Show();
    }
    CDeviceKeyButtonUI* MakeKey(int x, int y) {
        auto* key = new CDeviceKeyButtonUI(panel);
        key->setGeometry(x, y, 40, 40);
        return key;
    }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(panel, Qt::LeftButton, {}, from);
        QTest::mouseMove(panel, (from + to) / 2);
        QTest::mouseMove(panel, to);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, to);
    }
    std::vector<bool> Selection() const {
        std::vector<bool> out;
        for (auto* k : keys) out.push_back(k->IsSelected());
        return out;
    }

    CSelectPanelUI* panel = nullptr;
    std::vector<CDeviceKeyButtonUI*> keys;
};

TEST_F(SelectPanelTest, DragSelectsTouchedKeysInEitherDirection) {
    Drag(QPoint(10, 10), QPoint(130, 130));
    const std::vector<bool> forward = Selection();
    EXPECT_EQ(forward, (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(rec.Count("click_select_end"), 1);
    EXPECT_EQ(panel->GetSelectRect(), QRect(QPoint(10, 10), QPoint(130, 130)));

    Drag(QPoint(130, 130), QPoint(10, 10));
    EXPECT_EQ(Selection(), forward);
    EXPECT_EQ(panel->GetSelectRect(), QRect(QPoint(10, 10), QPoint(130, 130)));
    EXPECT_EQ(rec.Count("click_select_end"), 2);

    // A later drag deselects the keys it does not touch.
    Drag(QPoint(290, 290), QPoint(390, 230));
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false, true}));
}

TEST_F(SelectPanelTest, ClickWithoutDragSelectsNothingAndReportsNothing) {
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(rec.Count("click_select_end"), 0);
    // A move without a press does not start a drag.
    QTest::mouseMove(panel, QPoint(50, 50));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(rec.Count("click_select_end"), 0);
}

TEST_F(SelectPanelTest, DisabledPanelDoesNotSelect) {
    panel->setEnabled(false);
    Drag(QPoint(10, 10), QPoint(130, 130));
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(rec.Count("click_select_end"), 0);
}

// ----- CRedioMacroButtonUI --------------------------------------------------------------------

TEST_F(CustomControlsTest, PulseSequence) {
    auto* button = new CRedioMacroButtonUI(root.get());
    button->setProperty("RedioImage", "rec.png");
    ASSERT_EQ(button->GetPulseImage(), "rec.png");
    std::vector<int> fades;
    for (int i = 0; i < 19; ++i) {
        button->DoTimer(CRedioMacroButtonUI::kPulseTimerId);
        fades.push_back(button->GetFade());
    }
    const std::vector<int> expected = {235, 215, 195, 175, 155, 135, 115, 95,  80, 100,
                                       120, 140, 160, 180, 200, 220, 240, 255, 235};
    EXPECT_EQ(fades, expected);
    EXPECT_EQ(button->GetNormalImage(), "res='rec.png' fade='235'");
    // Other timer ids are not the pulse.
    button->DoTimer(101);
    EXPECT_EQ(button->GetFade(), 235);
}

TEST_F(CustomControlsTest, PulseRunsOnItsTimerOnlyWhileRunning) {
    auto* button = new CRedioMacroButtonUI(root.get());
    Show();
    button->SetPulseImage("rec.png");
    vxtest::Pump(120);
    EXPECT_EQ(button->GetFade(), 255);  // never started
    button->SetRunning(true);
    vxtest::Pump(200);
    EXPECT_LT(button->GetFade(), 255);
    button->SetRunning(false);
    const int stopped = button->GetFade();
    vxtest::Pump(150);
    EXPECT_EQ(button->GetFade(), stopped);
    EXPECT_FALSE(pm.HasTimer(button, CRedioMacroButtonUI::kPulseTimerId));
}

// ----- CAudioRecordUI -------------------------------------------------------------------------

// Columns of the bottom row that carry a black line.
int CountLines(CAudioRecordUI& control) {
    const QImage image = control.grab().toImage();
    int lines = 0;
    for (int x = 0; x < image.width(); ++x) lines += qGray(image.pixel(x, image.height() - 1)) < 40;
    return lines;
}

TEST_F(CustomControlsTest, LevelHistoryLineCounts) {
    auto* history = new CAudioRecordUI(root.get());
    ui::SetBkColor(history, 0xFFFFFFFF);
    history->resize(1000, 40);
    EXPECT_EQ(CountLines(*history), 500);
    history->resize(300, 40);
    EXPECT_EQ(CountLines(*history), 150);
    history->resize(301, 40);
    EXPECT_EQ(CountLines(*history), 151);
}

TEST_F(CustomControlsTest, LevelHistoryHeightsFollowSamples) {
    auto* history = new CAudioRecordUI(root.get());
    ui::SetBkColor(history, 0xFFFFFFFF);
    history->resize(20, 64);
    history->SetSamples({8192, 4096, 0, 1 << 30, -5000});
    const QImage image = history->grab().toImage();
    auto top = [&](int x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 40) return y;
        }
        return image.height();
    };
    EXPECT_EQ(top(0), 0);                    // full scale
    EXPECT_EQ(top(2), 32);                   // half
    EXPECT_EQ(top(4), 63);                   // silent: only the bottom pixel
    EXPECT_EQ(top(6), 0);                    // out of range above: no wrap-around
    EXPECT_EQ(top(8), 63);                   // negative: treated as silence
    EXPECT_EQ(history->GetSamples()[5], 5);  // untouched initial ramp
}

// ----- CHandImgButtonUI -----------------------------------------------------------------------

TEST_F(CustomControlsTest, DeleteMarkOnlyOnEditableTiles) {
    auto* tile = new CHandImgButtonUI(root.get());
    tile->setObjectName("tile");
    tile->setGeometry(10, 10, 120, 90);
    tile->setProperty("DeleteNormalImage", "del.png");
    tile->setProperty("deletehotimage", "del_hot.png");
    Show();
    EXPECT_EQ(tile->DeleteRect(), QRect(90, 61, 20, 20));
    const QPoint onMark = tile->DeleteRect().center();

    ASSERT_TRUE(tile->IsReadOnly());
    QTest::mouseClick(tile, Qt::LeftButton, {}, onMark);
    EXPECT_EQ(rec.Count("click_handdelete"), 0);
    EXPECT_EQ(rec.Count("click"), 1);

    rec.seen.clear();
    tile->SetReadOnly(false);
    QTest::mouseMove(tile, onMark);
    EXPECT_EQ(tile->GetDeleteImage(), "del_hot.png");
    QTest::mouseClick(tile, Qt::LeftButton, {}, onMark);
    ASSERT_EQ(rec.Count("click_handdelete"), 1);
    EXPECT_EQ(rec.Count("click"), 1);
    auto firstOf = [&](const QString& type) {
        for (size_t i = 0; i < rec.seen.size(); ++i) {
            if (rec.seen[i].first == type) return i;
        }
        return rec.seen.size();
    };
    EXPECT_LT(firstOf("click_handdelete"), firstOf("click"));
    EXPECT_FALSE(tile->isDown());

    rec.seen.clear();
    QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(rec.Count("click_handdelete"), 0);
    EXPECT_EQ(rec.Count("click"), 1);

    pm.SetDPI(192);
    EXPECT_EQ(tile->DeleteRect(), QRect(60, 32, 40, 40));
}

// ----- CHandImgSelectButtonUI -----------------------------------------------------------------

TEST_F(CustomControlsTest, LargePicturePansWithinItsEdges) {
    const QString picture = MakePicture("big.png", QSize(400, 300), Qt::darkCyan);
    auto* frame = new CHandImgSelectButtonUI(root.get());
    frame->setGeometry(0, 0, 100, 80);
    Show();
    frame->SetHandImage(picture);
    EXPECT_EQ(frame->GetImageText(), QString("file='%1' source='0,0,100,80'").arg(picture));

    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(60, 40));
    QTest::mouseMove(frame, QPoint(30, 30));  // picture follows left and up: window moves right, down
    EXPECT_EQ(frame->GetImageText(), QString("file='%1' source='30,10,130,90'").arg(picture));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(30, 30));
    auto drag = [&](QPoint from, QPoint to) {
        QTest::mousePress(frame, Qt::LeftButton, {}, from);
        QTest::mouseMove(frame, to);
        QTest::mouseRelease(frame, Qt::LeftButton, {}, to);
    };
    // QTest takes QPoint(0, 0) for "the middle", so the corner is (1, 1).
    for (int i = 0; i < 6; ++i) drag(QPoint(90, 70), QPoint(1, 1));
    EXPECT_EQ(frame->GetSourceRect(), QRect(300, 220, 100, 80));
    EXPECT_EQ(frame->GetImageText(), QString("file='%1' source='300,220,400,300'").arg(picture));
    for (int i = 0; i < 6; ++i) drag(QPoint(1, 1), QPoint(90, 70));
    EXPECT_EQ(frame->GetSourceRect(), QRect(0, 0, 100, 80));
    // Without a press the pointer does not pan.
    QTest::mouseMove(frame, QPoint(50, 50));
    QTest::mouseMove(frame, QPoint(1, 1));
    EXPECT_EQ(frame->GetSourceRect(), QRect(0, 0, 100, 80));
}

TEST_F(CustomControlsTest, SmallPictureIsDrawnWholeAndStays) {
    const QString picture = MakePicture("small.png", QSize(50, 40), Qt::darkRed);
    auto* frame = new CHandImgSelectButtonUI(root.get());
    frame->setGeometry(0, 0, 100, 80);
    Show();
    frame->SetHandImage(picture);
    EXPECT_EQ(frame->GetImageText(), picture);
    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(50, 40));
    QTest::mouseMove(frame, QPoint(10, 5));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(frame->GetImageText(), picture);
    EXPECT_TRUE(frame->GetSourceRect().isNull());
}

TEST_F(CustomControlsTest, PictureTilesReportEnterAndLeave) {
    auto* tile = new CHandImgSelectButtonUI(root.get());
    tile->setGeometry(0, 0, 50, 50);
    Show();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(tile, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(tile, &leave);
    EXPECT_EQ(rec.Count("msenter"), 1);
    EXPECT_EQ(rec.Count("msleave"), 1);
    tile->setEnabled(false);
    QCoreApplication::sendEvent(tile, &enter);
    EXPECT_EQ(rec.Count("msenter"), 1);
}

// ----- CCircleProgressUI ----------------------------------------------------------------------

TEST_F(CustomControlsTest, RingStartsAtBottomAndRunsClockwise) {
    auto* ring = new CCircleProgressUI(root.get());
    ring->resize(100, 100);
    ui::SetBkColor(ring, 0xFF000000);
    ring->SetForeColor(0xFFFF0000);
    ring->SetMinValue(50);
    ring->SetMaxValue(150);
    ring->SetValue(75);
    EXPECT_DOUBLE_EQ(ring->SweepDegrees(), 90.0);
    const QImage image = ring->grab().toImage();
    auto red = [&](int x, int y) { return qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 60; };
    // A quarter from the bottom clockwise covers the lower-left quarter of the ring only.
    EXPECT_TRUE(red(19, 81));
    EXPECT_FALSE(red(81, 81));
    EXPECT_FALSE(red(19, 19));
    EXPECT_FALSE(red(81, 19));
    EXPECT_EQ(qGray(image.pixel(50, 50)), 255);  // white middle

    ring->SetValue(150);
    EXPECT_DOUBLE_EQ(ring->SweepDegrees(), 360.0);
    ring->SetMaxValue(50);  // an empty range draws no pie
    EXPECT_DOUBLE_EQ(ring->SweepDegrees(), 0.0);
}

// ----- CDeviceKeyButtonUI ---------------------------------------------------------------------

TEST_F(CustomControlsTest, KeyButtonDoubleClickAndLight) {
    const QString led = MakePicture("led.png", QSize(20, 20), Qt::white);
    auto* key = new CDeviceKeyButtonUI(root.get());
    key->setGeometry(0, 0, 40, 40);
    key->setProperty("LIGHTIMAGE", led);
    Show();
    QTest::mouseDClick(key, Qt::LeftButton);
    EXPECT_EQ(rec.Count("dbclick"), 1);
    key->setEnabled(false);
    QTest::mouseDClick(key, Qt::LeftButton);
    EXPECT_EQ(rec.Count("dbclick"), 1);

    EXPECT_FALSE(key->IsLit());
    EXPECT_EQ(key->GetLightColor(), 255u);
    EXPECT_EQ(key->GetLightBrightness(), 200);
    QImage dark = key->grab().toImage();
    key->SetLight(0x00FF00, 255, true);
    QImage lit = key->grab().toImage();
    EXPECT_NE(dark.pixel(20, 20), lit.pixel(20, 20));
    EXPECT_GT(qGreen(lit.pixel(20, 20)), 200);
    EXPECT_LT(qRed(lit.pixel(20, 20)), 60);
}

// ----- CCloudShareListItemUI ------------------------------------------------------------------

TEST_F(CustomControlsTest, ListRowMenuOnlyWhenAsked) {
    auto* row = new CCloudShareListItemUI(root.get());
    row->resize(200, 30);
    Show();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(12, 7), row->mapToGlobal(QPoint(12, 7)));
    QCoreApplication::sendEvent(row, &menu);
    EXPECT_EQ(rec.Count("menu"), 0);
    row->setProperty("menu", true);
    QCoreApplication::sendEvent(row, &menu);
    EXPECT_EQ(rec.Count("menu"), 1);
    QTest::mouseDClick(row, Qt::LeftButton);
    EXPECT_EQ(rec.Count("itemactivate"), 1);
}

}  // namespace
