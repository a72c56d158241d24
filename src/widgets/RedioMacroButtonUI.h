#pragma once

#include "widgets/ButtonUI.h"
#include "widgets/UIDefs.h"

namespace vx::widgets {

// A button whose pulse image ("redioimage") fades between 255 and 80 in steps of 20 on timer 100
// while running.
class CRedioMacroButtonUI : public CButtonUI, public IControlEvents {
    Q_OBJECT
public:
    static constexpr int kPulseTimerId = 100;
    static constexpr int kPulsePeriodMs = 50;

    explicit CRedioMacroButtonUI(QWidget* parent = nullptr);

    void SetPulseImage(const QString& image) { m_pulseImage = image; }
    QString GetPulseImage() const { return m_pulseImage; }
    int GetFade() const { return m_fade; }
    // Starts or stops the pulse; nothing in the program starts it today.
    void SetRunning(bool running);
    bool IsRunning() const { return m_running; }

    void DoTimer(int id) override;

protected:
    bool event(QEvent* event) override;

private:
    QString m_pulseImage;
    int m_fade = 255;
    bool m_fadingUp = false;
    bool m_running = false;
};

}  // namespace vx::widgets
