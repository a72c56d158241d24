#include "panels/LightControlUI.h"

#include <QGuiApplication>
#include <QListView>
#include <QScreen>
#include <QStandardItemModel>
#include <algorithm>
#include <string>

#include "devices/TavimondUSBDevice.h"
#include "panels/LightControlColor.h"
#include "panels/LightControlModeTables.h"
#include "platform/DebugLog.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/LightNameTables.h"
#include "profiles/StringUtil.h"
#include "widgets/ColorPaletteUI.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlFactory.h"
#include "widgets/ControlUI.h"
#include "widgets/EditUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/SliderUI.h"
#include "widgets/TabLayoutUI.h"

using vx::widgets::CColorPaletteUI;
using vx::widgets::CComboUI;
using vx::widgets::CControlFactory;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CSliderUI;
using vx::widgets::CTabLayoutUI;
using vx::widgets::ControlCreator;
using vx::widgets::ControlEvent;
namespace ui = vx::widgets::ui;

namespace vx::panels {

using vx::profiles::CBasicProfiledata;
using vx::profiles::CKeyboardProfiledata;

using vx::platform::DebugLog;
using vx::profiles::LightNameTables;
using vx::profiles::ParseDecimal;

using namespace light_panel;

namespace {
constexpr int kModeItemHeight = 30;
const char* const kColorEdits[3] = {"deng_edit_R", "deng_edit_G", "deng_edit_B"};
const char* const kAudioEdits[3] = {"deng_audioedit_R", "deng_audioedit_G", "deng_audioedit_B"};

// Lists whose entries are fixed by the firmware: the keyboard's preset colours of its sub-effect
// mode (mode option 0 to 3) and the seven audio styles.
const char* const kSubEffectKeys[] = {"light_zzcc_option_0", "light_zzcc_option_1", "light_zzcc_option_2",
                                      "light_zzcc_option_3"};
const char* const kAudioStyleKeys[] = {"light_audio_style_0", "light_audio_style_1", "light_audio_style_2",
                                       "light_audio_style_3", "light_audio_style_4", "light_audio_style_5",
                                       "light_audio_style_6"};
// The keyboard keeps its per-key colours in numbered custom groups; the combo offers five.
const char* const kCustomGroupKeys[] = {"light_custom_group_1", "light_custom_group_2",
                                        "light_custom_group_3", "light_custom_group_4",
                                        "light_custom_group_5"};

void HideComboRow(CComboUI* combo, int row, bool hidden) {
    if (auto* view = qobject_cast<QListView*>(combo->view())) view->setRowHidden(row, hidden);
    // A hidden mode must not be reached with the wheel or the arrow keys either.
    if (auto* model = qobject_cast<QStandardItemModel*>(combo->model())) {
        if (QStandardItem* item = model->item(row)) item->setEnabled(!hidden);
    }
}

void SetComboRowHeight(CComboUI* combo, int row, int height) {
    combo->setItemData(row, QSize(0, height), Qt::SizeHintRole);
}

void SetChannel(uint8_t& red, uint8_t& green, uint8_t& blue, int channel, uint8_t value) {
    uint8_t* channels[3] = {&red, &green, &blue};
    *channels[channel] = value;
}
}  // namespace

uint8_t light_panel::ParseChannelText(const QString& text) {
    const int64_t value = ParseDecimal(text.toStdString());
    if (value > 255) return 255;
    if (value < 0) return 0;
    return uint8_t(value);
}

void CLightControlUI::RegisterControlClass() {
    const ControlCreator create = [](QWidget* parent) -> QWidget* { return new CLightControlUI(parent); };
    CControlFactory::GetInstance().RegistControl(QString::fromLatin1(kClassName), create);
    CControlFactory::GetInstance().RegistControl(QStringLiteral("LightControl"), create);
}

CLightControlUI::CLightControlUI(QWidget* parent) : CHorizontalLayoutUI(parent) {}

QWidget* CLightControlUI::Control(const QString& name) const {
    const QString key = name.toLower();
    auto it = m_controls.constFind(key);
    if (it != m_controls.constEnd() && !it->isNull()) return it->data();
    QWidget* found = CPaintManagerUI::FindSubControlByName(this, name);
    if (found) m_controls.insert(key, found);
    return found;
}

// --- Lists --------------------------------------------------------------------------------------

void CLightControlUI::SetModeList(const std::vector<std::u16string>& names,
                                  const std::vector<bool>& visibleFlags, int maxBrightness, int maxSpeed) {
    if (auto* combo = Control<CComboUI>("light_combo_modeSelect")) {
        combo->RemoveAll();
        // The flags decide the number of items; a flag without a name gets an empty key.
        for (size_t i = 0; i < visibleFlags.size(); ++i) {
            const QString key = i < names.size() ? QString::fromStdU16String(names[i]) : QString();
            const int row = combo->AddItem(key, true, key);
            SetComboRowHeight(combo, row, kModeItemHeight);
            HideComboRow(combo, row, !visibleFlags[i]);
        }
    }
    if (auto* slider = Control<CSliderUI>("deng_light_slider")) slider->SetMaxValue(maxBrightness);
    if (auto* slider = Control<CSliderUI>("deng_speed_slider")) slider->SetMaxValue(maxSpeed);
}

bool CLightControlUI::LoadModeList(const std::filesystem::path& defaultLightFile, int32_t lightTableIndex) {
    LightNameTables tables;
    if (!tables.LoadDefaultLightNames(defaultLightFile, lightTableIndex)) return false;
    SetModeList(tables.ModeNames(), tables.ModeVisible(), 4, 4);
    return true;
}

void CLightControlUI::FillFixedLists() {
    auto fill = [](CComboUI* combo, const auto& keys) {
        if (!combo || combo->GetCount() > 0) return;
        for (const char* key : keys) combo->AddItem(QString::fromLatin1(key), true, QString::fromLatin1(key));
        combo->SelectItem(0);
    };
    fill(Control<CComboUI>("light_combo_ZZCCmodeSelect"), kSubEffectKeys);
    fill(Control<CComboUI>("light_combo_audiomodeSelect"), kAudioStyleKeys);
    if (m_deviceKind == kKindKeyboard)
        fill(Control<CComboUI>("light_combo_custommodeSelect"), kCustomGroupKeys);
}

void CLightControlUI::SetDeviceKind(int32_t kind) {
    m_deviceKind = kind;
    FillFixedLists();
}

// --- Showing a record ---------------------------------------------------------------------------

void CLightControlUI::SetLightInfo(const LightInfo& info) {
    SelectMode(info.selectItem);
    SetBrightness(info.light);
    SetSpeed(info.speed);
    ShowColorControls(info.red, info.green, info.blue, true);
    SetSevenColor(info.multiColor != 0);
    SetDirection(info.fx);
    SelectZZCCMode(info.zzccLedMode);
    // The option and combo setters above can change what is enabled; the mode decides last.
    ApplyModeLayout(m_deviceKind, info.selectItem);
}

void CLightControlUI::ShowColorControls(uint8_t red, uint8_t green, uint8_t blue, bool setPalette) {
    const uint8_t channels[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) SetColorEditText(i, ChannelText(channels[i]));
    if (setPalette) SetPaletteColor(MakeArgb(red, green, blue));
    SetPreviewColor(MakeArgb(red, green, blue));
}

void CLightControlUI::SelectMode(int mode) {
    if (auto* combo = Control<CComboUI>("light_combo_modeSelect")) combo->SelectItem(mode);
    ApplyModeLayout(m_deviceKind, mode);
}

int CLightControlUI::GetSelectedMode() const {
    auto* combo = Control<CComboUI>("light_combo_modeSelect");
    return combo ? combo->GetCurSel() : -1;
}

void CLightControlUI::SelectCustomMode(int index) {
    if (auto* combo = Control<CComboUI>("light_combo_custommodeSelect")) combo->SelectItem(index);
}

int CLightControlUI::GetSelectedCustomMode() const {
    auto* combo = Control<CComboUI>("light_combo_custommodeSelect");
    return combo ? combo->GetCurSel() : -1;
}

void CLightControlUI::SelectZZCCMode(int index) {
    if (auto* combo = Control<CComboUI>("light_combo_ZZCCmodeSelect")) combo->SelectItem(index);
}

int CLightControlUI::GetSelectedZZCCMode() const {
    auto* combo = Control<CComboUI>("light_combo_ZZCCmodeSelect");
    return combo ? combo->GetCurSel() : -1;
}

void CLightControlUI::SetBrightness(int value) {
    if (auto* slider = Control<CSliderUI>("deng_light_slider")) slider->SetValue(value);
}

int CLightControlUI::GetBrightness() const {
    auto* slider = Control<CSliderUI>("deng_light_slider");
    return slider ? slider->GetValue() : 0;
}

void CLightControlUI::SetSpeed(int value) {
    if (auto* slider = Control<CSliderUI>("deng_speed_slider")) slider->SetValue(value);
}

int CLightControlUI::GetSpeed() const {
    auto* slider = Control<CSliderUI>("deng_speed_slider");
    return slider ? slider->GetValue() : 0;
}

void CLightControlUI::SetColorEditText(int channel, const QString& text) {
    if (channel < 0 || channel > 2) return;
    ui::SetText(Control(kColorEdits[channel]), text);
}

QString CLightControlUI::GetColorEditText(int channel) const {
    if (channel < 0 || channel > 2) return {};
    QWidget* edit = Control(kColorEdits[channel]);
    return edit ? ui::GetText(edit) : QString();
}

void CLightControlUI::SetPaletteColor(QRgb argb) {
    if (auto* palette = Control<CColorPaletteUI>("deng_Color_Pallet")) palette->SetSelectColor(argb);
    SetPreviewColor(argb);
}

QRgb CLightControlUI::GetPaletteColor() const {
    auto* palette = Control<CColorPaletteUI>("deng_Color_Pallet");
    return palette ? palette->GetSelectColor() : 0xFF000000u;
}

void CLightControlUI::SetPreviewColor(QRgb argb) {
    ui::SetBkColor(Control("deng_colordp_btn"), argb);
}

void CLightControlUI::SetSevenColor(bool on) {
    if (auto* option = Control<COptionUI>("deng_7color_check")) option->Selected(on);
}

bool CLightControlUI::GetSevenColor() const {
    auto* option = Control<COptionUI>("deng_7color_check");
    return option && option->IsSelected();
}

void CLightControlUI::SetDirection(int flag) {
    if (auto* left = Control<COptionUI>("deng_FXL_check")) left->Selected(flag != 0);
    if (auto* right = Control<COptionUI>("deng_FXR_check")) right->Selected(flag == 0);
}

int CLightControlUI::GetDirection() const {
    auto* left = Control<COptionUI>("deng_FXL_check");
    return left && left->IsSelected() ? 1 : 0;
}

QRgb CLightControlUI::GetColorOptionColor(int n) const {
    QWidget* swatch = Control(QStringLiteral("color_option_%1").arg(n));
    return swatch ? ui::GetBkColor(swatch) : 0;
}

QRgb CLightControlUI::GetAudioOptionColor(int n) const {
    const QString name = QStringLiteral("audiocolor_option_%1").arg(n);
    QWidget* swatch = Control(name);
    if (!swatch) {
        DebugLog("GetLightAudioColor control is NULL");
        return 0;
    }
    DebugLog(name.toStdString());
    DebugLog("GetLightAudioColor");
    return ui::GetBkColor(swatch);
}

QRgb CLightControlUI::GetAudioPaletteColor() const {
    auto* palette = Control<CColorPaletteUI>("deng_audioColor_Pallet");
    return palette ? palette->GetSelectColor() : 0xFF000000u;
}

QString CLightControlUI::GetAudioEditText(int channel) const {
    if (channel < 0 || channel > 2) return {};
    QWidget* edit = Control(kAudioEdits[channel]);
    return edit ? ui::GetText(edit) : QString();
}

// --- Same-mode button ---------------------------------------------------------------------------

void CLightControlUI::SetSyncAvailable(bool available) {
    m_syncAvailable = available;
    ApplyModeLayout(m_deviceKind, GetSelectedMode());
}

void CLightControlUI::ShowSameMode(bool wanted) {
    ui::SetVisible(Control("deng_same_mode"), wanted && m_syncAvailable);
}

// --- Mode layout --------------------------------------------------------------------------------

void CLightControlUI::ApplyCaptions(const char* left, const char* right) {
    for (auto [name, key] : {std::pair{"deng_FXL_check", left}, std::pair{"deng_FXR_check", right}}) {
        QWidget* option = Control(name);
        if (!option || !key) continue;
        ui::SetResourceText(option, true);
        ui::SetText(option, QString::fromLatin1(key));
    }
}

void CLightControlUI::ApplyStartState(int32_t kind) {
    auto* tabs = Control<CTabLayoutUI>("light_color_tablayout");
    switch (kind) {
        case kKindKeyboard:
            ui::SetVisible(Control("lightcustom_layout"), false);
            ui::SetVisible(Control("deng_same_mode"), false);
            ui::SetEnabled(Control("deng_fx_layout"), true);
            ui::SetVisible(Control("deng_speed_layout"), true);
            ui::SetVisible(Control("light_combo_ZZCCmodeSelectLayout"), false);
            ui::SetEnabled(Control("light_color_layout"), true);
            ApplyCaptions("light_set_right_to_left_text", "light_set_left_to_right_text");
            ui::SetVisible(Control("light_combo_AudiomodeSelectLayout"), false);
            if (tabs) tabs->SelectItem(0);
            break;
        case kKindMouse:
            ui::SetVisible(Control("light_combo_AudiomodeSelectLayout"), false);
            if (tabs) tabs->SelectItem(0);
            ui::SetVisible(Control("deng_speed_layout"), true);
            ui::SetVisible(Control("deng_same_mode"), false);
            ui::SetEnabled(Control("deng_fx_layout"), true);
            ApplyCaptions("light_set_down_to_up_text", "light_set_up_to_down_text");
            break;
        case kKindMousePad:
        case kKindHeadset:
            ui::SetVisible(Control("deng_same_mode"), false);
            ui::SetEnabled(Control("deng_fx_layout"), true);
            break;
        default:
            break;
    }
}

void CLightControlUI::ApplyModeLayout(int32_t kind, int32_t mode) {
    ui::SetEnabled(Control("lighteffect_layout"), true);
    const ModeLayoutRow* row = FindModeLayout(kind, mode);
    if (!row) return;
    ApplyStartState(kind);

    ui::SetEnabled(Control("deng_7color_check"), row->sevenColour);
    ui::SetEnabled(Control("deng_color_layout"), row->colour);
    ui::SetEnabled(Control("colorpallet_layout"), row->colour);
    if (row->frame != GroupState::Keep)
        ui::SetEnabled(Control("light_color_layout"), row->frame == GroupState::On);
    ui::SetEnabled(Control("deng_light_layout"), row->brightness);
    QWidget* speed = Control("deng_speed_layout");
    if (row->speed == SpeedState::Hidden) {
        ui::SetVisible(speed, false);
    } else {
        ui::SetEnabled(speed, row->speed == SpeedState::On);
    }
    if (row->direction.state != GroupState::Keep) {
        ui::SetEnabled(Control("deng_fx_layout"), row->direction.state == GroupState::On);
    }
    ApplyCaptions(row->direction.leftCaption, row->direction.rightCaption);
    if (row->sameMode) ShowSameMode(true);

    switch (row->extra) {
        case ModeExtra::SubEffectList:
            ui::SetVisible(Control("light_combo_ZZCCmodeSelectLayout"), true);
            break;
        case ModeExtra::CustomList:
            ui::SetVisible(Control("lightcustom_layout"), true);
            break;
        case ModeExtra::AudioList:
            ui::SetVisible(Control("light_combo_AudiomodeSelectLayout"), true);
            if (auto* tabs = Control<CTabLayoutUI>("light_color_tablayout")) tabs->SelectItem(1);
            break;
        case ModeExtra::None:
            break;
    }
}

// --- Audio record -------------------------------------------------------------------------------

bool CLightControlUI::HasAudioControls() const {
    static const char* const kNames[] = {"light_combo_audiomodeSelect",
                                         "audio_BkColor_check",
                                         "audio_FgColor_check",
                                         "deng_7audiocolor_check",
                                         "deng_audioedit_R",
                                         "deng_audioedit_G",
                                         "deng_audioedit_B",
                                         "deng_audioColor_Pallet",
                                         "deng_audiocolordp_btn",
                                         "light_audiocolor_layout",
                                         "audiocolorpallet_layout"};
    for (const char* name : kNames) {
        if (!Control(name)) return false;
    }
    return true;
}

void CLightControlUI::ShowAudioColor(uint8_t red, uint8_t green, uint8_t blue) {
    const uint8_t channels[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) ui::SetText(Control(kAudioEdits[i]), ChannelText(channels[i]));
    const QRgb argb = MakeArgb(red, green, blue);
    Control<CColorPaletteUI>("deng_audioColor_Pallet")->SetSelectColor(argb);
    ui::SetBkColor(Control("deng_audiocolordp_btn"), argb);
}

void CLightControlUI::SetAudioLightInfo(const AudioLightInfo& info) {
    if (!HasAudioControls()) {
        DebugLog(" SetAudioLightInfo control is NULL");
        return;
    }
    m_audioInfo = info;
    Control<CComboUI>("light_combo_audiomodeSelect")->SelectItem(info.audioMode);
    auto* background = Control<COptionUI>("audio_BkColor_check");
    auto* foreground = Control<COptionUI>("audio_FgColor_check");
    auto* seven = Control<COptionUI>("deng_7audiocolor_check");
    if (info.colorTypeFlags != 0) {
        background->Selected(false);
        foreground->Selected(true);
        ui::SetEnabled(seven, true);
        seven->Selected(info.sevenColorFlags != 0);
        ShowAudioColor(info.fgRed, info.fgGreen, info.fgBlue);
    } else {
        background->Selected(true);
        foreground->Selected(false);
        ui::SetEnabled(seven, false);
        ShowAudioColor(info.bkRed, info.bkGreen, info.bkBlue);
    }
    // Style 3 draws from the colour wheel alone.
    const bool colours = info.audioMode != 3;
    ui::SetEnabled(Control("light_audiocolor_layout"), colours);
    ui::SetEnabled(Control("audiocolorpallet_layout"), colours);
}

AudioLightInfo CLightControlUI::GetAudioLightInfo(bool takeColour) {
    if (!HasAudioControls()) {
        DebugLog("GetAudioLightInfo control is NULL");
        return m_audioInfo;
    }
    AudioLightInfo info = m_audioInfo;
    const bool backgroundOn = Control<COptionUI>("audio_BkColor_check")->IsSelected();
    const bool foregroundOn = Control<COptionUI>("audio_FgColor_check")->IsSelected();
    info.sevenColorFlags = Control<COptionUI>("deng_7audiocolor_check")->IsSelected() ? 1 : 0;
    // When both options read selected, the one the user just turned on wins.
    info.colorTypeFlags = backgroundOn && (m_audioInfo.colorTypeFlags == 1 || !foregroundOn) ? 0 : 1;
    if (takeColour) {
        // The preview shows the colour of the side that was being edited before this change.
        const QRgb shown = ui::GetBkColor(Control("deng_audiocolordp_btn"));
        if (m_audioInfo.colorTypeFlags != 0) {
            info.fgRed = RedOf(shown), info.fgGreen = GreenOf(shown), info.fgBlue = BlueOf(shown);
        } else {
            info.bkRed = RedOf(shown), info.bkGreen = GreenOf(shown), info.bkBlue = BlueOf(shown);
        }
    }
    const int style = Control<CComboUI>("light_combo_audiomodeSelect")->GetCurSel();
    if (style >= 0) info.audioMode = uint8_t(style);
    return info;
}

// --- Handlers of the panel's controls --------------------------------------------------------

void CLightControlUI::OnModeCombo(const ControlEvent& event) {
    OnModeChosen(static_cast<int>(event.param));
}

void CLightControlUI::OnCustomModeCombo(const ControlEvent& event) {
    const int index = static_cast<int>(event.param);
    if (!m_page || m_deviceKind != kKindKeyboard || index < 0) return;
    SelectCustomMode(index);
    // The keyboard keeps the chosen group in its profile as well as in the light record.
    if (auto* keyboard = dynamic_cast<CKeyboardProfiledata*>(m_page->GetProfileData())) {
        keyboard->SetCustomGroupIndex(index);
    }
    LightInfo info = m_page->GetLightInfo();
    info.customGroup = uint8_t(index);
    RunLightUpdate(info);
}

void CLightControlUI::OnZZCCModeCombo(const ControlEvent& event) {
    const int index = static_cast<int>(event.param);
    if (!m_page || m_deviceKind != kKindKeyboard || index < 0) return;
    SelectZZCCMode(index);
    LightInfo info = m_page->GetLightInfo();
    info.zzccLedMode = uint8_t(index);
    RunLightUpdate(info);
}

void CLightControlUI::OnAudioModeCombo(const ControlEvent&) {
    OnAudioChoice(true);
}

void CLightControlUI::OnBrightnessSlider(const ControlEvent& event) {
    OnLevelMoved(true, static_cast<int>(event.param));
}

void CLightControlUI::OnSpeedSlider(const ControlEvent& event) {
    OnLevelMoved(false, static_cast<int>(event.param));
}

void CLightControlUI::OnSevenColourCheck(const ControlEvent&) {
    if (!m_page) return;
    LeaveSync();
    const bool on = GetSevenColor();
    SetSevenColor(on);
    LightInfo info = m_page->GetLightInfo();
    info.multiColor = on ? 1 : 0;
    RunLightUpdate(info);
}

void CLightControlUI::OnDirectionCheck(const ControlEvent& event) {
    if (!m_page) return;
    const uint8_t flag = event.rowValue != 0 ? 1 : 0;
    SetDirection(flag);
    LeaveSync();
    LightInfo info = m_page->GetLightInfo();
    info.fx = flag;
    RunLightUpdate(info);
}

void CLightControlUI::OnAudioSevenColourCheck(const ControlEvent&) {
    OnAudioChoice(true);
}

void CLightControlUI::OnAudioColourTypeCheck(const ControlEvent&) {
    OnAudioChoice(false);
}

void CLightControlUI::OnColourEdit(const ControlEvent& event) {
    if (event.rowValue >= 0 && event.rowValue <= 2) OnColourChannel(event.rowValue);
}

void CLightControlUI::OnAudioColourEdit(const ControlEvent& event) {
    if (event.rowValue >= 0 && event.rowValue <= 2) OnAudioChannel(event.rowValue);
}

void CLightControlUI::OnPalette(const ControlEvent& event) {
    OnColourChosen(static_cast<QRgb>(event.param), false);
}

void CLightControlUI::OnAudioPalette(const ControlEvent& event) {
    OnAudioColour(static_cast<QRgb>(event.param), false);
}

void CLightControlUI::OnPresetColour(const ControlEvent& event) {
    // A swatch the layout does not have gives no colour at all, not black.
    if (Control(QStringLiteral("color_option_%1").arg(event.index)))
        OnColourChosen(GetColorOptionColor(event.index), true);
}

void CLightControlUI::OnAudioPresetColour(const ControlEvent& event) {
    if (Control(QStringLiteral("audiocolor_option_%1").arg(event.index)))
        OnAudioColour(GetAudioOptionColor(event.index), true);
}

// --- Effect record ------------------------------------------------------------------------------

void CLightControlUI::OnModeChosen(int index) {
    auto* combo = Control<CComboUI>("light_combo_modeSelect");
    const int position = index >= 0 ? index : GetSelectedMode();
    if (!m_page || position < 0 || (combo && position >= combo->GetCount())) return;
    LeaveSync();
    SelectMode(position);
    LightInfo info = m_page->GetLightInfo();
    info.selectItem = uint8_t(position);
    RunLightUpdate(info);
}

void CLightControlUI::OnLevelMoved(bool brightness, int value) {
    if (!m_page) return;
    LeaveSync();
    auto* slider = Control<CSliderUI>(brightness ? "deng_light_slider" : "deng_speed_slider");
    // The slider's range is the device's; a value from elsewhere is held to it.
    if (slider) value = std::clamp(value, slider->GetMinValue(), slider->GetMaxValue());
    value = std::clamp(value, 0, 255);
    if (brightness) {
        SetBrightness(value);
    } else {
        SetSpeed(value);
    }
    LightInfo info = m_page->GetLightInfo();
    (brightness ? info.light : info.speed) = uint8_t(value);
    RunLightUpdate(info);
}

void CLightControlUI::OnColourChannel(int channel) {
    if (!m_page) return;
    const QString text = GetColorEditText(channel);
    const uint8_t value = ParseChannelText(text);
    // The edit shows the value taken: "300" becomes "255", an empty edit "0".
    if (text != ChannelText(value)) SetColorEditText(channel, ChannelText(value));
    LightInfo info = m_page->GetLightInfo();
    SetChannel(info.red, info.green, info.blue, channel, value);
    info.multiColor = 0;
    LeaveSync();
    StoreSaveRestart(info);
    SetSevenColor(false);
    SetPaletteColor(MakeArgb(info.red, info.green, info.blue));
    WriteDevice();
}

QRgb CLightControlUI::EffectColour() const {
    if (!m_page) return qRgb(255, 255, 255);
    const LightInfo info = m_page->GetLightInfo();
    return qRgb(info.red, info.green, info.blue);
}

QRgb CLightControlUI::AudioColourBeingEdited() const {
    const AudioLightInfo& info = m_audioInfo;
    if (info.colorTypeFlags != 0) return qRgb(info.fgRed, info.fgGreen, info.fgBlue);
    return qRgb(info.bkRed, info.bkGreen, info.bkBlue);
}

void CLightControlUI::OnColourChosen(QRgb argb, bool fromSwatch) {
    if (!m_page) return;
    LightInfo info = m_page->GetLightInfo();
    info.red = RedOf(argb);
    info.green = GreenOf(argb);
    info.blue = BlueOf(argb);
    info.multiColor = 0;
    // A preset swatch is a shortcut that keeps the page in step with the others.
    if (!fromSwatch) LeaveSync();
    StoreSaveRestart(info);
    ShowColorControls(info.red, info.green, info.blue, fromSwatch);
    SetSevenColor(false);
    WriteDevice();
}

// --- Audio record -------------------------------------------------------------------------------

void CLightControlUI::OnAudioChoice(bool takeColour) {
    if (!m_page) return;
    HandOverAudio(GetAudioLightInfo(takeColour));
}

void CLightControlUI::OnAudioChannel(int channel) {
    if (!m_page) return;
    AudioLightInfo info = m_audioInfo;
    const uint8_t value = ParseChannelText(GetAudioEditText(channel));
    if (info.colorTypeFlags != 0) {
        SetChannel(info.fgRed, info.fgGreen, info.fgBlue, channel, value);
        info.sevenColorFlags = 0;
    } else {
        SetChannel(info.bkRed, info.bkGreen, info.bkBlue, channel, value);
    }
    HandOverAudio(info);
}

void CLightControlUI::OnAudioColour(QRgb argb, bool clearSevenColour) {
    if (!m_page) return;
    AudioLightInfo info = m_audioInfo;
    if (info.colorTypeFlags != 0) {
        info.fgRed = RedOf(argb), info.fgGreen = GreenOf(argb), info.fgBlue = BlueOf(argb);
        if (clearSevenColour) info.sevenColorFlags = 0;
    } else {
        info.bkRed = RedOf(argb), info.bkGreen = GreenOf(argb), info.bkBlue = BlueOf(argb);
    }
    HandOverAudio(info);
}

void CLightControlUI::OnBackgroundOffButton(const ControlEvent&) {
    if (!m_page) return;
    AudioLightInfo info = m_audioInfo;
    info.bkRed = info.bkGreen = info.bkBlue = 0;
    HandOverAudio(info);
}

// --- The page's light update --------------------------------------------------------------------

bool CLightControlUI::ApplyLightRecord(const LightInfo& info) {
    auto* combo = Control<CComboUI>("light_combo_modeSelect");
    if (!m_page || (combo && info.selectItem >= combo->GetCount())) return false;
    LeaveSync();
    SetLightInfo(info);
    RunLightUpdate(info);
    return true;
}

void CLightControlUI::LeaveSync() {
    if (m_page && m_syncLeave) m_syncLeave(*m_page);
}

void CLightControlUI::StoreSaveRestart(const LightInfo& info) {
    m_beforeWrite = m_page->SettingsSnapshot();
    m_page->SetLightInfo(info);
    m_page->SaveProfile();
    m_page->LoadLightingState();
}

void CLightControlUI::WriteDevice() {
    QRect screen;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) screen = primary->geometry();
    const int written = m_page->WriteSettings(0, 0, 1, screen.width(), screen.height());
    // A change the device did not take is undone on the page; the panel shows the record again.
    if (m_page->ConfirmSettingsWrite(written, m_beforeWrite) != 1) {
        if (CBasicProfiledata* data = m_page->GetProfileData()) SetLightInfo(data->GetLightInfo());
    }
    m_beforeWrite = Json::Value();
}

void CLightControlUI::RunLightUpdate(const LightInfo& info) {
    StoreSaveRestart(info);
    WriteDevice();
}

void CLightControlUI::HandOverAudio(const AudioLightInfo& info) {
    SetAudioLightInfo(info);
    m_page->SetAudioLightInfo(info);
    m_page->SaveProfile();
    m_page->LoadLightingState();
}

}  // namespace vx::panels
