#include "link/HidPath.h"

#include <cctype>
#include <cstdio>

#include "link/HidLink.h"

namespace vx::link {

namespace {

// Finds marker without regard to case and reads the hexadecimal digits after it.
uint16_t ParseHexField(std::string_view path, std::string_view marker) {
    if (path.size() < marker.size()) return 0;
    for (size_t i = 0; i + marker.size() <= path.size(); ++i) {
        size_t k = 0;
        while (k < marker.size() && std::tolower(static_cast<unsigned char>(path[i + k])) ==
                                        static_cast<unsigned char>(marker[k])) {
            ++k;
        }
        if (k != marker.size()) continue;
        uint32_t value = 0;
        for (size_t j = i + k; j < path.size(); ++j) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(path[j])));
            int digit;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else {
                break;
            }
            value = ((value << 4) | uint32_t(digit)) & 0xFFFFFu;
        }
        return static_cast<uint16_t>(value);
    }
    return 0;
}

}  // namespace

uint16_t ParseVendorId(std::string_view path) {
    return ParseHexField(path, "vid_");
}
uint16_t ParseProductId(std::string_view path) {
    return ParseHexField(path, "pid_");
}
uint16_t ParseInterfaceNumber(std::string_view path) {
    return ParseHexField(path, "&mi_");
}
uint16_t ParseCollectionNumber(std::string_view path) {
    return ParseHexField(path, "&col");
}

std::string MakeHidPath(const HidPathParts& parts) {
    char identity[64];
    int n =
        std::snprintf(identity, sizeof identity, "hid#vid_%04x&pid_%04x", parts.vendorId, parts.productId);
    if (parts.interfaceNumber) {
        n += std::snprintf(identity + n, sizeof identity - n, "&mi_%02x", *parts.interfaceNumber);
    }
    if (parts.collection != 0) std::snprintf(identity + n, sizeof identity - n, "&col%02x", parts.collection);
    return std::string(identity) + "#" + parts.node;
}

std::string HidPathNode(std::string_view path) {
    if (path.size() < 4) return {};
    for (size_t i = 0; i < 3; ++i) {
        if (std::tolower(static_cast<unsigned char>(path[i])) != "hid"[i]) return {};
    }
    if (path[3] != '#') return {};
    const size_t second = path.find('#', 4);
    if (second == std::string_view::npos || second + 1 >= path.size()) return {};
    return std::string(path.substr(second + 1));
}

bool IsVirtualNode(std::string_view node) {
    return node.substr(0, kVirtualNodePrefix.size()) == kVirtualNodePrefix;
}

}  // namespace vx::link
