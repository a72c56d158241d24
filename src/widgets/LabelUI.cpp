#include "widgets/LabelUI.h"

#include <QPainter>

#include "widgets/ControlUI.h"

void CLabelUI::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        ui::PaintBackground(painter, this);
    }
    QLabel::paintEvent(event);
}
