#pragma once
// The skin window: a drop-down panel under the main window's skin button with background images
// and colours. Every choice goes at once to the skin-change subject; an image choice is also
// written to "main.ini". The panel closes when it loses the focus and deletes itself.

#include <QPointer>

#include "widgets/WindowImplBase.h"

namespace vx::app {

class CSkinFrame : public vx::widgets::WindowImplBase {
    Q_OBJECT
public:
    // Made on the heap: the window deletes itself when it closes.
    static CSkinFrame* Open(QWidget* mainWindow, QWidget* anchor);

    void Notify(vx::widgets::TNotifyUI& msg) override;

protected:
    QString GetSkinFile() const override { return QStringLiteral("XML_SKIN"); }
    QString GetWindowClassName() const override { return QStringLiteral("UISkinFrame"); }
    void InitWindow() override;
    bool event(QEvent* e) override;

private:
    explicit CSkinFrame(QWidget* mainWindow, QWidget* anchor);
    void PlaceUnderAnchor();
    void WriteSkinRecord(const QString& flags, const QString& image);

    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_anchor;
    bool m_hadFocus = false;
};

}  // namespace vx::app
