#include "widgets/WndUI.h"

namespace vx::widgets {

void CWndUI::Attach(QWidget* window) {
    m_window = window;
    Follow();
}

void CWndUI::Follow() {
    if (!m_window) return;
    const QRect own(QPoint(0, 0), size());
    if (m_window->parentWidget() == this->window()) {
        // A child of our own window lives in its client coordinates.
        m_window->setGeometry(QRect(mapTo(this->window(), own.topLeft()), own.size()));
    } else if (m_window->isWindow()) {
        m_window->setGeometry(QRect(mapToGlobal(own.topLeft()), own.size()));
    } else {
        m_window->setGeometry(QRect(mapTo(m_window->parentWidget(), own.topLeft()), own.size()));
    }
    // Shown without taking the activation from the window the user works in.
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->setVisible(isVisible());
}

void CWndUI::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    Follow();
}

void CWndUI::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Follow();
}

void CWndUI::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Follow();
}

void CWndUI::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_window) m_window->hide();
}

}  // namespace vx::widgets
