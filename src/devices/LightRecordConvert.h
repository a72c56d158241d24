#pragma once
// The profile files and the lighting engine keep the same 14-byte light record under their own
// names; these copy between the two field by field.

#include <vector>

#include "devices/lighting/LightingRecords.h"
#include "profiles/ProfileRecords.h"

vx::lighting::LightInfo ToEngineLight(const LightInfo& info);
LightInfo FromEngineLight(const vx::lighting::LightInfo& info);
vx::lighting::AudioLightInfo ToEngineAudio(const AudioLightInfo& info);
AudioLightInfo FromEngineAudio(const vx::lighting::AudioLightInfo& info);
std::vector<vx::lighting::LightListEntry> ToEngineList(const std::vector<LightListEntry>& list);
std::vector<vx::lighting::CustomLightStep> ToEngineSteps(const std::vector<LightStep>& steps);
