#pragma once
// Wakes the discovery thread as soon as the set of HID interfaces may have changed: a udev monitor
// of the "hidraw" subsystem for real devices, and an inotify watch of the virtual interface
// directory. Either may be unavailable (no netlink socket, no directory yet) or fail later; the
// discovery thread asks Watching() before each wait and scans often while it is false.

#include <string>
#include <vector>

struct udev;
struct udev_monitor;

namespace vx::discovery {


class HotplugMonitor {
public:
    HotplugMonitor() = default;
    ~HotplugMonitor();
    HotplugMonitor(const HotplugMonitor&) = delete;
    HotplugMonitor& operator=(const HotplugMonitor&) = delete;

    // Either source may be switched off.
    void Start(bool useUdev, const std::string& virtualDirectory);
    // Sets up again what is missing or broken: the directory watch when the directory was missing
    // or has been replaced, the udev monitor when it failed or the udev daemon came or went. Cheap
    // when everything is in place (one access check).
    void RefreshWatch();
    // The descriptors to wait on for reading.
    std::vector<int> Descriptors() const;
    // Reads every pending event; true when any of them can change the interface list, and also
    // when events were lost (a full queue), since the change may be among them.
    bool Drain();
    // A descriptor from Descriptors() reported an error: its source counts as failed until the
    // next RefreshWatch sets it up again.
    void DropDescriptor(int fd);

    // True when every source asked for in Start is set up (at least one was asked for): a change
    // of the interface list then wakes the thread, and the periodic scan is only a safety net.
    bool Watching() const;
    bool UdevActive() const { return m_monitor != nullptr; }
    bool WatchActive() const { return m_watch >= 0; }

private:
    void StartUdev();
    void StopUdev();
    bool DrainUdev();
    bool DrainInotify();

    bool m_wantUdev = false;
    // Events of the daemon's source, after its rules ran; without a daemon, the kernel's own.
    bool m_daemonSource = false;
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    int m_udevFd = -1;
    int m_inotifyFd = -1;
    int m_watch = -1;
    std::string m_directory;
};

}  // namespace vx::discovery
