#pragma once

#include "widgets/ProgressUI.h"

namespace vx::widgets {

// A ring progress: a full disc in the background colour ("bkcolor"), the done part as a pie in
// the foreground colour ("forecolor") starting at the bottom and running clockwise, and the
// middle covered by a disc in the inner colour ("innercolor", white unless the skin says
// otherwise) inset 10 pixels, which leaves a ring.
class CCircleProgressUI : public CProgressUI {
    Q_OBJECT
public:
    explicit CCircleProgressUI(QWidget* parent = nullptr);

    // The pie's sweep in degrees for the current value.
    double SweepDegrees() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vx::widgets
