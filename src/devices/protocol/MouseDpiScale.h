#pragma once
// The mouse's DPI scale: slider positions of the DPI page to DPI values and back, from the
// sensor figures of the capability record.

#include <cstdint>
#include <string_view>

#include "link/DeviceInfo.h"

class MouseDpiScale {
public:
    // Past this position the two-slope sensor adds a fixed 200 DPI per position.
    static constexpr int kTwoSlopeKnee = 48;
    static constexpr int kTwoSlopeStep = 200;

    MouseDpiScale() = default;
    explicit MouseDpiScale(const vx::link::DeviceInfo& info);
    MouseDpiScale(uint16_t sensorId, uint8_t step, uint16_t sliderMax, uint16_t base);

    int SliderMax() const { return m_sliderMax; }
    // Largest DPI an edit box takes: the DPI of the last slider position, so that every value a
    // slider can show can also be typed.
    int EditMax() const { return SliderToDpi(m_sliderMax); }
    bool TwoSlope() const { return m_sensorId == vx::link::DeviceInfo::kTwoSlopeSensor; }

    // DPI shown for a slider position (positions outside 0..SliderMax are held at the ends).
    int SliderToDpi(int position) const;
    // Slider position for a DPI value: the highest position whose DPI does not exceed it; values
    // below the base give 0, values beyond the last position give SliderMax.
    int DpiToSlider(int dpi) const;
    // The same for the text of an edit box: empty text counts as 0; anything after the leading
    // decimal digits is ignored.
    int TextToSlider(std::u16string_view text) const;

private:
    int ClampPosition(int position) const;

    uint16_t m_sensorId = 0;
    int m_step = 0;
    int m_sliderMax = 0;
    int m_base = 0;
};
