#include "devices/protocol/MouseDpiScale.h"

#include <algorithm>

using vx::link::DeviceInfo;

MouseDpiScale::MouseDpiScale(const DeviceInfo& info)
    : MouseDpiScale(info.SensorId(), info.DpiStep(), info.DpiSliderMax(), info.DpiBase()) {}

MouseDpiScale::MouseDpiScale(uint16_t sensorId, uint8_t step, uint16_t sliderMax, uint16_t base)
    : m_sensorId(sensorId), m_step(step), m_sliderMax(sliderMax), m_base(base) {}

int MouseDpiScale::ClampPosition(int position) const {
    return std::clamp(position, 0, m_sliderMax);
}

int MouseDpiScale::SliderToDpi(int position) const {
    position = ClampPosition(position);
    if (TwoSlope() && position > kTwoSlopeKnee) {
        return m_base + m_step * kTwoSlopeKnee + (position - kTwoSlopeKnee) * kTwoSlopeStep;
    }
    return m_base + position * m_step;
}

int MouseDpiScale::DpiToSlider(int dpi) const {
    if (dpi <= m_base) return 0;
    const int aboveBase = dpi - m_base;
    const int kneeDpi = m_step * kTwoSlopeKnee;
    if (TwoSlope() && aboveBase > kneeDpi) {
        return ClampPosition((aboveBase - kneeDpi) / kTwoSlopeStep + kTwoSlopeKnee);
    }
    // A record with step 0 would divide by zero; such a sensor has only the base position.
    if (m_step == 0) return 0;
    return ClampPosition(aboveBase / m_step);
}

int MouseDpiScale::TextToSlider(std::u16string_view text) const {
    // Saturates well above any DPI a sensor reports, so long digit strings cannot overflow.
    constexpr int kCeiling = 1'000'000;
    int value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') break;
        value = std::min(kCeiling, value * 10 + (c - u'0'));
    }
    return DpiToSlider(value);
}
