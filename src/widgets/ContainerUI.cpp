#include "widgets/ContainerUI.h"

#include <QBoxLayout>
#include <QPainter>
#include <QStyleOption>

#include "widgets/ControlUI.h"

namespace vx::widgets {

CContainerUI::CContainerUI(QWidget* parent) : QWidget(parent) {}

void CContainerUI::Add(QWidget* control) {
    if (!control) return;
    auto* box = qobject_cast<QBoxLayout*>(layout());
    if (!layout()) {
        box = MakeLayout();
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
        setLayout(box);
    }
    if (box) {
        box->addWidget(control);
    } else {
        control->setParent(this);
        layout()->addWidget(control);
    }
    control->show();
}

QBoxLayout* CContainerUI::MakeLayout() {
    return new QVBoxLayout;
}

QBoxLayout* CHorizontalLayoutUI::MakeLayout() {
    return new QHBoxLayout;
}

void CContainerUI::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Style-sheet backgrounds of plain widgets are drawn only when the widget asks for them.
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    ui::PaintBackground(painter, this);
}

}  // namespace vx::widgets
