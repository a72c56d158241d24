#include "app/MainWnd.h"

#include <QCloseEvent>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QPixmap>

#include "app/ControlRegistry.h"
#include "app/RegisteredMessages.h"
#include "widgets/MenuWnd.h"
#include "widgets/RenderEngine.h"
#include "widgets/ResourceManager.h"

CMainWnd::CMainWnd(QWidget* parent) : WindowImplBase(parent) {}

CMainWnd::~CMainWnd() {
    delete m_trayMenu.data();
}

void CMainWnd::InitWindow() {
    CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_cn.xml"));
    CResourceManager::GetInstance().ReloadText();
    m_closeBtn = m_pm.FindControl("closebtn");
    m_maxBtn = m_pm.FindControl("maxbtn");
    m_restoreBtn = m_pm.FindControl("restorebtn");
    m_minBtn = m_pm.FindControl("minbtn");
    m_skinBtn = m_pm.FindControl("skinbtn");
    m_gameModeBtn = m_pm.FindControl("gamemodebtn");
    m_cloudBtn = m_pm.FindControl("cloudbtn");
    m_smartEyesBtn = m_pm.FindControl("smarteyesbtn");
    m_setBtn = m_pm.FindControl("setbtn");
    UpdateMaxRestore();

    setWindowIcon(QIcon(QPixmap::fromImage(CRenderEngine::LoadImage("common/app_icon.svg", QSize(64, 64)))));
    const WindowHandle self = GetHWND();
    m_tray.onLeftClick = [self] { CWindowMessages::PostMessage(self, WM_TRAY_NOTIFY, 0, kTrayLeftUp); };
    m_tray.onRightClick = [self] { CWindowMessages::PostMessage(self, WM_TRAY_NOTIFY, 0, kTrayRightUp); };
    m_tray.Create(QStringLiteral("common/app_icon.svg"), kTitle);
}

QWidget* CMainWnd::CreateControl(const QString& className, QWidget* parent) {
    return CControlRegistry::CreateElement(className, parent, this);
}

void CMainWnd::Notify(TNotifyUI& msg) {
    if (msg.sType != notify::kClick || !msg.pSender) return;
    QWidget* sender = msg.pSender;
    if (sender == m_closeBtn || sender->objectName().compare("nodevice_ok_btn", Qt::CaseInsensitive) == 0) {
        // The program lives on in the notification area; only the tray menu's "exit" ends it.
        hide();
    } else if (sender == m_minBtn) {
        showMinimized();
    } else if (sender == m_maxBtn) {
        showMaximized();
    } else if (sender == m_restoreBtn) {
        showNormal();
    }
}

void CMainWnd::RestoreAndBringToFront() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void CMainWnd::TrayToggle() {
    const bool shown = isVisible() && !isMinimized();
    if (shown) {
        hide();
    } else {
        RestoreAndBringToFront();
    }
}

void CMainWnd::ShowTrayMenu() {
    delete m_trayMenu.data();
    m_trayMenu = CMenuWnd::Show(QStringLiteral("menu.xml"), QCursor::pos(),
                                CMenuWnd::kAlignRight | CMenuWnd::kAlignBottom,
                                [this](const QString& item) { OnMenuItem(item); });
}

void CMainWnd::OnMenuItem(const QString& itemName) {
    if (itemName.compare("exit", Qt::CaseInsensitive) == 0) {
        m_exiting = true;
        m_tray.Remove();
        close();
        emit ExitRequested();
    }
}

qintptr CMainWnd::HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) {
    if (message == UWM_ACTIVATE_MSG && UWM_ACTIVATE_MSG != 0) {
        qDebug("软件标示 %u，%llx%llx", message, static_cast<unsigned long long>(wParam),
               static_cast<unsigned long long>(lParam));
        RestoreAndBringToFront();
        handled = true;
        return 0;
    }
    if (message == WM_TRAY_NOTIFY) {
        handled = true;
        if (static_cast<uint>(lParam) == kTrayLeftUp) TrayToggle();
        if (static_cast<uint>(lParam) == kTrayRightUp) ShowTrayMenu();
        return 0;
    }
    return WindowImplBase::HandleMessage(message, wParam, lParam, handled);
}

void CMainWnd::closeEvent(QCloseEvent* event) {
    if (!m_exiting) {
        // Closing by the window manager hides, as the close button does.
        event->ignore();
        hide();
        return;
    }
    WindowImplBase::closeEvent(event);
}

void CMainWnd::changeEvent(QEvent* event) {
    WindowImplBase::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) UpdateMaxRestore();
}

void CMainWnd::UpdateMaxRestore() {
    const bool maximized = isMaximized();
    if (m_maxBtn) m_maxBtn->setVisible(!maximized);
    if (m_restoreBtn) m_restoreBtn->setVisible(maximized);
}
