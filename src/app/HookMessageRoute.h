#pragma once
// Where the main window hands the input hook's messages: a single key to the page's key panel,
// recorded keys and mouse events to its macro panel with the recording target the message names.
// UI thread only; the record behind lParam is valid during the call only.

#include <QtGlobal>

#include "platform/InputHookEvents.h"

namespace vx::app {

// One of the hook's registered messages (those the window takes and those it lets pass).
bool IsHookMessage(uint message);

enum class HookDelivery {
    NotHook,     // not a hook message
    Ignored,     // a hook message without a receiver in this program
    NoReceiver,  // for a panel, but the page has none (or no record came)
    Delivered,
};

HookDelivery DeliverHookMessage(vx::platform::IHookEventSink* sink, uint message, quintptr wParam, qintptr lParam);

}  // namespace vx::app
