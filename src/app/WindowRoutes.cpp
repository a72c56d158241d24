#include "app/WindowRoutes.h"

#include <QStandardPaths>
#include <QWidget>
#include <algorithm>

#include "app/ControlRouterHost.h"
#include "app/LightingSyncPages.h"
#include "app/PagePanels.h"
#include "devices/TavimondMouseDevice.h"
#include "panels/LightControlUI.h"
#include "panels/ShootControlUI.h"
#include "devices/TavimondUSBDevice.h"
#include "headset/page/TavimondRU6533Device.h"
#include "profiles/StringUtil.h"
#include "widgets/ControlUI.h"
#include "widgets/SliderUI.h"

using vx::panels::CLightControlUI;

using vx::devices::CTavimondUSBDevice;
using vx::devices::CTavimondMouseDevice;
using vx::widgets::CSliderUI;
using vx::widgets::ControlEvent;
namespace ui = vx::widgets::ui;

namespace vx::app {

using vx::profiles::ParseDecimal;

namespace {

// The desktop's own settings pages, tried in order: keyboard (index 0), mouse (index 1).
constexpr const char* kSettingsCommands[][2] = {
    {"gnome-control-center keyboard", "gnome-control-center mouse"},
    {"systemsettings kcm_keyboard", "systemsettings kcm_mouse"},
    {"xfce4-keyboard-settings", "xfce4-mouse-settings"},
    {"lxqt-config-input", "lxqt-config-input"},
};

QString IndexedName(const char* prefix, int index) {
    return QString::fromLatin1(prefix) + QString::number(index);
}

}  // namespace

void CWindowRoutes::OnWindowButton(const ControlEvent& event) {
    m_host.OnWindowButton(static_cast<WindowButton>(event.rowValue));
}

void CWindowRoutes::OnDeviceSelectChanged(const ControlEvent&) {
    m_host.OnDeviceSelectChanged();
}

void CWindowRoutes::OnDeviceSelectPrev(const ControlEvent&) {
    m_host.SelectAdjacentDevice(false);
}

void CWindowRoutes::OnDeviceSelectNext(const ControlEvent&) {
    m_host.SelectAdjacentDevice(true);
}

void CWindowRoutes::OnSystemSettings(const ControlEvent& event) {
    const QStringList command = SystemSettingsCommand(event.index);
    if (!command.isEmpty()) m_host.LaunchDetached(command.front(), command.mid(1));
}

void CWindowRoutes::OnSameMode(const ControlEvent&) {
    if (m_sync == nullptr) return;
    m_sync->SetScreenSize(m_host.ScreenSize());
    m_sync->Adopt(m_host.CurrentDevicePage());
}

void CWindowRoutes::OnRestoreDefaults(const ControlEvent&) {
    CTavimondUSBDevice* page = m_host.CurrentDevicePage();
    if (page == nullptr) return;
    if (m_host.AskQuestion(QStringLiteral("message_text_22")) != 1) return;
    // The question ran a modal loop in which the device may have gone.
    page = m_host.CurrentDevicePage();
    if (page == nullptr) return;
    page->ResetToProfile();
    // The page now shows its factory settings; the device is given them too, or it would keep
    // running what the page no longer shows.
    const QSize screen = m_host.ScreenSize();
    page->WriteSettings(0, 0, 1, screen.width(), screen.height());
    page->ApplyKeyAssignments();
}

void CWindowRoutes::OnDpiColourOption(const ControlEvent& event) {
    auto* mouse = dynamic_cast<CTavimondMouseDevice*>(m_host.CurrentDevicePage());
    if (mouse == nullptr || event.index < 0 || event.index >= CTavimondMouseDevice::kDpiStages) return;
    const std::vector<DpiStage>& stages = mouse->DpiStages();
    QRgb colour = 0xFF000000;
    if (size_t(event.index) < stages.size()) {
        const DpiStage& stage = stages[size_t(event.index)];
        colour = qRgb(stage.red, stage.green, stage.blue);
    }
    if (m_host.PickColour(colour) != 1) return;
    // The page is asked again: the picker ran a modal loop in which the device may have gone.
    mouse = dynamic_cast<CTavimondMouseDevice*>(m_host.CurrentDevicePage());
    if (mouse == nullptr) return;
    mouse->SetDpiStageColour(event.index, uint8_t(qRed(colour)), uint8_t(qGreen(colour)), uint8_t(qBlue(colour)));
}

void CWindowRoutes::OnLightColourPicker(const ControlEvent& event) {
    CLightControlUI* panel = CPagePanels::LightPanelOf(m_host.CurrentDevicePage());
    if (panel == nullptr) return;
    const bool audio = event.rowValue != 0;
    QRgb colour = audio ? panel->AudioColourBeingEdited() : panel->EffectColour();
    if (m_host.PickColour(colour) != 1) return;
    panel = CPagePanels::LightPanelOf(m_host.CurrentDevicePage());
    if (panel == nullptr) return;
    if (audio) {
        panel->TakePickedAudioColour(colour);
    } else {
        panel->TakePickedColour(colour);
    }
}

namespace {

const QString kShootFilter = QStringLiteral("Shoot Files(*.shoot)");
const QString kShootPattern = QStringLiteral("*.shoot;");

}  // namespace

vx::panels::CShootControlUI* CWindowRoutes::ShootPanel() {
    CTavimondUSBDevice* page = m_host.CurrentDevicePage();
    if (dynamic_cast<CTavimondMouseDevice*>(page) == nullptr) return nullptr;
    return CPagePanels::ShootPanelOf(page);
}

void CWindowRoutes::OnShootUpload(const ControlEvent&) {
    vx::panels::CShootControlUI* panel = ShootPanel();
    if (panel == nullptr) return;
    const int result = panel->Upload();
    if (result == 1) return;
    m_host.ShowNotice(result == CTavimondMouseDevice::kShootTooLarge ? QStringLiteral("shoot_upload_too_large")
                                                                     : QStringLiteral("shoot_upload_failed"));
}

void CWindowRoutes::OnShootImport(const ControlEvent&) {
    if (ShootPanel() == nullptr) return;
    const QString path = m_host.OpenFileDialog(kShootFilter, kShootPattern);
    // The dialog ran a modal loop: the page is asked for again.
    vx::panels::CShootControlUI* panel = ShootPanel();
    if (path.isEmpty() || panel == nullptr) return;
    if (!panel->ImportShootFile(path.toStdString())) m_host.ShowNotice(QStringLiteral("shoot_import_refused"));
}

void CWindowRoutes::OnShootExport(const ControlEvent&) {
    if (ShootPanel() == nullptr) return;
    const QString path = m_host.SaveFileDialog(kShootFilter, kShootPattern);
    vx::panels::CShootControlUI* panel = ShootPanel();
    if (path.isEmpty() || panel == nullptr) return;
    if (!panel->ExportShootFile(path.toStdString())) m_host.ShowNotice(QStringLiteral("shoot_export_failed"));
}

void CWindowRoutes::OnProfileChosen(const ControlEvent&) {
    if (m_host.CurrentDevicePage() == nullptr) return;
    m_host.SetWindowTimer(kProfileTimerId, kProfileTimerMs);
}

void CWindowRoutes::OnQorinDpiDrag(const ControlEvent& event) {
    QWidget* edit = m_host.FindWindowControl(IndexedName("qorin_DPI_edit_", event.index));
    ui::SetText(edit, QString::number(event.param));
}

void CWindowRoutes::OnQorinDpiEdit(const ControlEvent& event) {
    const int64_t typed = ParseDecimal(ui::GetText(event.control).toStdString());
    const int value = static_cast<int>(std::clamp<int64_t>(typed, kQorinDpiMin, kQorinDpiMax));
    ui::SetText(event.control, QString::number(value));
    if (auto* slider = qobject_cast<CSliderUI*>(
            m_host.FindWindowControl(IndexedName("qorin_DPI_slider_", event.index)))) {
        slider->SetValue(value);
    }
}

void CWindowRoutes::OnCompanionSlider(const ControlEvent& event) {
    const int value = static_cast<int>(event.param);
    m_host.SendCompanionCommand(event.rowValue, value);
    static constexpr const char* kLabels[] = {"R_light_label", "G_light_label", "B_light_label"};
    static constexpr const char* kFormats[] = {"R %1", "G %1", "B %1"};
    const int channel = event.rowValue - 6;
    if (channel < 0 || channel > 2) return;
    ui::SetText(m_host.FindWindowControl(QString::fromLatin1(kLabels[channel])),
                QString::fromLatin1(kFormats[channel]).arg(value));
}

void CWindowRoutes::OnKeyCaptureEnd(const ControlEvent&) {
    m_host.EndKeyCapture();
}

void CWindowRoutes::OnHeadsetEqSave(const ControlEvent&) {
    auto* headset = dynamic_cast<vx::headset::CTavimondRU6533Device*>(m_host.CurrentDevicePage());
    if (headset == nullptr) return;
    if (headset->SaveCustomEq() == vx::headset::kCustomEqNameTaken) m_host.ShowNotice(QStringLiteral("message_text_5"));
}

void CWindowRoutes::OnSettingsMenu(const ControlEvent&) {
    m_host.OpenSettingsWindow(true);
}

void CWindowRoutes::OnAboutMenu(const ControlEvent&) {
    m_host.OpenAboutWindow();
}

void CWindowRoutes::OnAudioStyleButton(const ControlEvent&) {
    m_host.OpenAudioStyleWindow();
}

QStringList CWindowRoutes::SystemSettingsCommand(int index) {
    if (index != 0 && index != 1) return {};
    for (const auto& candidate : kSettingsCommands) {
        QStringList command = QString::fromLatin1(candidate[index]).split(QLatin1Char(' '));
        const QString path = QStandardPaths::findExecutable(command.front());
        if (path.isEmpty()) continue;
        command.front() = path;
        return command;
    }
    return {};
}

}  // namespace vx::app
