#pragma once
// A window for the router that does nothing: no window controls, no answers, no timers, no
// windows opened. Tests derive from it and override only what they watch, so that a new window
// operation needs one line here rather than one in every test's fake.

#include <QSize>
#include <QString>
#include <QStringList>

#include "app/ControlRouterHost.h"

namespace vxtest {

class QuietRouterHost : public vx::app::IControlRouterHost {
public:
    vx::devices::CTavimondUSBDevice* CurrentDevicePage() override { return current; }
    QWidget* FindWindowControl(const QString&) override { return nullptr; }
    void OnWindowInit() override {}
    void OnWindowButton(vx::app::WindowButton) override {}
    void OnDeviceSelectChanged() override {}
    void SelectAdjacentDevice(bool) override {}
    int AskQuestion(const QString&) override { return 0; }
    void ShowNotice(const QString&) override {}
    QString OpenFileDialog(const QString&, const QString&) override { return {}; }
    QString SaveFileDialog(const QString&, const QString&) override { return {}; }
    void SetWindowTimer(int, int) override {}
    void KillWindowTimer(int) override {}
    QSize ScreenSize() override { return {1920, 1080}; }
    bool LaunchDetached(const QString&, const QStringList&) override { return false; }
    void SendCompanionCommand(int, int) override {}
    void EndKeyCapture() override {}
    void OpenSettingsWindow(bool) override {}
    void OpenAudioStyleWindow() override {}
    void OpenAboutWindow() override {}

    // The page in front, as the router asks for it.
    vx::devices::CTavimondUSBDevice* current = nullptr;
};

}  // namespace vxtest
