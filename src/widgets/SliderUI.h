#pragma once

#include <QSlider>

namespace vx::widgets {

// A slider. While the user drags it raises "movevaluechanged"; when the user lets go, or moves it
// by a click on the groove, the wheel or the keyboard, it raises "valuechanged". SetValue and
// SetRange raise nothing.
class CSliderUI : public QSlider {
    Q_OBJECT
public:
    explicit CSliderUI(QWidget* parent = nullptr);

    void SetValue(int value);
    int GetValue() const { return value(); }
    void SetMinValue(int value);
    void SetMaxValue(int value);
    int GetMinValue() const { return minimum(); }
    int GetMaxValue() const { return maximum(); }

    // Set by the notification adapter between a user step and the value change it causes.
    bool m_userStepPending = false;
};

}  // namespace vx::widgets
