#include "link/KeyTableRecords.h"

#include <algorithm>

namespace vx::link {

std::vector<KeyRecord> ParseKeyTable(std::span<const uint8_t> bytes) {
    std::vector<KeyRecord> records(bytes.size() / kKeyRecordLength);
    for (size_t i = 0; i < records.size(); ++i) {
        const uint8_t* at = bytes.data() + i * kKeyRecordLength;
        records[i] = KeyRecord{at[0], at[1], at[2]};
    }
    return records;
}

std::vector<uint8_t> BuildKeyTable(std::span<const KeyRecord> records) {
    std::vector<uint8_t> bytes;
    bytes.reserve(records.size() * kKeyRecordLength);
    for (const KeyRecord& record : records) {
        bytes.push_back(record.type);
        bytes.push_back(record.first);
        bytes.push_back(record.second);
    }
    return bytes;
}

std::vector<uint8_t> BuildColourTable(std::span<const Rgb> colours, size_t ledCount) {
    std::vector<uint8_t> bytes(ledCount * kColourRecordLength, 0);
    const size_t n = std::min(colours.size(), ledCount);
    for (size_t i = 0; i < n; ++i) {
        bytes[i * 3] = colours[i].red;
        bytes[i * 3 + 1] = colours[i].green;
        bytes[i * 3 + 2] = colours[i].blue;
    }
    return bytes;
}

std::vector<Rgb> ParseColourTable(std::span<const uint8_t> bytes) {
    std::vector<Rgb> colours(bytes.size() / kColourRecordLength);
    for (size_t i = 0; i < colours.size(); ++i) {
        colours[i] = Rgb{bytes[i * 3], bytes[i * 3 + 1], bytes[i * 3 + 2]};
    }
    return colours;
}

}  // namespace vx::link
