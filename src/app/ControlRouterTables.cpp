#include "app/ControlRouterTables.h"

#include <string>

#include "app/ControlRouterHost.h"
#include "app/WindowRoutes.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMouseDevice.h"
#include "devices/TavimondUSBDevice.h"
#include "panels/DeviceProfileUI.h"
#include "panels/LightControlUI.h"
#include "profiles/StringUtil.h"

using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondMouseDevice;
using vx::devices::CTavimondUSBDevice;
using vx::panels::CDeviceProfileUI;
using vx::panels::CLightControlUI;

namespace vx::app {

using vx::profiles::SplitNameIndex;

namespace routes {

namespace {

using Window = CWindowRoutes;
using Page = CTavimondUSBDevice;
using Keyboard = CTavimondKeyboardDevice;
using Mouse = CTavimondMouseDevice;
using Light = CLightControlUI;
using Profile = CDeviceProfileUI;

// clang-format off
const RouteRow kClickRows[] = {
    Exact<&Window::OnWindowButton>("closebtn",             int(WindowButton::Close)),
    Exact<&Window::OnWindowButton>("nodevice_ok_btn",      int(WindowButton::NoDeviceOk)),
    Exact<&Window::OnWindowButton>("control_light_status", int(WindowButton::LightControl)),
    Exact<&Window::OnWindowButton>("minbtn",               int(WindowButton::Minimize)),
    Exact<&Window::OnWindowButton>("maxbtn",               int(WindowButton::Maximize)),
    Exact<&Window::OnWindowButton>("restorebtn",           int(WindowButton::Restore)),
    Exact<&Window::OnWindowButton>("skinbtn",              int(WindowButton::Skin)),
    Exact<&Window::OnWindowButton>("setbtn",               int(WindowButton::Settings)),
    Prefix<&Page::OnKeyButton>("key_"),
    Prefix<&Light::OnPresetColour>("color_option_"),
    Prefix<&Light::OnAudioPresetColour>("audiocolor_option_"),
    Prefix<&Window::OnSystemSettings>("windowdeviceset_"),
    Exact<&Window::OnRestoreDefaults>("default_btn"),
    Exact<&Keyboard::OnRepeatResetButton>("reset_repeat_btn"),
    Exact<&Profile::OnAddButton>("device_add_btn"),
    Exact<&Profile::OnDeleteButton>("device_sub_btn"),
    Exact<&Profile::OnCopyButton>("device_copy_btn"),
    Exact<&Profile::OnImportButton>("device_import_btn"),
    Exact<&Profile::OnExportButton>("device_export_btn"),
    Exact<&Profile::OnResetButton>("device_reset_btn"),
    Exact<&Profile::OnRenameButton>("device_profile_edit_save_btn"),
    Exact<&Keyboard::OnCustomColourButton>("custom_bright_color_btn", 1),
    Exact<&Keyboard::OnCustomColourButton>("custom_off_color_btn", 0),
    Exact<&Window::OnSameMode>("deng_same_mode"),
    Exact<&Profile::OnMenuToggleButton>("profile_fun_spread_btn"),
    Exact<&Window::OnDeviceSelectPrev>("device_select_prev"),
    Exact<&Window::OnDeviceSelectNext>("device_select_next"),
    Exact<&Light::OnBackgroundOffButton>("Close_bkColor_btn"),
    Exact<&Window::OnAudioStyleButton>("music_setting_btn"),
    Exact<&Window::OnAudioStyleButton>("music_setting_text"),
};

const RouteRow kSelectRows[] = {
    Prefix<&Mouse::OnDpiEnableCheck>("DPI_enable_check_"),
    Prefix<&Mouse::OnDpiSelectCheck>("DPI_select_check_"),
    // Keyboards and mice; a mousepad has no polling rate and does nothing.
    Prefix<&Page::OnPollingRateOption>("polling_rate_option_"),
    Prefix<&Keyboard::OnRepeatDelayOption>("repeat_delay_check_"),
    Prefix<&Mouse::OnSettingsOption>("mouse_device_seting_option_"),
    Exact<&Mouse::OnPointerPrecisionCheck>("pointer_precision_check"),
    Exact<&Mouse::OnScrollsPageCheck>("scrolls_page_check"),
    Exact<&Keyboard::OnWinLockOption>("winlockflag_option"),
    Exact<&Keyboard::OnWFlagOption>("wflag_option"),
    Exact<&Keyboard::OnKey6Option>("6flag_option"),
    Exact<&Window::OnDeviceSelectChanged>("device_select"),
    Exact<&Profile::OnTabOption>("deng_Op_tab", 1),
    Exact<&Profile::OnTabOption>("key_Op_tab", 2),
    Exact<&Profile::OnTabOption>("macro_Op_tab", 3),
    Exact<&Profile::OnTabOption>("system_Op_tab", 4),
    Exact<&Profile::OnTabOption>("cursor_Op_tab", 5),
    Exact<&Profile::OnTabOption>("6533_voice_Op_tab", 6),
    Exact<&Profile::OnTabOption>("magic_Op_tab", 7),
    Exact<&Profile::OnTabOption>("Virtual7.1_Op_tab", 8),
    Exact<&Light::OnDirectionCheck>("deng_FXL_check", 1),
    Exact<&Light::OnDirectionCheck>("deng_FXR_check", 0),
    Exact<&Light::OnSevenColourCheck>("deng_7color_check"),
    Exact<&Light::OnAudioSevenColourCheck>("deng_7audiocolor_check"),
    Exact<&Light::OnAudioColourTypeCheck>("audio_BkColor_check"),
    Exact<&Light::OnAudioColourTypeCheck>("audio_FgColor_check"),
    // The mouse page's own tabs (keys, lighting, performance, ...) below its picture.
    Prefix<&Mouse::OnFunctionOption>("mouse_function_option_"),
};

const RouteRow kValueRows[] = {
    Prefix<&Mouse::OnDpiSlider>("DPI_slider_"),
    Exact<&Mouse::OnPointerSpeedSlider>("pointer_speed_slider"),
    Exact<&Mouse::OnScrollSpeedSlider>("scroll_speed_slider"),
    Exact<&Mouse::OnDoubleClickSlider>("double_click_slider"),
    Exact<&Keyboard::OnRepeatRateSlider>("repeat_rate_slider"),
    Exact<&Light::OnBrightnessSlider>("deng_light_slider"),
    Exact<&Light::OnSpeedSlider>("deng_speed_slider"),
    Exact<&Window::OnCompanionSlider>("R_light_slider", 6),
    Exact<&Window::OnCompanionSlider>("G_light_slider", 7),
    Exact<&Window::OnCompanionSlider>("B_light_slider", 8),
};

const RouteRow kDragRows[] = {
    Prefix<&Window::OnQorinDpiDrag>("qorin_DPI_slider_"),
    Prefix<&Mouse::OnDpiSliderDrag>("DPI_slider_"),
};

// Colour channels: 0 red, 1 green, 2 blue.
const RouteRow kKillFocusRows[] = {
    Prefix<&Window::OnQorinDpiEdit>("qorin_DPI_edit_"),
    Prefix<&Mouse::OnDpiEdit>("DPI_edit_"),
    Exact<&Light::OnColourEdit>("deng_edit_R", 0),
    Exact<&Light::OnColourEdit>("deng_edit_G", 1),
    Exact<&Light::OnColourEdit>("deng_edit_B", 2),
    Exact<&Light::OnAudioColourEdit>("deng_audioedit_R", 0),
    Exact<&Light::OnAudioColourEdit>("deng_audioedit_G", 1),
    Exact<&Light::OnAudioColourEdit>("deng_audioedit_B", 2),
    Exact<&Window::OnKeyCaptureEnd>("keyset_keyboard_text_edit"),
};

const RouteRow kReturnRows[] = {
    Prefix<&Mouse::OnDpiEdit>("DPI_edit_"),
    Exact<&Light::OnColourEdit>("deng_edit_R", 0),
    Exact<&Light::OnColourEdit>("deng_edit_G", 1),
    Exact<&Light::OnColourEdit>("deng_edit_B", 2),
    Exact<&Light::OnAudioColourEdit>("deng_audioedit_R", 0),
    Exact<&Light::OnAudioColourEdit>("deng_audioedit_G", 1),
    Exact<&Light::OnAudioColourEdit>("deng_audioedit_B", 2),
};

const RouteRow kItemRows[] = {
    Exact<&Window::OnProfileChosen>("device_profile_combo"),
    Exact<&Light::OnModeCombo>("light_combo_modeSelect"),
    Exact<&Light::OnCustomModeCombo>("light_combo_custommodeSelect"),
    Exact<&Light::OnZZCCModeCombo>("light_combo_ZZCCmodeSelect"),
    Exact<&Light::OnAudioModeCombo>("light_combo_audiomodeSelect"),
};

const RouteRow kColourRows[] = {
    Exact<&Light::OnPalette>("deng_Color_Pallet"),
    Exact<&Light::OnAudioPalette>("deng_audioColor_Pallet"),
};

// The tray menu's and the macro-action menu's commands ("exit" is the window's own).
const RouteRow kMenuRows[] = {
    Exact<&Window::OnSettingsMenu>("setwnd_menu"),
    Exact<&Window::OnAboutMenu>("about_menu"),
};

constexpr bool X = false;  // exact name
constexpr bool P = true;   // prefix + index

// The controls of the features still to come, by feature. A name here is claimed (nothing else
// may route it) and does nothing but say so in the diagnostic output.
constexpr NotBuiltName kNotBuiltNames[] = {
    {"key_butt_keysave",               X, "key panel"},
    {"key_butt_keydefalut",            X, "key panel"},
    {"key_butt_keycancel",             X, "key panel"},
    {"key_butt_prosave",               X, "key panel"},
    {"key_ComBox_check_",              P, "key panel"},
    {"keyset_mouseswing_num_edit",     X, "key panel"},
    {"keyset_mouseswing_delay_edit",   X, "key panel"},
    {"keyset_mouseswing_speed_edit",   X, "key panel"},
    {"keyset_mousewheel_num_edit",     X, "key panel"},
    {"keyset_mousewheel_delay_edit",   X, "key panel"},
    {"keyset_mousewheel_speed_edit",   X, "key panel"},
    {"keyset_mousefire_interval_edit", X, "key panel"},
    {"keyset_mousefire_num_edit",      X, "key panel"},
    {"keyset_macro_cycle_edit",        X, "key panel"},
    {"keyset_function_combo",          X, "key panel"},
    {"keyset_macro_over_combo",        X, "key panel"},
    {"keyset_mousekey_combo",          X, "key panel"},
    {"keyset_mouseswing_combo",        X, "key panel"},
    {"keyset_mousewheel_combo",        X, "key panel"},
    {"keyset_mousedpi_combo",          X, "key panel"},
    {"keyset_media_combo",             X, "key panel"},
    {"keyset_system_combo",            X, "key panel"},
    {"keyset_macro_combo",             X, "key panel"},
    {"keyset_gunkey_combo",            X, "key panel"},
    {"keyset_combokey_combo",          X, "key panel"},

    {"macro_btn_name_add",             X, "macro panel"},
    {"macro_btn_name_sub",             X, "macro panel"},
    {"macro_btn_name_edit",            X, "macro panel"},
    {"macro_btn_save",                 X, "macro panel"},
    {"macro_btn_cancel",               X, "macro panel"},
    {"macro_btn_import",               X, "macro panel"},
    {"macro_btn_export",               X, "macro panel"},
    {"macro_btn_up",                   X, "macro panel"},
    {"macro_btn_down",                 X, "macro panel"},
    {"macro_btn_uptop",                X, "macro panel"},
    {"macro_btn_downbottom",           X, "macro panel"},
    {"macro_btn_delete",               X, "macro panel"},
    {"macro_btn_deleteall",            X, "macro panel"},
    {"macro_inset_moveleftkey_btn",    X, "macro panel"},
    {"macro_inset_moverightkey_btn",   X, "macro panel"},
    {"macro_inset_moveupkey_btn",      X, "macro panel"},
    {"macro_inset_movedownkey_btn",    X, "macro panel"},
    {"macro_delay",                    X, "macro panel"},
    {"macro_name_list",                X, "macro panel"},
    {"left_down",                      X, "macro panel"},
    {"left_up",                        X, "macro panel"},
    {"middle_down",                    X, "macro panel"},
    {"middle_up",                      X, "macro panel"},
    {"right_down",                     X, "macro panel"},
    {"right_up",                       X, "macro panel"},
    {"forward_down",                   X, "macro panel"},
    {"forward_up",                     X, "macro panel"},
    {"back_down",                      X, "macro panel"},
    {"back_up",                        X, "macro panel"},
    {"left_click",                     X, "macro panel"},
    {"middle_click",                   X, "macro panel"},
    {"right_click",                    X, "macro panel"},
    {"forward_click",                  X, "macro panel"},
    {"back_click",                     X, "macro panel"},

    {"macro_btn_starredio",            X, "macro recording"},
    {"macro_btn_stopredio",            X, "macro recording"},
    {"redio_previous_record_time",     X, "macro recording"},
    {"redio_previous_constant_time",   X, "macro recording"},
    {"redio_previous_ignore_time",     X, "macro recording"},
    {"redio_later_record_time",        X, "macro recording"},
    {"redio_later_constant_time",      X, "macro recording"},
    {"redio_later_ignore_time",        X, "macro recording"},
    {"macro_action_edit",              X, "macro recording"},

    {"shootdate_save_btn",             X, "shoot panel"},
    {"shootdate_reset_btn",            X, "shoot panel"},
    {"shootdate_import_btn",           X, "shoot panel"},
    {"shootdate_export_btn",           X, "shoot panel"},
    {"bullet_selected_prev",           X, "shoot panel"},
    {"bullet_selected_next",           X, "shoot panel"},
    {"shoot_gun_op_",                  P, "shoot panel"},
    {"bullet_op_",                     P, "shoot panel"},
    {"bullet_x_check",                 X, "shoot panel"},
    {"bullet_y_check",                 X, "shoot panel"},
    {"bullet_x_eidt",                  X, "shoot panel"},
    {"bullet_y_eidt",                  X, "shoot panel"},
    {"bullet_delay_eidt",              X, "shoot panel"},

    {"hs_EQ_btn_save",                 X, "headset"},
    {"hs_EQ_btn_delete",               X, "headset"},
    {"magic_option_",                  P, "headset"},
    {"6533_eq_option_",                P, "headset"},
    {"magic_enable_option",            X, "headset"},
    {"6533_MicIn_option",              X, "headset"},
    {"6533_MicMoniter_option",         X, "headset"},
    {"6533_eq_hz_slider_",             P, "headset"},
    {"6533_MicIn_slider",              X, "headset"},
    {"6533_MicMoniter_slider",         X, "headset"},
    {"custom_eq_name_combo",           X, "headset"},

    {"DPI_color_option_",              P, "colour picker"},


};
// clang-format on

bool IsDecimalTail(std::u16string_view text, size_t from) {
    if (from >= text.size()) return false;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
    }
    return true;
}

// A control name split at its last underscore, when it ends in a decimal index.
struct SplitName {
    explicit SplitName(const QString& name) {
        std::u16string prefix;
        const std::u16string_view text(reinterpret_cast<const char16_t*>(name.utf16()),
                                       static_cast<size_t>(name.size()));
        // The split itself reads a missing or non-numeric index as 0; a prefix row wants a real
        // one, so "DPI_slider_" alone reaches no row.
        split = SplitNameIndex(text, prefix, index) && IsDecimalTail(text, prefix.size());
        if (split) this->prefix = QString::fromStdU16String(prefix);
    }
    template <class Row>
    bool Matches(const Row& row, const QString& name) const {
        const QString rowName = QString::fromLatin1(row.name);
        if (row.prefix) return split && prefix.compare(rowName, Qt::CaseInsensitive) == 0;
        return name.compare(rowName, Qt::CaseInsensitive) == 0;
    }
    bool split = false;
    QString prefix;
    int32_t index = -1;
};

}  // namespace

const std::span<const RouteRow> kClick = kClickRows;
const std::span<const RouteRow> kSelect = kSelectRows;
const std::span<const RouteRow> kValue = kValueRows;
const std::span<const RouteRow> kDrag = kDragRows;
const std::span<const RouteRow> kKillFocus = kKillFocusRows;
const std::span<const RouteRow> kReturn = kReturnRows;
const std::span<const RouteRow> kItem = kItemRows;
const std::span<const RouteRow> kColour = kColourRows;
const std::span<const RouteRow> kMenu = kMenuRows;
const std::span<const NotBuiltName> kNotBuilt = kNotBuiltNames;

const RouteRow* Find(std::span<const RouteRow> table, const QString& name, int& index) {
    const SplitName split(name);
    for (const RouteRow& row : table) {
        if (!split.Matches(row, name)) continue;
        index = row.prefix ? split.index : -1;
        return &row;
    }
    index = -1;
    return nullptr;
}

const char* NotBuiltFeature(const QString& name) {
    const SplitName split(name);
    for (const NotBuiltName& entry : kNotBuiltNames) {
        if (split.Matches(entry, name)) return entry.feature;
    }
    return nullptr;
}

}  // namespace routes

}  // namespace vx::app
