#include "widgets/ProgressUI.h"

#include "widgets/ControlUI.h"

namespace vx::widgets {

CProgressUI::CProgressUI(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
}

void CProgressUI::SetForeColor(QRgb argb) {
    setProperty("forecolor", QStringLiteral("#%1").arg(argb, 8, 16, QChar('0')));
    update();
}

QRgb CProgressUI::GetForeColor() const {
    return ui::ParseColor(property("forecolor").toString());
}

}  // namespace vx::widgets
