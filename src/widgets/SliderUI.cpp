#include "widgets/SliderUI.h"

#include <QSignalBlocker>

namespace vx::widgets {

CSliderUI::CSliderUI(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

void CSliderUI::SetValue(int v) {
    const QSignalBlocker blocker(this);
    m_userStepPending = false;
    setValue(v);
    setSliderPosition(value());
    update();
}

void CSliderUI::SetMinValue(int v) {
    const QSignalBlocker blocker(this);
    setMinimum(v);
}

void CSliderUI::SetMaxValue(int v) {
    const QSignalBlocker blocker(this);
    setMaximum(v);
}

}  // namespace vx::widgets
