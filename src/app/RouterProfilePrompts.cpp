#include "app/RouterProfilePrompts.h"

#include "app/ControlRouterHost.h"

namespace vx::app {

QString CRouterProfilePrompts::OpenProfileFile(QWidget*, const QString& filter) {
    return m_host.OpenFileDialog(filter, kProfileFilterPattern);
}

QString CRouterProfilePrompts::SaveProfileFile(QWidget*, const QString& filter) {
    return m_host.SaveFileDialog(filter, kProfileFilterPattern);
}

int CRouterProfilePrompts::Ask(QWidget*, const QString& key) {
    return m_host.AskQuestion(key);
}

void CRouterProfilePrompts::Tell(QWidget*, const QString& text, bool) {
    m_host.ShowNotice(text);
}

}  // namespace vx::app
