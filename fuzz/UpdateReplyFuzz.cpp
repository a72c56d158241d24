// The update service's reply as the update check reads it: any bytes, in the zero-filled buffer
// of the check, for a hexadecimal and a decimal product. The result's texts stay within their
// bounds, and an update is offered only for a JSON object whose version is above the local one.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "update/UpdateCheck.h"

using namespace vx::update;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> buffer(kResponseCapacity, '\0');
    const size_t stored = std::min(size, kResponseCapacity - 1);
    std::memcpy(buffer.data(), data, stored);
    for (bool hex : {true, false}) {
        for (int local : {0, 0x0105, 0x7FFFFFFF}) {
            const UpdateResult r = ReadServiceReply(buffer.data(), buffer.size(), static_cast<int>(stored), local, hex);
            VX_FUZZ_CHECK(r.status == kStatusOffered || r.status == kStatusCurrent);
            VX_FUZZ_CHECK(r.name.size() <= kMaxNameText);
            VX_FUZZ_CHECK(r.serverLabel.size() <= kMaxLabelText + 1);
            VX_FUZZ_CHECK(r.localLabel.size() <= 16);
            VX_FUZZ_CHECK(r.downloadAddress.size() <= kMaxAddressText);
            if (r.failed) VX_FUZZ_CHECK(r.status == kStatusCurrent && r.serverLabel.empty());
            if (r.status == kStatusOffered) VX_FUZZ_CHECK(!r.failed && local != 0x7FFFFFFF && buffer[0] != '\0');
        }
    }
    return 0;
}
