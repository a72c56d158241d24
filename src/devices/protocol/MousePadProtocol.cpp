#include "devices/protocol/MousePadProtocol.h"

#include <algorithm>

using vx::link::BuildPadBlock;
using vx::link::ParsePadBlock;

using vx::link::PadBlock;

using vx::link::kLinkOk;

namespace vx::devices {

int MousePadProtocol::ReadSettings(std::vector<uint8_t>* block) {
    BlockRead read;
    const int status = ReadActiveBlock(kBlockStride, kBlockStride, &read);
    if (status != kLinkOk) return status;
    read.block[0] = read.activeProfile;
    *block = std::move(read.block);
    return kLinkOk;
}

MousePadProtocol::Record MousePadProtocol::RecordFromBlock(std::span<const uint8_t> block,
                                                           std::span<const uint8_t> modeTable) {
    std::array<uint8_t, kBlockStride> whole{};
    std::copy_n(block.begin(), std::min(block.size(), whole.size()), whole.begin());
    return ParsePadBlock(whole, modeTable);
}

int MousePadProtocol::WriteSettings(const Record& record, std::span<const uint8_t> modeTable) {
    const Record block = BuildPadBlock(record, modeTable);
    return WriteBlock(block);
}

void MousePadProtocol::PutLight(const LightInfo& light, Record& record) {
    record[1] = light.selectItem;
    record[2] = light.light;
    record[3] = light.speed;
    record[5] = light.multiColor;
    record[6] = light.red;
    record[7] = light.green;
    record[8] = light.blue;
}

}  // namespace vx::devices
