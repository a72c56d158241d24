#include "app/HookMessageRoute.h"

#include "app/RegisteredMessages.h"

using vx::platform::KeyboardEventRecord;
using vx::platform::MouseEventRecord;

namespace vx::app {

namespace {

struct Route {
    const uint* message;
    int target;  // 0: single key; a recording target; -1: no receiver
    bool mouse;
};

// clang-format off
const Route kRoutes[] = {
    {&WM_HOOK_KEY_SINGLEKEY_MSG, 0, false},
    {&WM_HOOK_KEY_HITKEY_MSG, -1, false},
    {&WM_HOOK_KEY_KBMACRO_MSG, vx::platform::kHookMacro, false},
    {&WM_HOOK_KEY_KBMACROPREVIOUS_MSG, vx::platform::kHookMacroPrevious, false},
    {&WM_HOOK_KEY_KBMACROLATER_MSG, vx::platform::kHookMacroLater, false},
    {&WM_HOOK_KEY_KBMACROSINGLE_MSG, vx::platform::kHookMacroSingle, false},
    {&WM_HOOK_KEY_MSMACRO_MSG, vx::platform::kHookMacro, true},
    {&WM_HOOK_KEY_MSMACROPREVIOUS_MSG, vx::platform::kHookMacroPrevious, true},
    {&WM_HOOK_KEY_MSMACROLATER_MSG, vx::platform::kHookMacroLater, true},
    {&WM_HOOK_KEY_MSMACROSINGLE_MSG, vx::platform::kHookMacroSingle, true},
    {&WM_HOOK_MOU_SINGLEKEY_MSG, -1, false},
    {&WM_HOOK_MOU_HITKEY_MSG, -1, false},
    {&WM_HOOK_MOU_KBMACRO_MSG, -1, false},
    {&WM_HOOK_MOU_MSMACRO_MSG, -1, false},
    {&UWM_MOUSERBUTTONDOWN_USER_MSG, -1, false},
    {&UWM_MOUSELBUTTONUP_USER_MSG, -1, false},
    {&UWM_MOUSELBUTTONDOWN_USER_MSG, -1, false},
    {&UWM_MOUSERBUTTONUP_USER_MSG, -1, false},
    {&UWM_MOUSEMOVE_USER_MSG, -1, false},
};
// clang-format on

const Route* RouteOf(uint message) {
    if (message == 0) return nullptr;
    for (const Route& route : kRoutes) {
        if (*route.message == message) return &route;
    }
    return nullptr;
}

}  // namespace

bool IsHookMessage(uint message) {
    return RouteOf(message) != nullptr;
}

HookDelivery DeliverHookMessage(vx::platform::IHookEventSink* sink, uint message, quintptr wParam, qintptr lParam) {
    const Route* route = RouteOf(message);
    if (route == nullptr) return HookDelivery::NotHook;
    if (route->target < 0) return HookDelivery::Ignored;
    if (sink == nullptr || lParam == 0) return HookDelivery::NoReceiver;
    const auto event = static_cast<uint32_t>(wParam);
    if (route->mouse) {
        sink->OnRecordMouse(route->target, event, *reinterpret_cast<const MouseEventRecord*>(lParam));
    } else if (route->target == 0) {
        sink->OnSingleKey(event, *reinterpret_cast<const KeyboardEventRecord*>(lParam));
    } else {
        sink->OnRecordKey(route->target, event, *reinterpret_cast<const KeyboardEventRecord*>(lParam));
    }
    return HookDelivery::Delivered;
}

}  // namespace vx::app
