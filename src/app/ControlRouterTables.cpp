#include "app/ControlRouterTables.h"

#include <string>

#include "app/ControlRouterHost.h"
#include "app/WindowRoutes.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMouseDevice.h"
#include "devices/TavimondUSBDevice.h"
#include "headset/page/TavimondRU6533Device.h"
#include "panels/DeviceProfileUI.h"
#include "panels/KeySetControlUI.h"
#include "panels/LightControlUI.h"
#include "panels/MacroControlUI.h"
#include "panels/ShootControlUI.h"
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
using Keys = vx::panels::CKeySetControlUI;
using Macro = vx::panels::CMacroControlUI;
using Shoot = vx::panels::CShootControlUI;
using Headset = vx::headset::CTavimondRU6533Device;

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
    Prefix<&Window::OnDpiColourOption>("DPI_color_option_"),
    Exact<&Window::OnRestoreDefaults>("default_btn"),
    Exact<&Keyboard::OnRepeatResetButton>("reset_repeat_btn"),
    Exact<&Profile::OnAddButton>("device_add_btn"),
    Exact<&Profile::OnDeleteButton>("device_sub_btn"),
    Exact<&Profile::OnCopyButton>("device_copy_btn"),
    Exact<&Profile::OnImportButton>("device_import_btn"),
    Exact<&Profile::OnExportButton>("device_export_btn"),
    Exact<&Profile::OnResetButton>("device_reset_btn"),
    Exact<&Profile::OnRenameButton>("device_profile_edit_save_btn"),
    Exact<&Keys::OnAssignmentChanged>("key_butt_keysave"),
    Exact<&Keys::OnDefaultButton>("key_butt_keydefalut"),
    Exact<&Keys::OnCancelButton>("key_butt_keycancel"),
    Exact<&Keys::OnWriteButton>("key_butt_prosave"),
    Exact<&Macro::OnStartButton>("macro_btn_starredio"),
    Exact<&Macro::OnStopButton>("macro_btn_stopredio"),
    Exact<&Macro::OnAddButton>("macro_btn_name_add"),
    Exact<&Macro::OnDeleteButton>("macro_btn_name_sub"),
    Exact<&Macro::OnRenameButton>("macro_btn_name_edit"),
    Exact<&Macro::OnSaveButton>("macro_btn_save"),
    Exact<&Macro::OnCancelButton>("macro_btn_cancel"),
    Exact<&Macro::OnImportButton>("macro_btn_import"),
    Exact<&Macro::OnExportButton>("macro_btn_export"),
    Exact<&Macro::OnRowCommand>("macro_btn_up",         Macro::kRowUp),
    Exact<&Macro::OnRowCommand>("macro_btn_down",       Macro::kRowDown),
    Exact<&Macro::OnRowCommand>("macro_btn_uptop",      Macro::kRowTop),
    Exact<&Macro::OnRowCommand>("macro_btn_downbottom", Macro::kRowBottom),
    Exact<&Macro::OnRowCommand>("macro_btn_delete",     Macro::kRowDelete),
    Exact<&Macro::OnRowCommand>("macro_btn_deleteall",  Macro::kRowDeleteAll),
    Exact<&Macro::OnMoveButton>("macro_inset_moveleftkey_btn",  0),
    Exact<&Macro::OnMoveButton>("macro_inset_moverightkey_btn", 1),
    Exact<&Macro::OnMoveButton>("macro_inset_moveupkey_btn",    2),
    Exact<&Macro::OnMoveButton>("macro_inset_movedownkey_btn",  3),
    Exact<&Keyboard::OnCustomColourButton>("custom_bright_color_btn", 1),
    Exact<&Keyboard::OnCustomColourButton>("custom_off_color_btn", 0),
    Exact<&Window::OnShootUpload>("shootdate_save_btn"),
    Exact<&Shoot::OnResetButton>("shootdate_reset_btn"),
    Exact<&Window::OnShootImport>("shootdate_import_btn"),
    Exact<&Window::OnShootExport>("shootdate_export_btn"),
    Exact<&Shoot::OnPrevButton>("bullet_selected_prev"),
    Exact<&Shoot::OnNextButton>("bullet_selected_next"),
    Exact<&Window::OnSameMode>("deng_same_mode"),
    Exact<&Profile::OnMenuToggleButton>("profile_fun_spread_btn"),
    Exact<&Window::OnDeviceSelectPrev>("device_select_prev"),
    Exact<&Window::OnDeviceSelectNext>("device_select_next"),
    Exact<&Light::OnBackgroundOffButton>("Close_bkColor_btn"),
    Exact<&Window::OnAudioStyleButton>("music_setting_btn"),
    Exact<&Window::OnAudioStyleButton>("music_setting_text"),
    // The colour previews of the lighting panel open the colour picker.
    Exact<&Window::OnLightColourPicker>("deng_colordp_btn", 0),
    Exact<&Window::OnLightColourPicker>("deng_audiocolordp_btn", 1),
    Exact<&Window::OnHeadsetEqSave>("hs_EQ_btn_save"),
    Exact<&Headset::OnCustomEqDelete>("hs_EQ_btn_delete"),
};

const RouteRow kSelectRows[] = {
    Prefix<&Mouse::OnDpiEnableCheck>("DPI_enable_check_"),
    Prefix<&Mouse::OnDpiSelectCheck>("DPI_select_check_"),
    // Keyboards and mice; a mousepad has no polling rate and does nothing.
    Prefix<&Page::OnPollingRateOption>("polling_rate_option_"),
    Prefix<&Keyboard::OnRepeatDelayOption>("repeat_delay_check_"),
    Prefix<&Mouse::OnSettingsOption>("mouse_device_seting_option_"),
    Prefix<&Keys::OnModifierOption>("key_ComBox_check_"),
    Exact<&Mouse::OnPointerPrecisionCheck>("pointer_precision_check"),
    Exact<&Mouse::OnScrollsPageCheck>("scrolls_page_check"),
    Exact<&Keyboard::OnWinLockOption>("winlockflag_option"),
    Exact<&Keyboard::OnWFlagOption>("wflag_option"),
    Exact<&Keyboard::OnKey6Option>("6flag_option"),
    Prefix<&Shoot::OnGunOption>("shoot_gun_op_"),
    Prefix<&Shoot::OnBulletOption>("bullet_op_"),
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
    Exact<&Shoot::OnDirectionCheck>("bullet_x_check", 0),
    Exact<&Shoot::OnDirectionCheck>("bullet_y_check", 1),
    // The mouse page's own tabs (keys, lighting, performance, ...) below its picture.
    Prefix<&Mouse::OnFunctionOption>("mouse_function_option_"),
    Exact<&Headset::OnMicOption>("6533_MicIn_option"),
    Exact<&Headset::OnMonitorOption>("6533_MicMoniter_option"),
    Prefix<&Headset::OnEqPresetOption>("6533_eq_option_"),
    Exact<&Headset::OnVoiceEffectSwitch>("magic_enable_option"),
    Prefix<&Headset::OnVoiceEffectOption>("magic_option_"),
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
    Exact<&Headset::OnMicSlider>("6533_MicIn_slider"),
    Exact<&Headset::OnMonitorSlider>("6533_MicMoniter_slider"),
    Prefix<&Headset::OnEqBandSlider>("6533_eq_hz_slider_"),
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
    Exact<&Macro::OnDelayEdit>("macro_delay"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mouseswing_num_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mouseswing_delay_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mouseswing_speed_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousewheel_num_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousewheel_delay_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousewheel_speed_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousefire_interval_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousefire_num_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_macro_cycle_edit"),
    Exact<&Shoot::OnBulletEdit>("bullet_x_eidt"),
    Exact<&Shoot::OnBulletEdit>("bullet_y_eidt"),
    Exact<&Shoot::OnBulletEdit>("bullet_delay_eidt"),
};

const RouteRow kReturnRows[] = {
    Exact<&Macro::OnDelayEdit>("macro_delay"),
    Prefix<&Mouse::OnDpiEdit>("DPI_edit_"),
    Exact<&Light::OnColourEdit>("deng_edit_R", 0),
    Exact<&Light::OnColourEdit>("deng_edit_G", 1),
    Exact<&Light::OnColourEdit>("deng_edit_B", 2),
    Exact<&Light::OnAudioColourEdit>("deng_audioedit_R", 0),
    Exact<&Light::OnAudioColourEdit>("deng_audioedit_G", 1),
    Exact<&Light::OnAudioColourEdit>("deng_audioedit_B", 2),
    Exact<&Keys::OnAssignmentChanged>("keyset_mouseswing_num_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mouseswing_delay_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mouseswing_speed_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousewheel_num_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousewheel_delay_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousewheel_speed_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousefire_interval_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousefire_num_edit"),
    Exact<&Keys::OnAssignmentChanged>("keyset_macro_cycle_edit"),
    Exact<&Shoot::OnBulletEdit>("bullet_x_eidt"),
    Exact<&Shoot::OnBulletEdit>("bullet_y_eidt"),
    Exact<&Shoot::OnBulletEdit>("bullet_delay_eidt"),
};

const RouteRow kItemRows[] = {
    Exact<&Macro::OnMacroChosen>("macro_name_list"),
    Exact<&Window::OnProfileChosen>("device_profile_combo"),
    Exact<&Light::OnModeCombo>("light_combo_modeSelect"),
    Exact<&Light::OnCustomModeCombo>("light_combo_custommodeSelect"),
    Exact<&Light::OnZZCCModeCombo>("light_combo_ZZCCmodeSelect"),
    Exact<&Light::OnAudioModeCombo>("light_combo_audiomodeSelect"),
    Exact<&Keys::OnFunctionCombo>("keyset_function_combo"),
    Exact<&Keys::OnPlayModeCombo>("keyset_macro_over_combo"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousekey_combo"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mouseswing_combo"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousewheel_combo"),
    Exact<&Keys::OnAssignmentChanged>("keyset_mousedpi_combo"),
    Exact<&Keys::OnAssignmentChanged>("keyset_media_combo"),
    Exact<&Keys::OnAssignmentChanged>("keyset_system_combo"),
    Exact<&Keys::OnAssignmentChanged>("keyset_macro_combo"),
    Exact<&Keys::OnAssignmentChanged>("keyset_gunkey_combo"),
    Exact<&Keys::OnAssignmentChanged>("keyset_combokey_combo"),
    Exact<&Headset::OnCustomEqCombo>("custom_eq_name_combo"),
};

const RouteRow kColourRows[] = {
    Exact<&Light::OnPalette>("deng_Color_Pallet"),
    Exact<&Light::OnAudioPalette>("deng_audioColor_Pallet"),
};

// The tray menu's and the macro-action menu's commands ("exit" is the window's own).
const RouteRow kMenuRows[] = {
    Exact<&Window::OnSettingsMenu>("setwnd_menu"),
    Exact<&Window::OnAboutMenu>("about_menu"),
    // Recording: row value = delay mode * 100 + hook target; mode 0 follows "macro_check_time".
    Exact<&Macro::OnRecordMenu>("redio_previous_record_time",   0 * 100 + 8),
    Exact<&Macro::OnRecordMenu>("redio_previous_constant_time", 2 * 100 + 8),
    Exact<&Macro::OnRecordMenu>("redio_previous_ignore_time",   3 * 100 + 8),
    Exact<&Macro::OnRecordMenu>("redio_later_record_time",      0 * 100 + 16),
    Exact<&Macro::OnRecordMenu>("redio_later_constant_time",    2 * 100 + 16),
    Exact<&Macro::OnRecordMenu>("redio_later_ignore_time",      3 * 100 + 16),
    Exact<&Macro::OnRecordMenu>("macro_action_edit",            3 * 100 + 32),
    // Inserted mouse events: row value = button bit | kind << 8 (0 press, 1 release, 2 click).
    Exact<&Macro::OnInsertMenu>("left_down", 0x01 | (0 << 8)),
    Exact<&Macro::OnInsertMenu>("left_up", 0x01 | (1 << 8)),
    Exact<&Macro::OnInsertMenu>("left_click", 0x01 | (2 << 8)),
    Exact<&Macro::OnInsertMenu>("middle_down", 0x04 | (0 << 8)),
    Exact<&Macro::OnInsertMenu>("middle_up", 0x04 | (1 << 8)),
    Exact<&Macro::OnInsertMenu>("middle_click", 0x04 | (2 << 8)),
    Exact<&Macro::OnInsertMenu>("right_down", 0x02 | (0 << 8)),
    Exact<&Macro::OnInsertMenu>("right_up", 0x02 | (1 << 8)),
    Exact<&Macro::OnInsertMenu>("right_click", 0x02 | (2 << 8)),
    Exact<&Macro::OnInsertMenu>("forward_down", 0x10 | (0 << 8)),
    Exact<&Macro::OnInsertMenu>("forward_up", 0x10 | (1 << 8)),
    Exact<&Macro::OnInsertMenu>("forward_click", 0x10 | (2 << 8)),
    Exact<&Macro::OnInsertMenu>("back_down", 0x08 | (0 << 8)),
    Exact<&Macro::OnInsertMenu>("back_up", 0x08 | (1 << 8)),
    Exact<&Macro::OnInsertMenu>("back_click", 0x08 | (2 << 8)),
};

const RouteRow kMenuRequestRows[] = {
    Exact<&Macro::OnActionMenu>("macro_action"),
    Exact<&Macro::OnActionMenu>("macro_action_list"),
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
const std::span<const RouteRow> kMenuRequest = kMenuRequestRows;

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

}  // namespace routes

}  // namespace vx::app
