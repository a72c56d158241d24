// An audio configuration library that keeps its endpoints and properties in memory. It backs
// the virtual headset and lets tests run the headset's audio side without a sound server.
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "headset/audio/ConfLibAbi.h"
#include "headset/audio/memory/MemoryAudioControl.h"

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using vx::headset::kConfLibValueBufferSize;

struct Property {
    std::u16string text;
    bool hasValue = false;
    bool failRead = false;
    bool failWrite = false;
};

struct Write {
    int32_t endpoint;
    std::u16string name;
    std::u16string text;
    int32_t parameter;
};

struct State {
    int initResult = 0;
    std::vector<VxAudioEndpoint> endpoints[2];
    std::map<std::pair<int32_t, std::u16string>, Property> properties;
    std::vector<Write> writes;
};

std::mutex g_lock;
State g_state;

std::u16string Wide(const char* text) {
    std::u16string out;
    for (; text && *text; ++text) out.push_back(static_cast<unsigned char>(*text));
    return out;
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

void Copy(const std::string& text, char* out, int size) {
    if (!out || size <= 0) return;
    std::snprintf(out, static_cast<size_t>(size), "%s", text.c_str());
}

void SetValueLocked(int32_t id, const char* name, const char* text) {
    Property& p = g_state.properties[{id, Wide(name)}];
    p.text = Wide(text);
    p.hasValue = true;
}

void ResetLocked(bool withHeadset) {
    g_state = State{};
    if (!withHeadset) return;
    g_state.endpoints[vx::headset::kDirectionOutput].push_back({1, vx::headset::kEndpointHeadphones, 0, 1});
    g_state.endpoints[vx::headset::kDirectionInput].push_back({2, vx::headset::kEndpointMicrophone, 0, 1});
    SetValueLocked(1, "GetSupportFeature", "0,0,0,0,0,0,0");
    SetValueLocked(2, "GetSupportFeature", "131072,0,0,0,0,0,0");
    SetValueLocked(2, "MuteControl", "0");
    SetValueLocked(2, "VolumeScalarControl", "0.75");
    SetValueLocked(2, "GetAAMaxVol", "1");
    SetValueLocked(2, "AAMuteControl", "1");
    SetValueLocked(2, "AAVolumeScalarControl", "0.5");
}

bool IsScalar(const std::u16string& name) {
    return name == u"VolumeScalarControl" || name == u"AAVolumeScalarControl";
}

struct Init {
    Init() { ResetLocked(true); }
} g_init;

}  // namespace

VX_EXPORT int ConfLibInit(void) {
    std::lock_guard lock(g_lock);
    return g_state.initResult;
}

VX_EXPORT int CreateDeviceList(void) { return 0; }

VX_EXPORT int GetDeviceCount(int32_t direction, uint32_t* count) {
    std::lock_guard lock(g_lock);
    if (direction < 0 || direction > 1 || !count) return -1;
    *count = static_cast<uint32_t>(g_state.endpoints[direction].size());
    return 0;
}

VX_EXPORT int GetDeviceById(int32_t direction, uint32_t index, VxAudioEndpoint* endpoint) {
    std::lock_guard lock(g_lock);
    if (direction < 0 || direction > 1 || !endpoint || index >= g_state.endpoints[direction].size()) return -1;
    *endpoint = g_state.endpoints[direction][index];
    return 0;
}

VX_EXPORT int PropertyControl(VxAudioEndpoint endpoint, const char16_t* name, void** value, void** parameter,
                              int32_t set) {
    if (!name || !value || !*value) return -1;
    std::lock_guard lock(g_lock);
    const std::u16string key(name);
    auto found = g_state.properties.find({endpoint.id, key});
    if (set == 0) {
        if (found == g_state.properties.end() || !found->second.hasValue || found->second.failRead) return -1;
        const std::u16string& text = found->second.text;
        if ((text.size() + 1) * 2 > static_cast<size_t>(kConfLibValueBufferSize)) return -1;
        std::memcpy(*value, text.c_str(), (text.size() + 1) * 2);
        return 0;
    }
    if (found != g_state.properties.end() && found->second.failWrite) return -1;
    char text[64];
    if (IsScalar(key)) {
        float f;
        std::memcpy(&f, *value, sizeof f);
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(f));
    } else {
        int32_t i;
        std::memcpy(&i, *value, sizeof i);
        std::snprintf(text, sizeof text, "%d", i);
    }
    Property& p = g_state.properties[{endpoint.id, key}];
    p.text = Wide(text);
    p.hasValue = true;
    int32_t channel = INT32_MIN;
    if (parameter && *parameter) std::memcpy(&channel, *parameter, sizeof channel);
    g_state.writes.push_back({endpoint.id, key, p.text, channel});
    return 0;
}

// Looked up by the program but never called; present so that the library offers every name.
VX_EXPORT int RegisterCallbackFunction(void) { return 0; }
VX_EXPORT int ConfLibUnInit(void) { return 0; }
VX_EXPORT int ShowAsioPanel(void) { return -1; }
VX_EXPORT int PlayTestSound(void) { return -1; }
VX_EXPORT int StopTestSound(void) { return -1; }
VX_EXPORT int CloseTestSound(void) { return -1; }

VX_EXPORT void VxMemAudioReset(int with_headset) {
    std::lock_guard lock(g_lock);
    ResetLocked(with_headset != 0);
}

VX_EXPORT void VxMemAudioSetInitResult(int result) {
    std::lock_guard lock(g_lock);
    g_state.initResult = result;
}

VX_EXPORT void VxMemAudioAddEndpoint(int32_t direction, int32_t id, int32_t type, int32_t state) {
    std::lock_guard lock(g_lock);
    if (direction < 0 || direction > 1) return;
    g_state.endpoints[direction].push_back({id, type, 0, state});
}

VX_EXPORT void VxMemAudioSetValue(int32_t endpoint_id, const char* name, const char* text) {
    std::lock_guard lock(g_lock);
    SetValueLocked(endpoint_id, name, text);
}

VX_EXPORT void VxMemAudioSetFailing(int32_t endpoint_id, const char* name, int fail_read, int fail_write) {
    std::lock_guard lock(g_lock);
    Property& p = g_state.properties[{endpoint_id, Wide(name)}];
    p.failRead = fail_read != 0;
    p.failWrite = fail_write != 0;
}

VX_EXPORT int VxMemAudioGetValue(int32_t endpoint_id, const char* name, char* text, int text_size) {
    std::lock_guard lock(g_lock);
    auto found = g_state.properties.find({endpoint_id, Wide(name)});
    if (found == g_state.properties.end() || !found->second.hasValue) return 0;
    Copy(Narrow(found->second.text), text, text_size);
    return 1;
}

VX_EXPORT int VxMemAudioWriteCount(void) {
    std::lock_guard lock(g_lock);
    return static_cast<int>(g_state.writes.size());
}

VX_EXPORT int VxMemAudioWriteAt(int index, int32_t* endpoint_id, char* name, int name_size, char* text,
                                int text_size, int32_t* parameter) {
    std::lock_guard lock(g_lock);
    if (index < 0 || static_cast<size_t>(index) >= g_state.writes.size()) return 0;
    const Write& w = g_state.writes[static_cast<size_t>(index)];
    if (endpoint_id) *endpoint_id = w.endpoint;
    Copy(Narrow(w.name), name, name_size);
    Copy(Narrow(w.text), text, text_size);
    if (parameter) *parameter = w.parameter;
    return 1;
}

VX_EXPORT void VxMemAudioClearWrites(void) {
    std::lock_guard lock(g_lock);
    g_state.writes.clear();
}
