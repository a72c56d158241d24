#pragma once
// The extra functions of the in-memory audio library (libvxconf-memory.so), through which a
// test or the virtual headset sets up endpoints and property values and reads back what the
// program wrote. Names are plain ASCII here; the library stores them as the UTF-16 the program
// sends. Look them up with dlsym on the handle the binding loaded, so that both sides see the
// same state.

#include <cstdint>

extern "C" {

// Empties the state; with_headset != 0 puts back the headset the library starts with: output
// endpoint 1 (headphones, active), input endpoint 2 (microphone, active, voice effect usable),
// microphone level 0.75 unmuted, monitoring available at level 0.5 and muted.
typedef void (*VxMemAudioResetFn)(int with_headset);
typedef void (*VxMemAudioSetInitResultFn)(int result);
typedef void (*VxMemAudioAddEndpointFn)(int32_t direction, int32_t id, int32_t type, int32_t state);
// Makes the property readable with the given text (UTF-8 digits).
typedef void (*VxMemAudioSetValueFn)(int32_t endpoint_id, const char* name, const char* text);
// Makes reads and/or writes of the property fail (it need not exist).
typedef void (*VxMemAudioSetFailingFn)(int32_t endpoint_id, const char* name, int fail_read, int fail_write);
// 1 and the text when the property holds a value, else 0.
typedef int (*VxMemAudioGetValueFn)(int32_t endpoint_id, const char* name, char* text, int text_size);
// Successful writes in order; a write's parameter is its first int32_t, or INT32_MIN for none.
typedef int (*VxMemAudioWriteCountFn)(void);
typedef int (*VxMemAudioWriteAtFn)(int index, int32_t* endpoint_id, char* name, int name_size,
                                   char* text, int text_size, int32_t* parameter);
typedef void (*VxMemAudioClearWritesFn)(void);

}  // extern "C"
