// The records of the virtual devices: the memory file each virtual device keeps between runs
// (read by the emulator at start) and the ".node" record of each published interface (read by
// the program's discovery on every scan). Neither may throw, crash or take more than linear
// memory; a memory file that is taken gives the same memory back when written again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "emulator/FirmwareMemory.h"
#include "emulator/MacroImage.h"
#include "emulator/VirtualFirmware.h"
#include "link/HidTransport.h"
#include "link/VirtualHid.h"

using vx::emulator::CheckMacroImage;
using vx::emulator::DecodeMacroImage;
using vx::emulator::FirmwareKind;
using vx::emulator::FirmwareMemory;
using vx::emulator::FirmwareMemoryText;
using vx::emulator::ImageRecord;
using vx::emulator::MacroImageCheck;
using vx::emulator::MacroRecord;
using vx::emulator::ParseFirmwareMemory;
using vx::emulator::VirtualFirmware;
using vx::link::EnumerateVirtualNodes;
using vx::link::HidNodeRecord;
using vx::link::ReadVirtualNodeRecord;

namespace {

constexpr FirmwareKind kKinds[] = {FirmwareKind::Keyboard, FirmwareKind::Mouse, FirmwareKind::Mousepad,
                                   FirmwareKind::Headset};

void MemoryFile(const std::string& text) {
    for (FirmwareKind kind : kKinds) {
        FirmwareMemory memory;
        std::string problem;
        if (!ParseFirmwareMemory(text, kind, memory, problem)) {
            VX_FUZZ_CHECK(!problem.empty());
            continue;
        }
        for (const ImageRecord* image : {&memory.macros, &memory.shoot}) {
            const MacroImageCheck check = CheckMacroImage(image->bytes);
            const std::vector<MacroRecord> records = DecodeMacroImage(image->bytes);
            if (check != MacroImageCheck::Valid) VX_FUZZ_CHECK(records.empty());
        }
        VirtualFirmware firmware(kind);
        if (!firmware.RestoreMemory(memory).empty()) continue;
        // Taken: written and read again it is the same memory.
        const FirmwareMemory kept = firmware.Memory();
        FirmwareMemory again;
        VX_FUZZ_CHECK(ParseFirmwareMemory(FirmwareMemoryText(kept), kind, again, problem));
        VX_FUZZ_CHECK(again.config == kept.config && again.keyTable == kept.keyTable &&
                      again.keyColours == kept.keyColours && again.missingKeys == kept.missingKeys &&
                      again.macros.bytes == kept.macros.bytes && again.shoot.bytes == kept.shoot.bytes);
        VirtualFirmware restored(kind);
        VX_FUZZ_CHECK(restored.RestoreMemory(again).empty());
    }
}

void NodeRecord(const std::string& text) {
    const vxfuzz::fs::path base = vxfuzz::ScratchFolder() / "keyboard-wired-if1";
    vxfuzz::PutFile(base.string() + ".node", text);
    HidNodeRecord record;
    std::string socketPath;
    if (ReadVirtualNodeRecord(base.string(), &record, &socketPath)) {
        VX_FUZZ_CHECK(socketPath.rfind(vxfuzz::ScratchFolder().string() + "/", 0) == 0);
        VX_FUZZ_CHECK(socketPath.find('/', vxfuzz::ScratchFolder().string().size() + 1) == std::string::npos);
    }
    std::vector<HidNodeRecord> records;
    EnumerateVirtualNodes(vxfuzz::ScratchFolder().string(), &records);
    VX_FUZZ_CHECK(records.size() <= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    MemoryFile(text);
    NodeRecord(text);
    return 0;
}
