#pragma once
// HID report-descriptor parser: the layout of each top-level collection (usages, report ids, report
// lengths, capabilities, link collections) and the decoder that turns a received report into
// usage-data entries.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/HidLink.h"

namespace vx::link {

// HID stack status codes recorded in usage-data entries besides success and usage-not-found.
constexpr int32_t kHidStatusValueOutOfRange = static_cast<int32_t>(0xC0110005);
constexpr int32_t kHidStatusBadLogPhyValues = static_cast<int32_t>(0xC0110006);
constexpr int32_t kHidStatusBufferTooSmall = static_cast<int32_t>(0xC0110007);
constexpr int32_t kHidStatusInvalidReportLength = static_cast<int32_t>(0xC0110003);

// One capability: the fields of one main item that share a usage (or a usage range).
struct HidCapability {
    HidReportKind kind = HidReportKind::Input;
    uint8_t reportId = 0;
    uint16_t usagePage = 0;
    bool isButton = false;
    bool isRange = false;
    uint16_t usageMin = 0;  // the single usage when not a range
    uint16_t usageMax = 0;
    uint32_t bitPosition = 0;  // from the start of the payload (the byte after the report id)
    uint32_t bitSize = 0;
    uint16_t reportCount = 0;
    // For an array item with several usages: how many usages of the item come before this cap's,
    // so that a field value selects the right one.
    uint16_t arrayIndexBase = 0;
    uint32_t bitField = 0;  // the main item's data: bit 0 constant, bit 1 variable, bit 2 relative
    bool isArray = false;
    bool isAbsolute = true;
    bool isConstant = false;
    int32_t logicalMin = 0, logicalMax = 0;
    int32_t physicalMin = 0, physicalMax = 0;
    uint32_t unit = 0;
    int8_t unitExponent = 0;
    uint16_t linkCollection = 0;  // index into HidCollectionInfo::links
};

struct HidLinkCollectionNode {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t parent = 0;
    uint16_t numberOfChildren = 0;
    uint16_t firstChild = 0;
    uint16_t nextSibling = 0;
    uint8_t collectionType = 0;
};

struct HidCollectionInfo {
    uint16_t number = 0;  // 1-based, in descriptor order
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    bool usesReportIds = false;
    std::vector<uint8_t> reportIds[3];  // ascending, per report kind
    uint16_t reportLength[3] = {0, 0, 0};
    std::vector<HidCapability> caps;           // every kind, descriptor order
    std::vector<HidLinkCollectionNode> links;  // node 0 is the top-level collection

    size_t ButtonCapCount(HidReportKind kind) const;
    size_t ValueCapCount(HidReportKind kind) const;
    // All report ids of the collection, every kind, ascending and unique.
    std::vector<uint8_t> AllReportIds() const;
    bool HasInputReportId(uint8_t id) const;
    // The longest list of usages that one report of this kind and usage page can hold.
    uint32_t MaxUsageListLength(HidReportKind kind, uint16_t usagePage) const;
};

enum class ReportDescriptorStatus {
    Ok = 0,
    Empty,
    Truncated,       // an item runs past the end
    StackUnderflow,  // pop without push, end collection without collection
    StackOverflow,   // push or collection nesting deeper than the parser allows
    UnclosedCollection,
    MainOutsideCollection,
    BadReportSize,
    NoCollection,
    TooManyFields,  // more data items in one report than the parser takes
    TooManyUsages,  // report count, usages of an item or the usage table's room past the bounds
};

// Bounds of the parser, those of the Linux kernel's HID parser where it has one, so that a
// descriptor costs memory and decoding time linear in its size whatever a device sends.
constexpr uint32_t kHidMaxFieldsPerReport = 256;  // data items (non-padding) per report
constexpr uint32_t kHidMaxUsages = 12288;         // report count, usages of one item
constexpr uint32_t kHidMaxFieldBits = 256;        // report size of one field
constexpr uint32_t kHidMaxReportBytes = 16384;    // one report, id byte included
// The usage table of one report kind of one collection: value usages plus the room of every
// button entry's usage list. Real devices need a few hundred.
constexpr uint32_t kHidMaxUsageTableRoom = 65536;

class ReportDescriptor {
public:
    ReportDescriptorStatus Parse(const uint8_t* data, size_t length);
    ReportDescriptorStatus Parse(const std::vector<uint8_t>& bytes) {
        return Parse(bytes.data(), bytes.size());
    }
    ReportDescriptorStatus Status() const { return m_status; }
    // Offset of the item where parsing failed.
    size_t ErrorOffset() const { return m_errorOffset; }
    const std::vector<HidCollectionInfo>& Collections() const { return m_collections; }

private:
    ReportDescriptorStatus m_status = ReportDescriptorStatus::Empty;
    size_t m_errorOffset = 0;
    std::vector<HidCollectionInfo> m_collections;
};

// "05 01 09 06 ..." (blank, comma or newline separated; "0x" prefixes allowed) into bytes; false on
// a token that is not a byte.
bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* bytes);
std::string FormatHexBytes(const uint8_t* data, size_t length);

// Sizes and fills the usage-data table of one report kind: one entry per button capability, then
// one per value usage.
std::vector<HidUsageData> BuildUsageTable(const HidCollectionInfo& info, HidReportKind kind);

// Decodes report (byte 0 = report id) into the entries whose report id matches. False when a value
// entry could not be read; later entries are then left untouched.
bool UnpackReportInto(const HidCollectionInfo& info, const uint8_t* report, size_t length, HidReportKind kind,
                      HidUsageData* table, size_t count);

}  // namespace vx::link
