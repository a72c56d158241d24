#include "app/discovery/NodePresence.h"

#include <sys/stat.h>
#include <unistd.h>

#include "link/HidPath.h"

namespace vx::discovery {

using vx::link::HidPathNode;
using vx::link::IsVirtualNode;
using vx::link::kVirtualNodePrefix;

namespace {

// A node is its record and its socket, both made anew on every plug. Inode numbers may be reused
// and file times are coarse, so one of them alone could mistake a quick replug for the old node.
std::string VirtualToken(const std::string& node) {
    const std::string base = node.substr(kVirtualNodePrefix.size());
    struct stat record {};
    struct stat socket {};
    if (stat((base + ".node").c_str(), &record) != 0 || stat((base + ".sock").c_str(), &socket) != 0)
        return {};
    return "virtual:" + std::to_string(record.st_dev) + ":" + std::to_string(record.st_ino) + ":" +
           std::to_string(record.st_mtim.tv_sec) + "." + std::to_string(record.st_mtim.tv_nsec) + ":" +
           std::to_string(socket.st_ino);
}

std::string HidrawToken(const std::string& node) {
    struct stat st {};
    if (stat(node.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return {};
    const size_t slash = node.rfind('/');
    const std::string name = slash == std::string::npos ? node : node.substr(slash + 1);
    char target[512];
    const ssize_t n = readlink(("/sys/class/hidraw/" + name).c_str(), target, sizeof target - 1);
    // Without sysfs the device number is all there is.
    if (n <= 0) return "rdev:" + std::to_string(st.st_rdev);
    return std::string(target, static_cast<size_t>(n));
}

}  // namespace

std::string NodePresenceToken(std::string_view path) {
    const std::string node = HidPathNode(path);
    if (node.empty()) return {};
    return IsVirtualNode(node) ? VirtualToken(node) : HidrawToken(node);
}

}  // namespace vx::discovery
