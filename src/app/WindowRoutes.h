#pragma once
// The main window's own routing rows: its title-bar buttons, the device selector, the desktop's
// settings programs, same-mode lighting, the questions asked before a page changes, the profile
// combo's delay, the stand-alone DPI editor and the audio companion's colour sliders. Each
// handler is named by a row of the routing tables (ControlRouterTables.cpp).
//
// UI thread only.

#include <QStringList>

#include "widgets/ControlEvent.h"

namespace vx::panels {
class CShootControlUI;
}

namespace vx::app {

class CLightingSyncPages;
class IControlRouterHost;

class CWindowRoutes {
public:
    static constexpr int kProfileTimerId = 1055;
    static constexpr int kProfileTimerMs = 400;
    static constexpr int kQorinDpiMin = 200;
    static constexpr int kQorinDpiMax = 6500;

    explicit CWindowRoutes(IControlRouterHost& host) : m_host(host) {}

    void SetLightingSync(CLightingSyncPages* sync) { m_sync = sync; }

    // "closebtn", "minbtn", ... "setbtn" (row value: the WindowButton).
    void OnWindowButton(const vx::widgets::ControlEvent& event);
    // "device_select", "device_select_prev", "device_select_next".
    void OnDeviceSelectChanged(const vx::widgets::ControlEvent& event);
    void OnDeviceSelectPrev(const vx::widgets::ControlEvent& event);
    void OnDeviceSelectNext(const vx::widgets::ControlEvent& event);
    // "windowdeviceset_" 0 keyboard, 1 mouse: the desktop's own settings page.
    void OnSystemSettings(const vx::widgets::ControlEvent& event);
    // "deng_same_mode": the current page's effect on every device.
    void OnSameMode(const vx::widgets::ControlEvent& event);
    // "default_btn": asks first; on yes the current page takes its factory profile and sends it.
    void OnRestoreDefaults(const vx::widgets::ControlEvent& event);
    // "DPI_color_option_" + stage on a mouse page: the stage's colour from the colour picker.
    void OnDpiColourOption(const vx::widgets::ControlEvent& event);
    // "deng_colordp_btn" (row value 0) and "deng_audiocolordp_btn" (1): the lighting panel's
    // colour, or its audio-lighting colour, from the colour picker.
    void OnLightColourPicker(const vx::widgets::ControlEvent& event);
    // "shootdate_save_btn": the mouse takes the four gun files; a failure is told.
    void OnShootUpload(const vx::widgets::ControlEvent& event);
    // "shootdate_import_btn", "shootdate_export_btn": a gun file chosen in the window's dialog.
    void OnShootImport(const vx::widgets::ControlEvent& event);
    void OnShootExport(const vx::widgets::ControlEvent& event);
    // "device_profile_combo": the choice takes effect when timer 1055 fires.
    void OnProfileChosen(const vx::widgets::ControlEvent& event);
    // "qorin_DPI_slider_" dragged, "qorin_DPI_edit_" left.
    void OnQorinDpiDrag(const vx::widgets::ControlEvent& event);
    void OnQorinDpiEdit(const vx::widgets::ControlEvent& event);
    // "R_light_slider", "G_light_slider", "B_light_slider" (row value: companion command).
    void OnCompanionSlider(const vx::widgets::ControlEvent& event);
    // "keyset_keyboard_text_edit" left.
    void OnKeyCaptureEnd(const vx::widgets::ControlEvent& event);
    // "hs_EQ_btn_save": the headset page saves its custom equaliser; a name already taken is
    // told to the user.
    void OnHeadsetEqSave(const vx::widgets::ControlEvent& event);
    // The tray menu's "setwnd_menu".
    void OnSettingsMenu(const vx::widgets::ControlEvent& event);
    // The tray menu's "about_menu".
    void OnAboutMenu(const vx::widgets::ControlEvent& event);
    // The lighting panel's "music_setting_btn" and its text.
    void OnAudioStyleButton(const vx::widgets::ControlEvent& event);

    // The desktop's keyboard (0) or mouse (1) settings program with its arguments; empty when
    // none is installed.
    static QStringList SystemSettingsCommand(int index);

private:
    // The current page's recoil panel when the page is a mouse's, else null.
    vx::panels::CShootControlUI* ShootPanel();

    IControlRouterHost& m_host;
    CLightingSyncPages* m_sync = nullptr;
};

}  // namespace vx::app
