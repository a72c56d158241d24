#pragma once

#include <array>
#include <cstdint>

#include "devices/lighting/LightingEngine.h"

namespace vx::lighting {

class LedFrame;

// The headset's lighting: 13 LEDs, its wave, ripple and pairs generators, the shared generators,
// the step player and the per-LED effects of its light list. The light-list and step state is
// the headsets' own, shared by every headset page of the program.
class HeadsetLightingEngine : public LightingEngine {
public:
    static constexpr int kLeds = 13;

    explicit HeadsetLightingEngine(int ledCount = kLeds);
    HeadsetLightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player);

    void EffectHeadsetWave();
    void EffectHeadsetRipple();
    void EffectHeadsetPairs();
    void SeedIntensity() override;

protected:
    void RunModePass() override;
    void OnModeChanged() override;
    bool LaysAreaOverlay() const override { return true; }

private:
    void AdvanceRing(int length, int direction);
    Rgb RippleColour(int keptLed, bool entryLit);

    uint8_t m_calls = 0;
};

// The twelve 17-byte output reports (report id 0xFF) that carry one LED frame to the headset:
// red, then green, then blue; for each, target 0x22 first half (LEDs 0-6), 0x22 second half
// (LEDs 7-12), 0x44 first half, 0x44 second half. A channel value is the entry's channel x its
// brightness / 256, at most 247. The same buffer is reused from report to report and only the
// bytes a report names change, as the device has always been sent them: in a second-half report
// byte 10 repeats LED 6 of the channel.
class HeadsetLedReports {
public:
    static constexpr int kReportLength = 17;
    static constexpr int kReports = 12;
    static constexpr uint8_t kReportId = 0xFF;
    static constexpr int kMaxLeds = 13;
    static constexpr int kFirstHalf = 7;
    static constexpr uint8_t kMaxValue = 247;
    using Report = std::array<uint8_t, kReportLength>;

    // Takes the output values of the frame's first 13 LEDs (absent LEDs give 0).
    void Take(const LedFrame& frame);
    // Calls send(buffer) twelve times in the order above, with the one buffer.
    template <class Send>
    void SendAll(Send&& send) {
        m_buffer.fill(0);
        m_buffer[0] = kReportId;
        for (int channel = 0; channel < 3; ++channel) {
            for (uint8_t target : {uint8_t{0x22}, uint8_t{0x44}}) {
                for (int half = 0; half < 2; ++half) {
                    Fill(channel, target, half);
                    send(static_cast<const Report&>(m_buffer));
                }
            }
        }
    }
    // The output value of LED i's channel (0 red, 1 green, 2 blue).
    uint8_t Value(int led, int channel) const { return m_values[channel][led]; }

private:
    void Fill(int channel, uint8_t target, int half);

    std::array<std::array<uint8_t, kMaxLeds>, 3> m_values{};
    Report m_buffer{};
};

}  // namespace vx::lighting
