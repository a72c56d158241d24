#pragma once
// What the program and its audio-capture companion say to each other. They talk D-Bus over a
// private peer-to-peer connection: the program listens on an address of its own and gives it to
// the companion it starts, so no session bus is needed and no other program can feed the window.
//
//   companion object kCompanionPath, interface kInterface:
//     Command(i command, x argument)             the numbered commands below
//     CopyData(x window, i tag, ay data)         tag 10: the selected style's colour
//   window object kWindowPath, interface kInterface:
//     CopyData(x window, i tag, ay data)         tag 1: a frame of levels; tag 2: a parameter record
//
// Frames are little-endian signed 32-bit values, at most kFrameValues of them.

#include <cstdint>

namespace vx::audio::companion {

// "VexorUmbrelControlCenter" followed by "AudioRecord", as the companion's window was named.
inline constexpr const char* kInterface = "com.vexorumbrel.VexorUmbrelControlCenterAudioRecord";
inline constexpr const char* kCompanionPath = "/AudioRecord";
inline constexpr const char* kWindowPath = "/ControlCenter";
inline constexpr const char* kProgramName = "VexorUmbrelControlCenterAudioRecord";

enum Command : int32_t {
    kConnect = 0,       // argument: the window's handle, echoed in every record the companion sends
    kStartSending = 1,  // frames go to the window
    kStopSending = 2,
    kOpenCapture = 3,   // the companion starts recording the default output's monitor
    kCloseCapture = 4,
    kQuit = 5,
    kRed = 6,  // the three colour components of the lighting panel's sliders
    kGreen = 7,
    kBlue = 8,
};

inline constexpr int32_t kTagFrame = 1;
inline constexpr int32_t kTagParameters = 2;
inline constexpr int32_t kTagColour = 10;
inline constexpr int kFrameValues = 500;

// The companion's exit status.
enum ExitCode : int {
    kExitNormal = 0,
    kExitUsage = 2,
    kExitNoWindow = 3,   // the window's address could not be reached
    kExitNoCapture = 4,  // the sound server refused the recording or went away
    kExitOrphaned = 5,   // the program that started it has ended
};

}  // namespace vx::audio::companion
