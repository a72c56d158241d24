#include "devices/LightRecordConvert.h"

vx::lighting::LightInfo ToEngineLight(const LightInfo& info) {
    vx::lighting::LightInfo out;
    out.mode = info.selectItem;
    out.brightness = info.light;
    out.speed = info.speed;
    out.direction = info.fx;
    out.multiColour = info.multiColor;
    out.red = info.red;
    out.green = info.green;
    out.blue = info.blue;
    out.modeOption = info.zzccLedMode;
    out.customGroup = info.customGroup;
    out.previousMode = info.oldLedmode;
    return out;
}

LightInfo FromEngineLight(const vx::lighting::LightInfo& info) {
    LightInfo out;
    out.selectItem = info.mode;
    out.light = info.brightness;
    out.speed = info.speed;
    out.fx = info.direction;
    out.multiColor = info.multiColour;
    out.red = info.red;
    out.green = info.green;
    out.blue = info.blue;
    out.zzccLedMode = info.modeOption;
    out.customGroup = info.customGroup;
    out.oldLedmode = info.previousMode;
    return out;
}

vx::lighting::AudioLightInfo ToEngineAudio(const AudioLightInfo& info) {
    vx::lighting::AudioLightInfo out;
    out.style = info.audioMode;
    out.backgroundRed = info.bkRed;
    out.backgroundGreen = info.bkGreen;
    out.backgroundBlue = info.bkBlue;
    out.foregroundRed = info.fgRed;
    out.foregroundGreen = info.fgGreen;
    out.foregroundBlue = info.fgBlue;
    out.sevenColour = info.sevenColorFlags;
    out.colourType = info.colorTypeFlags;
    return out;
}

AudioLightInfo FromEngineAudio(const vx::lighting::AudioLightInfo& info) {
    AudioLightInfo out;
    out.audioMode = info.style;
    out.bkRed = info.backgroundRed;
    out.bkGreen = info.backgroundGreen;
    out.bkBlue = info.backgroundBlue;
    out.fgRed = info.foregroundRed;
    out.fgGreen = info.foregroundGreen;
    out.fgBlue = info.foregroundBlue;
    out.sevenColorFlags = info.sevenColour;
    out.colorTypeFlags = info.colourType;
    return out;
}

std::vector<vx::lighting::LightListEntry> ToEngineList(const std::vector<LightListEntry>& list) {
    std::vector<vx::lighting::LightListEntry> out;
    out.reserve(list.size());
    for (const LightListEntry& e : list) {
        vx::lighting::LightListEntry entry;
        entry.type = e.selectItem;
        entry.brightness = e.light;
        entry.speed = e.speed;
        entry.direction = e.fx;
        entry.multiColour = e.multiColor;
        entry.red = e.red;
        entry.green = e.green;
        entry.blue = e.blue;
        entry.present = e.present;
        out.push_back(entry);
    }
    return out;
}

std::vector<vx::lighting::CustomLightStep> ToEngineSteps(const std::vector<LightStep>& steps) {
    std::vector<vx::lighting::CustomLightStep> out;
    out.reserve(steps.size());
    for (const LightStep& s : steps) {
        vx::lighting::CustomLightStep step;
        step.light = ToEngineLight(s.light);
        step.time = s.time;
        step.cycle = s.cyle;
        out.push_back(step);
    }
    return out;
}
