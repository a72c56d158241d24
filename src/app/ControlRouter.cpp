#include "app/ControlRouter.h"

#include <QStandardPaths>
#include <QWidget>
#include <algorithm>

#include "app/LightingSyncPages.h"
#include "devices/TavimondUSBDevice.h"
#include "platform/DebugLog.h"
#include "profiles/StringUtil.h"
#include "widgets/ControlUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/SliderUI.h"

namespace {

// The desktop's own settings pages, tried in order: keyboard (index 0), mouse (index 1).
constexpr const char* kSettingsCommands[][2] = {
    {"gnome-control-center keyboard", "gnome-control-center mouse"},
    {"systemsettings kcm_keyboard", "systemsettings kcm_mouse"},
    {"xfce4-keyboard-settings", "xfce4-mouse-settings"},
    {"lxqt-config-input", "lxqt-config-input"},
};

int SliderValue(const QWidget* sender) {
    const auto* slider = qobject_cast<const CSliderUI*>(sender);
    return slider ? slider->GetValue() : 0;
}

QString IndexedName(const char* prefix, int index) {
    return QString::fromLatin1(prefix) + QString::number(index);
}

}  // namespace

const RouteRow* CControlRouter::Resolve(const QString& type, const QString& name, int& index) {
    index = -1;
    std::span<const RouteRow> table;
    if (type == notify::kClick) {
        table = routes::kClick;
    } else if (type == notify::kSelectChanged) {
        table = routes::kSelect;
    } else if (type == notify::kValueChanged) {
        table = routes::kValue;
    } else if (type == notify::kMoveValueChanged) {
        table = routes::kDrag;
    } else if (type == notify::kKillFocus) {
        table = routes::kKillFocus;
    } else if (type == notify::kReturn) {
        // Enter in a lighting colour field takes the value as leaving the field does; other
        // fields keep Enter for themselves (the key capture takes it as a key).
        const RouteRow* row = routes::Find(routes::kKillFocus, name, index);
        return row != nullptr && row->action == RouteAction::LightEdit ? row : nullptr;
    } else if (type == notify::kItemSelect) {
        table = routes::kItem;
    } else if (type == notify::kColorChanged) {
        table = routes::kColour;
    } else {
        return nullptr;
    }
    return routes::Find(table, name, index);
}

bool CControlRouter::Notify(TNotifyUI& msg) {
    const QString name = msg.pSender ? msg.pSender->objectName() : QString();
    if (msg.sType != notify::kTimer && DebugLogEnabled()) {
        DebugLog((msg.sType + QStringLiteral(" ") + name).toStdString());
    }
    if (msg.sType == notify::kWindowInit) {
        m_host.OnWindowInit();
        return true;
    }
    if (msg.sType.startsWith(QStringLiteral("click_wp"))) {
        // Notifications of list rows that the rows act on themselves; the default handling must
        // not see them.
        return msg.sType != QStringLiteral("click_wpremove") && msg.sType != QStringLiteral("click_wpadd") &&
               msg.sType != QStringLiteral("click_wpedit") && msg.sType != QStringLiteral("click_wpselect");
    }
    // "click_select_end": the selection panel marks its buttons itself; nothing here changes a
    // page.
    int index = -1;
    const RouteRow* row = Resolve(msg.sType, name, index);
    if (row != nullptr) Run(*row, index, msg);
    return true;
}

void CControlRouter::OnMenuCommand(const QString& itemName) {
    int index = -1;
    const RouteRow* row = routes::Find(routes::kMenu, itemName, index);
    if (row == nullptr) return;
    TNotifyUI msg{QStringLiteral("menu"), nullptr, 0, 0};
    Run(*row, index, msg);
}

void CControlRouter::Run(const RouteRow& row, int index, TNotifyUI& msg) {
    m_lastAction = row.action;
    switch (row.action) {
        case RouteAction::PendingKeyPanel:
        case RouteAction::PendingMacroPanel:
        case RouteAction::PendingMacroRecording:
        case RouteAction::PendingShootPanel:
        case RouteAction::PendingHeadset:
        case RouteAction::PendingColourPicker:
        case RouteAction::PendingAudioStyleWindow:
        case RouteAction::PendingSecondaryWindow:
            DebugLog(std::string("no panel for ") + row.name + " yet");
            return;
        case RouteAction::WindowButton:
        case RouteAction::DeviceSelectChanged:
        case RouteAction::DeviceSelectPrev:
        case RouteAction::DeviceSelectNext:
        case RouteAction::SystemSettings:
        case RouteAction::SameMode:
        case RouteAction::QorinDpiDrag:
        case RouteAction::QorinDpiEdit:
        case RouteAction::CompanionLightSlider:
        case RouteAction::KeyCaptureEnd:
        case RouteAction::AudioStyleWindow:
        case RouteAction::AboutWindow:
            RunWindowRow(row, index, msg);
            return;
        default:
            break;
    }
    CTavimondUSBDevice* page = m_host.CurrentDevicePage();
    if (page == nullptr) return;
    RunPageRow(row, index, msg, page);
}

void CControlRouter::RunWindowRow(const RouteRow& row, int index, TNotifyUI& msg) {
    switch (row.action) {
        case RouteAction::WindowButton:
            m_host.OnWindowButton(QString::fromLatin1(row.name));
            return;
        case RouteAction::DeviceSelectChanged:
            m_host.OnDeviceSelectChanged();
            return;
        case RouteAction::DeviceSelectPrev:
        case RouteAction::DeviceSelectNext:
            m_host.SelectAdjacentDevice(row.action == RouteAction::DeviceSelectNext);
            return;
        case RouteAction::SystemSettings: {
            const QStringList command = SystemSettingsCommand(index);
            if (!command.isEmpty()) m_host.LaunchDetached(command.front(), command.mid(1));
            return;
        }
        case RouteAction::SameMode:
            if (m_sync != nullptr) {
                m_sync->SetScreenSize(m_host.ScreenSize());
                m_sync->Adopt(m_host.CurrentDevicePage());
            }
            return;
        case RouteAction::QorinDpiDrag:
            QorinDrag(index, msg);
            return;
        case RouteAction::QorinDpiEdit:
            QorinEdit(index, msg);
            return;
        case RouteAction::CompanionLightSlider:
            CompanionSlider(row, msg);
            return;
        case RouteAction::KeyCaptureEnd:
            m_host.EndKeyCapture();
            return;
        case RouteAction::AudioStyleWindow:
            m_host.OpenAudioStyleWindow();
            return;
        case RouteAction::AboutWindow:
            m_host.OpenAboutWindow();
            return;
        default:
            return;
    }
}

void CControlRouter::RunPageRow(const RouteRow& row, int index, TNotifyUI& msg, CTavimondUSBDevice* page) {
    switch (row.action) {
        case RouteAction::PageKeyChosen:
            page->SelectKey(index);
            return;
        case RouteAction::PageDefaults:
            if (m_host.AskQuestion(QStringLiteral("message_text_22")) == 1) page->ResetToProfile();
            return;
        case RouteAction::ProfileNew:
        case RouteAction::ProfileDelete:
        case RouteAction::ProfileCopy:
        case RouteAction::ProfileImport:
        case RouteAction::ProfileExport:
        case RouteAction::ProfileReset:
        case RouteAction::ProfileRename:
        case RouteAction::ProfileMenuToggle:
        case RouteAction::ProfileTab:
            RunProfileRow(row, msg, page);
            return;
        case RouteAction::ProfileChosen:
            m_host.SetWindowTimer(kProfileTimerId, kProfileTimerMs);
            return;
        case RouteAction::LightColourOption:
        case RouteAction::LightAudioColourOption:
        case RouteAction::LightBackgroundOff:
        case RouteAction::LightSelect:
        case RouteAction::LightSlider:
        case RouteAction::LightEdit:
        case RouteAction::LightCombo:
        case RouteAction::LightPalette:
            RunLightRow(row, index, msg, page);
            return;
        default:
            if (!RunKeyboardRow(row, index, msg, page)) RunMouseRow(row, index, msg, page);
            return;
    }
}

void CControlRouter::OnTimer(int id) {
    if (id != kProfileTimerId) return;
    m_host.KillWindowTimer(id);
    m_lastAction = RouteAction::ProfileChosen;
    CTavimondUSBDevice* page = m_host.CurrentDevicePage();
    if (page == nullptr) return;
    RunDelayedProfile(page);
}

void CControlRouter::SendSaveRedraw(CTavimondUSBDevice* page, const Json::Value* before) {
    const QSize screen = m_host.ScreenSize();
    const int written = page->WriteSettings(0, 0, 1, screen.width(), screen.height());
    page->SaveProfile();
    page->RefreshPage();
    if (before != nullptr) page->ConfirmSettingsWrite(written, *before);
}

void CControlRouter::QorinDrag(int index, TNotifyUI& msg) {
    QWidget* edit = m_host.FindWindowControl(IndexedName("qorin_DPI_edit_", index));
    ui::SetText(edit, QString::number(SliderValue(msg.pSender)));
}

void CControlRouter::QorinEdit(int index, TNotifyUI& msg) {
    const int64_t typed = ParseDecimal(ui::GetText(msg.pSender).toStdString());
    const int value = static_cast<int>(std::clamp<int64_t>(typed, kQorinDpiMin, kQorinDpiMax));
    ui::SetText(msg.pSender, QString::number(value));
    if (auto* slider =
            qobject_cast<CSliderUI*>(m_host.FindWindowControl(IndexedName("qorin_DPI_slider_", index)))) {
        slider->SetValue(value);
    }
}

void CControlRouter::CompanionSlider(const RouteRow& row, TNotifyUI& msg) {
    const int value = SliderValue(msg.pSender);
    m_host.SendCompanionCommand(row.value, value);
    static constexpr const char* kLabels[] = {"R_light_label", "G_light_label", "B_light_label"};
    static constexpr const char* kFormats[] = {"R %1", "G %1", "B %1"};
    const int channel = row.value - 6;
    if (channel < 0 || channel > 2) return;
    ui::SetText(m_host.FindWindowControl(QString::fromLatin1(kLabels[channel])),
                QString::fromLatin1(kFormats[channel]).arg(value));
}

QStringList CControlRouter::SystemSettingsCommand(int index) {
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
