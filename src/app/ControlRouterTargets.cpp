// The rows of the routing that end in a device page's panels or in the keyboard's and mouse's
// own settings operations.
#include <QAbstractButton>
#include <QWidget>

#include "app/ControlRouter.h"
#include "devices/TavimondUSBDevice.h"
#include "platform/DebugLog.h"
#include "widgets/SliderUI.h"

#if __has_include("panels/LightControlUI.h")
#include "panels/LightControlUI.h"
#define VX_ROUTE_LIGHT_PANEL 1
#endif
#if __has_include("panels/DeviceProfileUI.h")
#include "panels/DeviceProfileUI.h"
#define VX_ROUTE_PROFILE_PANEL 1
#endif
#if __has_include("devices/TavimondKeyboardDevice.h")
#include "devices/TavimondKeyboardDevice.h"
#define VX_ROUTE_KEYBOARD 1
#endif
#if __has_include("devices/TavimondMouseDevice.h")
#include "devices/TavimondMouseDevice.h"
#define VX_ROUTE_MOUSE 1
#endif

namespace {

[[maybe_unused]] int SliderValue(const QWidget* sender) {
    const auto* slider = qobject_cast<const CSliderUI*>(sender);
    return slider ? slider->GetValue() : 0;
}

[[maybe_unused]] bool IsSelected(const QWidget* sender) {
    const auto* button = qobject_cast<const QAbstractButton*>(sender);
    return button && button->isChecked();
}

}  // namespace

#ifdef VX_ROUTE_PROFILE_PANEL
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
#else
class RouterProfilePrompts {};
#endif

CControlRouter::CControlRouter(IControlRouterHost& host) : m_host(host) {}

CControlRouter::~CControlRouter() = default;

CLightControlUI* CControlRouter::LightPanelOf(CTavimondUSBDevice* page) {
#ifdef VX_ROUTE_LIGHT_PANEL
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CLightControlUI*>();
#else
    (void)page;
    return nullptr;
#endif
}

CDeviceProfileUI* CControlRouter::ProfilePanelOf(CTavimondUSBDevice* page) {
#ifdef VX_ROUTE_PROFILE_PANEL
    if (page == nullptr || page->GetPage() == nullptr) return nullptr;
    return page->GetPage()->findChild<CDeviceProfileUI*>();
#else
    (void)page;
    return nullptr;
#endif
}

void CControlRouter::RunProfileRow(const RouteRow& row, TNotifyUI& msg, CTavimondUSBDevice* page) {
#ifdef VX_ROUTE_PROFILE_PANEL
    CDeviceProfileUI* panel = ProfilePanelOf(page);
    if (panel == nullptr) return;
    if (!m_profilePrompts) m_profilePrompts = std::make_unique<RouterProfilePrompts>(m_host);
    panel->SetPrompts(m_profilePrompts.get());
    panel->HandleNotify(msg);
#else
    (void)row, (void)msg, (void)page;
#endif
}

void CControlRouter::RunDelayedProfile(CTavimondUSBDevice* page) {
#ifdef VX_ROUTE_PROFILE_PANEL
    if (CDeviceProfileUI* panel = ProfilePanelOf(page)) panel->RunDelayedSelect();
#else
    (void)page;
#endif
}

void CControlRouter::RunLightRow(const RouteRow& row, int index, TNotifyUI& msg, CTavimondUSBDevice* page) {
#ifdef VX_ROUTE_LIGHT_PANEL
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
#else
    (void)row, (void)index, (void)msg, (void)page;
#endif
}

bool CControlRouter::RunKeyboardRow(const RouteRow& row, int index, TNotifyUI& msg, CTavimondUSBDevice* page) {
#ifdef VX_ROUTE_KEYBOARD
    auto* keyboard = dynamic_cast<CTavimondKeyboardDevice*>(page);
    if (keyboard == nullptr) return false;
    switch (row.action) {
    case RouteAction::KeyboardCustomColourOn:
    case RouteAction::KeyboardCustomColourOff:
        keyboard->FillCustomColours(row.action == RouteAction::KeyboardCustomColourOn);
        return true;
    case RouteAction::PagePollingRate:
        keyboard->SetPollingRateOption(index);
        SendSaveRedraw(page);
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
        SendSaveRedraw(page);
        return true;
    case RouteAction::KeyboardWFlag:
        keyboard->SetWFlag(IsSelected(msg.pSender));
        SendSaveRedraw(page);
        return true;
    case RouteAction::KeyboardKey6:
        keyboard->SetKey6(IsSelected(msg.pSender));
        SendSaveRedraw(page);
        return true;
    case RouteAction::KeyboardRepeatReset:
        keyboard->ResetRepeatSettings();
        SendSaveRedraw(page);
        return true;
    default:
        return true;
    }
#else
    (void)row, (void)index, (void)msg, (void)page;
    return false;
#endif
}

bool CControlRouter::RunMouseRow(const RouteRow& row, int index, TNotifyUI& msg, CTavimondUSBDevice* page) {
#ifdef VX_ROUTE_MOUSE
    auto* mouse = dynamic_cast<CTavimondMouseDevice*>(page);
    if (mouse == nullptr) return false;
    switch (row.action) {
    case RouteAction::PagePollingRate:
        mouse->SetPollingRate(index);
        return true;
    case RouteAction::MouseDpiEnable:
        mouse->EnableDpiStage(index, IsSelected(msg.pSender));
        return true;
    case RouteAction::MouseDpiSelect:
        mouse->SelectDpiStage(index);
        return true;
    case RouteAction::MouseDpiSlider:
        mouse->CommitDpiSlider(index);
        return true;
    case RouteAction::MouseDpiSliderDrag:
        mouse->ShowDpiStage(index, SliderValue(msg.pSender));
        return true;
    case RouteAction::MouseDpiEdit:
        mouse->CommitDpiEdit(index);
        return true;
    case RouteAction::MouseSettingsOption:
        mouse->SelectSettingsOption(index);
        return true;
    case RouteAction::MousePointerPrecision:
        mouse->SetPointerPrecision(IsSelected(msg.pSender));
        return true;
    case RouteAction::MouseScrollsPage:
        mouse->SetScrollsPage(IsSelected(msg.pSender));
        return true;
    case RouteAction::MousePointerSpeed:
        mouse->SetPointerSpeed(SliderValue(msg.pSender));
        return true;
    case RouteAction::MouseScrollSpeed:
        mouse->SetScrollLines(SliderValue(msg.pSender));
        return true;
    case RouteAction::MouseDoubleClick:
        mouse->SetDoubleClickTime(SliderValue(msg.pSender));
        return true;
    default:
        return true;
    }
#else
    (void)row, (void)index, (void)msg, (void)page;
    return false;
#endif
}
