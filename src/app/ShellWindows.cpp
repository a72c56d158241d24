#include "app/ShellWindows.h"

#include "app/AboutWnd.h"
#include "app/AudioLighting.h"
#include "app/MusicWnd.h"
#include "app/SkinFrame.h"
#include "widgets/ControlUI.h"
#include "widgets/RenderEngine.h"

#include <QColor>
#include <QWidget>

using vx::widgets::CRenderEngine;
using vx::widgets::WindowImplBase;
namespace ui = vx::widgets::ui;

namespace vx::app {

namespace {
// The windows are made with a size of their own layout; the style bits are those the skin's
// windows always had (popup, visible; tool window).
constexpr quint32 kPopupVisible = 0x90000000u;
}  // namespace

CShellWindows::CShellWindows(WindowImplBase& mainWindow, std::function<CAudioLighting*()> audio)
    : m_main(mainWindow), m_audio(std::move(audio)) {
    SkinChangeSubject().AddReceiver(this);
}

CShellWindows::~CShellWindows() { CloseAll(); }

void CShellWindows::OpenAbout() {
    if (m_about) return;
    auto* about = new CAboutWnd;
    about->setAttribute(Qt::WA_DeleteOnClose);
    if (!about->Create(&m_main, QStringLiteral("  "), kPopupVisible, WindowImplBase::kExStyleToolWindow)) {
        delete about;
        return;
    }
    m_about = about;
    about->setWindowModality(Qt::WindowModal);
    about->CenterWindow();
    about->show();
    about->raise();
    about->activateWindow();
}

void CShellWindows::OpenAudioStyles() {
    CAudioLighting* audio = m_audio ? m_audio() : nullptr;
    if (m_music || audio == nullptr) return;
    auto* window = new MusicWnd;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->SetStyles(audio->Styles());
    if (!window->Create(&m_main, QStringLiteral("  "), kPopupVisible, WindowImplBase::kExStyleToolWindow)) {
        delete window;
        return;
    }
    window->SetDPI(m_main.GetDPI(), "SET_WND DPI SET ERROR");
    window->SetFinishedHandler([this](int result, const vx::profiles::AudioStyles& styles) {
        CAudioLighting* lighting = m_audio ? m_audio() : nullptr;
        if (result == 1 && lighting) lighting->ApplyStyles(styles);
    });
    m_music = window;
    window->setWindowModality(Qt::WindowModal);
    window->CenterWindow();
    window->show();
    window->raise();
    window->activateWindow();
}

void CShellWindows::OpenSkin(QWidget* anchor) {
    if (m_skin) m_skin->Close(0);
    m_skin = CSkinFrame::Open(&m_main, anchor);
}

void CShellWindows::CloseAll() {
    if (m_about) m_about->Close(0);
    if (m_music) m_music->Close(0);
    if (m_skin) m_skin->Close(0);
}

int CShellWindows::Receive(SkinChangedParam param) {
    QWidget* root = m_main.GetPaintManager().FindControl("root");
    if (root == nullptr) return 0;
    // The root's background comes from the skin's style sheet; the choice is laid over it as the
    // root's own style, so that the frame and the rest of the skin stay.
    const QString frame = QStringLiteral("border: 1px solid #262A33;");
    if (param.colourFlag) {
        ui::SetBkColor(root, param.backgroundColour);
        root->setStyleSheet(QStringLiteral("QWidget#root { background-color: %1; %2 }")
                                .arg(QColor::fromRgba(param.backgroundColour).name(), frame));
    } else {
        ui::SetBkColor(root, 0);
        ui::SetBkImage(root, QStringLiteral("file='%1'").arg(param.backgroundImage));
        QString path = CRenderEngine::ResolveImagePath(param.backgroundImage);
        if (path.isEmpty()) path = param.backgroundImage;
        root->setStyleSheet(QStringLiteral("QWidget#root { border-image: url(\"%1\") 0 0 0 0 stretch stretch; %2 }")
                                .arg(path, frame));
    }
    return 0;
}

}  // namespace vx::app
