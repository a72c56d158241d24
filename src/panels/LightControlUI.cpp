#include "panels/LightControlUI.h"

#include <QListView>
#include <QStandardItemModel>

#include "panels/LightControlColor.h"
#include "panels/LightControlModeTables.h"
#include "platform/DebugLog.h"
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
