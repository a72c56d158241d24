#pragma once
// The profile panel asks its questions and opens its dialogs through the main window, so that
// they look like every other question of the window (and tests answer them in one place).
//
// UI thread only.

#include <QString>

#include "panels/DeviceProfileUI.h"

namespace vx::app {

class IControlRouterHost;

class CRouterProfilePrompts : public vx::panels::IProfilePanelPrompts {
public:
    static inline const QString kProfileFilterName = QStringLiteral("Profile Files(*.json)");
    static inline const QString kProfileFilterPattern = QStringLiteral("*.json;");

    explicit CRouterProfilePrompts(IControlRouterHost& host) : m_host(host) {}

    QString OpenProfileFile(QWidget* parent, const QString& filter) override;
    QString SaveProfileFile(QWidget* parent, const QString& filter) override;
    int Ask(QWidget* parent, const QString& key) override;
    void Tell(QWidget* parent, const QString& text, bool textIsKey) override;

private:
    IControlRouterHost& m_host;
};

}  // namespace vx::app
