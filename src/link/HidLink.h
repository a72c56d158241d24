#pragma once
// One HID interface (one top-level collection) of one device: enumeration of device paths,
// open/close, identity and report layout, bounded and cancellable reads and writes, and report
// unpacking into usage tables.
//
// On Linux a path names a hidraw node (found with libudev) or a node of the virtual interface
// directory (docs/virtual-devices.md) together with one of its top-level collections. Reports keep
// the layout the callers expect whatever the node: byte 0 is the report id (0 for a collection
// without report ids) and the report lengths count that byte.
//
// Public interface is fixed: the command channel and the device classes are written against it.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "link/LinkError.h"

namespace vx::link {

// Stand-in for the HID stack's status codes recorded in the usage tables.
constexpr int32_t kHidStatusSuccess = 0x00110000;
constexpr int32_t kHidStatusUsageNotFound = static_cast<int32_t>(0xC0110004);

// A time-out of "infinite": the reader blocks until a report arrives or the link is closed.
constexpr uint32_t kHidInfinite = 0xFFFFFFFFu;

// Longest device path accepted by Open, terminator included.
constexpr size_t kHidMaxPathLength = 260;

enum class HidReportKind { Input = 0, Output = 1, Feature = 2 };

// Why the last Open/Reopen failed; lets the listing tool tell "not permitted" from "gone".
enum class HidOpenError { None = 0, NotFound, PermissionDenied, BadPath, NoDescriptor, Other };

// One entry of a usage-data table: one per button capability, one per value usage.
struct HidUsageData {
    uint8_t isButton = 0;
    uint16_t usagePage = 0;
    int32_t status = kHidStatusSuccess;
    uint8_t reportId = 0;
    uint8_t dataSet = 0;
    // Button entry.
    uint16_t usageMin = 0;
    uint16_t usageMax = 0;
    uint32_t maxUsageListLength = 0;
    std::vector<uint16_t> usages;  // maxUsageListLength entries
    // Value entry.
    uint16_t usage = 0;
    uint32_t rawValue = 0;
    int32_t scaledValue = 0;
};

class HidTransport;        // the open node (hidraw file or virtual socket); HidTransport.h
struct HidCollectionInfo;  // parsed layout of one top-level collection; ReportDescriptor.h
struct HidNodeRecord;      // what listing or opening learnt about a node; HidTransport.h

class HidLink {
public:
    HidLink();
    ~HidLink();
    HidLink(const HidLink&) = delete;
    HidLink& operator=(const HidLink&) = delete;

    // Enumeration (independent of the open interface).
    bool EnumerateInterfaces();
    // Returns the path under the cursor and advances; empty string when none is left.
    std::string NextPath();
    void FreePathList();
    size_t PathCount() const { return m_paths.size(); }

    bool Open(std::string_view path, bool read, bool write, bool overlapped, bool exclusive);
    bool Reopen();
    void Close();
    bool IsOpen() const;
    HidOpenError LastOpenError() const { return m_openError; }
    // The last failure of Open, Reopen, Read, Write or SetOutputReport on this link, with the
    // failing call and its errno; time-outs and cancels are not failures. Empty when none.
    LinkError LastError() const;

    // Reads one input report of this collection into buffer (byte 0 = report id).
    bool Read(uint8_t* buffer, size_t length, size_t* bytesRead, uint32_t timeoutMs);
    // Writes one output report (byte 0 = report id, 0 for a collection without ids).
    bool Write(const uint8_t* buffer, size_t length, size_t* bytesWritten, uint32_t timeoutMs);
    bool SetOutputReport(const uint8_t* buffer, size_t length);
    bool UnpackReport(const uint8_t* report, size_t length, HidReportKind kind, HidUsageData* table,
                      size_t count);

    // Identity and capabilities, valid while open.
    uint16_t VendorId() const { return m_vendorId; }
    uint16_t ProductId() const { return m_productId; }
    uint16_t Version() const { return m_version; }
    uint16_t UsagePage() const { return m_usagePage; }
    uint16_t Usage() const { return m_usage; }
    uint16_t InputReportLength() const { return m_reportLength[0]; }
    uint16_t OutputReportLength() const { return m_reportLength[1]; }
    uint16_t FeatureReportLength() const { return m_reportLength[2]; }
    uint16_t InterfaceNumber() const { return m_interfaceNumber; }
    uint16_t CollectionNumber() const { return m_collectionNumber; }
    const std::string& Path() const { return m_path; }
    HidUsageData* UsageTable(HidReportKind kind) { return m_usageTables[int(kind)].data(); }
    size_t UsageTableCount(HidReportKind kind) const { return m_usageTables[int(kind)].size(); }
    uint8_t* ReportBuffer(HidReportKind kind) { return m_reportBuffers[int(kind)].data(); }
    size_t ButtonCapCount(HidReportKind kind) const { return m_buttonCapCount[int(kind)]; }
    size_t ValueCapCount(HidReportKind kind) const { return m_valueCapCount[int(kind)]; }
    // The open node's handle (file descriptor of the hidraw node or socket), -1 when closed.
    int Handle() const;

private:
    bool ReadIdentityAndCapabilities(const HidNodeRecord& record);
    void ReleaseCapabilities();
    int OpenNode(const std::string& node, HidNodeRecord* record);
    std::shared_ptr<HidTransport> CurrentTransport() const;
    void SetLastError(LinkError error);
    void DropTransport();

    std::vector<std::string> m_paths;
    size_t m_cursor = 0;

    bool m_read = false, m_write = false, m_overlapped = false, m_exclusive = false;
    std::string m_path;
    HidOpenError m_openError = HidOpenError::None;
    mutable std::mutex m_errorMutex;
    LinkError m_lastError;  // under m_errorMutex: readers and writers fail on their own threads

    std::shared_ptr<HidTransport> m_transport;
    std::shared_ptr<const HidCollectionInfo> m_collection;

    uint16_t m_vendorId = 0, m_productId = 0, m_version = 0;
    uint16_t m_usagePage = 0, m_usage = 0;
    uint16_t m_reportLength[3] = {0, 0, 0};
    size_t m_buttonCapCount[3] = {0, 0, 0};
    size_t m_valueCapCount[3] = {0, 0, 0};
    std::vector<uint8_t> m_reportBuffers[3];
    std::vector<HidUsageData> m_usageTables[3];
    uint16_t m_interfaceNumber = 0, m_collectionNumber = 0;

    std::atomic<bool> m_readInProgress{false};
    std::atomic<bool> m_writeInProgress{false};
    // Guards only the hand-over of m_transport between Close/Reopen and a Read or Write on another
    // thread; never held while waiting. Each transport carries its own cancel eventfd, so a waiter
    // is woken by Close and a later open starts with a fresh, unsignalled one.
    mutable std::mutex m_transportMutex;
};

// Path helpers: find the marker (case-insensitive), read the hexadecimal number after it;
// 0 when the marker is missing.
uint16_t ParseVendorId(std::string_view path);
uint16_t ParseProductId(std::string_view path);
uint16_t ParseInterfaceNumber(std::string_view path);
uint16_t ParseCollectionNumber(std::string_view path);

}  // namespace vx::link
