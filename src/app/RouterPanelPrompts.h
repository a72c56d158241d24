#pragma once
// The key and macro panels ask their questions, open their dialogs and their menu through the
// main window, so that they look like every other question of the window and a menu item
// chosen comes back through the routing's menu table.
//
// UI thread only.

#include <QPointer>
#include <QString>
#include <functional>

#include "panels/PanelPrompts.h"

class QMenu;

namespace vx::app {

class IControlRouterHost;

class CRouterPanelPrompts : public vx::panels::IPanelPrompts {
public:
    // `menuCommand` runs the chosen menu item as a window menu command.
    CRouterPanelPrompts(IControlRouterHost& host, std::function<void(const QString&)> menuCommand)
        : m_host(host), m_menuCommand(std::move(menuCommand)) {}
    ~CRouterPanelPrompts() override;

    QString OpenFile(const QString& filterName, const QString& pattern) override;
    QString SaveFile(const QString& filterName, const QString& pattern) override;
    int Ask(const QString& key) override;
    void Tell(const QString& text, bool textIsKey) override;
    void ShowMenu(const QString& layout) override;

private:
    IControlRouterHost& m_host;
    std::function<void(const QString&)> m_menuCommand;
    QPointer<QMenu> m_menu;
};

}  // namespace vx::app
