#include "link/HidrawNode.h"

#include <dirent.h>
#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace vx::link {

namespace {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

bool ReadSysfsDescriptor(const char* hidSyspath, std::vector<uint8_t>* descriptor) {
    std::ifstream in(std::string(hidSyspath) + "/report_descriptor", std::ios::binary);
    if (!in) return false;
    descriptor->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !descriptor->empty() && descriptor->size() <= HID_MAX_DESCRIPTOR_SIZE;
}

bool ParseHexAttribute(const char* text, uint16_t* value) {
    if (text == nullptr) return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 16);
    if (end == text || v > 0xFFFF) return false;
    *value = static_cast<uint16_t>(v);
    return true;
}

// Fills interface number and version from the usb parents; other buses leave them unknown.
void ReadUsbParents(udev_device* hidraw, HidNodeRecord* record) {
    udev_device* intf = udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_interface");
    uint16_t number = 0;
    if (intf != nullptr &&
        ParseHexAttribute(udev_device_get_sysattr_value(intf, "bInterfaceNumber"), &number)) {
        record->interfaceNumber = number;
    }
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device");
    if (usb != nullptr) ParseHexAttribute(udev_device_get_sysattr_value(usb, "bcdDevice"), &record->version);
}

bool RecordFromUdev(udev_device* hidraw, HidNodeRecord* record) {
    const char* devnode = udev_device_get_devnode(hidraw);
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    if (devnode == nullptr || hid == nullptr) return false;
    uint16_t bus = 0;
    if (!ParseHidId(udev_device_get_property_value(hid, "HID_ID"), &bus, &record->vendorId,
                    &record->productId)) {
        return false;
    }
    record->node = devnode;
    ReadUsbParents(hidraw, record);
    ReadSysfsDescriptor(udev_device_get_syspath(hid), &record->descriptor);
    return true;
}

// The report descriptor of an open node; on failure *failed names the call (when given).
bool ReadHidrawDescriptorNoting(int fd, std::vector<uint8_t>* descriptor, LinkError* failed) {
    int size = 0;
    if (ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0) {
        if (failed) *failed = LinkError{"ioctl HIDIOCGRDESCSIZE", errno, {}, {}};
        return false;
    }
    if (size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        if (failed) *failed = LinkError{"ioctl HIDIOCGRDESCSIZE", 0, {}, "size " + std::to_string(size) + " out of range"};
        return false;
    }
    hidraw_report_descriptor rd{};
    rd.size = static_cast<uint32_t>(size);
    if (ioctl(fd, HIDIOCGRDESC, &rd) < 0) {
        if (failed) *failed = LinkError{"ioctl HIDIOCGRDESC", errno, {}, {}};
        return false;
    }
    descriptor->assign(rd.value, rd.value + rd.size);
    return true;
}

}  // namespace

bool ParseHidId(const char* text, uint16_t* bus, uint16_t* vendor, uint16_t* product) {
    if (text == nullptr) return false;
    unsigned int b = 0, v = 0, p = 0;
    if (std::sscanf(text, "%x:%x:%x", &b, &v, &p) != 3) return false;
    *bus = static_cast<uint16_t>(b);
    *vendor = static_cast<uint16_t>(v);
    *product = static_cast<uint16_t>(p);
    return true;
}

bool EnumerateHidrawNodes(std::vector<HidNodeRecord>* records) {
    UdevPtr<udev> u(udev_new());
    if (!u) return false;
    // The hidraw class folder lists every node. Read directly it is one folder read per listing,
    // where a udev enumeration reads the bus and class folders first; the discovery lists on
    // every scan, on an idle machine as well.
    constexpr const char* kClassFolder = "/sys/class/hidraw";
    std::vector<std::string> names;
    if (DIR* dir = opendir(kClassFolder)) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
        }
        closedir(dir);
    } else if (errno != ENOENT) {
        return false;
    }
    // No folder: no hidraw node yet (the class comes with the first HID device's driver).
    // In name order, as a udev enumeration gives them.
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string syspath = std::string(kClassFolder) + "/" + name;
        UdevPtr<udev_device> dev(udev_device_new_from_syspath(u.get(), syspath.c_str()));
        if (!dev) continue;  // unplugged while listing
        HidNodeRecord record;
        if (RecordFromUdev(dev.get(), &record)) records->push_back(std::move(record));
    }
    return true;
}

bool ReadHidrawDescriptor(int fd, std::vector<uint8_t>* descriptor) {
    return ReadHidrawDescriptorNoting(fd, descriptor, nullptr);
}

int OpenHidrawNode(const std::string& node, bool read, bool write, HidNodeRecord* record,
                   HidOpenError* error, LinkError* detail) {
    auto note = [&](const char* call, int code, const char* what = "") {
        LinkError recorded = RecordLinkError(call, code, node, what);
        if (detail != nullptr) *detail = std::move(recorded);
    };
    const int mode = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    const int fd = open(node.c_str(), mode | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        note("open", e);
        *error = (e == EACCES || e == EPERM)                                  ? HidOpenError::PermissionDenied
                 : (e == ENOENT || e == ENODEV || e == ENXIO || e == ENOTDIR) ? HidOpenError::NotFound
                                                                              : HidOpenError::Other;
        return -1;
    }
    hidraw_devinfo info{};
    if (ioctl(fd, HIDIOCGRAWINFO, &info) < 0) {
        const int e = errno;
        close(fd);
        note("ioctl HIDIOCGRAWINFO", e);
        *error = e == ENODEV ? HidOpenError::NotFound : HidOpenError::Other;
        return -1;
    }
    record->node = node;
    record->vendorId = static_cast<uint16_t>(info.vendor);
    record->productId = static_cast<uint16_t>(info.product);
    LinkError descriptorError;
    if (!ReadHidrawDescriptorNoting(fd, &record->descriptor, &descriptorError)) {
        close(fd);
        note(descriptorError.call.c_str(), descriptorError.code, descriptorError.detail.c_str());
        *error = HidOpenError::NoDescriptor;
        return -1;
    }
    struct stat st {};
    UdevPtr<udev> u(udev_new());
    if (u && fstat(fd, &st) == 0 && S_ISCHR(st.st_mode)) {
        UdevPtr<udev_device> dev(udev_device_new_from_devnum(u.get(), 'c', st.st_rdev));
        if (dev) ReadUsbParents(dev.get(), record);
    }
    *error = HidOpenError::None;
    return fd;
}

}  // namespace vx::link
