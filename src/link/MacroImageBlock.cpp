#include "link/MacroImageBlock.h"

namespace vx::link {

namespace {

void PutWord(std::vector<uint8_t>& bytes, size_t at, size_t value) {
    bytes[at] = static_cast<uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

constexpr size_t kMaxImageLength = 0xFFFF;
constexpr size_t kMacroOffsetLength = 2;

}  // namespace

size_t MacroImageLength(std::span<const MacroSlotEvents> macros) {
    size_t length = kMacroImageHeaderLength;
    for (const MacroSlotEvents& macro : macros) {
        length += kMacroOffsetLength + kMacroRecordHeaderLength + kMacroEventLength * macro.size();
    }
    return length;
}

bool BuildMacroImage(std::span<const MacroSlotEvents> macros, std::vector<uint8_t>* image,
                     size_t capacityBytes) {
    if (image == nullptr) return false;
    image->clear();
    const size_t length = MacroImageLength(macros);
    if (length > kMaxImageLength || (capacityBytes != 0 && length > capacityBytes)) return false;

    std::vector<uint8_t>& bytes = *image;
    bytes.assign(length, 0);
    PutWord(bytes, 0, kMacroImageMagic);
    PutWord(bytes, 2, length);
    PutWord(bytes, 4, macros.size());

    size_t recordAt = kMacroImageHeaderLength + kMacroOffsetLength * macros.size();
    for (size_t k = 0; k < macros.size(); ++k) {
        PutWord(bytes, kMacroImageHeaderLength + kMacroOffsetLength * k, recordAt);
        const MacroSlotEvents& macro = macros[k];
        PutWord(bytes, recordAt, macro.size());
        size_t eventAt = recordAt + kMacroRecordHeaderLength;
        for (const MacroEventRecord& event : macro) {
            PutWord(bytes, eventAt, event.delayMs);
            bytes[eventAt + 2] = static_cast<uint8_t>((event.type & 0x7F) | (event.down ? 0x80 : 0x00));
            bytes[eventAt + 3] = event.button;
            eventAt += kMacroEventLength;
        }
        recordAt = eventAt;
    }
    return true;
}

}  // namespace vx::link
