#include "link/HidLink.h"

#include <unistd.h>

#include <cerrno>

#include "link/HidPath.h"
#include "link/HidTransport.h"
#include "link/HidrawNode.h"
#include "link/ReportDescriptor.h"
#include "link/VirtualHid.h"

namespace vx::link {

namespace {

// The control pipe transfer is synchronous on the device side; bound it like a command write.
constexpr uint32_t kSetOutputTimeoutMs = 1000;

void AppendPaths(const HidNodeRecord& record, std::vector<std::string>* paths) {
    ReportDescriptor descriptor;
    size_t collections = 1;
    if (descriptor.Parse(record.descriptor) == ReportDescriptorStatus::Ok) {
        collections = descriptor.Collections().size();
    }
    HidPathParts parts;
    parts.vendorId = record.vendorId;
    parts.productId = record.productId;
    parts.interfaceNumber = record.interfaceNumber;
    parts.node = record.node;
    if (collections == 1) {
        paths->push_back(MakeHidPath(parts));
        return;
    }
    for (size_t c = 1; c <= collections; ++c) {
        parts.collection = static_cast<uint16_t>(c);
        paths->push_back(MakeHidPath(parts));
    }
}

}  // namespace

HidLink::HidLink() = default;

HidLink::~HidLink() {
    Close();
}

bool HidLink::EnumerateInterfaces() {
    m_paths.clear();
    m_cursor = 0;
    std::vector<HidNodeRecord> records;
    const bool udevOk = EnumerateHidrawNodes(&records);
    const std::string virtualDir = VirtualHidDirectory();
    EnumerateVirtualNodes(virtualDir, &records);
    for (const HidNodeRecord& record : records) AppendPaths(record, &m_paths);
    // Without udev the virtual nodes still make a usable list.
    return udevOk || !virtualDir.empty();
}

std::string HidLink::NextPath() {
    if (m_cursor >= m_paths.size()) return {};
    return m_paths[m_cursor++];
}

void HidLink::FreePathList() {
    m_paths.clear();
    m_paths.shrink_to_fit();
    m_cursor = 0;
}

bool HidLink::Open(std::string_view path, bool read, bool write, bool overlapped, bool exclusive) {
    m_read = read;
    m_write = write;
    m_overlapped = overlapped;
    m_exclusive = exclusive;
    if (path.size() >= kHidMaxPathLength) {
        Close();
        m_path.clear();
        m_openError = HidOpenError::BadPath;
        SetLastError(RecordLinkError("open", ENAMETOOLONG, std::string(path.substr(0, 64)) + "..."));
        return false;
    }
    m_path.assign(path);
    return Reopen();
}

int HidLink::OpenNode(const std::string& node, HidNodeRecord* record) {
    LinkError failed;
    const int fd = IsVirtualNode(node) ? ConnectVirtualNode(node, record, &m_openError, &failed)
                                       : OpenHidrawNode(node, m_read, m_write, record, &m_openError, &failed);
    if (fd < 0) SetLastError(std::move(failed));
    return fd;
}

LinkError HidLink::LastError() const {
    std::lock_guard<std::mutex> lock(m_errorMutex);
    return m_lastError;
}

void HidLink::SetLastError(LinkError error) {
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_lastError = std::move(error);
}

bool HidLink::Reopen() {
    Close();
    m_openError = HidOpenError::None;
    const std::string node = HidPathNode(m_path);
    if (node.empty()) {
        m_openError = HidOpenError::BadPath;
        SetLastError(RecordLinkError("open", 0, m_path, "the path names no node"));
        return false;
    }
    HidNodeRecord record;
    const int fd = OpenNode(node, &record);
    if (fd < 0) return false;
    ReportDescriptor descriptor;
    const uint16_t wanted = ParseCollectionNumber(m_path);
    const size_t index = wanted == 0 ? 0 : wanted - 1;
    if (descriptor.Parse(record.descriptor) != ReportDescriptorStatus::Ok) {
        close(fd);
        m_openError = HidOpenError::NoDescriptor;
        SetLastError(RecordLinkError("parse report descriptor", 0, node,
                                     std::to_string(record.descriptor.size()) + " bytes refused"));
        return false;
    }
    // A node number can be reused by another device after an unplug; the path names the device too.
    if (index >= descriptor.Collections().size() || record.vendorId != ParseVendorId(m_path) ||
        record.productId != ParseProductId(m_path)) {
        close(fd);
        m_openError = HidOpenError::NotFound;
        SetLastError(RecordLinkError("open", 0, node, "another device or no such collection now"));
        return false;
    }
    auto info = std::make_shared<const HidCollectionInfo>(descriptor.Collections()[index]);
    const auto kind = IsVirtualNode(node) ? HidTransport::Kind::Virtual : HidTransport::Kind::Hidraw;
    auto transport = std::make_shared<HidTransport>(kind, fd, m_read, m_write, info, m_path);
    if (!transport->Valid()) {
        m_openError = HidOpenError::Other;
        SetLastError(RecordLinkError("eventfd", errno, node));
        return false;
    }
    m_collection = info;
    if (!ReadIdentityAndCapabilities(record)) {
        ReleaseCapabilities();
        m_openError = HidOpenError::Other;
        SetLastError(RecordLinkError("open", 0, node, "no collection layout"));
        return false;
    }
    std::lock_guard<std::mutex> lock(m_transportMutex);
    m_transport = std::move(transport);
    return true;
}

bool HidLink::ReadIdentityAndCapabilities(const HidNodeRecord& record) {
    if (!m_collection) return false;
    const HidCollectionInfo& info = *m_collection;
    m_vendorId = record.vendorId;
    m_productId = record.productId;
    m_version = record.version;
    m_usagePage = info.usagePage;
    m_usage = info.usage;
    for (int k = 0; k < 3; ++k) {
        const auto kind = static_cast<HidReportKind>(k);
        m_reportLength[k] = info.reportLength[k];
        m_reportBuffers[k].assign(m_reportLength[k], 0);
        m_buttonCapCount[k] = info.ButtonCapCount(kind);
        m_valueCapCount[k] = info.ValueCapCount(kind);
        m_usageTables[k] = BuildUsageTable(info, kind);
    }
    m_interfaceNumber = ParseInterfaceNumber(m_path);
    m_collectionNumber = ParseCollectionNumber(m_path);
    return true;
}

void HidLink::ReleaseCapabilities() {
    m_collection.reset();
    m_vendorId = m_productId = m_version = 0;
    m_usagePage = m_usage = 0;
    for (int k = 0; k < 3; ++k) {
        m_reportLength[k] = 0;
        m_buttonCapCount[k] = m_valueCapCount[k] = 0;
        m_reportBuffers[k].clear();
        m_usageTables[k].clear();
    }
    m_interfaceNumber = m_collectionNumber = 0;
}

std::shared_ptr<HidTransport> HidLink::CurrentTransport() const {
    std::lock_guard<std::mutex> lock(m_transportMutex);
    return m_transport;
}

void HidLink::DropTransport() {
    std::shared_ptr<HidTransport> old;
    {
        std::lock_guard<std::mutex> lock(m_transportMutex);
        old.swap(m_transport);
    }
    // Cancelled outside the lock; a waiter holds its own reference and closes the node on return.
    if (old) old->Cancel();
}

void HidLink::Close() {
    DropTransport();
    ReleaseCapabilities();
}

bool HidLink::IsOpen() const {
    return CurrentTransport() != nullptr;
}

int HidLink::Handle() const {
    const auto transport = CurrentTransport();
    return transport ? transport->Fd() : -1;
}

bool HidLink::Read(uint8_t* buffer, size_t length, size_t* bytesRead, uint32_t timeoutMs) {
    if (bytesRead != nullptr) *bytesRead = 0;
    const auto transport = CurrentTransport();
    if (!transport) return false;
    m_readInProgress = true;
    size_t n = 0;
    LinkError failed;
    const bool ok = transport->Read(buffer, length, &n, timeoutMs, &failed);
    m_readInProgress = false;
    if (!failed.Empty()) SetLastError(std::move(failed));
    if (bytesRead != nullptr) *bytesRead = ok ? n : 0;
    return ok;
}

bool HidLink::Write(const uint8_t* buffer, size_t length, size_t* bytesWritten, uint32_t timeoutMs) {
    if (bytesWritten != nullptr) *bytesWritten = 0;
    const auto transport = CurrentTransport();
    if (!transport) return false;
    m_writeInProgress = true;
    size_t n = 0;
    LinkError failed;
    const bool ok = transport->Write(buffer, length, &n, timeoutMs, false, &failed);
    m_writeInProgress = false;
    if (!failed.Empty()) SetLastError(std::move(failed));
    if (bytesWritten != nullptr) *bytesWritten = ok ? n : 0;
    return ok;
}

bool HidLink::SetOutputReport(const uint8_t* buffer, size_t length) {
    const auto transport = CurrentTransport();
    if (!transport) return false;
    size_t n = 0;
    LinkError failed;
    const bool ok = transport->Write(buffer, length, &n, kSetOutputTimeoutMs, true, &failed);
    if (!failed.Empty()) SetLastError(std::move(failed));
    return ok;
}

bool HidLink::UnpackReport(const uint8_t* report, size_t length, HidReportKind kind, HidUsageData* table,
                           size_t count) {
    if (!m_collection || report == nullptr || length == 0) return false;
    if (table == nullptr && count != 0) return false;
    return UnpackReportInto(*m_collection, report, length, kind, table, count);
}

}  // namespace vx::link
