#include "app/ControlRouterTables.h"

#include <array>
#include <string>

#include "profiles/StringUtil.h"

namespace routes {

namespace {

using A = RouteAction;
constexpr bool X = false;  // exact name
constexpr bool P = true;   // prefix + index

// clang-format off
constexpr std::array kClickRows = {
    RouteRow{"closebtn",                     X, A::WindowButton},
    RouteRow{"nodevice_ok_btn",              X, A::WindowButton},
    RouteRow{"control_light_status",         X, A::WindowButton},
    RouteRow{"minbtn",                       X, A::WindowButton},
    RouteRow{"maxbtn",                       X, A::WindowButton},
    RouteRow{"restorebtn",                   X, A::WindowButton},
    RouteRow{"skinbtn",                      X, A::WindowButton},
    RouteRow{"setbtn",                       X, A::WindowButton},
    RouteRow{"key_",                         P, A::PageKeyChosen},
    RouteRow{"color_option_",                P, A::LightColourOption},
    RouteRow{"audiocolor_option_",           P, A::LightAudioColourOption},
    RouteRow{"windowdeviceset_",             P, A::SystemSettings},
    RouteRow{"DPI_color_option_",            P, A::PendingColourPicker},
    RouteRow{"default_btn",                  X, A::PageDefaults},
    RouteRow{"reset_repeat_btn",             X, A::KeyboardRepeatReset},
    RouteRow{"device_add_btn",               X, A::ProfileNew},
    RouteRow{"device_sub_btn",               X, A::ProfileDelete},
    RouteRow{"device_copy_btn",              X, A::ProfileCopy},
    RouteRow{"device_import_btn",            X, A::ProfileImport},
    RouteRow{"device_export_btn",            X, A::ProfileExport},
    RouteRow{"device_reset_btn",             X, A::ProfileReset},
    RouteRow{"device_profile_edit_save_btn", X, A::ProfileRename},
    RouteRow{"key_butt_keysave",             X, A::PendingKeyPanel},
    RouteRow{"key_butt_keydefalut",          X, A::PendingKeyPanel},
    RouteRow{"key_butt_keycancel",           X, A::PendingKeyPanel},
    RouteRow{"key_butt_prosave",             X, A::PendingKeyPanel},
    RouteRow{"macro_btn_starredio",          X, A::PendingMacroRecording},
    RouteRow{"macro_btn_stopredio",          X, A::PendingMacroRecording},
    RouteRow{"macro_btn_name_add",           X, A::PendingMacroPanel},
    RouteRow{"macro_btn_name_sub",           X, A::PendingMacroPanel},
    RouteRow{"macro_btn_name_edit",          X, A::PendingMacroPanel},
    RouteRow{"macro_btn_save",               X, A::PendingMacroPanel},
    RouteRow{"macro_btn_cancel",             X, A::PendingMacroPanel},
    RouteRow{"macro_btn_import",             X, A::PendingMacroPanel},
    RouteRow{"macro_btn_export",             X, A::PendingMacroPanel},
    RouteRow{"macro_btn_up",                 X, A::PendingMacroPanel},
    RouteRow{"macro_btn_down",               X, A::PendingMacroPanel},
    RouteRow{"macro_btn_uptop",              X, A::PendingMacroPanel},
    RouteRow{"macro_btn_downbottom",         X, A::PendingMacroPanel},
    RouteRow{"macro_btn_delete",             X, A::PendingMacroPanel},
    RouteRow{"macro_btn_deleteall",          X, A::PendingMacroPanel},
    RouteRow{"macro_inset_moveleftkey_btn",  X, A::PendingMacroPanel},
    RouteRow{"macro_inset_moverightkey_btn", X, A::PendingMacroPanel},
    RouteRow{"macro_inset_moveupkey_btn",    X, A::PendingMacroPanel},
    RouteRow{"macro_inset_movedownkey_btn",  X, A::PendingMacroPanel},
    RouteRow{"shootdate_save_btn",           X, A::PendingShootPanel},
    RouteRow{"shootdate_reset_btn",          X, A::PendingShootPanel},
    RouteRow{"shootdate_import_btn",         X, A::PendingShootPanel},
    RouteRow{"shootdate_export_btn",         X, A::PendingShootPanel},
    RouteRow{"bullet_selected_prev",         X, A::PendingShootPanel},
    RouteRow{"bullet_selected_next",         X, A::PendingShootPanel},
    RouteRow{"custom_bright_color_btn",      X, A::KeyboardCustomColourOn},
    RouteRow{"custom_off_color_btn",         X, A::KeyboardCustomColourOff},
    RouteRow{"deng_same_mode",               X, A::SameMode},
    RouteRow{"hs_EQ_btn_save",               X, A::PendingHeadset},
    RouteRow{"hs_EQ_btn_delete",             X, A::PendingHeadset},
    RouteRow{"profile_fun_spread_btn",       X, A::ProfileMenuToggle},
    RouteRow{"device_select_prev",           X, A::DeviceSelectPrev},
    RouteRow{"device_select_next",           X, A::DeviceSelectNext},
    RouteRow{"Close_bkColor_btn",            X, A::LightBackgroundOff},
    RouteRow{"music_setting_btn",            X, A::AudioStyleWindow},
    RouteRow{"music_setting_text",           X, A::AudioStyleWindow},
};

constexpr std::array kSelectRows = {
    RouteRow{"DPI_enable_check_",            P, A::MouseDpiEnable},
    RouteRow{"DPI_select_check_",            P, A::MouseDpiSelect},
    RouteRow{"polling_rate_option_",         P, A::PagePollingRate},
    RouteRow{"repeat_delay_check_",          P, A::KeyboardRepeatDelay},
    RouteRow{"mouse_device_seting_option_",  P, A::MouseSettingsOption},
    RouteRow{"shoot_gun_op_",                P, A::PendingShootPanel},
    RouteRow{"bullet_op_",                   P, A::PendingShootPanel},
    RouteRow{"magic_option_",                P, A::PendingHeadset},
    RouteRow{"6533_eq_option_",              P, A::PendingHeadset},
    RouteRow{"key_ComBox_check_",            P, A::PendingKeyPanel},
    RouteRow{"pointer_precision_check",      X, A::MousePointerPrecision},
    RouteRow{"scrolls_page_check",           X, A::MouseScrollsPage},
    RouteRow{"winlockflag_option",           X, A::KeyboardWinLock},
    RouteRow{"wflag_option",                 X, A::KeyboardWFlag},
    RouteRow{"6flag_option",                 X, A::KeyboardKey6},
    RouteRow{"device_select",                X, A::DeviceSelectChanged},
    RouteRow{"deng_Op_tab",                  X, A::ProfileTab, 1},
    RouteRow{"key_Op_tab",                   X, A::ProfileTab, 2},
    RouteRow{"macro_Op_tab",                 X, A::ProfileTab, 3},
    RouteRow{"system_Op_tab",                X, A::ProfileTab, 4},
    RouteRow{"cursor_Op_tab",                X, A::ProfileTab, 5},
    RouteRow{"6533_voice_Op_tab",            X, A::ProfileTab, 6},
    RouteRow{"magic_Op_tab",                 X, A::ProfileTab, 7},
    RouteRow{"Virtual7.1_Op_tab",            X, A::ProfileTab, 8},
    RouteRow{"deng_FXL_check",               X, A::LightSelect},
    RouteRow{"deng_FXR_check",               X, A::LightSelect},
    RouteRow{"deng_7color_check",            X, A::LightSelect},
    RouteRow{"deng_7audiocolor_check",       X, A::LightSelect},
    RouteRow{"audio_BkColor_check",          X, A::LightSelect},
    RouteRow{"audio_FgColor_check",          X, A::LightSelect},
    RouteRow{"bullet_x_check",               X, A::PendingShootPanel},
    RouteRow{"bullet_y_check",               X, A::PendingShootPanel},
    RouteRow{"magic_enable_option",          X, A::PendingHeadset},
    RouteRow{"6533_MicIn_option",            X, A::PendingHeadset},
    RouteRow{"6533_MicMoniter_option",       X, A::PendingHeadset},
};

constexpr std::array kValueRows = {
    RouteRow{"DPI_slider_",                  P, A::MouseDpiSlider},
    RouteRow{"6533_eq_hz_slider_",           P, A::PendingHeadset},
    RouteRow{"pointer_speed_slider",         X, A::MousePointerSpeed},
    RouteRow{"scroll_speed_slider",          X, A::MouseScrollSpeed},
    RouteRow{"double_click_slider",          X, A::MouseDoubleClick},
    RouteRow{"repeat_rate_slider",           X, A::KeyboardRepeatRate},
    RouteRow{"deng_light_slider",            X, A::LightSlider},
    RouteRow{"deng_speed_slider",            X, A::LightSlider},
    RouteRow{"6533_MicIn_slider",            X, A::PendingHeadset},
    RouteRow{"6533_MicMoniter_slider",       X, A::PendingHeadset},
    RouteRow{"R_light_slider",               X, A::CompanionLightSlider, 6},
    RouteRow{"G_light_slider",               X, A::CompanionLightSlider, 7},
    RouteRow{"B_light_slider",               X, A::CompanionLightSlider, 8},
};

constexpr std::array kDragRows = {
    RouteRow{"qorin_DPI_slider_",            P, A::QorinDpiDrag},
    RouteRow{"DPI_slider_",                  P, A::MouseDpiSliderDrag},
};

constexpr std::array kKillFocusRows = {
    RouteRow{"qorin_DPI_edit_",              P, A::QorinDpiEdit},
    RouteRow{"DPI_edit_",                    P, A::MouseDpiEdit},
    RouteRow{"deng_edit_R",                  X, A::LightEdit},
    RouteRow{"deng_edit_G",                  X, A::LightEdit},
    RouteRow{"deng_edit_B",                  X, A::LightEdit},
    RouteRow{"deng_audioedit_R",             X, A::LightEdit},
    RouteRow{"deng_audioedit_G",             X, A::LightEdit},
    RouteRow{"deng_audioedit_B",             X, A::LightEdit},
    RouteRow{"keyset_keyboard_text_edit",    X, A::KeyCaptureEnd},
    RouteRow{"bullet_x_eidt",                X, A::PendingShootPanel},
    RouteRow{"bullet_y_eidt",                X, A::PendingShootPanel},
    RouteRow{"bullet_delay_eidt",            X, A::PendingShootPanel},
    RouteRow{"macro_delay",                  X, A::PendingMacroPanel},
    RouteRow{"keyset_mouseswing_num_edit",   X, A::PendingKeyPanel},
    RouteRow{"keyset_mouseswing_delay_edit", X, A::PendingKeyPanel},
    RouteRow{"keyset_mouseswing_speed_edit", X, A::PendingKeyPanel},
    RouteRow{"keyset_mousewheel_num_edit",   X, A::PendingKeyPanel},
    RouteRow{"keyset_mousewheel_delay_edit", X, A::PendingKeyPanel},
    RouteRow{"keyset_mousewheel_speed_edit", X, A::PendingKeyPanel},
    RouteRow{"keyset_mousefire_interval_edit", X, A::PendingKeyPanel},
    RouteRow{"keyset_mousefire_num_edit",    X, A::PendingKeyPanel},
    RouteRow{"keyset_macro_cycle_edit",      X, A::PendingKeyPanel},
};

constexpr std::array kItemRows = {
    RouteRow{"device_profile_combo",         X, A::ProfileChosen},
    RouteRow{"light_combo_modeSelect",       X, A::LightCombo},
    RouteRow{"light_combo_custommodeSelect", X, A::LightCombo},
    RouteRow{"light_combo_ZZCCmodeSelect",   X, A::LightCombo},
    RouteRow{"light_combo_audiomodeSelect",  X, A::LightCombo},
    RouteRow{"keyset_function_combo",        X, A::PendingKeyPanel},
    RouteRow{"keyset_macro_over_combo",      X, A::PendingKeyPanel},
    RouteRow{"macro_name_list",              X, A::PendingMacroPanel},
    RouteRow{"custom_eq_name_combo",         X, A::PendingHeadset},
    RouteRow{"keyset_mousekey_combo",        X, A::PendingKeyPanel},
    RouteRow{"keyset_mouseswing_combo",      X, A::PendingKeyPanel},
    RouteRow{"keyset_mousewheel_combo",      X, A::PendingKeyPanel},
    RouteRow{"keyset_mousedpi_combo",        X, A::PendingKeyPanel},
    RouteRow{"keyset_media_combo",           X, A::PendingKeyPanel},
    RouteRow{"keyset_system_combo",          X, A::PendingKeyPanel},
    RouteRow{"keyset_macro_combo",           X, A::PendingKeyPanel},
    RouteRow{"keyset_gunkey_combo",          X, A::PendingKeyPanel},
    RouteRow{"keyset_combokey_combo",        X, A::PendingKeyPanel},
};

constexpr std::array kColourRows = {
    RouteRow{"deng_Color_Pallet",            X, A::LightPalette},
    RouteRow{"deng_audioColor_Pallet",       X, A::LightPalette},
};
constexpr std::array kMenuRows = {
    RouteRow{"about_menu",                   X, A::AboutWindow},
    RouteRow{"setwnd_menu",                  X, A::PendingSecondaryWindow},
    RouteRow{"redio_previous_record_time",   X, A::PendingMacroRecording},
    RouteRow{"redio_previous_constant_time", X, A::PendingMacroRecording},
    RouteRow{"redio_previous_ignore_time",   X, A::PendingMacroRecording},
    RouteRow{"redio_later_record_time",      X, A::PendingMacroRecording},
    RouteRow{"redio_later_constant_time",    X, A::PendingMacroRecording},
    RouteRow{"redio_later_ignore_time",      X, A::PendingMacroRecording},
    RouteRow{"left_down",                    X, A::PendingMacroPanel},
    RouteRow{"left_up",                      X, A::PendingMacroPanel},
    RouteRow{"middle_down",                  X, A::PendingMacroPanel},
    RouteRow{"middle_up",                    X, A::PendingMacroPanel},
    RouteRow{"right_down",                   X, A::PendingMacroPanel},
    RouteRow{"right_up",                     X, A::PendingMacroPanel},
    RouteRow{"forward_down",                 X, A::PendingMacroPanel},
    RouteRow{"forward_up",                   X, A::PendingMacroPanel},
    RouteRow{"back_down",                    X, A::PendingMacroPanel},
    RouteRow{"back_up",                      X, A::PendingMacroPanel},
    RouteRow{"left_click",                   X, A::PendingMacroPanel},
    RouteRow{"middle_click",                 X, A::PendingMacroPanel},
    RouteRow{"right_click",                  X, A::PendingMacroPanel},
    RouteRow{"forward_click",                X, A::PendingMacroPanel},
    RouteRow{"back_click",                   X, A::PendingMacroPanel},
    RouteRow{"macro_action_edit",            X, A::PendingMacroRecording},
};
// clang-format on

bool IsDecimalTail(std::u16string_view text, size_t from) {
    if (from >= text.size()) return false;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
    }
    return true;
}

bool NameMatches(const RouteRow& row, const QString& name, const QString& splitPrefix, bool split) {
    const QString rowName = QString::fromLatin1(row.name);
    if (row.prefix) return split && splitPrefix.compare(rowName, Qt::CaseInsensitive) == 0;
    return name.compare(rowName, Qt::CaseInsensitive) == 0;
}

}  // namespace

const std::span<const RouteRow> kClick = kClickRows;
const std::span<const RouteRow> kSelect = kSelectRows;
const std::span<const RouteRow> kValue = kValueRows;
const std::span<const RouteRow> kDrag = kDragRows;
const std::span<const RouteRow> kKillFocus = kKillFocusRows;
const std::span<const RouteRow> kItem = kItemRows;
const std::span<const RouteRow> kColour = kColourRows;
const std::span<const RouteRow> kMenu = kMenuRows;

const RouteRow* Find(std::span<const RouteRow> table, const QString& name, int& index) {
    std::u16string prefix;
    int32_t splitIndex = -1;
    const std::u16string_view text(reinterpret_cast<const char16_t*>(name.utf16()),
                                   static_cast<size_t>(name.size()));
    // The split itself reads a missing or non-numeric index as 0; a prefix row wants a real one,
    // so "DPI_slider_" alone reaches no stage.
    const bool split = SplitNameIndex(text, prefix, splitIndex) && IsDecimalTail(text, prefix.size());
    const QString splitPrefix = split ? QString::fromStdU16String(prefix) : QString();
    for (const RouteRow& row : table) {
        if (!NameMatches(row, name, splitPrefix, split)) continue;
        index = row.prefix ? splitIndex : -1;
        return &row;
    }
    index = -1;
    return nullptr;
}

}  // namespace routes
