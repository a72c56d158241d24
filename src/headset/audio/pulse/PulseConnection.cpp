#include "headset/audio/pulse/PulseConnection.h"

#include <cstring>

namespace vx::headset::pulse {

void SuccessCallback(pa_context*, int success, void* data) { *static_cast<int*>(data) = success; }

bool Succeeded(PulseConnection& server, const std::function<pa_operation*(pa_context*, int*)>& start) {
    int ok = 0;
    const bool done = server.Run([&](pa_context* c) { return start(c, &ok); });
    return done && ok;
}


uint32_t LoadModule(PulseConnection& server, const char* name, const std::string& argument) {
    uint32_t index = PA_INVALID_INDEX;
    server.Run([&](pa_context* c) {
        return pa_context_load_module(
            c, name, argument.c_str(),
            [](pa_context*, uint32_t idx, void* data) { *static_cast<uint32_t*>(data) = idx; }, &index);
    });
    return index;
}

bool UnloadModule(PulseConnection& server, uint32_t index) {
    return Succeeded(server, [&](pa_context* c, int* ok) { return pa_context_unload_module(c, index, SuccessCallback, ok); });
}

uint32_t FindModuleByArgument(PulseConnection& server, const char* moduleName, const std::string& needle) {
    struct Found {
        const char* moduleName;
        const std::string* needle;
        uint32_t index = PA_INVALID_INDEX;
    } found{moduleName, &needle};
    server.Run([&](pa_context* c) {
        return pa_context_get_module_info_list(
            c,
            [](pa_context*, const pa_module_info* info, int eol, void* data) {
                auto* f = static_cast<Found*>(data);
                if (eol || !info || !info->name || !info->argument) return;
                if (std::strcmp(info->name, f->moduleName) == 0 && std::strstr(info->argument, f->needle->c_str())) {
                    f->index = info->index;
                }
            },
            &found);
    });
    return found.index;
}

}  // namespace vx::headset::pulse
