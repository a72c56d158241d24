#pragma once

#include <QPointer>
#include <QString>

#include "devices/RereadScheduler.h"
#include "widgets/ContainerUI.h"
#include "widgets/UIDefs.h"

namespace vx::widgets { class CLabelUI; }
namespace vx::widgets { class COptionUI; }
namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::app {


// One entry of the device selector ("DeviceOption", built from
// "XML\CustomControlXML\DeviceOption.xml"). Besides selecting its device's page it runs the page's
// periodic work, because the entry is the UI-thread object that lives as long as the page (what
// talks to the device -- frames, presence, power -- runs on the page's device worker; the timers
// hand it over and show the results):
//   1000  lighting frame, every 50 ms while the link is connected
//   1001  start-up: confirms a receiver's link, then the connection sequence
//   1002  reread of the device's settings (asked by the page's notification readers; read on
//         the worker, taken into the page by the frame timer)
//   1003, 1004  the page's two timer hooks
//   1005  power reading, every 5000 ms while the page shows its indicator
//   1007  wireless watch, every 3000 ms while the page is on its receiver
class CDeviceOptionUI : public vx::widgets::CHorizontalLayoutUI, public vx::widgets::IControlEvents, public vx::devices::IRereadScheduler {
    Q_OBJECT
public:
    enum Timer {
        kTimerFrame = 1000,
        kTimerStartUp = 1001,
        kTimerReread = 1002,
        kTimerHookA = 1003,
        kTimerHookB = 1004,
        kTimerPower = 1005,
        kTimerWirelessWatch = 1007,
    };
    static constexpr int kFramePeriodMs = 50;
    static constexpr int kStartUpDelayMs = 500;
    static constexpr int kFirstFrameDelayMs = 5;
    static constexpr int kFirstPowerDelayMs = 50;
    static constexpr int kPowerPeriodMs = 5000;
    static constexpr int kWirelessFirstMs = 2000;
    static constexpr int kWirelessPeriodMs = 3000;
    static constexpr int kRetryWrap = 20;
    // How often a timer that waits for the device worker's presence answer looks for it.
    static constexpr int kPresencePollMs = 50;

    explicit CDeviceOptionUI(QWidget* parent = nullptr);
    ~CDeviceOptionUI() override;

    static QString ClassName() { return QStringLiteral("DeviceOption"); }
    // Raises "selectchanged" for the entry.
    void Activate();
    // Records the connected flag with every visibility change.
    void setVisible(bool visible) override;
    bool IsConnected() const { return m_connected; }

    void SetSyncOptionVisible(bool visible);
    void SetSyncMark(bool marked);
    bool IsSyncMarked() const;
    void SetSelected(bool selected);
    bool IsSelected() const;

    void SetIconKind(int kind, int variant);
    int GetIconKind() const { return m_iconKind; }
    int GetIconVariant() const { return m_iconVariant; }
    QString GetNormalImage() const { return m_normalImage; }
    QString GetSelectedImage() const { return m_selectedImage; }

    void BindPageTab(const QString& tabName, int index);
    QString GetPageTabName() const { return m_pageTabName; }
    int GetPageTabIndex() const { return m_pageTabIndex; }
    void SetOptionGroup(const QString& group);
    void SetNameText(const QString& text);
    void SetPowerTab(const QString& tabName, int index);
    QString GetPowerTabName() const { return m_powerTabName; }
    int GetPowerTabIndex() const { return m_powerTabIndex; }

    // Binds the page both ways (the page learns its entry and its reread scheduler).
    void BindDevicePage(vx::devices::CTavimondUSBDevice* page);
    vx::devices::CTavimondUSBDevice* GetDevicePage() const { return m_page; }
    // A control repainted after each frame while the entry is selected (none by default).
    void SetRepaintControl(QWidget* control) { m_repaintControl = control; }

    void StartStartUpTimer();
    // Only while the page's link is connected.
    void StartWirelessWatch(int delayMs);
    void StopTimers();
    int GetRetryCount() const { return m_retry; }

    void DoTimer(int id) override;
    void ScheduleReread(int delayMs) override;

    vx::widgets::COptionUI* SelectOption();
    vx::widgets::COptionUI* SyncOption();

private:
    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    void RefreshImages();
    void SendWirelessState(int linkUp);
    bool LinkConnected() const;
    void OnFrameTimer();
    void OnStartUpTimer();
    void OnPowerTimer();
    void OnWirelessWatch();
    // The worker's answer whether the device behind the receiver is reachable: true with the
    // answer, false while it is awaited (a check is asked for when none is under way, and the
    // timer comes back in kPresencePollMs).
    bool PresenceAnswer(int timer, bool* reachable);

    QPointer<vx::widgets::COptionUI> m_select;
    QPointer<vx::widgets::COptionUI> m_sync;
    QPointer<vx::widgets::CLabelUI> m_name;
    bool m_looked = false;
    vx::devices::CTavimondUSBDevice* m_page = nullptr;
    QPointer<QWidget> m_repaintControl;
    QString m_syncSelectedImage = QStringLiteral("common/device_ico/unknow_device_synchro_selected.svg");
    QString m_syncNormalImage = QStringLiteral("common/device_ico/unknow_device_synchro_normal.svg");
    QString m_selectedImage = QStringLiteral("common/device_ico/unknow_device_selected.svg");
    QString m_normalImage = QStringLiteral("common/device_ico/unknow_device_normal.svg");
    int m_iconKind = 0;
    int m_iconVariant = 0;
    QString m_pageTabName;
    int m_pageTabIndex = -1;
    QString m_powerTabName;
    int m_powerTabIndex = -1;
    bool m_connected = true;
    int m_retry = 0;
};

}  // namespace vx::app
