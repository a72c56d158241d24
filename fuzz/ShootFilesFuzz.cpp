// The mouse's recoil files "ShootData_0.Shoot" ... "ShootData_3.Shoot", given as up to four parts
// of the input (separated by lines "--8<--"; missing files read as guns without events). They are
// read as the mouse page reads them and packed into the shoot image for the device's memory. An
// image that fits is one the firmware takes (the virtual device's check) and carries exactly the
// events that were read; one that does not fit says how many events are over.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "devices/protocol/MouseShootImage.h"
#include "emulator/MacroImage.h"

using vx::emulator::CheckMacroImage;
using vx::emulator::DecodeMacroImage;
using vx::emulator::MacroImageCheck;
using vx::emulator::MacroImageEvent;
using vx::emulator::MacroRecord;
using vx::link::MacroEventRecord;
using vx::link::MacroImageLength;
using vx::link::MacroSlotEvents;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vxfuzz::ClearScratchFolder();
    const vxfuzz::fs::path& folder = vxfuzz::ScratchFolder();
    const auto parts = vxfuzz::SplitParts(data, size, kShootGuns);
    for (size_t gun = 0; gun < parts.size(); ++gun) {
        vxfuzz::PutFile(folder / ShootFileName(static_cast<int>(gun)), parts[gun]);
    }
    const std::array<MacroSlotEvents, kShootGuns> guns = LoadShootEvents(folder);
    // Whatever the files hold, a gun keeps at most its 30 bullets' events, and the four guns at
    // their largest fit a mouse with room for 30 bullets each.
    for (const MacroSlotEvents& gun : guns) VX_FUZZ_CHECK(gun.size() <= kShootGunEvents);
    VX_FUZZ_CHECK(!BuildShootImage(guns, 16 + 24 + 4 * kShootGuns * kShootGunEvents).bytes.empty());

    // No limit but the 16-bit length, and a small device memory.
    for (size_t capacity : {size_t(0), size_t(1024)}) {
        const ShootImage image = BuildShootImage(guns, capacity);
        VX_FUZZ_CHECK(image.length == MacroImageLength(guns));
        if (image.bytes.empty()) {
            VX_FUZZ_CHECK(image.eventsOver > 0);
            continue;
        }
        VX_FUZZ_CHECK(image.eventsOver == 0 && image.bytes.size() == image.length);
        VX_FUZZ_CHECK(CheckMacroImage(image.bytes, kShootGuns) == MacroImageCheck::Valid);
        const std::vector<MacroRecord> records = DecodeMacroImage(image.bytes);
        VX_FUZZ_CHECK(records.size() == kShootGuns);
        for (size_t gun = 0; gun < kShootGuns; ++gun) {
            VX_FUZZ_CHECK(records[gun].size() == guns[gun].size());
            for (size_t i = 0; i < guns[gun].size(); ++i) {
                const MacroEventRecord& read = guns[gun][i];
                const MacroImageEvent& packed = records[gun][i];
                VX_FUZZ_CHECK(packed.delay == read.delayMs && packed.type == (read.type & 0x7F) &&
                              packed.down == read.down && packed.button == read.button);
            }
        }
    }
    return 0;
}
