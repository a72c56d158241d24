#pragma once
// The about window: the program's version under the product's name. Opened from the tray menu.

#include "widgets/WindowImplBase.h"

namespace vx::app {

class CAboutWnd : public vx::widgets::WindowImplBase {
    Q_OBJECT
public:
    explicit CAboutWnd(QWidget* parent = nullptr) : WindowImplBase(parent) {}

    // The text of "software_ver_label": the language's "software_rev_text" and the version.
    static QString VersionText();

    void Notify(vx::widgets::TNotifyUI& msg) override;

protected:
    QString GetSkinFile() const override { return QStringLiteral("XML_ABOUT"); }
    QString GetWindowClassName() const override { return QStringLiteral("AboutWnd"); }
    void InitWindow() override;
    qintptr HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateMaxRestore();
    QWidget* m_closeBtn = nullptr;
    QWidget* m_maxBtn = nullptr;
    QWidget* m_restoreBtn = nullptr;
    QWidget* m_minBtn = nullptr;
    QWidget* m_menuBtn = nullptr;
};

}  // namespace vx::app
