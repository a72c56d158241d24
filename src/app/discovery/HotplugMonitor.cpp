#include "app/discovery/HotplugMonitor.h"

#include <libudev.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

#include "platform/DebugLog.h"

namespace {
constexpr uint32_t kWatchMask = IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_CLOSE_WRITE |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
}

HotplugMonitor::~HotplugMonitor() {
    if (m_monitor) udev_monitor_unref(m_monitor);
    if (m_udev) udev_unref(m_udev);
    if (m_inotifyFd >= 0) close(m_inotifyFd);
}

void HotplugMonitor::Start(bool useUdev, const std::string& virtualDirectory) {
    if (useUdev && !m_monitor) {
        m_udev = udev_new();
        if (m_udev) m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
        // Events of the "udev" source come after the rules ran, so the node's access rights are
        // final when the scan opens it.
        if (m_monitor && (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
                          udev_monitor_enable_receiving(m_monitor) < 0)) {
            udev_monitor_unref(m_monitor);
            m_monitor = nullptr;
        }
        if (m_monitor) {
            m_udevFd = udev_monitor_get_fd(m_monitor);
        } else {
            DebugLog("discovery: udev monitor unavailable; hidraw changes are found by the scan");
        }
    }
    m_directory = virtualDirectory;
    if (!m_directory.empty() && m_inotifyFd < 0) m_inotifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    RefreshWatch();
}

void HotplugMonitor::RefreshWatch() {
    if (m_inotifyFd < 0 || m_directory.empty() || m_watch >= 0) return;
    m_watch = inotify_add_watch(m_inotifyFd, m_directory.c_str(), kWatchMask);
}

std::vector<int> HotplugMonitor::Descriptors() const {
    std::vector<int> fds;
    if (m_udevFd >= 0 && m_monitor) fds.push_back(m_udevFd);
    if (m_inotifyFd >= 0) fds.push_back(m_inotifyFd);
    return fds;
}

bool HotplugMonitor::Drain() {
    const bool udevChanged = DrainUdev();
    const bool dirChanged = DrainInotify();
    return udevChanged || dirChanged;
}

bool HotplugMonitor::DrainUdev() {
    if (!m_monitor) return false;
    bool changed = false;
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
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
