// The rows of the routing that end in a device page's panels or in the keyboard's own settings
// operations.
#include <QAbstractButton>
#include <QWidget>

#include "app/ControlRouter.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondUSBDevice.h"
#include "panels/DeviceProfileUI.h"
#include "panels/LightControlUI.h"
#include "profiles/KeyboardProfiledata.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/SliderUI.h"

using vx::profiles::CKeyboardProfiledata;

namespace {

int SliderValue(const QWidget* sender) {
    const auto* slider = qobject_cast<const CSliderUI*>(sender);
    return slider ? slider->GetValue() : 0;
}

bool IsSelected(const QWidget* sender) {
    const auto* button = qobject_cast<const QAbstractButton*>(sender);
    return button && button->isChecked();
}

}  // namespace

// The profile panel asks its questions and opens its dialogs through the main window, so that
// they look like every other question of the window (and tests answer them in one place).
class RouterProfilePrompts : public IProfilePanelPrompts {
public:
    explicit RouterProfilePrompts(IControlRouterHost& host) : m_host(host) {}
    QString OpenProfileFile(QWidget*, const QString& filter) override {
        return m_host.OpenFileDialog(filter, CControlRouter::kProfileFilterPattern);
    }
    QString SaveProfileFile(QWidget*, const QString& filter) override {
        return m_host.SaveFileDialog(filter, CControlRouter::kProfileFilterPattern);
    }
    int Ask(QWidget*, const QString& key) override { return m_host.AskQuestion(key); }
    void Tell(QWidget*, const QString& text, bool) override { m_host.ShowNotice(text); }

private:
    IControlRouterHost& m_host;
};

CControlRouter::CControlRouter(IControlRouterHost& host) : m_host(host) {}

CControlRouter::~CControlRouter() = default;

CLightControlUI* CControlRouter::LightPanelOf(CTavimondUSBDevice* page) {
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CLightControlUI*>();
}

CDeviceProfileUI* CControlRouter::ProfilePanelOf(CTavimondUSBDevice* page) {
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CDeviceProfileUI*>();
}

void CControlRouter::RunProfileRow(const RouteRow&, TNotifyUI& msg, CTavimondUSBDevice* page) {
    CDeviceProfileUI* panel = ProfilePanelOf(page);
    if (panel == nullptr) return;
    if (!m_profilePrompts) m_profilePrompts = std::make_unique<RouterProfilePrompts>(m_host);
    panel->SetPrompts(m_profilePrompts.get());
    panel->HandleNotify(msg);
}

void CControlRouter::RunDelayedProfile(CTavimondUSBDevice* page) {
    if (CDeviceProfileUI* panel = ProfilePanelOf(page)) panel->RunDelayedSelect();
}

void CControlRouter::RunLightRow(const RouteRow& row, int index, TNotifyUI& msg, CTavimondUSBDevice* page) {
    CLightControlUI* panel = LightPanelOf(page);
    if (panel == nullptr) return;
    const QString name = QString::fromLatin1(row.name);
    switch (row.action) {
        case RouteAction::LightColourOption:
        case RouteAction::LightAudioColourOption:
        case RouteAction::LightBackgroundOff:
            panel->OnClick(name, index);
            return;
        case RouteAction::LightSelect:
            panel->OnSelectChanged(name);
            return;
        case RouteAction::LightSlider:
            panel->OnValueChanged(name, SliderValue(msg.pSender));
            return;
        case RouteAction::LightEdit:
            panel->OnKillFocus(name);
            return;
        case RouteAction::LightCombo:
            panel->OnItemSelect(name, static_cast<int>(msg.wParam));
            return;
        case RouteAction::LightPalette:
            panel->OnColorChanged(name, static_cast<QRgb>(msg.wParam));
            return;
        default:
            return;
    }
}

bool CControlRouter::RunKeyboardRow(const RouteRow& row, int index, TNotifyUI& msg,
                                    CTavimondUSBDevice* page) {
    auto* keyboard = dynamic_cast<CTavimondKeyboardDevice*>(page);
    if (keyboard == nullptr) return false;
    // The settings the keyboard holds stand only once it took them; the repeat rate and delay
    // live in the profile alone.
    Json::Value before;
    switch (row.action) {
        case RouteAction::PagePollingRate:
        case RouteAction::KeyboardWinLock:
        case RouteAction::KeyboardWFlag:
        case RouteAction::KeyboardKey6:
            before = page->SettingsSnapshot();
            break;
        default:
            break;
    }
    switch (row.action) {
        case RouteAction::KeyboardCustomColourOn:
        case RouteAction::KeyboardCustomColourOff:
            keyboard->FillCustomColours(row.action == RouteAction::KeyboardCustomColourOn);
            return true;
        case RouteAction::PagePollingRate:
            keyboard->SetPollingRateOption(index);
            SendSaveRedraw(page, &before);
            return true;
        case RouteAction::KeyboardRepeatDelay:
            keyboard->SetRepeatDelayOption(index);
            SendSaveRedraw(page);
            return true;
        case RouteAction::KeyboardRepeatRate:
            keyboard->SetRepeatRate(SliderValue(msg.pSender));
            SendSaveRedraw(page);
            return true;
        case RouteAction::KeyboardWinLock:
            keyboard->SetWinLock(IsSelected(msg.pSender));
            SendSaveRedraw(page, &before);
            return true;
        case RouteAction::KeyboardWFlag:
            keyboard->SetWFlag(IsSelected(msg.pSender));
            SendSaveRedraw(page, &before);
            return true;
        case RouteAction::KeyboardKey6:
            keyboard->SetKey6(IsSelected(msg.pSender));
            SendSaveRedraw(page, &before);
            return true;
        case RouteAction::KeyboardRepeatReset: {
            // The repeat rate and delay of the factory profile (read, never written).
            CKeyboardProfiledata factory;
            const std::filesystem::path path = keyboard->GetProfileData()->GetDefaultPath();
            factory.SetDefaultPath(path);
            if (factory.LoadProfile(path).isNull()) return true;
            const KeyboardSystemStages stages = factory.GetKeyboardSystemStages();
            keyboard->SetRepeatRate(stages.repeat);
            keyboard->SetRepeatDelayOption(stages.repeatDelay);
            SendSaveRedraw(page);
            return true;
        }
        default:
            return true;
    }
}

bool CControlRouter::RunMouseRow(const RouteRow& row, int, TNotifyUI&, CTavimondUSBDevice* page) {
    // The mouse page listens to the window's notifications itself and reads its DPI, report-rate
    // and pointer controls from them; doing it here as well would send every change twice.
    return page->GetKind() == kTypeMouse || page->GetKind() == kTypeMouseReceiver
               ? row.action != RouteAction::None
               : false;
}
