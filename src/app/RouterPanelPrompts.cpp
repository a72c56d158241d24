#include "app/RouterPanelPrompts.h"

#include <QCursor>
#include <QMenu>
#include <QTimer>

#include "app/ControlRouterHost.h"
#include "widgets/MenuWnd.h"
#include "widgets/MsgWnd.h"

namespace vx::app {

using vx::widgets::CMenuWnd;
using vx::widgets::ShowMessageBox;

void IControlRouterHost::ShowNoticeText(const QString& text) {
    ShowMessageBox(nullptr, QString(), text, 96, false, 0);
}

CRouterPanelPrompts::~CRouterPanelPrompts() {
    delete m_menu.data();
}

QString CRouterPanelPrompts::OpenFile(const QString& filterName, const QString& pattern) {
    return m_host.OpenFileDialog(filterName, pattern);
}

QString CRouterPanelPrompts::SaveFile(const QString& filterName, const QString& pattern) {
    return m_host.SaveFileDialog(filterName, pattern);
}

int CRouterPanelPrompts::Ask(const QString& key) {
    return m_host.AskQuestion(key);
}

void CRouterPanelPrompts::Tell(const QString& text, bool textIsKey) {
    if (textIsKey) {
        m_host.ShowNotice(text);
        return;
    }
    // A text made up here (a count put into a translated text) is no language key.
    m_host.ShowNoticeText(text);
}

void CRouterPanelPrompts::ShowMenu(const QString& layout) {
    delete m_menu.data();
    auto command = m_menuCommand;
    m_menu = CMenuWnd::Show(layout, QCursor::pos(), CMenuWnd::kAlignLeft | CMenuWnd::kAlignTop,
                            [command](const QString& item) {
                                // After the menu has finished handling the click: a command may
                                // open a dialog, and the menu still writes to itself once its
                                // signal returns.
                                QTimer::singleShot(0, [command, item] {
                                    if (command) command(item);
                                });
                            });
}

}  // namespace vx::app
