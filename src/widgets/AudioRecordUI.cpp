#include "widgets/AudioRecordUI.h"

#include <QPainter>

#include "widgets/ControlUI.h"
#include "widgets/RenderEngine.h"

namespace vx::widgets {

CAudioRecordUI::CAudioRecordUI(QWidget* parent) : CLabelUI(parent) {
    for (int i = 0; i < 256; ++i) m_samples[i] = i;
}

void CAudioRecordUI::SetSamples(const std::vector<int32_t>& samples) {
    const size_t n = std::min(samples.size(), m_samples.size());
    std::copy_n(samples.begin(), n, m_samples.begin());
    update();
}

void CAudioRecordUI::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect rc = rect();
    CRenderEngine::DrawColor(p, rc, CRenderEngine::AdjustColor(ui::GetBkColor(this)));
    p.setPen(QColor::fromRgba(CRenderEngine::AdjustColor(0xFF000000u)));
    const int h = rc.height();
    const int bottom = rc.top() + h;
    for (int i = 0; i < kSampleCount && 2 * i < rc.width(); ++i) {
        // 64-bit product: a hostile sample must not overflow into a line above the control.
        const qint64 level = qBound(qint64(0), qint64(m_samples[i]), qint64(kFullScale));
        const int top = bottom - static_cast<int>(level * h / kFullScale);
        const int x = rc.left() + 2 * i;
        p.drawLine(x, top, x, bottom - 1);
    }
}

}  // namespace vx::widgets
