#include "DescriptorSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "link/HidPath.h"
#include "link/HidTransport.h"
#include "link/HidrawNode.h"
#include "link/VirtualHid.h"

using vx::link::HidCollectionInfo;
using vx::link::HidNodeRecord;
using vx::link::HidPathNode;
using vx::link::IsVirtualNode;
using vx::link::ParseHexBytes;
using vx::link::ReadHidrawDescriptor;
using vx::link::ReadVirtualNodeRecord;
using vx::link::ReportDescriptor;
using vx::link::ReportDescriptorStatus;
using vx::link::kVirtualNodePrefix;

namespace vx::hiddescriptor {

namespace {

// Descriptors are at most 4 KiB; a hex file of one is under 16 KiB.
constexpr std::streamoff kMaxHexFile = 1 << 20;

std::string Hex4(uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

Json::Value IdList(const std::vector<uint8_t>& ids) {
    Json::Value list(Json::arrayValue);
    for (uint8_t id : ids) list.append(id);
    return list;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

DescriptorLoad LoadHidraw(const std::string& node, std::vector<uint8_t>* bytes, std::string* error) {
    const int fd = open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = node + ": " + std::strerror(errno);
        return errno == ENOENT ? DescriptorLoad::NotFound : DescriptorLoad::Unreadable;
    }
    const bool ok = ReadHidrawDescriptor(fd, bytes);
    close(fd);
    if (!ok) {
        *error = node + ": not a hidraw node (no report descriptor)";
        return DescriptorLoad::Unreadable;
    }
    return DescriptorLoad::Ok;
}

DescriptorLoad LoadHexFile(const std::string& file, std::vector<uint8_t>* bytes, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        *error = file + ": " + std::strerror(errno);
        return errno == ENOENT ? DescriptorLoad::NotFound : DescriptorLoad::Unreadable;
    }
    in.seekg(0, std::ios::end);
    if (in.tellg() > kMaxHexFile) {
        *error = file + ": too large for a report descriptor";
        return DescriptorLoad::NotHex;
    }
    in.seekg(0);
    std::ostringstream text;
    text << in.rdbuf();
    if (!ParseHexBytes(text.str(), bytes)) {
        *error = file + ": not hexadecimal bytes";
        return DescriptorLoad::NotHex;
    }
    return DescriptorLoad::Ok;
}

}  // namespace

DescriptorLoad LoadDescriptor(const std::string& source, std::vector<uint8_t>* bytes, std::string* error) {
    std::string node = source;
    const std::string fromPath = HidPathNode(source);
    if (!fromPath.empty()) node = fromPath;
    if (IsVirtualNode(node) || EndsWith(node, ".node")) {
        std::string base = IsVirtualNode(node) ? node.substr(kVirtualNodePrefix.size()) : node;
        if (EndsWith(base, ".node")) base.resize(base.size() - 5);
        HidNodeRecord record;
        std::string socketPath;
        if (!ReadVirtualNodeRecord(base, &record, &socketPath)) {
            *error = base + ".node: missing or not a node record";
            return DescriptorLoad::NotFound;
        }
        *bytes = std::move(record.descriptor);
        return DescriptorLoad::Ok;
    }
    struct stat st {};
    if (stat(node.c_str(), &st) == 0 && S_ISCHR(st.st_mode)) return LoadHidraw(node, bytes, error);
    return LoadHexFile(node, bytes, error);
}

Json::Value DescribeCollections(const ReportDescriptor& descriptor) {
    Json::Value root(Json::objectValue);
    Json::Value& list = root["collections"] = Json::Value(Json::arrayValue);
    const bool several = descriptor.Collections().size() > 1;
    for (const HidCollectionInfo& c : descriptor.Collections()) {
        Json::Value col(Json::objectValue);
        col["collection"] = c.number;
        // The number that a device path of this collection carries; none for a lone collection.
        col["path_collection"] = several ? Json::Value(c.number) : Json::Value();
        col["usage_page"] = Hex4(c.usagePage);
        col["usage"] = Hex4(c.usage);
        col["input_report_byte_length"] = c.reportLength[0];
        col["output_report_byte_length"] = c.reportLength[1];
        col["feature_report_byte_length"] = c.reportLength[2];
        col["uses_report_ids"] = c.usesReportIds;
        col["report_ids"]["input"] = IdList(c.reportIds[0]);
        col["report_ids"]["output"] = IdList(c.reportIds[1]);
        col["report_ids"]["feature"] = IdList(c.reportIds[2]);
        list.append(col);
    }
    return root;
}

const char* DescriptorStatusName(ReportDescriptorStatus status) {
    switch (status) {
        case ReportDescriptorStatus::Ok:
            return "ok";
        case ReportDescriptorStatus::Empty:
            return "empty descriptor";
        case ReportDescriptorStatus::Truncated:
            return "item runs past the end";
        case ReportDescriptorStatus::StackUnderflow:
            return "pop or end collection without a match";
        case ReportDescriptorStatus::StackOverflow:
            return "nesting too deep";
        case ReportDescriptorStatus::UnclosedCollection:
            return "collection not closed";
        case ReportDescriptorStatus::MainOutsideCollection:
            return "report item outside any collection";
        case ReportDescriptorStatus::BadReportSize:
            return "bad report id or report size";
        case ReportDescriptorStatus::NoCollection:
            return "no collection";
        case ReportDescriptorStatus::TooManyFields:
            return "too many fields in one report";
        case ReportDescriptorStatus::TooManyUsages:
            return "too many usages";
    }
    return "unknown";
}

}  // namespace vx::hiddescriptor
