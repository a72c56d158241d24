#include "widgets/ButtonUI.h"

#include <QIcon>
#include <QPainter>
#include <QStyleOptionButton>

#include "widgets/ControlUI.h"
#include "widgets/RenderEngine.h"

namespace vx::widgets {

CButtonUI::CButtonUI(QWidget* parent) : QPushButton(parent) {
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

void CButtonUI::SetImage(const char* name, const QString& image) {
    setProperty(name, image);
    update();
}

bool CButtonUI::UsesImages() const {
    static const char* const kNames[] = {"normalimage", "hotimage",      "pushedimage", "disabledimage",
                                         "foreimage",   "selectedimage", "bkimage",     "bkcolor"};
    for (const char* name : kNames) {
        if (!property(name).toString().isEmpty()) return true;
    }
    return false;
}

void CButtonUI::enterEvent(QEnterEvent* event) {
    m_hot = true;
    update();
    QPushButton::enterEvent(event);
}

void CButtonUI::leaveEvent(QEvent* event) {
    m_hot = false;
    update();
    QPushButton::leaveEvent(event);
}

void CButtonUI::paintEvent(QPaintEvent* event) {
    if (!UsesImages()) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintBevel(painter);
    ui::PaintBackground(painter, this);
    PaintStatusImages(painter);
    PaintText(painter);
}

void CButtonUI::PaintBevel(QPainter& painter) {
    // The style sheet's background and border (hover, pressed) stay under the skin's images.
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
}

void CButtonUI::PaintStatusImages(QPainter& painter) {
    QString image;
    if (!isEnabled()) image = Image("disabledimage");
    if (image.isEmpty() && isDown()) image = Image("pushedimage");
    if (image.isEmpty() && isChecked()) image = Image("selectedimage");
    if (image.isEmpty() && m_hot) image = Image("hotimage");
    if (image.isEmpty() && hasFocus()) image = Image("focusedimage");
    if (image.isEmpty()) image = Image("normalimage");
    CRenderEngine::DrawImageString(painter, rect(), image);
    QString fore = m_hot ? Image("hotforeimage") : QString();
    if (fore.isEmpty()) fore = Image("foreimage");
    CRenderEngine::DrawImageString(painter, rect(), fore);
}

void CButtonUI::PaintText(QPainter& painter) {
    if (text().isEmpty()) return;
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text());
}

}  // namespace vx::widgets
