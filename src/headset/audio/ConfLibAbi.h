#pragma once
// The C interface of an audio configuration library as the headset page loads it at run time.
// Every library this program can load (the PulseAudio one, the in-memory one) exports these
// names with C linkage; the binding looks them up with dlsym and never links against them, so a
// missing or broken library costs the headset its audio controls and nothing else.
//
// Conventions shared by both sides:
// - every function returns 0 on success, anything else is failure;
// - property names are UTF-16 text ending in a 0 unit;
// - *value points to a buffer of kConfLibValueBufferSize bytes. On a read (set = 0) the library
//   fills it with the value as UTF-16 decimal text ending in a 0 unit; on a write (set = 1) it
//   starts with the value in machine form: int32_t for switches, selections and gains, float
//   for the two level scalars (0.0 to 1.0);
// - parameter is null or points to a pointer to a buffer that starts with an int32_t channel
//   (-1 the master channel), or three int32_t {4, -1, 0} for the surround switch.

#include <cstdint>

extern "C" {

// Passed by value: identifier, type, a field the program does not interpret, state (1 active).
struct VxAudioEndpoint {
    int32_t id;
    int32_t type;
    int32_t reserved;
    int32_t state;
};
static_assert(sizeof(VxAudioEndpoint) == 16);

typedef int (*VxConfLibInitFn)(void);
typedef int (*VxCreateDeviceListFn)(void);
typedef int (*VxGetDeviceCountFn)(int32_t direction, uint32_t* count);
typedef int (*VxGetDeviceByIdFn)(int32_t direction, uint32_t index, VxAudioEndpoint* endpoint);
typedef int (*VxPropertyControlFn)(VxAudioEndpoint endpoint, const char16_t* name, void** value,
                                   void** parameter, int32_t set);
// The names looked up but never called by the program (RegisterCallbackFunction and the others).
typedef int (*VxUnusedFn)(void);

}  // extern "C"

namespace vx::headset {

constexpr int32_t kDirectionOutput = 0;
constexpr int32_t kDirectionInput = 1;
constexpr int kConfLibValueBufferSize = 1024;

// Endpoint types the selection rules know: headphones (1), a USB output (12), a digital output
// (7), any other output (4); a microphone input (2).
constexpr int32_t kEndpointHeadphones = 1;
constexpr int32_t kEndpointUsbOutput = 12;
constexpr int32_t kEndpointDigitalOutput = 7;
constexpr int32_t kEndpointOtherOutput = 4;
constexpr int32_t kEndpointMicrophone = 2;
constexpr int32_t kEndpointOtherInput = 3;
constexpr int32_t kEndpointActive = 1;

// Bit of the capture endpoint's first feature value that makes the voice effect usable.
constexpr int32_t kFeatureVoiceEffect = 0x20000;

}  // namespace vx::headset
