// What the command channel takes from a device or from enumeration: reply frames, the capability
// record, the status record, key tables, colour tables and settings blocks as read from device
// memory, the chunking of a transfer, device paths and the hexadecimal descriptor text of a
// virtual node. The same bytes go to every reader; round trips that the device pages rely on are
// checked.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "link/CommandFrame.h"
#include "link/DeviceInfo.h"
#include "link/HidLink.h"
#include "link/HidPath.h"
#include "link/KeyTableRecords.h"
#include "link/ReportDescriptor.h"
#include "link/SettingsBlocks.h"
#include "link/StatusRecord.h"

using vx::link::BuildColourTable;
using vx::link::BuildFrame;
using vx::link::BuildKeyTable;
using vx::link::BuildKeyboardBlock;
using vx::link::BuildMouseBlock;
using vx::link::BuildPadBlock;
using vx::link::Chunk;
using vx::link::Command;
using vx::link::DeviceInfo;
using vx::link::FitsOffsetRange;
using vx::link::FormatHexBytes;
using vx::link::Frame;
using vx::link::FrameChecksum;
using vx::link::HidPathNode;
using vx::link::HidPathParts;
using vx::link::IsVirtualNode;
using vx::link::KeyRecord;
using vx::link::MakeHidPath;
using vx::link::ModeCodeToIndex;
using vx::link::ModeIndexToCode;
using vx::link::PadBlock;
using vx::link::ParseCollectionNumber;
using vx::link::ParseColourTable;
using vx::link::ParseHexBytes;
using vx::link::ParseInterfaceNumber;
using vx::link::ParseKeyTable;
using vx::link::ParseKeyboardBlock;
using vx::link::ParseMouseBlock;
using vx::link::ParsePadBlock;
using vx::link::ParseProductId;
using vx::link::ParseVendorId;
using vx::link::Rgb;
using vx::link::SpeedFromDevice;
using vx::link::SplitChunks;
using vx::link::StatusRecord;
using vx::link::StoreChecksum;
using vx::link::kCableChunkSize;
using vx::link::kColourRecordLength;
using vx::link::kFrameCommand;
using vx::link::kFrameLength;
using vx::link::kFrameLengthByte;
using vx::link::kFrameOffsetHigh;
using vx::link::kFrameOffsetLow;
using vx::link::kFramePayload;
using vx::link::kHeadsetModeLimit;
using vx::link::kKeyRecordLength;
using vx::link::kMaxSpeedLevel;
using vx::link::kReceiverChunkSize;

namespace {

void Records(std::span<const uint8_t> bytes) {
    const DeviceInfo info(bytes);
    VX_FUZZ_CHECK(std::equal(info.Bytes().begin(), info.Bytes().begin() + std::min(bytes.size(), DeviceInfo::kLength),
                             bytes.begin()));
    if (info.KeySlotsValid()) VX_FUZZ_CHECK(info.KeyTableLength() <= 512);
    (void)info.MacroCapacityBytes();
    (void)info.HasTwoSlopeDpi();
    (void)info.DpiSliderMax();
    (void)info.DpiBase();

    for (bool receiver : {false, true}) {
        const StatusRecord status = StatusRecord::Parse(bytes, receiver);
        VX_FUZZ_CHECK(status.Bytes()[3] == (receiver ? 1 : 0));
    }

    // Whole records round-trip; the bytes of an incomplete last record are dropped.
    const std::vector<KeyRecord> keys = ParseKeyTable(bytes);
    VX_FUZZ_CHECK(keys.size() == bytes.size() / kKeyRecordLength);
    const std::vector<uint8_t> table = BuildKeyTable(keys);
    VX_FUZZ_CHECK(std::equal(table.begin(), table.end(), bytes.begin()));
    const std::vector<Rgb> colours = ParseColourTable(bytes);
    const std::vector<uint8_t> colourTable = BuildColourTable(colours, colours.size());
    VX_FUZZ_CHECK(colourTable.size() == colours.size() * kColourRecordLength);
    VX_FUZZ_CHECK(std::equal(colourTable.begin(), colourTable.end(), bytes.begin()));
}

void Blocks(std::span<const uint8_t> bytes) {
    // The first byte says how long the device's light-mode table is; the rest is the block.
    if (bytes.empty()) return;
    const size_t tableLength = std::min<size_t>(bytes[0] % 40, bytes.size() - 1);
    const std::span<const uint8_t> modeTable = bytes.subspan(1, tableLength);
    const std::span<const uint8_t> block = bytes.subspan(1 + tableLength);

    const KeyboardSettings keyboard = ParseKeyboardBlock(block, modeTable);
    VX_FUZZ_CHECK(keyboard.light.speed <= kMaxSpeedLevel);
    (void)BuildKeyboardBlock(keyboard, modeTable);
    const MouseSettings mouse = ParseMouseBlock(block, modeTable);
    VX_FUZZ_CHECK(mouse.light.speed <= kMaxSpeedLevel);
    (void)BuildMouseBlock(mouse, modeTable);
    const PadBlock pad = ParsePadBlock(block, modeTable);
    (void)BuildPadBlock(pad, modeTable, modeTable.size());
    (void)BuildPadBlock(pad, modeTable, kHeadsetModeLimit);
    for (uint8_t code : block.first(std::min<size_t>(block.size(), 8))) {
        const int index = ModeCodeToIndex(modeTable, code);
        VX_FUZZ_CHECK(ModeIndexToCode(modeTable, index) == code || index == code);
        VX_FUZZ_CHECK(SpeedFromDevice(code) >= 0 && SpeedFromDevice(code) <= kMaxSpeedLevel);
    }
}

void Frames(std::span<const uint8_t> bytes) {
    // A reply as it comes off the wire: whatever its length, the channel reads a 64-byte frame.
    Frame reply{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), kFrameLength), reply.begin());
    Frame checked = reply;
    StoreChecksum(checked);
    VX_FUZZ_CHECK(FrameChecksum(checked) == FrameChecksum(reply));
    const Frame rebuilt = BuildFrame(static_cast<Command>(reply[kFrameCommand]), reply[kFrameLengthByte],
                                     uint16_t(reply[kFrameOffsetLow] | reply[kFrameOffsetHigh] << 8),
                                     std::span<const uint8_t>(reply).subspan(kFramePayload));
    VX_FUZZ_CHECK(std::equal(rebuilt.begin() + kFramePayload, rebuilt.end(), reply.begin() + kFramePayload));

    // The chunks of a transfer cover it exactly and stay inside the 16-bit address range.
    if (bytes.size() >= 5) {
        const size_t total = bytes[0] | bytes[1] << 8 | (bytes[4] & 1) << 16;
        const uint32_t base = bytes[2] | bytes[3] << 8 | (bytes[4] & 2) << 15;
        const uint8_t chunkSize = bytes[4] & 0x80 ? kCableChunkSize : kReceiverChunkSize;
        const std::vector<Chunk> chunks = SplitChunks(total, chunkSize, base);
        if (!FitsOffsetRange(total, base)) {
            VX_FUZZ_CHECK(chunks.empty());
        } else {
            size_t covered = 0;
            for (const Chunk& chunk : chunks) {
                VX_FUZZ_CHECK(chunk.position == covered);
                VX_FUZZ_CHECK(chunk.length > 0 && chunk.length <= chunkSize);
                VX_FUZZ_CHECK(chunk.offset == uint16_t(base + chunk.position));
                covered += chunk.length;
            }
            VX_FUZZ_CHECK(covered == total);
        }
    }
}

void Paths(std::string_view text) {
    const uint16_t vendor = ParseVendorId(text);
    const uint16_t product = ParseProductId(text);
    const uint16_t interfaceNumber = ParseInterfaceNumber(text);
    const uint16_t collection = ParseCollectionNumber(text);
    const std::string node = HidPathNode(text);
    (void)IsVirtualNode(node);
    // A path made from parts gives the same parts back, whatever the node is called.
    HidPathParts parts;
    parts.vendorId = vendor;
    parts.productId = product;
    if (interfaceNumber != 0) parts.interfaceNumber = interfaceNumber;
    parts.collection = collection;
    parts.node = std::string(text);
    const std::string path = MakeHidPath(parts);
    VX_FUZZ_CHECK(ParseVendorId(path) == vendor);
    VX_FUZZ_CHECK(ParseProductId(path) == product);
    VX_FUZZ_CHECK(ParseInterfaceNumber(path) == interfaceNumber);
    VX_FUZZ_CHECK(ParseCollectionNumber(path) == collection);
    if (!text.empty()) VX_FUZZ_CHECK(HidPathNode(path) == text);
}

void HexText(std::string_view text) {
    std::vector<uint8_t> bytes;
    if (!ParseHexBytes(std::string(text), &bytes)) return;
    VX_FUZZ_CHECK(bytes.size() <= text.size());
    std::vector<uint8_t> again;
    VX_FUZZ_CHECK(ParseHexBytes(FormatHexBytes(bytes.data(), bytes.size()), &again));
    VX_FUZZ_CHECK(again == bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Records(bytes);
    Blocks(bytes);
    Frames(bytes);
    Paths(text);
    HexText(text);
    return 0;
}
