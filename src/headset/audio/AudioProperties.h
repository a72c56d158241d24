#pragma once
// The properties the headset page reads and writes through the audio library: which endpoint
// each lives on, what parameter it takes and in which machine form it is written. The table is
// in AudioProperties.cpp, one row per property, in the order of the start-up probe.

#include <cstdint>
#include <span>
#include <string_view>

namespace vx::headset {

enum class AudioProperty {
    GetSupportFeature,
    VolumeControl,
    MuteControl,
    VolumeScalarControl,
    GetAAMaxVol,
    AAVolumeControl,
    AAMuteControl,
    AAVolumeScalarControl,
    EnableMagicVoice,
    MagicVoiceSelection,
    EnableMicEcho,
    EnableEncLfx,
    EnableEqGfx,
    EqSlider1,
    EqSlider2,
    EqSlider3,
    EqSlider4,
    EqSlider5,
    EqSlider6,
    EqSlider7,
    EqSlider8,
    EqSlider9,
    EqSlider10,
    EnableRfxGfx,
    RfxEnvironment,
    RfxRoomSize,
    VirtualSurroundEffectControl,
};

enum class AudioEndpointRole { Render, Capture, Both };

enum class AudioParameter {
    None,
    MasterChannel,      // int32_t -1
    Channel0,           // int32_t 0
    ZeroedOnReadOnly,   // a zeroed buffer on reading, none on writing
    Surround,           // {4, -1, 0}
};

struct AudioPropertyInfo {
    AudioProperty id;
    std::u16string_view name;
    AudioEndpointRole endpoint;
    AudioParameter parameter;
    bool scalar;      // written as a float (0.0 to 1.0), else as an int32_t
    bool probed;      // read at start, and written as 0 when unreadable
};

const AudioPropertyInfo& PropertyInfo(AudioProperty property);
std::span<const AudioPropertyInfo> AllAudioProperties();

constexpr int kEqBands = 10;
// Band i (0 to 9) is "EQ_Slider" + (i + 1).
AudioProperty EqBandProperty(int band);

}  // namespace vx::headset
