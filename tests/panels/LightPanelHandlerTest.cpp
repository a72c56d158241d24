// The lighting panel's handlers: what a user change on each control hands to the device page,
// and in which order the page stores, saves, restarts its lighting and writes the device.
#include <QTest>
#include <string>

#include "LightPanelFixture.h"
#include "app/ControlRouter.h"
#include "devices/TavimondUSBDevice.h"
#include "profiles/StringUtil.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"
#include "widgets/EditUI.h"
#include "widgets/OptionUI.h"
#include "widgets/SliderUI.h"

using vx::profiles::ParseDecimal;

using namespace lightpanel_test;
using vx::app::CControlRouter;
using vx::app::RouteOwner;
using vx::app::RouteRow;
using vx::devices::CTavimondUSBDevice;
using vx::panels::CLightControlUI;
using vx::widgets::CComboUI;
using vx::widgets::COptionUI;
using vx::widgets::CSliderUI;
using vx::widgets::TNotifyUI;
namespace ui = vx::widgets::ui;

namespace {

// A page that keeps its light record like the base and writes down every operation the panel
// calls on it.
class RecordingPage : public vx::devices::CTavimondUSBDevice {
public:
    void SetLightInfo(const LightInfo& info) override {
        CTavimondUSBDevice::SetLightInfo(info);
        stored.push_back(info);
        journal.push_back("store");
    }
    void SaveProfile() override { journal.push_back("save"); }
    int LoadLightingState() override {
        journal.push_back("restart");
        return 0;
    }
    int WriteSettings(int profile, int reserved, int flag, int, int) override {
        journal.push_back("write " + std::to_string(profile) + std::to_string(reserved) +
                          std::to_string(flag));
        written.push_back(GetLightInfo());
        return 1;
    }
    void SetAudioLightInfo(const AudioLightInfo& info) override {
        CTavimondUSBDevice::SetAudioLightInfo(info);
        journal.push_back("audio");
    }

    std::vector<std::string> journal;
    std::vector<LightInfo> stored;
    std::vector<LightInfo> written;
};

const std::vector<std::string> kUpdate = {"store", "save", "restart", "write 001"};
const std::vector<std::string> kAudioUpdate = {"audio", "save", "restart"};

class LightPanelHandlerTest : public LightPanelTest {
protected:
    void SetUp() override {
        LightPanelTest::SetUp();
        ShowKind(1, 0);
        // Mode 1 leaves every group usable, so the user can reach each control.
        start.selectItem = 1;
        start.light = 2;
        start.speed = 3;
        start.fx = 1;
        start.multiColor = 1;
        start.red = 10, start.green = 20, start.blue = 30;
        start.zzccLedMode = 1;
        start.customGroup = 2;
        start.oldLedmode = 6;
        page.CTavimondUSBDevice::SetLightInfo(start);
        panel->SetLightInfo(start);
        panel->SetDevicePage(&page);
        panel->SetSyncLeaveHandler([this](CTavimondUSBDevice& left) {
            EXPECT_EQ(&left, &page);
            ++syncLeft;
        });
    }

    // The one record the page received, checked for having been written last.
    LightInfo Handed() {
        EXPECT_EQ(page.journal, kUpdate);
        EXPECT_EQ(page.stored.size(), 1u);
        EXPECT_EQ(page.written.size(), 1u);
        return page.stored.empty() ? LightInfo{} : page.stored.back();
    }

    void Forget() {
        page.journal.clear();
        page.stored.clear();
        page.written.clear();
    }

    void TypeInto(const char* edit, const QString& text) { ui::SetText(Find(edit), text); }

    RecordingPage page;
    LightInfo start;
    int syncLeft = 0;
};

TEST_F(LightPanelHandlerTest, ChoosingAModePatchesOnlyTheModeAndShowsItsGroups) {
    panel->OnModeCombo(At(17));
    LightInfo expected = start;
    expected.selectItem = 17;
    EXPECT_EQ(Handed(), expected);
    EXPECT_EQ(page.written.front(), expected);
    EXPECT_EQ(syncLeft, 1);
    EXPECT_EQ(panel->GetSelectedMode(), 17);
    EXPECT_TRUE(ui::IsVisible(Find("light_combo_ZZCCmodeSelectLayout")));
    // A position the list does not have changes nothing.
    page.journal.clear();
    panel->OnModeCombo(At(32));
    EXPECT_TRUE(page.journal.empty());
    EXPECT_EQ(panel->GetSelectedMode(), 17);
}

TEST_F(LightPanelHandlerTest, SlidersPatchBrightnessAndSpeedWithinTheirRange) {
    panel->OnBrightnessSlider(At(4));
    LightInfo expected = start;
    expected.light = 4;
    EXPECT_EQ(Handed(), expected);
    EXPECT_EQ(syncLeft, 1);

    Forget();
    panel->OnSpeedSlider(At(9));
    expected.speed = 4;
    EXPECT_EQ(Handed(), expected);
    EXPECT_EQ(panel->GetSpeed(), 4);
    EXPECT_EQ(syncLeft, 2);
}

TEST_F(LightPanelHandlerTest, ColourEditsAreHeldToAByteAndDropSevenColour) {
    TypeInto("deng_edit_G", "300");
    panel->OnColourEdit(Row(1));
    EXPECT_EQ(panel->GetColorEditText(1), "255");
    LightInfo expected = start;
    expected.green = 255;
    expected.multiColor = 0;
    EXPECT_EQ(Handed(), expected);
    EXPECT_FALSE(panel->GetSevenColor());
    EXPECT_EQ(panel->GetPaletteColor(), 0xFF0AFF1Eu);
    EXPECT_EQ(ui::GetBkColor(Find("deng_colordp_btn")), 0xFF0AFF1Eu);
    EXPECT_EQ(syncLeft, 1);

    // An emptied edit counts 0 and says so; a negative number does not wrap round.
    page.CTavimondUSBDevice::SetLightInfo(expected);
    for (const auto& [typed, shown] : {std::pair{"", "0"}, std::pair{"-5", "0"}, std::pair{" 42", "42"}}) {
        page.stored.clear();
        TypeInto("deng_edit_B", typed);
        panel->OnColourEdit(Row(2));
        EXPECT_EQ(panel->GetColorEditText(2), shown) << typed;
        ASSERT_EQ(page.stored.size(), 1u);
        EXPECT_EQ(page.stored.back().blue, ParseDecimal(shown)) << typed;
        EXPECT_EQ(page.stored.back().green, 255);
    }
}

TEST_F(LightPanelHandlerTest, PaletteAndSwatchesSetTheColour) {
    panel->OnPalette(At(0xFF8040C0u));
    LightInfo expected = start;
    expected.red = 0x80, expected.green = 0x40, expected.blue = 0xC0;
    expected.multiColor = 0;
    EXPECT_EQ(Handed(), expected);
    EXPECT_EQ(panel->GetColorEditText(0), "128");
    EXPECT_EQ(panel->GetColorEditText(2), "192");
    EXPECT_EQ(ui::GetBkColor(Find("deng_colordp_btn")), 0xFF8040C0u);
    EXPECT_FALSE(panel->GetSevenColor());
    EXPECT_EQ(syncLeft, 1);

    // A swatch also moves the palette, and keeps synchronised lighting.
    Forget();
    const QRgb swatch = panel->GetColorOptionColor(3);
    panel->OnPresetColour(Index(3));
    expected.red = qRed(swatch), expected.green = qGreen(swatch), expected.blue = qBlue(swatch);
    EXPECT_EQ(Handed(), expected);
    EXPECT_EQ(panel->GetPaletteColor(), swatch);
    EXPECT_EQ(syncLeft, 1);

    // A swatch the layout does not have is not black.
    page.journal.clear();
    panel->OnPresetColour(Index(40));
    EXPECT_TRUE(page.journal.empty());
}

TEST_F(LightPanelHandlerTest, SevenColourAndDirectionOptions) {
    panel->SetSevenColor(false);
    panel->OnSevenColourCheck({});
    LightInfo expected = start;
    expected.multiColor = 0;
    EXPECT_EQ(Handed(), expected);

    Forget();
    panel->OnDirectionCheck(Row(0));
    expected.fx = 0;
    EXPECT_EQ(Handed(), expected);
    EXPECT_TRUE(qobject_cast<COptionUI*>(Find("deng_FXR_check"))->IsSelected());
    EXPECT_FALSE(qobject_cast<COptionUI*>(Find("deng_FXL_check"))->IsSelected());

    page.stored.clear();
    panel->OnDirectionCheck(Row(1));
    ASSERT_EQ(page.stored.size(), 1u);
    EXPECT_EQ(page.stored.back().fx, 1);
    EXPECT_EQ(syncLeft, 3);
}

TEST_F(LightPanelHandlerTest, KeyboardListsPatchTheirBytesWithoutLeavingSync) {
    panel->OnZZCCModeCombo(At(3));
    LightInfo expected = start;
    expected.zzccLedMode = 3;
    EXPECT_EQ(Handed(), expected);
    EXPECT_EQ(panel->GetSelectedZZCCMode(), 3);
    EXPECT_EQ(syncLeft, 0);

    Forget();
    panel->OnCustomModeCombo(At(4));
    expected.customGroup = 4;
    EXPECT_EQ(Handed(), expected);
    EXPECT_EQ(panel->GetSelectedCustomMode(), 4);

    // Only a keyboard has them.
    panel->SetDeviceKind(2);
    page.journal.clear();
    panel->OnZZCCModeCombo(At(1));
    panel->OnCustomModeCombo(At(1));
    EXPECT_TRUE(page.journal.empty());
}

TEST_F(LightPanelHandlerTest, AudioControlsHandTheAudioRecordOver) {
    AudioLightInfo audio;
    audio.audioMode = 1;
    audio.bkRed = 1, audio.bkGreen = 2, audio.bkBlue = 3;
    audio.fgRed = 100, audio.fgGreen = 110, audio.fgBlue = 120;
    audio.sevenColorFlags = 1;
    audio.colorTypeFlags = 1;
    panel->SetAudioLightInfo(audio);

    // A new style keeps the colours.
    qobject_cast<CComboUI*>(Find("light_combo_audiomodeSelect"))->SelectItem(5);
    panel->OnAudioModeCombo(At(5));
    AudioLightInfo expected = audio;
    expected.audioMode = 5;
    EXPECT_EQ(page.journal, kAudioUpdate);
    EXPECT_EQ(page.GetAudioLightInfo(), expected);
    EXPECT_EQ(panel->ShownAudioLightInfo(), expected);

    // The user switches to the background: the shared controls now show it.
    page.journal.clear();
    qobject_cast<COptionUI*>(Find("audio_BkColor_check"))->Selected(true);
    panel->OnAudioColourTypeCheck({});
    expected.colorTypeFlags = 0;
    EXPECT_EQ(page.GetAudioLightInfo(), expected);
    EXPECT_EQ(panel->GetAudioEditText(0), "1");
    EXPECT_FALSE(Find("deng_7audiocolor_check")->isEnabled());

    // An edit writes into the background only.
    ui::SetText(Find("deng_audioedit_G"), "999");
    panel->OnAudioColourEdit(Row(1));
    expected.bkGreen = 255;
    EXPECT_EQ(page.GetAudioLightInfo(), expected);

    // Back to the foreground: a swatch replaces it and ends the colour cycling.
    qobject_cast<COptionUI*>(Find("audio_FgColor_check"))->Selected(true);
    panel->OnAudioColourTypeCheck({});
    expected.colorTypeFlags = 1;
    EXPECT_EQ(page.GetAudioLightInfo(), expected);
    const QRgb swatch = panel->GetAudioOptionColor(6);
    panel->OnAudioPresetColour(Index(6));
    expected.fgRed = qRed(swatch), expected.fgGreen = qGreen(swatch), expected.fgBlue = qBlue(swatch);
    expected.sevenColorFlags = 0;
    EXPECT_EQ(page.GetAudioLightInfo(), expected);
    EXPECT_EQ(panel->GetAudioPaletteColor(), swatch);

    // The palette writes the foreground; "no background" clears the background.
    panel->OnAudioPalette(At(0xFF102030u));
    expected.fgRed = 0x10, expected.fgGreen = 0x20, expected.fgBlue = 0x30;
    EXPECT_EQ(page.GetAudioLightInfo(), expected);
    panel->OnBackgroundOffButton({});
    expected.bkRed = expected.bkGreen = expected.bkBlue = 0;
    EXPECT_EQ(page.GetAudioLightInfo(), expected);
    // None of this touched the effect record.
    EXPECT_TRUE(page.stored.empty());
    EXPECT_EQ(syncLeft, 0);
}

TEST_F(LightPanelHandlerTest, WithoutAPageNothingHappens) {
    panel->SetDevicePage(nullptr);
    panel->OnBrightnessSlider(At(1));
    panel->OnPresetColour(Index(1));
    panel->OnModeCombo(At(6));
    panel->OnColourEdit(Row(0));
    panel->OnAudioPalette(At(0xFF102030u));
    panel->OnBackgroundOffButton({});
    EXPECT_TRUE(page.journal.empty());
    EXPECT_EQ(syncLeft, 0);
}

// The controls' own notifications, routed by the main window's routing tables, reach the
// panel's handlers for what the user does and only then.
class Router : public vx::widgets::INotifyUI {
public:
    explicit Router(CLightControlUI* panel) : m_panel(panel) {}
    void Notify(TNotifyUI& msg) override {
        int index = -1;
        const RouteRow* row = CControlRouter::Resolve(msg.sType, msg.pSender->objectName(), index);
        // The panel holds the same-mode button too, which is the window's.
        if (row == nullptr || row->owner != RouteOwner::LightPanel) return;
        row->call(m_panel, CControlRouter::MakeEvent(msg, index, row));
    }

private:
    CLightControlUI* m_panel;
};

TEST_F(LightPanelHandlerTest, UserActionsThroughTheControlsNotifications) {
    Router router(panel);
    manager.AddNotifier(&router);
    m_root->show();
    vxtest::Pump(20);

    QTest::mouseClick(Find("color_option_0"), Qt::LeftButton);
    ASSERT_EQ(page.stored.size(), 1u);
    EXPECT_EQ(page.stored.back().red, 255);
    EXPECT_EQ(page.stored.back().green, 0);

    QTest::mouseClick(Find("deng_FXR_check"), Qt::LeftButton);
    ASSERT_EQ(page.stored.size(), 2u);
    EXPECT_EQ(page.stored.back().fx, 0);

    auto* slider = qobject_cast<CSliderUI*>(Find("deng_light_slider"));
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    ASSERT_EQ(page.stored.size(), 3u);
    EXPECT_EQ(page.stored.back().light, start.light + 1);

    auto* combo = qobject_cast<CComboUI*>(Find("light_combo_modeSelect"));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(page.stored.size(), 4u);
    EXPECT_EQ(page.stored.back().selectItem, 2);

    // The panel's own re-showing of the record raises nothing that would loop back.
    const size_t before = page.journal.size();
    panel->SetLightInfo(start);
    vxtest::Pump(10);
    EXPECT_EQ(page.journal.size(), before);
    manager.RemoveNotifier(&router);
}

}  // namespace
