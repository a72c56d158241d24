#pragma once

#include <QPointer>
#include <QWidget>

namespace vx::widgets {

// Keeps a separate window over the control's rectangle: moved with it and shown only while the
// control is visible.
class CWndUI : public QWidget {
    Q_OBJECT
public:
    explicit CWndUI(QWidget* parent = nullptr) : QWidget(parent) {}

    void Attach(QWidget* window);
    QWidget* GetAttached() const { return m_window; }

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Follow();
    QPointer<QWidget> m_window;
};

}  // namespace vx::widgets
