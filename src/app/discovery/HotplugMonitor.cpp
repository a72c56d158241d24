#include "app/discovery/HotplugMonitor.h"

#include <libudev.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/DebugLog.h"

namespace vx::discovery {

using vx::platform::DebugLog;

namespace {
constexpr uint32_t kWatchMask = IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_CLOSE_WRITE |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// The udev daemon's control socket, which libudev itself checks to tell whether the daemon runs.
// A monitor of the daemon's source binds without a daemon too, and then never hears anything.
bool UdevDaemonRunning() {
    return access("/run/udev/control", F_OK) == 0;
}
}  // namespace

HotplugMonitor::~HotplugMonitor() {
    StopUdev();
    if (m_inotifyFd >= 0) close(m_inotifyFd);
}

void HotplugMonitor::Start(bool useUdev, const std::string& virtualDirectory) {
    m_wantUdev = useUdev;
    if (m_wantUdev && !m_monitor) {
        StartUdev();
        if (!m_monitor) DebugLog("discovery: udev monitor unavailable; hidraw changes are found by the scan");
    }
    m_directory = virtualDirectory;
    if (!m_directory.empty() && m_inotifyFd < 0) m_inotifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    RefreshWatch();
}

void HotplugMonitor::StartUdev() {
    m_daemonSource = UdevDaemonRunning();
    if (!m_udev) m_udev = udev_new();
    // Events of the "udev" source come after the rules ran, so the node's access rights are final
    // when the scan opens it. Without a daemon no rules run, and the kernel's events are the only
    // ones there are.
    if (m_udev) m_monitor = udev_monitor_new_from_netlink(m_udev, m_daemonSource ? "udev" : "kernel");
    if (m_monitor && (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
                      udev_monitor_enable_receiving(m_monitor) < 0)) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
    m_udevFd = m_monitor ? udev_monitor_get_fd(m_monitor) : -1;
}

void HotplugMonitor::StopUdev() {
    if (m_monitor) udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
    m_udevFd = -1;
    if (m_udev) udev_unref(m_udev);
    m_udev = nullptr;
}

void HotplugMonitor::RefreshWatch() {
    if (m_wantUdev && (!m_monitor || m_daemonSource != UdevDaemonRunning())) {
        StopUdev();
        StartUdev();
    }
    if (m_inotifyFd < 0 || m_directory.empty() || m_watch >= 0) return;
    m_watch = inotify_add_watch(m_inotifyFd, m_directory.c_str(), kWatchMask);
}

std::vector<int> HotplugMonitor::Descriptors() const {
    std::vector<int> fds;
    if (m_udevFd >= 0 && m_monitor) fds.push_back(m_udevFd);
    if (m_inotifyFd >= 0) fds.push_back(m_inotifyFd);
    return fds;
}

void HotplugMonitor::DropDescriptor(int fd) {
    if (fd < 0) return;
    if (fd == m_udevFd) {
        DebugLog("discovery: the udev monitor failed; scanning often until it is set up again");
        StopUdev();
    } else if (fd == m_inotifyFd) {
        DebugLog("discovery: the directory watch failed; scanning often until it is set up again");
        close(m_inotifyFd);
        m_inotifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        m_watch = -1;
    }
}

bool HotplugMonitor::Watching() const {
    const bool wantDirectory = !m_directory.empty();
    if (!m_wantUdev && !wantDirectory) return false;
    if (m_wantUdev && !m_monitor) return false;
    if (wantDirectory && m_watch < 0) return false;
    return true;
}

bool HotplugMonitor::Drain() {
    const bool udevChanged = DrainUdev();
    const bool dirChanged = DrainInotify();
    return udevChanged || dirChanged;
}

bool HotplugMonitor::DrainUdev() {
    if (!m_monitor) return false;
    bool changed = false;
    for (;;) {
        errno = 0;
        udev_device* device = udev_monitor_receive_device(m_monitor);
        if (device == nullptr) {
            // The socket's queue overflowed: the events it dropped may have been changes.
            if (errno == ENOBUFS) changed = true;
            break;
        }
        changed = true;
        udev_device_unref(device);
    }
    return changed;
}

bool HotplugMonitor::DrainInotify() {
    if (m_inotifyFd < 0) return false;
    bool changed = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = read(m_inotifyFd, buffer, sizeof buffer);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                // Events were dropped; any of them may have been a record.
                changed = true;
                continue;
            }
            if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                // The directory itself went; the next refresh watches whatever takes its name.
                if (event->wd == m_watch) {
                    inotify_rm_watch(m_inotifyFd, m_watch);
                    m_watch = -1;
                }
                changed = true;
                continue;
            }
            // Only records announce or withdraw a node; socket files come and go around them.
            const size_t nameLength = event->len > 0 ? strnlen(event->name, event->len) : 0;
            const std::string_view name(event->name, nameLength);
            if (name.ends_with(".node")) changed = true;
        }
    }
    return changed;
}

}  // namespace vx::discovery
