#pragma once
// Wakes the discovery thread as soon as the set of HID interfaces may have changed: a udev monitor
// of the "hidraw" subsystem for real devices, and an inotify watch of the virtual interface
// directory. Either may be unavailable (no udev daemon, no directory yet); the periodic scan then
// finds the change a little later.

#include <string>
#include <vector>

struct udev;
struct udev_monitor;

class HotplugMonitor {
public:
    HotplugMonitor() = default;
    ~HotplugMonitor();
    HotplugMonitor(const HotplugMonitor&) = delete;
    HotplugMonitor& operator=(const HotplugMonitor&) = delete;

    // Either source may be switched off.
    void Start(bool useUdev, const std::string& virtualDirectory);
    // Watches the directory again when it was missing or has been replaced; cheap when watching.
    void RefreshWatch();
    // The descriptors to wait on for reading.
    std::vector<int> Descriptors() const;
    // Reads every pending event; true when any of them can change the interface list.
    bool Drain();

    bool UdevActive() const { return m_monitor != nullptr; }
    bool WatchActive() const { return m_watch >= 0; }

private:
    bool DrainUdev();
    bool DrainInotify();

    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    int m_udevFd = -1;
    int m_inotifyFd = -1;
    int m_watch = -1;
    std::string m_directory;
};
