#pragma once
namespace vx::devices {

// What a device page needs from the selector entry that drives it: a reread of the device's
// settings (RefreshFromDevice) after a delay. The entry implements it with its timer 1002.
// Called on the UI thread only; the page's notification readers reach it by posting to the page.

class IRereadScheduler {
public:
    virtual ~IRereadScheduler() = default;
    virtual void ScheduleReread(int delayMs) = 0;
};

}  // namespace vx::devices
