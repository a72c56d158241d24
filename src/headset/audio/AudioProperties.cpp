#include "headset/audio/AudioProperties.h"

#include <array>
#include <cassert>

namespace vx::headset {
namespace {

using P = AudioProperty;
using E = AudioEndpointRole;
using A = AudioParameter;

// Columns: property, name, endpoint, parameter, written as float, probed at start.
// The probe goes through the rows in this order; a row whose read fails there is written as 0.
constexpr std::array kProperties = {
    AudioPropertyInfo{P::GetSupportFeature, u"GetSupportFeature", E::Both, A::None, false, false},
    AudioPropertyInfo{P::VolumeControl, u"VolumeControl", E::Capture, A::MasterChannel, false, true},
    AudioPropertyInfo{P::MuteControl, u"MuteControl", E::Capture, A::None, false, true},
    AudioPropertyInfo{P::VolumeScalarControl, u"VolumeScalarControl", E::Capture, A::MasterChannel, true, true},
    AudioPropertyInfo{P::GetAAMaxVol, u"GetAAMaxVol", E::Capture, A::None, false, false},
    AudioPropertyInfo{P::AAVolumeControl, u"AAVolumeControl", E::Capture, A::Channel0, false, true},
    AudioPropertyInfo{P::AAMuteControl, u"AAMuteControl", E::Capture, A::None, false, true},
    AudioPropertyInfo{P::AAVolumeScalarControl, u"AAVolumeScalarControl", E::Capture, A::Channel0, true, true},
    AudioPropertyInfo{P::EnableMagicVoice, u"Enable_MAGICVOICE", E::Capture, A::None, false, true},
    AudioPropertyInfo{P::MagicVoiceSelection, u"MagicVoice_Selection", E::Capture, A::None, false, true},
    AudioPropertyInfo{P::EnableMicEcho, u"Enable_MICECHO", E::Capture, A::None, false, false},
    AudioPropertyInfo{P::EnableEncLfx, u"Enable_ENC_LFX", E::Capture, A::ZeroedOnReadOnly, false, true},
    AudioPropertyInfo{P::EnableEqGfx, u"Enable_EQ_GFX", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider1, u"EQ_Slider1", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider2, u"EQ_Slider2", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider3, u"EQ_Slider3", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider4, u"EQ_Slider4", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider5, u"EQ_Slider5", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider6, u"EQ_Slider6", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider7, u"EQ_Slider7", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider8, u"EQ_Slider8", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider9, u"EQ_Slider9", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EqSlider10, u"EQ_Slider10", E::Render, A::None, false, true},
    AudioPropertyInfo{P::EnableRfxGfx, u"Enable_RFX_GFX", E::Render, A::None, false, true},
    AudioPropertyInfo{P::RfxEnvironment, u"RFX_ENVIRONMENT", E::Render, A::None, false, true},
    AudioPropertyInfo{P::RfxRoomSize, u"RFX_ROOMSIZE", E::Render, A::None, false, true},
    AudioPropertyInfo{P::VirtualSurroundEffectControl, u"VirtualSurroundEffectControl", E::Render, A::Surround, false, true},
};

constexpr bool RowsInEnumOrder() {
    for (size_t i = 0; i < kProperties.size(); ++i) {
        if (static_cast<size_t>(kProperties[i].id) != i) return false;
    }
    return true;
}
static_assert(RowsInEnumOrder(), "PropertyInfo indexes the table by the enum value");

}  // namespace

const AudioPropertyInfo& PropertyInfo(AudioProperty property) {
    return kProperties[static_cast<size_t>(property)];
}

std::span<const AudioPropertyInfo> AllAudioProperties() { return kProperties; }

AudioProperty EqBandProperty(int band) {
    assert(band >= 0 && band < kEqBands);
    return static_cast<AudioProperty>(static_cast<int>(AudioProperty::EqSlider1) + band);
}

}  // namespace vx::headset
