#pragma once

#include "widgets/ProgressUI.h"

namespace vx::widgets {

// The battery of a power indicator, drawn as a battery: the charge left fills the body from the
// left, in the warning colour once it is low. The value is that of the progress bar it stands in
// for, the used part (100 - percent), so that callers of CProgressUI need not know the difference.
class CBatteryGaugeUI : public CProgressUI {
    Q_OBJECT
public:
    // At or below this charge (percent) the battery is drawn as low.
    static constexpr int kLowPercent = 20;

    explicit CBatteryGaugeUI(QWidget* parent = nullptr);

    // The charge left, 0 to 100.
    int ChargePercent() const;
    bool IsLow() const { return ChargePercent() <= kLowPercent; }
    // Width in pixels of the filled part of the body as it is drawn now.
    int FillWidth() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF BodyRect() const;
};

}  // namespace vx::widgets
