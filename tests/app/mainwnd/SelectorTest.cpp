// The selector row and the power indicator, built from the skin's own entry and indicator
// layouts: visibility and selection rules, sync marks, icon sets, battery and phone display.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QTest>
#include <QLayout>
#include <QVBoxLayout>
#include <memory>

#include "app/DeviceOptionUI.h"
#include "app/DeviceSelector.h"
#include "app/MpDevicePowerUI.h"
#include "app/StartUp.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ContainerUI.h"
#include "widgets/BatteryGaugeUI.h"
#include "widgets/ControlUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ProgressUI.h"
#include "widgets/TabLayoutUI.h"

using vx::app::CDeviceOptionUI;
using vx::app::CDeviceSelector;
using vx::app::CMpDevicePowerUI;
using vx::app::SetupResources;
using vx::widgets::CBatteryGaugeUI;
using vx::widgets::CDialogBuilder;
using vx::widgets::CHorizontalLayoutUI;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CProgressUI;
using vx::widgets::CTabLayoutUI;
namespace ui = vx::widgets::ui;

namespace {

const QString kEntryLayout = QStringLiteral("XML\\CustomControlXML\\DeviceOption.xml");
const QString kPowerLayout = QStringLiteral("XML\\CustomControlXML\\MpDevicePower.xml");

// A window tree with the four controls the selector works on, and N entries each bound to a
// page tab and a power tab of their own.
class SelectorTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        root = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(root.get());
        row = new CHorizontalLayoutUI(root.get());
        row->setObjectName("device_select_layout");
        pages = new CTabLayoutUI(root.get());
        pages->setObjectName("device_switch");
        power = new CTabLayoutUI(root.get());
        power->setObjectName("device_power_switch");
        auto* nonePage = new QWidget;
        noDevice = new QWidget(nonePage);
        noDevice->setObjectName("No_device_Link");
        pages->Add(nonePage);
        power->Add(new QWidget);
        for (QWidget* w :
             {static_cast<QWidget*>(row), static_cast<QWidget*>(pages), static_cast<QWidget*>(power)})
            layout->addWidget(w);
        pm.AttachRoot(root.get());
        selector.Attach(pm);
        selector.SetHooks({[this] { ++secondaryClosed; }, [this] { ++recordingsEnded; },
                           [this](bool on) { syncAvailable = on; }});
    }

    CDeviceOptionUI* AddEntry(bool withPower = true) {
        auto* entry = qobject_cast<CDeviceOptionUI*>(CDialogBuilder::Create(kEntryLayout));
        EXPECT_NE(entry, nullptr) << CDialogBuilder::LastError().toStdString();
        if (!entry) return nullptr;
        selector.AddEntry(entry);
        entry->SetOptionGroup("tab_header_device");
        entry->BindPageTab("device_switch", pages->Add(new QWidget));
        entry->SetPowerTab("device_power_switch", withPower ? power->Add(new QWidget) : -1);
        entry->setVisible(false);
        pm.AttachControls(entry);
        return entry;
    }

    bool NoticeShown() const { return ui::IsVisible(noDevice); }

    CPaintManagerUI pm;
    std::unique_ptr<QWidget> root;
    CHorizontalLayoutUI* row = nullptr;
    CTabLayoutUI* pages = nullptr;
    CTabLayoutUI* power = nullptr;
    QWidget* noDevice = nullptr;
    CDeviceSelector selector;
    int secondaryClosed = 0;
    int recordingsEnded = 0;
    bool syncAvailable = false;
};

TEST_F(SelectorTest, HidingTheOnlyVisibleEntryShowsTheNoticeAndResetsBothTabs) {
    CDeviceOptionUI* a = AddEntry();
    AddEntry();
    selector.ShowEntry(0, true, true);
    EXPECT_FALSE(NoticeShown());
    EXPECT_EQ(pages->GetCurSel(), a->GetPageTabIndex());
    EXPECT_EQ(power->GetCurSel(), a->GetPowerTabIndex());
    EXPECT_TRUE(a->IsConnected());

    selector.HideEntry(0);
    EXPECT_TRUE(NoticeShown());
    EXPECT_EQ(pages->GetCurSel(), 0);
    EXPECT_EQ(power->GetCurSel(), 0);
    EXPECT_FALSE(a->IsConnected());
    EXPECT_EQ(selector.CountConnected(), 0);
    EXPECT_EQ(secondaryClosed, 1);  // the selected entry went: the secondary windows close
}

TEST_F(SelectorTest, HidingTheSelectedEntrySelectsTheFirstOtherVisibleOne) {
    AddEntry();
    CDeviceOptionUI* b = AddEntry();
    CDeviceOptionUI* c = AddEntry();
    selector.ShowEntry(1, true, false);
    selector.ShowEntry(2, true, true);
    int first = -2;
    EXPECT_EQ(selector.CountConnected(&first), 2);
    EXPECT_EQ(first, 1);

    selector.HideEntry(2);
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(c->IsSelected());
    EXPECT_EQ(selector.SelectedIndex(), 1);
    EXPECT_EQ(pages->GetCurSel(), b->GetPageTabIndex());
    EXPECT_FALSE(NoticeShown());

    // Hiding an entry that is not selected moves nothing.
    selector.ShowEntry(2, true, false);
    selector.HideEntry(2);
    EXPECT_EQ(selector.SelectedIndex(), 1);
    // Out of range and -1 are ignored.
    selector.HideEntry(-1);
    selector.HideEntry(9);
    EXPECT_EQ(selector.CountConnected(), 1);
}

TEST_F(SelectorTest, OneOfTwoSynchronisedDevicesGoneClearsTheRemainingMark) {
    CDeviceOptionUI* a = AddEntry();
    CDeviceOptionUI* b = AddEntry();
    selector.ShowEntry(0, true, true);
    selector.ShowEntry(1, true, false);
    EXPECT_TRUE(syncAvailable);
    a->SetSyncMark(true);
    b->SetSyncMark(true);
    // A rule pass with both still visible keeps the marks.
    selector.ShowEntry(1, true, false);
    EXPECT_TRUE(a->IsSyncMarked());
    EXPECT_TRUE(b->IsSyncMarked());

    selector.HideEntry(1);
    EXPECT_FALSE(a->IsSyncMarked());
    EXPECT_FALSE(syncAvailable);
}

TEST_F(SelectorTest, PreviousAndNextWalkTheVisibleEntriesOnly) {
    AddEntry();
    AddEntry();
    AddEntry();
    AddEntry();
    selector.ShowEntry(0, true, true);
    selector.ShowEntry(2, true, false);
    selector.ShowEntry(3, true, false);

    selector.SelectPrevious();  // the first visible entry is selected: nothing changes
    EXPECT_EQ(selector.SelectedIndex(), 0);
    selector.SelectNext();  // entry 1 is hidden and skipped
    EXPECT_EQ(selector.SelectedIndex(), 2);
    EXPECT_EQ(selector.CurrentIndex(), 2);
    selector.SelectNext();
    EXPECT_EQ(selector.SelectedIndex(), 3);
    selector.SelectNext();  // nothing after the last
    EXPECT_EQ(selector.SelectedIndex(), 3);
    selector.SelectPrevious();
    EXPECT_EQ(selector.SelectedIndex(), 2);
}

TEST_F(SelectorTest, TheLockHoldsTheSelectionUntilTheRecordedDeviceGoes) {
    AddEntry();
    AddEntry();
    AddEntry();
    selector.ShowEntry(0, true, false);
    selector.ShowEntry(1, true, true);
    selector.ShowEntry(2, true, false);
    selector.SetLocked(true);
    EXPECT_FALSE(ui::IsEnabled(row));
    selector.SelectNext();
    selector.SelectPrevious();
    EXPECT_EQ(selector.SelectedIndex(), 1);
    // Another device going changes nothing about the recording.
    selector.HideEntry(2);
    EXPECT_TRUE(selector.IsLocked());
    EXPECT_EQ(recordingsEnded, 0);
    // The recorded device going ends the recording and frees the selector.
    selector.HideEntry(1);
    EXPECT_EQ(recordingsEnded, 1);
    EXPECT_FALSE(selector.IsLocked());
    EXPECT_TRUE(ui::IsEnabled(row));
    EXPECT_EQ(selector.SelectedIndex(), 0);
}

TEST_F(SelectorTest, AnEntryWithoutIndicatorHidesThePowerTabs) {
    AddEntry(true);
    AddEntry(false);
    selector.ShowEntry(0, true, true);
    EXPECT_TRUE(ui::IsVisible(power));
    selector.ShowEntry(1, true, true);
    EXPECT_FALSE(ui::IsVisible(power));
    EXPECT_EQ(selector.SelectedIndex(), 1);
}

TEST_F(SelectorTest, IconSetsFollowTheTypeCodeAndVariant) {
    CDeviceOptionUI* entry = AddEntry();
    COptionUI* option = entry->SelectOption();
    ASSERT_NE(option, nullptr);
    ASSERT_NE(entry->SyncOption(), nullptr);

    entry->SetIconKind(1, 0);
    EXPECT_EQ(option->GetNormalImage(), "common/device_ico/kb_device_normal.svg");
    EXPECT_EQ(option->GetHotImage(), "common/device_ico/kb_device_normal.svg");
    EXPECT_EQ(option->GetSelectedImage(), "common/device_ico/kb_device_selected.svg");
    EXPECT_EQ(option->toolTip().isEmpty(), false);

    entry->SetIconKind(3, 1);
    EXPECT_EQ(entry->GetNormalImage(), "common/device_ico/soft_mp_device_normal.svg");
    entry->SetIconKind(3, 2);  // a mousepad variant without icons keeps the previous ones
    EXPECT_EQ(entry->GetNormalImage(), "common/device_ico/soft_mp_device_normal.svg");
    entry->SetIconKind(3, 0);
    EXPECT_EQ(entry->GetSelectedImage(), "common/device_ico/hard_mp_device_selected.svg");
    entry->SetIconKind(7, 0);
    EXPECT_EQ(entry->GetNormalImage(), "common/device_ico/hd_device_normal.svg");
    entry->SetIconKind(6, 0);
    EXPECT_EQ(entry->GetNormalImage(), "common/device_ico/unknow_device_normal.svg");
    entry->SetIconKind(2, 0);
    EXPECT_EQ(entry->GetNormalImage(), "common/device_ico/ms_device_normal.svg");

    // A sync-marked entry draws the synchronised pair.
    entry->SetSyncOptionVisible(true);
    entry->SetSyncMark(true);
    EXPECT_EQ(option->GetNormalImage(), "common/device_ico/ms_device_synchro_normal.svg");
    EXPECT_EQ(option->GetSelectedImage(), "common/device_ico/ms_device_synchro_selected.svg");
    entry->SetSyncMark(false);
    EXPECT_EQ(option->GetNormalImage(), "common/device_ico/ms_device_normal.svg");

    // Every image an entry can name is in the skin.
    for (const char* prefix : {"kb", "ms", "hard_mp", "soft_mp", "hd", "hub", "unknow"}) {
        for (const char* state : {"normal", "selected", "synchro_normal", "synchro_selected"}) {
            const QString file = vxtest::RepoSkinDir() +
                                 QStringLiteral("common/device_ico/%1_device_%2.svg").arg(prefix, state);
            EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
        }
    }
}

class PowerIndicatorTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        indicator.reset(qobject_cast<CMpDevicePowerUI*>(CDialogBuilder::Create(kPowerLayout)));
        ASSERT_NE(indicator, nullptr) << CDialogBuilder::LastError().toStdString();
        value = CPaintManagerUI::FindSubControlByName(indicator.get(), "device_power_value");
        progress = CPaintManagerUI::FindSubControl<CProgressUI>(indicator.get(), "device_Power_progress");
        wireless = CPaintManagerUI::FindSubControlByName(indicator.get(), "device_wuxian_logo");
        status = CPaintManagerUI::FindSubControlByName(indicator.get(), "device_power_status");
        phone = CPaintManagerUI::FindSubControlByName(indicator.get(), "device_phone_type");
        ASSERT_TRUE(value && progress && wireless && status && phone);
    }
    void Update(std::vector<uint8_t> record) { indicator->UpdatePower(record); }

    std::unique_ptr<CMpDevicePowerUI> indicator;
    QWidget* value = nullptr;
    CProgressUI* progress = nullptr;
    QWidget* wireless = nullptr;
    QWidget* status = nullptr;
    QWidget* phone = nullptr;
};

TEST_F(PowerIndicatorTest, BatteryPercentChargeStateAndWirelessMarkOfAMouse) {
    indicator->SetKind(2, 0);
    EXPECT_FALSE(ui::IsVisible(phone));  // only the mousepad has a phone charger
    Update({80, 2, 0, 1, 0, 0});
    EXPECT_EQ(ui::GetText(value), "80%");
    EXPECT_EQ(progress->GetValue(), 20);  // the bar shows the used part
    EXPECT_TRUE(ui::IsVisible(wireless));
    EXPECT_TRUE(ui::IsVisible(progress));
    EXPECT_TRUE(ui::GetBkImage(status).contains("power/power.svg"));

    Update({55, 1, 0, 1});  // charging through the receiver: no bar, the wireless charging picture
    EXPECT_FALSE(ui::IsVisible(progress));
    EXPECT_TRUE(ui::GetBkImage(status).contains("wuxian_powering.svg"));

    Update({55, 1, 0, 0});  // charging on the cable
    EXPECT_TRUE(ui::IsVisible(progress));
    EXPECT_FALSE(ui::IsVisible(wireless));
    EXPECT_TRUE(ui::GetBkImage(status).contains("/powering.svg"));

    Update({100, 0});
    EXPECT_TRUE(ui::GetBkImage(status).contains("powered.svg"));
    Update({100, 9});  // an unknown charge state leaves the picture as it was
    EXPECT_TRUE(ui::GetBkImage(status).contains("powered.svg"));

    Update({250, 2});  // a garbled percentage never runs the bar backwards
    EXPECT_EQ(ui::GetText(value), "100%");
    EXPECT_EQ(progress->GetValue(), 0);

    Update({});  // an empty record reads as zeros
    EXPECT_EQ(ui::GetText(value), "0%");
    EXPECT_TRUE(ui::GetBkImage(status).contains("powered.svg"));
}

TEST_F(PowerIndicatorTest, TheMousepadShowsThePhoneOnItsCharger) {
    indicator->SetKind(3, 0);
    EXPECT_TRUE(ui::IsVisible(phone));
    const std::pair<uint8_t, const char*> cases[] = {{1, "Phone_type_iphone"},
                                                     {2, "Phone_type_samsung"},
                                                     {3, "Phone_type_other"},
                                                     {0, "Phone_type_no_device"},
                                                     {4, "Phone_type_no_device"}};
    for (const auto& [type, key] : cases) {
        Update({40, 2, 0, 1, 0, type});
        EXPECT_EQ(ui::GetTextKey(phone), key) << int(type);
        EXPECT_TRUE(ui::GetBkImage(phone).contains(QString::fromLatin1(key) + ".svg")) << int(type);
    }
    // The wireless mark belongs to the mouse only.
    EXPECT_FALSE(ui::IsVisible(wireless));
    // The indicator takes the page's six-byte status record as well.
    indicator->ShowStatus({64, 2, 0, 0, 0, 2});
    EXPECT_EQ(ui::GetText(value), "64%");
    EXPECT_EQ(ui::GetTextKey(phone), "Phone_type_samsung");
}

// Column range [first, last] of the pixels of a picture that pass `test`; {-1, -1} when none.
template <class Test>
std::pair<int, int> ColumnsWhere(const QImage& image, Test test) {
    std::pair<int, int> range{-1, -1};
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (!test(image.pixelColor(x, y))) continue;
            if (range.first < 0) range.first = x;
            range.second = x;
            break;
        }
    }
    return range;
}

bool IsGreen(const QColor& c) {
    return c.green() > 150 && c.red() < 120 && c.blue() < 170;
}
bool IsRed(const QColor& c) {
    return c.red() > 180 && c.green() < 110 && c.blue() < 110;
}

TEST_F(PowerIndicatorTest, TheBatteryIsDrawnAsTheChargeLeftBesideItsNumber) {
    // In the window the indicator sits in a power tab of fixed width, with a mouse's wireless
    // mark beside the battery.
    QWidget tab;
    tab.setFixedSize(130, 44);
    auto* box = new QVBoxLayout(&tab);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(indicator.release());
    auto* shown = tab.findChild<CMpDevicePowerUI*>();
    ASSERT_NE(shown, nullptr);
    shown->SetKind(2, 0);
    shown->UpdatePower(std::vector<uint8_t>{60, 2, 0, 1});
    tab.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab));
    QTest::qWait(20);

    auto* gauge = qobject_cast<CBatteryGaugeUI*>(progress);
    ASSERT_NE(gauge, nullptr) << "the battery is drawn by its own control";
    EXPECT_EQ(gauge->ChargePercent(), 60);
    EXPECT_FALSE(gauge->IsLow());

    // The number stands beside the battery, whole.
    const QRect gaugeBox(gauge->mapTo(&tab, QPoint(0, 0)), gauge->size());
    const QRect valueBox(value->mapTo(&tab, QPoint(0, 0)), value->size());
    EXPECT_FALSE(gaugeBox.intersects(valueBox));
    EXPECT_GE(value->width(), value->sizeHint().width());
    EXPECT_TRUE(tab.rect().contains(gaugeBox) && tab.rect().contains(valueBox));
    EXPECT_EQ(gaugeBox.size(), QSize(28, 14));

    // 60 % fills about 60 % of the body, from the left.
    QImage picture = gauge->grab().toImage();
    auto [first, last] = ColumnsWhere(picture, IsGreen);
    ASSERT_GE(first, 0) << "no charge drawn";
    EXPECT_LE(first, 4);
    const double body = gauge->width() - 3.0 - 2 * 3.0;  // the terminal, outline and padding
    EXPECT_NEAR((last - first + 1) / body, 0.60, 0.12);
    EXPECT_EQ(ColumnsWhere(picture, IsRed).first, -1);

    // A low battery shows as low: a short red charge.
    shown->UpdatePower(std::vector<uint8_t>{12, 2, 0, 1});
    EXPECT_TRUE(gauge->IsLow());
    picture = gauge->grab().toImage();
    EXPECT_EQ(ColumnsWhere(picture, IsGreen).first, -1);
    const auto red = ColumnsWhere(picture, IsRed);
    ASSERT_GE(red.first, 0);
    EXPECT_LE(red.first, 4);
    EXPECT_LT(red.second - red.first + 1, body * 0.3);
    EXPECT_EQ(ui::GetText(value), "12%");

    // A full one fills the body; an empty one shows none.
    shown->UpdatePower(std::vector<uint8_t>{100, 0, 0, 1});
    picture = gauge->grab().toImage();
    const auto full = ColumnsWhere(picture, IsGreen);
    EXPECT_NEAR((full.second - full.first + 1) / body, 1.0, 0.1);
    shown->UpdatePower(std::vector<uint8_t>{0, 2, 0, 1});
    picture = gauge->grab().toImage();
    EXPECT_EQ(ColumnsWhere(picture, IsGreen).first, -1);
    EXPECT_EQ(ColumnsWhere(picture, IsRed).first, -1);
}

TEST_F(PowerIndicatorTest, AMissingSubControlMakesTheUpdateDoNothing) {
    delete CPaintManagerUI::FindSubControlByName(indicator.get(), "device_power_status");
    indicator->SetKind(2, 0);
    Update({80, 2, 0, 1});
    EXPECT_NE(ui::GetText(value), "80%");
    EXPECT_EQ(progress->GetValue(), 100);
}

}  // namespace
