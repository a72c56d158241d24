#include "app/SettingsLauncher.h"

#include <QWidget>

#include "app/DevicePageSet.h"
#include "devices/TavimondUSBDevice.h"
#include "profiles/DataFolders.h"
#include "update/window/SetWnd.h"
#include "widgets/ButtonUI.h"

using vx::devices::CTavimondUSBDevice;
using vx::widgets::CButtonUI;
using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;
using vx::widgets::WindowImplBase;
using vx::update::CSetWnd;

namespace vx::app {

using vx::profiles::DefaultDataFolder;

using vx::update::ProductEntry;

CSettingsLauncher::~CSettingsLauncher() {
    Close();
}

void CSettingsLauncher::Open(bool rightAligned, WindowHandle ownerHandle, int dpi, int languageIndex,
                             uint progressMessage, std::vector<ProductEntry> candidates) {
    if (m_window) {
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    auto* window = new CSetWnd();
    if (!window->Create(m_owner, QStringLiteral("SetWnd"), 0, WindowImplBase::kExStyleToolWindow,
                        QRect(0, 0, CSetWnd::kWidth, CSetWnd::kHeight))) {
        delete window;
        return;
    }
    m_window = window;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->SetDpi(dpi);
    window->SetOwnerInfo(ownerHandle, languageIndex);
    window->SetProgressMessage(progressMessage);
    window->SetUpdateCandidates(std::move(candidates));
    if (rightAligned && m_owner) {
        const double scale = window->GetPaintManager().GetDPIScale();
        const QRect owner = m_owner->frameGeometry();
        window->move(owner.right() + 1 - qRound(kRightInset * scale) - window->width(),
                     owner.top() + qRound(kTopInset * scale));
    } else {
        window->CenterWindow();
    }
    // Modal to its owner without a nested event loop: the owner's handlers return at once.
    window->setWindowModality(Qt::WindowModal);
    window->show();
    window->raise();
    window->activateWindow();
}

void CSettingsLauncher::ForwardProgress(uint message, quintptr wParam, qintptr lParam) {
    if (m_window) CWindowMessages::PostMessage(m_window->GetHWND(), message, wParam, lParam);
}

void CSettingsLauncher::LanguageChanged() {
    if (m_window) CWindowMessages::SendMessage(m_window->GetHWND(), CSetWnd::kMsgLanguageChanged, 0, 0);
}

void CSettingsLauncher::Close() {
    if (!m_window) return;
    CSetWnd* window = m_window.data();
    m_window.clear();
    window->ForceClose();
}

std::vector<ProductEntry> CSettingsLauncher::Candidates(const CDevicePageSet* pages,
                                                        const std::string& programVersion) {
    const vx::update::UpdateService service =
        vx::update::ReadUpdateService(DefaultDataFolder() / vx::update::kUpdateServiceFile);
    auto firmware = [pages](const std::string& kind) -> int {
        if (pages == nullptr) return 0;
        for (CTavimondUSBDevice* page : pages->Pages()) {
            if (page->GetKindName() != kind || !page->CommandLink().IsConnected()) continue;
            return page->CommandLink().ActiveLink().Version();
        }
        return 0;
    };
    return vx::update::MakeUpdateCandidates(service.products, firmware, programVersion);
}

void CSettingsLauncher::ClearUpdateMark(QWidget* setButton) {
    if (auto* button = qobject_cast<CButtonUI*>(setButton)) {
        button->SetForeImage(QString());
        button->update();
    }
}

}  // namespace vx::app
