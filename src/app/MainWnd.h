#pragma once

#include <QPointer>

#include "widgets/TrayIcon.h"
#include "widgets/WindowImplBase.h"

class QMenu;

// The program's one top-level window ("XML_MAIN"): title bar, device areas, tray icon. Device
// pages, the selector, routing and the workers are added to it by their own parts.
class CMainWnd : public WindowImplBase {
    Q_OBJECT
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;
    static constexpr uint WM_TRAY_NOTIFY = 0x0401;
    static constexpr uint WM_MENU_CLICK = 0x0479;
    static constexpr uint kTrayLeftUp = 0x0202;
    static constexpr uint kTrayRightUp = 0x0205;
    static inline const QString kTitle = QStringLiteral("Vexor Umbrel Control Center");

    explicit CMainWnd(QWidget* parent = nullptr);
    ~CMainWnd() override;

    void Notify(TNotifyUI& msg) override;
    QWidget* CreateControl(const QString& className, QWidget* parent) override;

    // Shows, restores and raises the window (the wake-up of a second instance).
    void RestoreAndBringToFront();
    // The tray's left click: hides a shown window, shows a hidden or minimised one.
    void TrayToggle();
    void ShowTrayMenu();
    // The tray menu's choice.
    void OnMenuItem(const QString& itemName);
    CTrayIcon& GetTray() { return m_tray; }

signals:
    // The tray menu's "exit": the message loop ends.
    void ExitRequested();

protected:
    QString GetSkinFile() const override { return QStringLiteral("XML_MAIN"); }
    QString GetWindowClassName() const override { return QStringLiteral("MainWnd"); }
    void InitWindow() override;
    qintptr HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateMaxRestore();

    QWidget* m_closeBtn = nullptr;
    QWidget* m_maxBtn = nullptr;
    QWidget* m_restoreBtn = nullptr;
    QWidget* m_minBtn = nullptr;
    QWidget* m_skinBtn = nullptr;
    QWidget* m_gameModeBtn = nullptr;
    QWidget* m_cloudBtn = nullptr;
    QWidget* m_smartEyesBtn = nullptr;
    QWidget* m_setBtn = nullptr;
    CTrayIcon m_tray;
    QPointer<QMenu> m_trayMenu;
    bool m_exiting = false;
};
