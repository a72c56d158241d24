// A device's report descriptor: parsed when an interface opens, then every input report of the
// interface is decoded against it. Whatever the bytes, the parser answers with a status, the
// capabilities and usage tables stay linear in the descriptor's size (the usage tables within
// the parser's bound), and decoding reports of any length reads nothing outside them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "link/ReportDescriptor.h"

using vx::link::BuildUsageTable;
using vx::link::HidCollectionInfo;
using vx::link::HidReportKind;
using vx::link::HidUsageData;
using vx::link::ReportDescriptor;
using vx::link::ReportDescriptorStatus;
using vx::link::UnpackReportInto;
using vx::link::kHidMaxReportBytes;
using vx::link::kHidMaxUsageTableRoom;

namespace {

// Usage-list room plus value entries: what a table costs in memory, in entries.
size_t TableRoom(const std::vector<HidUsageData>& table) {
    size_t room = 0;
    for (const HidUsageData& e : table) room += e.isButton ? e.usages.size() : 1;
    return room;
}

// A report of `length` bytes with id `id`, its payload taken from the input over and over.
std::vector<uint8_t> MakeReport(uint8_t id, size_t length, const uint8_t* data, size_t size, size_t seed) {
    std::vector<uint8_t> report(length == 0 ? 1 : length);
    report[0] = id;
    for (size_t i = 1; i < report.size(); ++i) report[i] = data[(seed + i) % size];
    return report;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReportDescriptor descriptor;
    const ReportDescriptorStatus status = descriptor.Parse(data, size);
    VX_FUZZ_CHECK(status == descriptor.Status());
    if (status != ReportDescriptorStatus::Ok) {
        VX_FUZZ_CHECK(descriptor.Collections().empty());
        VX_FUZZ_CHECK(descriptor.ErrorOffset() <= size);
        return 0;
    }
    // Every capability comes from a usage item of its own (one byte at least).
    size_t caps = 0;
    for (const HidCollectionInfo& info : descriptor.Collections()) caps += info.caps.size();
    VX_FUZZ_CHECK(caps <= size);

    for (const HidCollectionInfo& info : descriptor.Collections()) {
        for (HidReportKind kind : {HidReportKind::Input, HidReportKind::Output, HidReportKind::Feature}) {
            std::vector<HidUsageData> table = BuildUsageTable(info, kind);
            VX_FUZZ_CHECK(TableRoom(table) <= kHidMaxUsageTableRoom);
            const size_t length = info.reportLength[int(kind)];
            VX_FUZZ_CHECK(length <= kHidMaxReportBytes);
            for (uint8_t id : info.reportIds[int(kind)]) {
                // A whole report, one cut short, and one longer than the layout says.
                for (size_t reportLength : {length, length / 2, length + 3}) {
                    const std::vector<uint8_t> report = MakeReport(id, reportLength, data, size, reportLength);
                    UnpackReportInto(info, report.data(), report.size(), kind, table.data(), table.size());
                    for (const HidUsageData& e : table) {
                        if (e.isButton) VX_FUZZ_CHECK(e.usages.size() == e.maxUsageListLength);
                    }
                }
            }
        }
        (void)info.AllReportIds();
    }
    return 0;
}
