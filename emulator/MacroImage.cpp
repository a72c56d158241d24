#include "emulator/MacroImage.h"

#include "emulator/LittleEndian.h"

namespace vx::emulator {

namespace {

constexpr size_t kHeaderLength = 16;
constexpr size_t kRecordHeaderLength = 4;
constexpr size_t kEventLength = 4;

}  // namespace

MacroImageCheck CheckMacroImage(std::span<const uint8_t> image, std::optional<uint16_t> expectedCount) {
    if (image.size() < kHeaderLength) return MacroImageCheck::TooShort;
    if (image[0] != 0xAA || image[1] != 0x55) return MacroImageCheck::BadMark;
    if (Le16(image, 2) != image.size()) return MacroImageCheck::LengthMismatch;
    const size_t count = Le16(image, 4);
    if (expectedCount && count != *expectedCount) return MacroImageCheck::BadCount;
    for (size_t i = 6; i < kHeaderLength; ++i) {
        if (image[i] != 0) return MacroImageCheck::BadHeader;
    }
    const size_t tableEnd = kHeaderLength + 2 * count;
    if (tableEnd > image.size()) return MacroImageCheck::BadCount;

    size_t next = tableEnd;
    for (size_t k = 0; k < count; ++k) {
        const size_t offset = Le16(image, kHeaderLength + 2 * k);
        if (offset != next) return MacroImageCheck::BadOffset;
        if (offset + kRecordHeaderLength > image.size()) return MacroImageCheck::BadRecord;
        const size_t events = Le16(image, offset);
        if (image[offset + 2] != 0 || image[offset + 3] != 0) return MacroImageCheck::BadRecord;
        next = offset + kRecordHeaderLength + kEventLength * events;
        if (next > image.size()) return MacroImageCheck::BadRecord;
    }
    if (next != image.size()) return MacroImageCheck::TrailingBytes;
    return MacroImageCheck::Valid;
}

std::vector<MacroRecord> DecodeMacroImage(std::span<const uint8_t> image) {
    std::vector<MacroRecord> records;
    if (CheckMacroImage(image) != MacroImageCheck::Valid) return records;
    const size_t count = Le16(image, 4);
    for (size_t k = 0; k < count; ++k) {
        const size_t offset = Le16(image, kHeaderLength + 2 * k);
        const size_t events = Le16(image, offset);
        MacroRecord record;
        for (size_t e = 0; e < events; ++e) {
            const size_t at = offset + kRecordHeaderLength + kEventLength * e;
            MacroImageEvent event;
            event.delay = Le16(image, at);
            event.type = image[at + 2] & 0x7F;
            event.down = (image[at + 2] & 0x80) != 0;
            event.button = image[at + 3];
            record.push_back(event);
        }
        records.push_back(std::move(record));
    }
    return records;
}

const char* MacroImageCheckName(MacroImageCheck check) {
    switch (check) {
        case MacroImageCheck::Valid:
            return "valid";
        case MacroImageCheck::TooShort:
            return "too short";
        case MacroImageCheck::BadMark:
            return "bad mark";
        case MacroImageCheck::LengthMismatch:
            return "length mismatch";
        case MacroImageCheck::BadCount:
            return "bad count";
        case MacroImageCheck::BadHeader:
            return "bad header";
        case MacroImageCheck::BadOffset:
            return "bad offset";
        case MacroImageCheck::BadRecord:
            return "bad record";
        case MacroImageCheck::TrailingBytes:
            return "trailing bytes";
    }
    return "?";
}

}  // namespace vx::emulator
