#include "widgets/RedioMacroButtonUI.h"

#include <QDynamicPropertyChangeEvent>

#include "widgets/PaintManagerUI.h"

namespace vx::widgets {

CRedioMacroButtonUI::CRedioMacroButtonUI(QWidget* parent) : CButtonUI(parent) {}

void CRedioMacroButtonUI::SetRunning(bool running) {
    m_running = running;
    auto* pm = CPaintManagerUI::FromControl(this);
    if (!pm) return;
    if (running) {
        pm->SetTimer(this, kPulseTimerId, kPulsePeriodMs);
    } else {
        pm->KillTimer(this, kPulseTimerId);
    }
}

void CRedioMacroButtonUI::DoTimer(int id) {
    if (id != kPulseTimerId) return;
    auto* pm = CPaintManagerUI::FromControl(this);
    if (pm) pm->KillTimer(this, kPulseTimerId);
    if (!m_pulseImage.isEmpty()) {
        if (m_fadingUp) {
            m_fade += 20;
            if (m_fade > 254) {
                m_fade = 255;
                m_fadingUp = false;
            }
        } else {
            m_fade -= 20;
            if (m_fade <= 80) {
                m_fade = 80;
                m_fadingUp = true;
            }
        }
        SetNormalImage(QStringLiteral("res='%1' ").arg(m_pulseImage) +
                       QStringLiteral("fade='%1'").arg(m_fade));
    }
    if (m_running && pm) pm->SetTimer(this, kPulseTimerId, kPulsePeriodMs);
}

bool CRedioMacroButtonUI::event(QEvent* e) {
    if (e->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent*>(e)->propertyName();
        if (QString::fromLatin1(name).compare("redioimage", Qt::CaseInsensitive) == 0) {
            SetPulseImage(property(name).toString());
        }
    }
    return CButtonUI::event(e);
}

}  // namespace vx::widgets
