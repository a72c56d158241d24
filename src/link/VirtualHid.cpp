#include "link/VirtualHid.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <json/json.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>

#include "link/HidPath.h"
#include "link/ReportDescriptor.h"
#include "platform/DebugLog.h"

using vx::platform::DebugLog;

namespace vx::link {

namespace {

constexpr std::string_view kRecordSuffix = ".node";
// A record is a few hundred bytes; anything far larger is not one of ours.
constexpr std::streamoff kMaxRecordSize = 1 << 20;

bool ReadSmallFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxRecordSize) return false;
    in.seekg(0);
    std::ostringstream out;
    out << in.rdbuf();
    *text = out.str();
    return true;
}

bool ReadU16(const Json::Value& root, const char* key, uint16_t* out) {
    const Json::Value& v = root[key];
    if (!v.isIntegral()) return false;
    const Json::LargestInt n = v.asLargestInt();
    if (n < 0 || n > 0xFFFF) return false;
    *out = static_cast<uint16_t>(n);
    return true;
}

// A record that cannot be read stays unread on every scan (ten a second); its diagnostic line is
// written once per path and content so that the log stays readable.
void ReportUnreadableRecord(const std::string& path, const std::string& text, const std::string& why) {
    static std::mutex mutex;
    static std::set<std::pair<std::string, size_t>> reported;
    const std::pair<std::string, size_t> key(path, std::hash<std::string>{}(text));
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!reported.insert(key).second) return;
        // A folder that keeps gaining broken records must not make this set grow without end.
        if (reported.size() > 4096) reported.clear();
    }
    DebugLog("virtual device record skipped: " + path + ": " + why);
}

// Parses text without letting anything escape: jsoncpp throws on documents nested past its stack
// limit, and this runs in the discovery thread, where a throw would end the program.
bool ParseRecordJson(const std::string& text, Json::Value* root, std::string* errors) {
    try {
        Json::CharReaderBuilder builder;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        return reader->parse(text.data(), text.data() + text.size(), root, errors);
    } catch (const std::exception& e) {
        *errors = e.what();
    } catch (...) {
        *errors = "unreadable";
    }
    return false;
}

std::string DirectoryOf(const std::string& base) {
    const size_t slash = base.rfind('/');
    return slash == std::string::npos ? std::string(".") : base.substr(0, slash);
}

}  // namespace

std::string VirtualHidDirectory() {
    const char* dir = std::getenv("VX_VIRTUAL_HID_DIR");
    return dir == nullptr ? std::string() : std::string(dir);
}

bool ReadVirtualNodeRecord(const std::string& base, HidNodeRecord* record, std::string* socketPath) {
    std::string text;
    if (!ReadSmallFile(base + std::string(kRecordSuffix), &text)) return false;
    const std::string recordPath = base + std::string(kRecordSuffix);
    Json::Value root;
    std::string errors;
    if (!ParseRecordJson(text, &root, &errors)) {
        ReportUnreadableRecord(recordPath, text, errors);
        return false;
    }
    if (!root.isObject()) {
        ReportUnreadableRecord(recordPath, text, "not a JSON object");
        return false;
    }
    HidNodeRecord r;
    r.node = std::string(kVirtualNodePrefix) + base;
    uint16_t interfaceNumber = 0;
    if (!ReadU16(root, "vendor", &r.vendorId) || !ReadU16(root, "product", &r.productId)) return false;
    if (root.isMember("version") && !ReadU16(root, "version", &r.version)) return false;
    if (root.isMember("interface")) {
        if (!ReadU16(root, "interface", &interfaceNumber)) return false;
        r.interfaceNumber = interfaceNumber;
    }
    const Json::Value& descriptor = root["report_descriptor"];
    const Json::Value& socket = root["socket"];
    if (!descriptor.isString() || !socket.isString() || socket.asString().empty()) return false;
    if (!ParseHexBytes(descriptor.asString(), &r.descriptor)) return false;
    const std::string sock = socket.asString();
    // The socket lives in the directory; a record may not point anywhere else.
    if (sock.find('/') != std::string::npos || sock == "." || sock == "..") return false;
    *socketPath = DirectoryOf(base) + "/" + sock;
    *record = std::move(r);
    return true;
}

void EnumerateVirtualNodes(const std::string& dir, std::vector<HidNodeRecord>* records) {
    if (dir.empty()) return;
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) return;
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() > kRecordSuffix.size() &&
            name.compare(name.size() - kRecordSuffix.size(), kRecordSuffix.size(), kRecordSuffix) == 0) {
            names.push_back(name.substr(0, name.size() - kRecordSuffix.size()));
        }
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    std::string base = dir;
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    for (const std::string& name : names) {
        HidNodeRecord record;
        std::string socketPath;
        if (ReadVirtualNodeRecord(base + "/" + name, &record, &socketPath))
            records->push_back(std::move(record));
    }
}

int ConnectVirtualNode(const std::string& node, HidNodeRecord* record, HidOpenError* error,
                       LinkError* detail) {
    auto note = [&](const char* call, int code, const std::string& subject, const char* what = "") {
        LinkError recorded = RecordLinkError(call, code, subject, what);
        if (detail != nullptr) *detail = std::move(recorded);
    };
    if (!IsVirtualNode(node)) {
        note("open", 0, node, "not a virtual node");
        *error = HidOpenError::BadPath;
        return -1;
    }
    const std::string base = node.substr(kVirtualNodePrefix.size());
    std::string socketPath;
    if (!ReadVirtualNodeRecord(base, record, &socketPath)) {
        const std::string recordPath = base + std::string(kRecordSuffix);
        struct stat st {};
        if (stat(recordPath.c_str(), &st) != 0) {
            note("stat", errno, recordPath);
        } else if (detail != nullptr) {
            // The reader has told why it refused the record; it is not told twice.
            *detail = LinkError{"read record", 0, recordPath, "not a usable record"};
        }
        *error = HidOpenError::NotFound;
        return -1;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof addr.sun_path) {
        note("connect", ENAMETOOLONG, socketPath);
        *error = HidOpenError::BadPath;
        return -1;
    }
    std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        note("socket", errno, socketPath);
        *error = HidOpenError::Other;
        return -1;
    }
    int rc;
    do {
        rc = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0 && errno != EINPROGRESS) {
        const int e = errno;
        close(fd);
        note("connect", e, socketPath);
        *error = (e == EACCES || e == EPERM)                          ? HidOpenError::PermissionDenied
                 : (e == ENOENT || e == ECONNREFUSED || e == ENOTDIR) ? HidOpenError::NotFound
                                                                      : HidOpenError::Other;
        return -1;
    }
    *error = HidOpenError::None;
    return fd;
}

}  // namespace vx::link
