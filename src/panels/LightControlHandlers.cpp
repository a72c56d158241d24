// The lighting panel's handlers of user actions, as the main window's routing hands them over,
// and the page's light update that each of them ends in.
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <string>

// The page header holds a QPointer to the paint manager, which needs the complete class.
#include "widgets/PaintManagerUI.h"

#include "devices/TavimondUSBDevice.h"
#include "panels/LightControlColor.h"
#include "panels/LightControlModeTables.h"
#include "panels/LightControlUI.h"
#include "profiles/KeyboardProfiledata.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/SliderUI.h"

using vx::profiles::CBasicProfiledata;
using vx::profiles::CKeyboardProfiledata;

using namespace light_panel;

namespace {
bool Is(const QString& name, const char* expected) {
    return name.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

// The channel (0 red, 1 green, 2 blue) of an edit name ending in R, G or B after `prefix`.
int ChannelOf(const QString& name, const char* prefix) {
    static const char* const kSuffixes[3] = {"R", "G", "B"};
    for (int i = 0; i < 3; ++i) {
        if (Is(name, (std::string(prefix) + kSuffixes[i]).c_str())) return i;
    }
    return -1;
}

void SetChannel(uint8_t& red, uint8_t& green, uint8_t& blue, int channel, uint8_t value) {
    uint8_t* channels[3] = {&red, &green, &blue};
    *channels[channel] = value;
}
}  // namespace

// --- Routing entry points -----------------------------------------------------------------------

bool CLightControlUI::OnItemSelect(const QString& name, int index) {
    if (Is(name, "light_combo_modeSelect")) {
        OnModeChosen(index);
    } else if (Is(name, "light_combo_custommodeSelect")) {
        if (!m_page || m_deviceKind != kKindKeyboard || index < 0) return true;
        SelectCustomMode(index);
        // The keyboard keeps the chosen group in its profile as well as in the light record.
        if (auto* keyboard = dynamic_cast<CKeyboardProfiledata*>(m_page->GetProfileData())) {
            keyboard->SetCustomGroupIndex(index);
        }
        LightInfo info = m_page->GetLightInfo();
        info.customGroup = uint8_t(index);
        RunLightUpdate(info);
    } else if (Is(name, "light_combo_ZZCCmodeSelect")) {
        if (!m_page || m_deviceKind != kKindKeyboard || index < 0) return true;
        SelectZZCCMode(index);
        LightInfo info = m_page->GetLightInfo();
        info.zzccLedMode = uint8_t(index);
        RunLightUpdate(info);
    } else if (Is(name, "light_combo_audiomodeSelect")) {
        OnAudioChoice(true);
    } else {
        return false;
    }
    return true;
}

bool CLightControlUI::OnValueChanged(const QString& name, int value) {
    if (Is(name, "deng_light_slider")) {
        OnLevelMoved(true, value);
    } else if (Is(name, "deng_speed_slider")) {
        OnLevelMoved(false, value);
    } else {
        return false;
    }
    return true;
}

bool CLightControlUI::OnSelectChanged(const QString& name) {
    if (Is(name, "deng_7color_check")) {
        if (!m_page) return true;
        LeaveSync();
        const bool on = GetSevenColor();
        SetSevenColor(on);
        LightInfo info = m_page->GetLightInfo();
        info.multiColor = on ? 1 : 0;
        RunLightUpdate(info);
    } else if (Is(name, "deng_FXL_check") || Is(name, "deng_FXR_check")) {
        if (!m_page) return true;
        const uint8_t flag = Is(name, "deng_FXL_check") ? 1 : 0;
        SetDirection(flag);
        LeaveSync();
        LightInfo info = m_page->GetLightInfo();
        info.fx = flag;
        RunLightUpdate(info);
    } else if (Is(name, "deng_7audiocolor_check")) {
        OnAudioChoice(true);
    } else if (Is(name, "audio_BkColor_check") || Is(name, "audio_FgColor_check")) {
        OnAudioChoice(false);
    } else {
        return false;
    }
    return true;
}

bool CLightControlUI::OnKillFocus(const QString& name) {
    if (const int channel = ChannelOf(name, "deng_edit_"); channel >= 0) {
        OnColourEdit(channel);
    } else if (const int audio = ChannelOf(name, "deng_audioedit_"); audio >= 0) {
        OnAudioEdit(audio);
    } else {
        return false;
    }
    return true;
}

bool CLightControlUI::OnColorChanged(const QString& name, QRgb argb) {
    if (Is(name, "deng_Color_Pallet")) {
        OnColourChosen(argb, false);
    } else if (Is(name, "deng_audioColor_Pallet")) {
        OnAudioColour(argb, false);
    } else {
        return false;
    }
    return true;
}

bool CLightControlUI::OnClick(const QString& name, int index) {
    if (Is(name, "color_option_")) {
        // A swatch the layout does not have gives no colour at all, not black.
        if (Control(QStringLiteral("color_option_%1").arg(index)))
            OnColourChosen(GetColorOptionColor(index), true);
    } else if (Is(name, "audiocolor_option_")) {
        if (Control(QStringLiteral("audiocolor_option_%1").arg(index))) {
            OnAudioColour(GetAudioOptionColor(index), true);
        }
    } else if (Is(name, "Close_bkColor_btn")) {
        OnBackgroundOff();
    } else {
        return false;
    }
    return true;
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

void CLightControlUI::OnColourEdit(int channel) {
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

void CLightControlUI::OnAudioEdit(int channel) {
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

void CLightControlUI::OnBackgroundOff() {
    if (!m_page) return;
    AudioLightInfo info = m_audioInfo;
    info.bkRed = info.bkGreen = info.bkBlue = 0;
    HandOverAudio(info);
}

// --- The page's light update --------------------------------------------------------------------

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
