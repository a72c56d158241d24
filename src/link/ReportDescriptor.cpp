#include "link/ReportDescriptor.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

namespace vx::link {

namespace {

constexpr size_t kMaxGlobalStack = 16;
constexpr size_t kMaxCollectionDepth = 32;
// A report longer than this is certainly garbage; it also keeps the bit arithmetic far from overflow.
constexpr uint32_t kMaxReportBits = (kHidMaxReportBytes - 1) * 8;

enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

enum MainTag : uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC
};

enum GlobalTag : uint8_t {
    kUsagePage = 0x0,
    kLogicalMin = 0x1,
    kLogicalMax = 0x2,
    kPhysicalMin = 0x3,
    kPhysicalMax = 0x4,
    kUnitExponent = 0x5,
    kUnit = 0x6,
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB,
};

enum LocalTag : uint8_t { kUsage = 0x0, kUsageMin = 0x1, kUsageMax = 0x2 };

constexpr uint8_t kLongItemPrefix = 0xFE;

struct Item {
    uint8_t type = 0;
    uint8_t tag = 0;
    uint8_t size = 0;
    uint32_t udata = 0;
    int32_t sdata = 0;
};

struct GlobalState {
    uint16_t usagePage = 0;
    int32_t logicalMin = 0, logicalMax = 0;
    int32_t physicalMin = 0, physicalMax = 0;
    int8_t unitExponent = 0;
    uint32_t unit = 0;
    uint32_t reportSize = 0;
    uint8_t reportId = 0;
    uint32_t reportCount = 0;
    // The maxima are read as signed only when the matching minimum is negative, as devices write
    // 0..255 as "26 FF 00" but also as "25 FF".
    bool logicalMinNegative = false, physicalMinNegative = false;
    uint32_t logicalMaxRaw = 0, physicalMaxRaw = 0;
    int32_t logicalMaxSigned = 0, physicalMaxSigned = 0;
};

struct LocalUsage {
    uint32_t min = 0;  // extended usages carry their page in the upper 16 bits
    uint32_t max = 0;
    bool extended = false;
    bool isRange = false;
};

struct LocalState {
    std::vector<LocalUsage> usages;
    uint32_t usageCount = 0;  // usages named so far, a range counting its width
    bool haveMin = false, haveMax = false;
    uint32_t pendingMin = 0, pendingMax = 0;
    uint8_t minSize = 0;

    void Clear() { *this = LocalState(); }
};

// Fetches the item at offset; false when it runs past the end. Long items are reported with
// type kReserved so that the caller skips them.
bool FetchItem(const uint8_t* data, size_t length, size_t offset, Item* item, size_t* itemLength) {
    const uint8_t prefix = data[offset];
    if (prefix == kLongItemPrefix) {
        if (offset + 3 > length) return false;
        const size_t dataSize = data[offset + 1];
        if (offset + 3 + dataSize > length) return false;
        *item = Item{kReserved, 0xF, 0, 0, 0};
        *itemLength = 3 + dataSize;
        return true;
    }
    static constexpr uint8_t kSizes[4] = {0, 1, 2, 4};
    const uint8_t size = kSizes[prefix & 0x3];
    if (offset + 1 + size > length) return false;
    item->type = (prefix >> 2) & 0x3;
    item->tag = prefix >> 4;
    item->size = size;
    const uint8_t* p = data + offset + 1;
    switch (size) {
        case 0:
            item->udata = 0;
            item->sdata = 0;
            break;
        case 1:
            item->udata = p[0];
            item->sdata = static_cast<int8_t>(p[0]);
            break;
        case 2:
            item->udata = uint32_t(p[0]) | uint32_t(p[1]) << 8;
            item->sdata = static_cast<int16_t>(item->udata);
            break;
        default:
            item->udata = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
            item->sdata = static_cast<int32_t>(item->udata);
            break;
    }
    *itemLength = 1 + size;
    return true;
}

int32_t ResolveMax(bool minNegative, uint32_t raw, int32_t signedValue) {
    return minNegative ? signedValue : static_cast<int32_t>(raw);
}

class Parser {
public:
    ReportDescriptorStatus Run(const uint8_t* data, size_t length, std::vector<HidCollectionInfo>* out,
                               size_t* errorOffset);

private:
    ReportDescriptorStatus Dispatch(const Item& item);
    ReportDescriptorStatus OnMain(const Item& item);
    ReportDescriptorStatus OnGlobal(const Item& item);
    ReportDescriptorStatus OnLocal(const Item& item);
    ReportDescriptorStatus OpenCollection(const Item& item);
    ReportDescriptorStatus CloseCollection();
    ReportDescriptorStatus AddReportItem(HidReportKind kind, uint32_t bitField, uint32_t bits);
    ReportDescriptorStatus CheckUsageTableRoom() const;
    void AddCaps(HidReportKind kind, uint32_t bitField, uint32_t bitPosition);
    HidCapability MakeCap(HidReportKind kind, uint32_t bitField, uint32_t bitPosition) const;
    uint16_t PageOf(const LocalUsage& usage) const;
    void FinishCollection();

    GlobalState m_global;
    std::vector<GlobalState> m_globalStack;
    LocalState m_local;
    std::vector<uint16_t> m_linkStack;  // link-node indices of the open collections
    std::vector<HidCollectionInfo>* m_out = nullptr;
    // Running bit offset of each report id, per kind, inside the current top-level collection.
    std::map<uint8_t, uint32_t> m_bits[3];
    // Data items of each report id, per kind, inside the current top-level collection.
    std::map<uint8_t, uint32_t> m_fields[3];
};

ReportDescriptorStatus Parser::Run(const uint8_t* data, size_t length, std::vector<HidCollectionInfo>* out,
                                   size_t* errorOffset) {
    m_out = out;
    if (data == nullptr || length == 0) return ReportDescriptorStatus::Empty;
    size_t offset = 0;
    while (offset < length) {
        Item item;
        size_t itemLength = 0;
        *errorOffset = offset;
        if (!FetchItem(data, length, offset, &item, &itemLength)) return ReportDescriptorStatus::Truncated;
        const ReportDescriptorStatus status = Dispatch(item);
        if (status != ReportDescriptorStatus::Ok) return status;
        offset += itemLength;
    }
    *errorOffset = length;
    if (!m_linkStack.empty()) return ReportDescriptorStatus::UnclosedCollection;
    if (out->empty()) return ReportDescriptorStatus::NoCollection;
    return ReportDescriptorStatus::Ok;
}

ReportDescriptorStatus Parser::Dispatch(const Item& item) {
    switch (item.type) {
        case kMain:
            return OnMain(item);
        case kGlobal:
            return OnGlobal(item);
        case kLocal:
            return OnLocal(item);
        default:
            return ReportDescriptorStatus::Ok;  // long and reserved items carry nothing we use
    }
}

ReportDescriptorStatus Parser::OnMain(const Item& item) {
    ReportDescriptorStatus status = ReportDescriptorStatus::Ok;
    const uint64_t bits = uint64_t(m_global.reportSize) * m_global.reportCount;
    switch (item.tag) {
        case kCollection:
            status = OpenCollection(item);
            break;
        case kEndCollection:
            status = CloseCollection();
            break;
        case kInput:
        case kOutput:
        case kFeature: {
            if (m_linkStack.empty()) return ReportDescriptorStatus::MainOutsideCollection;
            if (bits > kMaxReportBits) return ReportDescriptorStatus::BadReportSize;
            const HidReportKind kind = item.tag == kInput    ? HidReportKind::Input
                                       : item.tag == kOutput ? HidReportKind::Output
                                                             : HidReportKind::Feature;
            status = AddReportItem(kind, item.udata, static_cast<uint32_t>(bits));
            break;
        }
        default:
            break;
    }
    m_local.Clear();
    return status;
}

ReportDescriptorStatus Parser::OnGlobal(const Item& item) {
    switch (item.tag) {
        case kUsagePage:
            m_global.usagePage = static_cast<uint16_t>(item.udata);
            break;
        case kLogicalMin:
            m_global.logicalMin = item.sdata;
            m_global.logicalMinNegative = item.sdata < 0;
            break;
        case kLogicalMax:
            m_global.logicalMaxRaw = item.udata;
            m_global.logicalMaxSigned = item.sdata;
            break;
        case kPhysicalMin:
            m_global.physicalMin = item.sdata;
            m_global.physicalMinNegative = item.sdata < 0;
            break;
        case kPhysicalMax:
            m_global.physicalMaxRaw = item.udata;
            m_global.physicalMaxSigned = item.sdata;
            break;
        case kUnitExponent: {
            // Written as a 4-bit two's-complement nibble by most devices, as a full signed byte by some.
            int32_t e = item.sdata;
            if (item.udata < 16) e = item.udata >= 8 ? int32_t(item.udata) - 16 : int32_t(item.udata);
            m_global.unitExponent = static_cast<int8_t>(e);
            break;
        }
        case kUnit:
            m_global.unit = item.udata;
            break;
        case kReportSize:
            if (item.udata > kHidMaxFieldBits) return ReportDescriptorStatus::BadReportSize;
            m_global.reportSize = item.udata;
            break;
        case kReportId:
            if (item.udata == 0 || item.udata > 0xFF) return ReportDescriptorStatus::BadReportSize;
            m_global.reportId = static_cast<uint8_t>(item.udata);
            break;
        case kReportCount:
            if (item.udata > kHidMaxUsages) return ReportDescriptorStatus::TooManyUsages;
            m_global.reportCount = item.udata;
            break;
        case kPush:
            if (m_globalStack.size() >= kMaxGlobalStack) return ReportDescriptorStatus::StackOverflow;
            m_globalStack.push_back(m_global);
            break;
        case kPop:
            if (m_globalStack.empty()) return ReportDescriptorStatus::StackUnderflow;
            m_global = m_globalStack.back();
            m_globalStack.pop_back();
            break;
        default:
            break;
    }
    m_global.logicalMax =
        ResolveMax(m_global.logicalMinNegative, m_global.logicalMaxRaw, m_global.logicalMaxSigned);
    m_global.physicalMax =
        ResolveMax(m_global.physicalMinNegative, m_global.physicalMaxRaw, m_global.physicalMaxSigned);
    return ReportDescriptorStatus::Ok;
}

ReportDescriptorStatus Parser::OnLocal(const Item& item) {
    const bool extended = item.size == 4;
    switch (item.tag) {
        case kUsage:
            if (m_local.usageCount >= kHidMaxUsages) return ReportDescriptorStatus::TooManyUsages;
            ++m_local.usageCount;
            m_local.usages.push_back(LocalUsage{item.udata, item.udata, extended, false});
            break;
        case kUsageMin:
            m_local.haveMin = true;
            m_local.pendingMin = item.udata;
            m_local.minSize = item.size;
            break;
        case kUsageMax:
            m_local.haveMax = true;
            m_local.pendingMax = item.udata;
            break;
        default:
            break;
    }
    if (m_local.haveMin && m_local.haveMax) {
        LocalUsage range{m_local.pendingMin, m_local.pendingMax, m_local.minSize == 4, true};
        if (range.max < range.min) std::swap(range.min, range.max);
        // As the kernel does, a range past the room left is cut short rather than refused.
        if (m_local.usageCount >= kHidMaxUsages) return ReportDescriptorStatus::TooManyUsages;
        const uint32_t room = kHidMaxUsages - m_local.usageCount;
        if (uint64_t(range.max) - range.min + 1 > room) range.max = range.min + room - 1;
        m_local.usageCount += range.max - range.min + 1;
        m_local.usages.push_back(range);
        m_local.haveMin = m_local.haveMax = false;
    }
    return ReportDescriptorStatus::Ok;
}

uint16_t Parser::PageOf(const LocalUsage& usage) const {
    return usage.extended ? static_cast<uint16_t>(usage.min >> 16) : m_global.usagePage;
}

ReportDescriptorStatus Parser::OpenCollection(const Item& item) {
    if (m_linkStack.size() >= kMaxCollectionDepth) return ReportDescriptorStatus::StackOverflow;
    HidLinkCollectionNode node;
    if (!m_local.usages.empty()) {
        node.usagePage = PageOf(m_local.usages.front());
        node.usage = static_cast<uint16_t>(m_local.usages.front().min);
    } else {
        node.usagePage = m_global.usagePage;
    }
    node.collectionType = static_cast<uint8_t>(item.udata);
    if (m_linkStack.empty()) {
        HidCollectionInfo info;
        info.number = static_cast<uint16_t>(m_out->size() + 1);
        info.usagePage = node.usagePage;
        info.usage = node.usage;
        info.links.push_back(node);
        m_out->push_back(std::move(info));
        for (auto& bits : m_bits) bits.clear();
        for (auto& fields : m_fields) fields.clear();
        m_linkStack.push_back(0);
        return ReportDescriptorStatus::Ok;
    }
    auto& links = m_out->back().links;
    const uint16_t parent = m_linkStack.back();
    const uint16_t index = static_cast<uint16_t>(links.size());
    node.parent = parent;
    links.push_back(node);
    // Children are chained in descriptor order: the new node goes after the parent's last child.
    HidLinkCollectionNode& p = links[parent];
    if (p.numberOfChildren == 0) {
        p.firstChild = index;
    } else {
        uint16_t last = p.firstChild;
        while (links[last].nextSibling != 0) last = links[last].nextSibling;
        links[last].nextSibling = index;
    }
    ++p.numberOfChildren;
    m_linkStack.push_back(index);
    return ReportDescriptorStatus::Ok;
}

ReportDescriptorStatus Parser::CloseCollection() {
    if (m_linkStack.empty()) return ReportDescriptorStatus::StackUnderflow;
    m_linkStack.pop_back();
    if (!m_linkStack.empty()) return ReportDescriptorStatus::Ok;
    FinishCollection();
    return CheckUsageTableRoom();
}

// Every button entry of the usage table holds a list as long as all button fields of its usage
// page (what the HID stack promises its callers), so the room grows with the product of
// entries and fields; past the bound the collection is refused instead of costing gigabytes.
ReportDescriptorStatus Parser::CheckUsageTableRoom() const {
    const HidCollectionInfo& info = m_out->back();
    for (int k = 0; k < 3; ++k) {
        std::map<uint16_t, uint64_t> fieldsOfPage, entriesOfPage;
        uint64_t room = 0;
        for (const HidCapability& c : info.caps) {
            if (int(c.kind) != k) continue;
            if (c.isButton) {
                fieldsOfPage[c.usagePage] += c.reportCount;
                ++entriesOfPage[c.usagePage];
            } else {
                room += uint32_t(c.usageMax - c.usageMin) + 1;
            }
        }
        // An entry of usage page 0 holds the usages of every page (MaxUsageListLength).
        uint64_t allFields = 0;
        for (const auto& [page, fields] : fieldsOfPage) allFields += fields;
        for (const auto& [page, entries] : entriesOfPage) {
            room += entries * (page == 0 ? allFields : fieldsOfPage[page]);
        }
        if (room > kHidMaxUsageTableRoom) return ReportDescriptorStatus::TooManyUsages;
    }
    return ReportDescriptorStatus::Ok;
}

void Parser::FinishCollection() {
    HidCollectionInfo& info = m_out->back();
    for (int k = 0; k < 3; ++k) {
        uint32_t longest = 0;
        for (const auto& [id, bits] : m_bits[k]) {
            longest = std::max(longest, bits);
            info.reportIds[k].push_back(id);
            if (id != 0) info.usesReportIds = true;
        }
        info.reportLength[k] = m_bits[k].empty() ? 0 : static_cast<uint16_t>((longest + 7) / 8 + 1);
    }
}

ReportDescriptorStatus Parser::AddReportItem(HidReportKind kind, uint32_t bitField, uint32_t bits) {
    uint32_t& offset = m_bits[int(kind)][m_global.reportId];
    if (uint64_t(offset) + bits > kMaxReportBits) return ReportDescriptorStatus::BadReportSize;
    // Fields of no width or no count carry nothing: room (none), not controls. Counted as
    // controls they would cost a walk per field on every report without taking a bit.
    if (bits != 0 && !m_local.usages.empty()) {
        uint32_t& fields = m_fields[int(kind)][m_global.reportId];
        if (fields >= kHidMaxFieldsPerReport) return ReportDescriptorStatus::TooManyFields;
        ++fields;
        AddCaps(kind, bitField, offset);
    }
    offset += bits;
    return ReportDescriptorStatus::Ok;
}

HidCapability Parser::MakeCap(HidReportKind kind, uint32_t bitField, uint32_t bitPosition) const {
    HidCapability cap;
    cap.kind = kind;
    cap.reportId = m_global.reportId;
    cap.usagePage = m_global.usagePage;
    cap.bitPosition = bitPosition;
    cap.bitSize = m_global.reportSize;
    cap.reportCount = static_cast<uint16_t>(std::min<uint32_t>(m_global.reportCount, 0xFFFF));
    cap.bitField = bitField;
    cap.isConstant = bitField & 0x1;
    cap.isArray = !(bitField & 0x2);
    cap.isAbsolute = !(bitField & 0x4);
    cap.isButton = cap.isArray || cap.bitSize == 1;
    cap.logicalMin = m_global.logicalMin;
    cap.logicalMax = m_global.logicalMax;
    cap.physicalMin = m_global.physicalMin;
    cap.physicalMax = m_global.physicalMax;
    cap.unit = m_global.unit;
    cap.unitExponent = m_global.unitExponent;
    cap.linkCollection = m_linkStack.back();
    return cap;
}

void Parser::AddCaps(HidReportKind kind, uint32_t bitField, uint32_t bitPosition) {
    // A field without usages is padding: room in the report, not a control.
    if (m_local.usages.empty()) return;
    auto& caps = m_out->back().caps;
    const bool isArray = !(bitField & 0x2);
    uint32_t position = bitPosition;
    uint32_t fieldsLeft = m_global.reportCount;
    uint32_t usagesBefore = 0;
    for (const LocalUsage& usage : m_local.usages) {
        if (!isArray && fieldsLeft == 0) break;  // usages beyond the item's fields name nothing
        HidCapability cap = MakeCap(kind, bitField, position);
        cap.usagePage = PageOf(usage);
        cap.isRange = usage.isRange;
        // Extended usages carry their page above the id; only the id bounds the range.
        const uint16_t lo = static_cast<uint16_t>(usage.min);
        const uint16_t hi = std::max(lo, static_cast<uint16_t>(usage.max));
        cap.usageMin = lo;
        cap.usageMax = hi;
        const uint32_t width = uint32_t(hi - lo) + 1;
        if (isArray) {
            cap.arrayIndexBase = static_cast<uint16_t>(std::min<uint32_t>(usagesBefore, 0xFFFF));
            usagesBefore += width;
        } else {
            // A variable item gives each usage its own fields in order; the last usage takes
            // whatever fields are left over.
            const uint32_t fields = std::min(width, fieldsLeft);
            cap.reportCount = static_cast<uint16_t>(fields);
            if (cap.isRange) cap.usageMax = static_cast<uint16_t>(cap.usageMin + fields - 1);
            fieldsLeft -= fields;
            position += fields * m_global.reportSize;
        }
        caps.push_back(cap);
    }
    if (!isArray && fieldsLeft > 0) {
        caps.back().reportCount = static_cast<uint16_t>(caps.back().reportCount + fieldsLeft);
    }
}

}  // namespace

ReportDescriptorStatus ReportDescriptor::Parse(const uint8_t* data, size_t length) {
    m_collections.clear();
    m_errorOffset = 0;
    Parser parser;
    m_status = parser.Run(data, length, &m_collections, &m_errorOffset);
    if (m_status != ReportDescriptorStatus::Ok) m_collections.clear();
    return m_status;
}

size_t HidCollectionInfo::ButtonCapCount(HidReportKind kind) const {
    return std::count_if(caps.begin(), caps.end(),
                         [kind](const HidCapability& c) { return c.kind == kind && c.isButton; });
}

size_t HidCollectionInfo::ValueCapCount(HidReportKind kind) const {
    return std::count_if(caps.begin(), caps.end(),
                         [kind](const HidCapability& c) { return c.kind == kind && !c.isButton; });
}

std::vector<uint8_t> HidCollectionInfo::AllReportIds() const {
    std::vector<uint8_t> ids;
    for (const auto& list : reportIds) ids.insert(ids.end(), list.begin(), list.end());
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

bool HidCollectionInfo::HasInputReportId(uint8_t id) const {
    const auto& ids = reportIds[int(HidReportKind::Input)];
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

uint32_t HidCollectionInfo::MaxUsageListLength(HidReportKind kind, uint16_t page) const {
    uint32_t total = 0;
    for (const HidCapability& c : caps) {
        if (c.kind == kind && c.isButton && (page == 0 || c.usagePage == page)) total += c.reportCount;
    }
    return total;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* bytes) {
    bytes->clear();
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isspace(c) || c == ',') {
            ++i;
            continue;
        }
        size_t start = i;
        if (c == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) start = i += 2;
        while (i < n && std::isxdigit(static_cast<unsigned char>(text[i]))) ++i;
        const size_t digits = i - start;
        if (digits == 0 || digits > 2) return false;
        if (i < n && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != ',') return false;
        unsigned value = 0;
        for (size_t d = start; d < i; ++d) {
            const unsigned char h = static_cast<unsigned char>(text[d]);
            value = value * 16 + (std::isdigit(h) ? h - '0' : std::tolower(h) - 'a' + 10);
        }
        bytes->push_back(static_cast<uint8_t>(value));
    }
    return true;
}

std::string FormatHexBytes(const uint8_t* data, size_t length) {
    std::string out;
    out.reserve(length * 3);
    char buf[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(buf, sizeof buf, i == 0 ? "%02x" : " %02x", data[i]);
        out += buf;
    }
    return out;
}

std::vector<HidUsageData> BuildUsageTable(const HidCollectionInfo& info, HidReportKind kind) {
    std::vector<HidUsageData> table;
    // The list lengths of every page in one walk (MaxUsageListLength per entry would walk every
    // capability once per button entry).
    std::map<uint16_t, uint32_t> fieldsOfPage;
    uint32_t allFields = 0;
    for (const HidCapability& c : info.caps) {
        if (c.kind != kind || !c.isButton) continue;
        fieldsOfPage[c.usagePage] += c.reportCount;
        allFields += c.reportCount;
    }
    for (const HidCapability& c : info.caps) {
        if (c.kind != kind || !c.isButton) continue;
        HidUsageData e;
        e.isButton = 1;
        e.usagePage = c.usagePage;
        e.reportId = c.reportId;
        e.usageMin = c.usageMin;
        e.usageMax = c.usageMax;
        e.maxUsageListLength = c.usagePage == 0 ? allFields : fieldsOfPage[c.usagePage];
        e.usages.assign(e.maxUsageListLength, 0);
        table.push_back(std::move(e));
    }
    for (const HidCapability& c : info.caps) {
        if (c.kind != kind || c.isButton) continue;
        for (uint32_t u = c.usageMin; u <= c.usageMax; ++u) {
            HidUsageData e;
            e.usagePage = c.usagePage;
            e.reportId = c.reportId;
            e.usage = static_cast<uint16_t>(u);
            table.push_back(std::move(e));
        }
    }
    return table;
}

namespace {

// Reads bitSize bits (at most 32 are kept) starting at bitPosition of the payload; false when the
// field runs past the payload.
bool ExtractBits(const uint8_t* payload, size_t payloadLength, uint32_t bitPosition, uint32_t bitSize,
                 uint32_t* value) {
    if (uint64_t(bitPosition) + bitSize > uint64_t(payloadLength) * 8) return false;
    uint32_t v = 0;
    const uint32_t kept = std::min<uint32_t>(bitSize, 32);
    for (uint32_t i = 0; i < kept; ++i) {
        const uint32_t bit = bitPosition + i;
        if (payload[bit / 8] >> (bit % 8) & 1) v |= 1u << i;
    }
    *value = v;
    return true;
}

int64_t SignExtend(uint32_t raw, uint32_t bitSize) {
    if (bitSize == 0 || bitSize >= 32) return static_cast<int32_t>(raw);
    const uint32_t sign = 1u << (bitSize - 1);
    return (raw & sign) ? int64_t(raw) - (int64_t(1) << bitSize) : int64_t(raw);
}

// The usages of one page that are on in the report being decoded: gathered for every page in one
// walk over the report's fields, and every button entry of the page takes its share from them.
// Status BufferTooSmall is decided per entry; InvalidReportLength when a field runs past the report.
struct PageUsages {
    int32_t status = kHidStatusSuccess;
    std::vector<uint16_t> on;
};

void CollectUsages(const HidCollectionInfo& info, HidReportKind kind, uint8_t reportId,
                   const uint8_t* payload, size_t payloadLength, std::map<uint16_t, PageUsages>* pages) {
    for (const HidCapability& c : info.caps) {
        if (c.kind != kind || !c.isButton || c.reportId != reportId) continue;
        PageUsages& page = (*pages)[c.usagePage];
        for (uint32_t i = 0; i < c.reportCount; ++i) {
            uint32_t v = 0;
            if (!ExtractBits(payload, payloadLength, c.bitPosition + i * c.bitSize, c.bitSize, &v)) {
                page.status = kHidStatusInvalidReportLength;
                break;
            }
            if (c.isArray) {
                const int64_t index = c.logicalMin < 0 ? SignExtend(v, c.bitSize) : int64_t(v);
                if (index < c.logicalMin || index > c.logicalMax) continue;
                const int64_t usage = int64_t(c.usageMin) + (index - c.logicalMin) - c.arrayIndexBase;
                if (usage < c.usageMin) continue;
                // Usage 0 in an array means "no control" (the keyboard's empty key slots).
                if (usage == 0 || usage > c.usageMax) continue;
                page.on.push_back(static_cast<uint16_t>(usage));
            } else if (v != 0) {
                page.on.push_back(static_cast<uint16_t>(
                    c.isRange ? c.usageMin + std::min<uint32_t>(i, c.usageMax - c.usageMin) : c.usageMin));
            }
        }
    }
}

void UnpackButton(const PageUsages& usages, HidUsageData* entry) {
    entry->status = usages.status;
    size_t considered = usages.on.size();
    if (considered > entry->maxUsageListLength) {
        considered = entry->maxUsageListLength;
        if (entry->status == kHidStatusSuccess) entry->status = kHidStatusBufferTooSmall;
    }
    entry->usages.resize(entry->maxUsageListLength);
    size_t kept = 0;
    for (size_t k = 0; k < considered; ++k) {
        const uint16_t u = usages.on[k];
        if (u >= entry->usageMin && u <= entry->usageMax) entry->usages[kept++] = u;
    }
    // Readers stop at the first 0, so nothing of an earlier report may stay behind it.
    std::fill(entry->usages.begin() + kept, entry->usages.end(), 0);
}

// The table lists value usages in the order of their capabilities, so the search starts where the
// previous one ended: decoding a report stays linear in the table's size.
const HidCapability* FindValueCap(const HidCollectionInfo& info, HidReportKind kind, const HidUsageData& e,
                                  size_t* hint) {
    const size_t n = info.caps.size();
    for (size_t step = 0; step < n; ++step) {
        const size_t i = (*hint + step) % n;
        const HidCapability& c = info.caps[i];
        if (c.kind == kind && !c.isButton && c.reportId == e.reportId && c.usagePage == e.usagePage &&
            e.usage >= c.usageMin && e.usage <= c.usageMax) {
            *hint = i;
            return &c;
        }
    }
    return nullptr;
}

int32_t ScaleValue(const HidCapability& c, uint32_t raw, int32_t* scaled) {
    *scaled = 0;
    int64_t logicalMin = c.logicalMin, logicalMax = c.logicalMax;
    int64_t physicalMin = c.physicalMin, physicalMax = c.physicalMax;
    // Physical extents left at 0/0 mean "same as logical".
    if (physicalMin == 0 && physicalMax == 0) {
        physicalMin = logicalMin;
        physicalMax = logicalMax;
    }
    if (logicalMin >= logicalMax || physicalMin > physicalMax) return kHidStatusBadLogPhyValues;
    const int64_t v = logicalMin < 0 ? SignExtend(raw, c.bitSize) : int64_t(raw);
    if (v < logicalMin || v > logicalMax) return kHidStatusValueOutOfRange;
    // Both spans reach 2^32 - 1 with 32-bit extremes: their product needs more than 64 bits.
    const __int128 product = static_cast<__int128>(v - logicalMin) * (physicalMax - physicalMin);
    *scaled = static_cast<int32_t>(physicalMin + static_cast<int64_t>(product / (logicalMax - logicalMin)));
    return kHidStatusSuccess;
}

}  // namespace

bool UnpackReportInto(const HidCollectionInfo& info, const uint8_t* report, size_t length, HidReportKind kind,
                      HidUsageData* table, size_t count) {
    if (report == nullptr || length == 0) return false;
    const uint8_t reportId = report[0];
    const uint8_t* payload = report + 1;
    const size_t payloadLength = length - 1;
    std::map<uint16_t, PageUsages> pages;
    bool collected = false;
    size_t hint = 0;
    for (size_t i = 0; i < count; ++i) {
        HidUsageData& e = table[i];
        if (e.reportId != reportId) continue;
        if (e.isButton) {
            if (!collected) {
                CollectUsages(info, kind, reportId, payload, payloadLength, &pages);
                collected = true;
            }
            UnpackButton(pages[e.usagePage], &e);
        } else {
            const HidCapability* cap = FindValueCap(info, kind, e, &hint);
            uint32_t raw = 0;
            if (cap == nullptr) {
                e.status = kHidStatusUsageNotFound;
                return false;
            }
            const uint32_t field = cap->isRange ? uint32_t(e.usage - cap->usageMin) : 0;
            if (!ExtractBits(payload, payloadLength, cap->bitPosition + field * cap->bitSize, cap->bitSize,
                             &raw)) {
                e.status = kHidStatusInvalidReportLength;
                return false;
            }
            e.rawValue = raw;
            e.status = ScaleValue(*cap, raw, &e.scaledValue);
        }
        e.dataSet = 1;
    }
    return true;
}

}  // namespace vx::link
