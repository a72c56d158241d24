#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "widgets/LabelUI.h"

namespace vx::widgets {

// The level history: one vertical line per sample every second pixel, as tall as the sample's
// share of 8192.
class CAudioRecordUI : public CLabelUI {
    Q_OBJECT
public:
    static constexpr int kSampleCount = 500;
    static constexpr int kFullScale = 8192;

    explicit CAudioRecordUI(QWidget* parent = nullptr);

    // Takes up to 500 samples; the rest keep their values.
    void SetSamples(const std::vector<int32_t>& samples);
    const std::array<int32_t, kSampleCount>& GetSamples() const { return m_samples; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<int32_t, kSampleCount> m_samples{};
};

}  // namespace vx::widgets
