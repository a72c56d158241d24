#pragma once

#include <QProgressBar>

namespace vx::widgets {

// A progress bar; "bkcolor" and "forecolor" (dynamic properties) give its colours.
class CProgressUI : public QProgressBar {
    Q_OBJECT
public:
    explicit CProgressUI(QWidget* parent = nullptr);

    void SetValue(int v) { setValue(qBound(minimum(), v, maximum())); }
    int GetValue() const { return value(); }
    void SetMinValue(int v) { setMinimum(v); }
    void SetMaxValue(int v) { setMaximum(v); }
    int GetMinValue() const { return minimum(); }
    int GetMaxValue() const { return maximum(); }
    void SetForeColor(QRgb argb);
    QRgb GetForeColor() const;
};

}  // namespace vx::widgets
