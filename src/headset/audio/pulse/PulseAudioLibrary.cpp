// An audio configuration library on PulseAudio's client API (PipeWire's pulse server answers it
// the same way). It offers the C interface of ConfLibAbi.h:
//
// Endpoints are the server's sinks (output) and sources (input), the server's default first,
// then by index. Their types, as the program's selection rules expect them:
//   sink whose active port is headphones or a headset, or whose form factor is one  -> 1
//   other sink on USB (device.bus "usb")                                          -> 12
//   other sink on a digital port (S/PDIF, HDMI)                              -> 7
//   any other sink (speakers, line out, a null sink)                              -> 4
//   source that is not the monitor of a sink                                      -> 2
//   monitor source                                                                -> 3
// The state is 1 unless the active port is known to be unplugged. The identifier is the
// server's index; the library keeps the name, so a property call reaches the same device.
//
// Microphone level and mute are the capture source's volume and mute. Monitoring (side-tone)
// is a module-loopback from the capture source to the headphones: unmuting loads it, muting
// unloads it, and its level is the loopback's sink-input volume (kept here while unloaded).
// The equaliser is a module-ladspa-sink with the multiband equaliser plugin (mbeq_1197) in front
// of the headphones where the plugin is installed; without it the equaliser properties fail.
// Voice effects and the other effect switches fail, and the feature values never carry the
// voice-effect bit, so the page shows them unusable.
//
// Every request to the server is bounded (PulseConnection.h); a server that went away makes the
// calls fail, and the next call tries to connect again.
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "headset/audio/ConfLibAbi.h"
#include "headset/audio/pulse/PulseConnection.h"
#include "headset/audio/pulse/PulseEqualiser.h"

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace vx::headset;
using namespace vx::headset::pulse;

constexpr const char* kLoopbackMarker = "media.name=vx-headset-sidetone";

// Feature bits of this library's own (the program looks only at the voice-effect bit, which
// is never set here).
constexpr int32_t kFeatureLevel = 0x1;
constexpr int32_t kFeatureMute = 0x2;
constexpr int32_t kFeatureMonitoring = 0x4;
constexpr int32_t kFeatureEqualiser = 0x8;

struct Device {
    std::string name;
    bool sink = false;
    VxAudioEndpoint record{};
};

struct VolumeInfo {
    pa_cvolume volume{};
    int mute = 0;
    bool found = false;
};

int32_t PortState(const pa_sink_port_info* port) {
    return port && port->available == PA_PORT_AVAILABLE_NO ? 0 : kEndpointActive;
}

int32_t SinkType(const pa_sink_info* info) {
    const char* form = pa_proplist_gets(info->proplist, PA_PROP_DEVICE_FORM_FACTOR);
    const char* bus = pa_proplist_gets(info->proplist, PA_PROP_DEVICE_BUS);
    const uint32_t port = info->active_port ? info->active_port->type : uint32_t{PA_DEVICE_PORT_TYPE_UNKNOWN};
    if (port == PA_DEVICE_PORT_TYPE_HEADPHONES || port == PA_DEVICE_PORT_TYPE_HEADSET ||
        (form && (std::strcmp(form, "headphone") == 0 || std::strcmp(form, "headset") == 0))) {
        return kEndpointHeadphones;
    }
    if (bus && std::strcmp(bus, "usb") == 0) return kEndpointUsbOutput;
    if (port == PA_DEVICE_PORT_TYPE_SPDIF || port == PA_DEVICE_PORT_TYPE_HDMI) {
        return kEndpointDigitalOutput;
    }
    return kEndpointOtherOutput;
}

struct Library {
    std::mutex lock;
    PulseConnection server;
    std::vector<Device> devices[2];
    std::string lastRenderSink;     // the sink the program last addressed: the side-tone's target
    float monitorLevel = 1.0f;      // module-loopback's own default gain
    PulseEqualiser equaliser;  // last: its thread ends before the rest goes
};

Library& Lib() {
    static Library library;
    return library;
}

// The value text the program reads: UTF-16 with a terminating 0.
bool PutText(void** value, const std::string& text) {
    if (static_cast<int>((text.size() + 1) * 2) > kConfLibValueBufferSize) return false;
    auto* out = static_cast<char16_t*>(*value);
    for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<unsigned char>(text[i]);
    out[text.size()] = 0;
    return true;
}

std::string ScalarText(float scalar) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(std::clamp(scalar, 0.0f, 1.0f)));
    return text;
}

std::string IntText(long value) { return std::to_string(value); }

int32_t ReadInt(void** value) {
    int32_t v;
    std::memcpy(&v, *value, sizeof v);
    return v;
}

float ReadFloat(void** value) {
    float v;
    std::memcpy(&v, *value, sizeof v);
    return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f;
}

int32_t Channel(void** parameter) {
    if (!parameter || !*parameter) return -1;
    int32_t c;
    std::memcpy(&c, *parameter, sizeof c);
    return c;
}

const Device* FindDevice(Library& lib, const VxAudioEndpoint& endpoint) {
    for (const auto& list : lib.devices) {
        for (const auto& d : list) {
            if (d.record.id == endpoint.id && d.record.type == endpoint.type) return &d;
        }
    }
    return nullptr;
}

VolumeInfo SourceVolume(Library& lib, const std::string& name) {
    VolumeInfo out;
    lib.server.Run([&](pa_context* c) {
        return pa_context_get_source_info_by_name(
            c, name.c_str(),
            [](pa_context*, const pa_source_info* info, int eol, void* data) {
                auto* v = static_cast<VolumeInfo*>(data);
                if (eol || !info) return;
                v->volume = info->volume;
                v->mute = info->mute;
                v->found = true;
            },
            &out);
    });
    return out;
}

// The loaded side-tone module: its index, or PA_INVALID_INDEX.
uint32_t FindLoopback(Library& lib, bool* ok) {
    struct Found {
        uint32_t index = PA_INVALID_INDEX;
    } found;
    *ok = lib.server.Run([&](pa_context* c) {
        return pa_context_get_module_info_list(
            c,
            [](pa_context*, const pa_module_info* info, int eol, void* data) {
                if (eol || !info || !info->name || !info->argument) return;
                if (std::strcmp(info->name, "module-loopback") == 0 && std::strstr(info->argument, kLoopbackMarker)) {
                    static_cast<Found*>(data)->index = info->index;
                }
            },
            &found);
    });
    return found.index;
}

// The loopback's sink input (the stream whose volume is the side-tone level).
std::optional<std::pair<uint32_t, pa_cvolume>> LoopbackInput(Library& lib, uint32_t module) {
    struct Found {
        uint32_t module;
        std::optional<std::pair<uint32_t, pa_cvolume>> input;
    } found{module, std::nullopt};
    lib.server.Run([&](pa_context* c) {
        return pa_context_get_sink_input_info_list(
            c,
            [](pa_context*, const pa_sink_input_info* info, int eol, void* data) {
                auto* f = static_cast<Found*>(data);
                if (eol || !info || info->owner_module != f->module) return;
                f->input = std::make_pair(info->index, info->volume);
            },
            &found);
    });
    return found.input;
}

bool SetLoopbackVolume(Library& lib, uint32_t module, float level) {
    auto input = LoopbackInput(lib, module);
    if (!input) return false;
    pa_cvolume volume = input->second;
    pa_cvolume_set(&volume, volume.channels, static_cast<pa_volume_t>(std::lround(level * PA_VOLUME_NORM)));
    return Succeeded(lib.server, [&](pa_context* c, int* ok) {
        return pa_context_set_sink_input_volume(c, input->first, &volume, SuccessCallback, ok);
    });
}

bool StartLoopback(Library& lib, const std::string& source) {
    std::string argument = "source=" + source + " latency_msec=30 source_dont_move=true";
    if (!lib.lastRenderSink.empty()) argument += " sink=" + lib.lastRenderSink + " sink_dont_move=true";
    argument += std::string(" sink_input_properties=") + kLoopbackMarker;
    const uint32_t module = LoadModule(lib.server, "module-loopback", argument);
    if (module == PA_INVALID_INDEX) return false;
    SetLoopbackVolume(lib, module, lib.monitorLevel);
    return true;
}

int EqBand(const std::u16string& name) {
    for (int i = 0; i < kBands; ++i) {
        const std::string n = "EQ_Slider" + std::to_string(i + 1);
        if (name == std::u16string(n.begin(), n.end())) return i;
    }
    return -1;
}

// --- properties ------------------------------------------------------------------------------

int RenderProperty(Library& lib, const Device& sink, const std::u16string& name, void** value, int32_t set) {
    if (name == u"GetSupportFeature") {
        if (set) return -1;
        const int32_t features = EqualiserPluginInstalled() ? kFeatureEqualiser : 0;
        return PutText(value, IntText(features) + ",0,0,0,0,0,0") ? 0 : -1;
    }
    const int band = EqBand(name);
    if (name != u"Enable_EQ_GFX" && band < 0) return -1;
    if (!EqualiserPluginInstalled()) return -1;
    PulseEqualiser::Wish wish = lib.equaliser.Wanted();
    if (band >= 0) {
        if (!set) return PutText(value, IntText(wish.gains[band])) ? 0 : -1;
        wish.gains[band] = ReadInt(value);
    } else {
        if (!set) return PutText(value, wish.enabled ? "1" : "0") ? 0 : -1;
        wish.enabled = ReadInt(value) != 0;
    }
    wish.master = sink.name;
    lib.equaliser.Want(wish);
    return 0;
}

int CaptureProperty(Library& lib, const Device& source, const std::u16string& name, void** value,
                    void** parameter, int32_t set) {
    if (name == u"GetSupportFeature") {
        if (set) return -1;
        return PutText(value, IntText(kFeatureLevel | kFeatureMute | kFeatureMonitoring) + ",0,0,0,0,0,0") ? 0 : -1;
    }
    if (name == u"VolumeScalarControl" || name == u"VolumeControl") {
        const bool scalar = name == u"VolumeScalarControl";
        VolumeInfo info = SourceVolume(lib, source.name);
        if (!info.found) return -1;
        const int32_t channel = Channel(parameter);
        if (channel >= static_cast<int32_t>(info.volume.channels)) return -1;
        if (!set) {
            const pa_volume_t v = channel < 0 ? pa_cvolume_max(&info.volume) : info.volume.values[channel];
            if (scalar) return PutText(value, ScalarText(static_cast<float>(v) / PA_VOLUME_NORM)) ? 0 : -1;
            const double db = pa_sw_volume_to_dB(v);
            return PutText(value, IntText(std::isfinite(db) ? std::lround(db) : -96)) ? 0 : -1;
        }
        const pa_volume_t v = scalar ? static_cast<pa_volume_t>(std::lround(ReadFloat(value) * PA_VOLUME_NORM))
                                     : std::min(pa_sw_volume_from_dB(ReadInt(value)), PA_VOLUME_NORM);
        if (channel < 0) pa_cvolume_set(&info.volume, info.volume.channels, v);
        else info.volume.values[channel] = v;
        return Succeeded(lib.server, [&](pa_context* c, int* ok) {
            return pa_context_set_source_volume_by_name(c, source.name.c_str(), &info.volume, SuccessCallback, ok);
        }) ? 0 : -1;
    }
    if (name == u"MuteControl") {
        if (!set) {
            const VolumeInfo info = SourceVolume(lib, source.name);
            return info.found && PutText(value, IntText(info.mute ? 1 : 0)) ? 0 : -1;
        }
        const int mute = ReadInt(value) != 0;
        return Succeeded(lib.server, [&](pa_context* c, int* ok) {
            return pa_context_set_source_mute_by_name(c, source.name.c_str(), mute, SuccessCallback, ok);
        }) ? 0 : -1;
    }
    if (name == u"GetAAMaxVol") {
        if (set) return -1;
        bool ok = false;
        FindLoopback(lib, &ok);  // answers only while the server does
        return ok && PutText(value, "1") ? 0 : -1;
    }
    if (name == u"AAMuteControl") {
        bool ok = false;
        const uint32_t module = FindLoopback(lib, &ok);
        if (!ok) return -1;
        if (!set) return PutText(value, module == PA_INVALID_INDEX ? "1" : "0") ? 0 : -1;
        const bool mute = ReadInt(value) != 0;
        if (mute) return module == PA_INVALID_INDEX || UnloadModule(lib.server, module) ? 0 : -1;
        return module != PA_INVALID_INDEX || StartLoopback(lib, source.name) ? 0 : -1;
    }
    if (name == u"AAVolumeScalarControl" || name == u"AAVolumeControl") {
        const bool scalar = name == u"AAVolumeScalarControl";
        bool ok = false;
        const uint32_t module = FindLoopback(lib, &ok);
        if (!ok) return -1;
        if (!set) {
            float level = lib.monitorLevel;
            if (module != PA_INVALID_INDEX) {
                if (auto input = LoopbackInput(lib, module)) {
                    level = static_cast<float>(pa_cvolume_max(&input->second)) / PA_VOLUME_NORM;
                }
            }
            if (scalar) return PutText(value, ScalarText(level)) ? 0 : -1;
            const double db = pa_sw_volume_to_dB(static_cast<pa_volume_t>(std::lround(level * PA_VOLUME_NORM)));
            return PutText(value, IntText(std::isfinite(db) ? std::lround(db) : -96)) ? 0 : -1;
        }
        lib.monitorLevel = scalar ? ReadFloat(value)
                                  : static_cast<float>(std::min(pa_sw_volume_from_dB(ReadInt(value)), PA_VOLUME_NORM)) /
                                        PA_VOLUME_NORM;
        return module == PA_INVALID_INDEX || SetLoopbackVolume(lib, module, lib.monitorLevel) ? 0 : -1;
    }
    return -1;  // voice effects and the microphone enhancements: not offered
}

void ListDevices(Library& lib) {
    struct Lists {
        std::vector<Device> sinks, sources;
    } lists;
    lib.server.Run([&](pa_context* c) {
        return pa_context_get_sink_info_list(
            c,
            [](pa_context*, const pa_sink_info* info, int eol, void* data) {
                if (eol || !info || std::strcmp(info->name, kEqSinkName) == 0) return;
                Device d{info->name, true, {static_cast<int32_t>(info->index), SinkType(info), 0, PortState(info->active_port)}};
                static_cast<Lists*>(data)->sinks.push_back(d);
            },
            &lists);
    });
    lib.server.Run([&](pa_context* c) {
        return pa_context_get_source_info_list(
            c,
            [](pa_context*, const pa_source_info* info, int eol, void* data) {
                if (eol || !info) return;
                const bool monitor = info->monitor_of_sink != PA_INVALID_INDEX;
                const int32_t state = info->active_port && info->active_port->available == PA_PORT_AVAILABLE_NO ? 0 : 1;
                Device d{info->name, false,
                         {static_cast<int32_t>(info->index), monitor ? kEndpointOtherInput : kEndpointMicrophone, 0, state}};
                static_cast<Lists*>(data)->sources.push_back(d);
            },
            &lists);
    });
    auto defaultFirst = [](std::vector<Device>& list, const std::string& name) {
        std::stable_partition(list.begin(), list.end(), [&name](const Device& d) { return d.name == name; });
    };
    defaultFirst(lists.sinks, lib.server.DefaultSink());
    defaultFirst(lists.sources, lib.server.DefaultSource());
    lib.devices[kDirectionOutput] = std::move(lists.sinks);
    lib.devices[kDirectionInput] = std::move(lists.sources);
}

}  // namespace

VX_EXPORT int ConfLibInit(void) {
    Library& lib = Lib();
    std::lock_guard lock(lib.lock);
    return lib.server.Ensure() ? 0 : -1;
}

VX_EXPORT int CreateDeviceList(void) {
    Library& lib = Lib();
    std::lock_guard lock(lib.lock);
    if (!lib.server.Ensure()) return -1;
    ListDevices(lib);
    return 0;
}

VX_EXPORT int GetDeviceCount(int32_t direction, uint32_t* count) {
    Library& lib = Lib();
    std::lock_guard lock(lib.lock);
    if (direction < 0 || direction > 1 || !count) return -1;
    *count = static_cast<uint32_t>(lib.devices[direction].size());
    return 0;
}

VX_EXPORT int GetDeviceById(int32_t direction, uint32_t index, VxAudioEndpoint* endpoint) {
    Library& lib = Lib();
    std::lock_guard lock(lib.lock);
    if (direction < 0 || direction > 1 || !endpoint || index >= lib.devices[direction].size()) return -1;
    *endpoint = lib.devices[direction][index].record;
    return 0;
}

VX_EXPORT int PropertyControl(VxAudioEndpoint endpoint, const char16_t* name, void** value, void** parameter,
                              int32_t set) {
    if (!name || !value || !*value) return -1;
    Library& lib = Lib();
    std::lock_guard lock(lib.lock);
    const Device* device = FindDevice(lib, endpoint);
    if (!device) return -1;
    const std::u16string property(name);
    if (device->sink) {
        lib.lastRenderSink = device->name;
        return RenderProperty(lib, *device, property, value, set);
    }
    return CaptureProperty(lib, *device, property, value, parameter, set);
}

// Looked up by the program but never called; present so that the library offers every name.
VX_EXPORT int RegisterCallbackFunction(void) { return 0; }
VX_EXPORT int ConfLibUnInit(void) { return 0; }
VX_EXPORT int ShowAsioPanel(void) { return -1; }
VX_EXPORT int PlayTestSound(void) { return -1; }
VX_EXPORT int StopTestSound(void) { return -1; }
VX_EXPORT int CloseTestSound(void) { return -1; }
