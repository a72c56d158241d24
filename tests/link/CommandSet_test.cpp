#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <vector>

#include "DeviceLinkFixture.h"
#include "link/KeyTableRecords.h"

using vx::link::BuildColourTable;
using vx::link::BuildKeyTable;
using vx::link::Command;
using vx::link::DeviceInfo;
using vx::link::Frame;
using vx::link::KeyRecord;
using vx::link::KeyTableLength;
using vx::link::Rgb;
using vx::link::kKeyColourGroupStride;

namespace {

using namespace std::chrono_literals;

std::vector<std::pair<unsigned, unsigned>> OffsetsAndLengths(const std::vector<Frame>& frames) {
    std::vector<std::pair<unsigned, unsigned>> out;
    for (const Frame& f : frames) out.emplace_back(FrameOffset(f), f[4]);
    return out;
}

void FillCapabilities(ScriptedDevice& device, uint8_t slots) {
    std::vector<uint8_t>& info = device.Memory(Command::ReadDeviceInfo);
    std::iota(info.begin(), info.begin() + 34, uint8_t{0x40});
    info[5] = slots;
    info[6] = 12;
}

TEST_F(DeviceLinkTest, ControlCommandsAreBareFrames) {
    Connect(false);
    EXPECT_EQ(m_link.BeginConfig(), 1);
    EXPECT_EQ(m_link.EnterSoftwareLighting(), 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_link.EndConfig(), 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 10ms);
    const std::vector<Frame> frames = m_device->Requests();
    ASSERT_EQ(frames.size(), 3u);
    const uint8_t codes[] = {0x01, 0x1C, 0x02};
    for (size_t i = 0; i < 3; ++i) {
        Frame expected{};
        expected[0] = 4;
        expected[1] = codes[i];
        expected[3] = codes[i];
        EXPECT_EQ(frames[i], expected) << i;
    }
}

TEST_F(DeviceLinkTest, DeviceInfoTakesOneFrameOnTheCableAndTwoThroughTheReceiver) {
    Connect(true);
    FillCapabilities(*m_device, 104);
    DeviceInfo info;
    EXPECT_EQ(m_link.ReadDeviceInfo(&info), 1);
    EXPECT_EQ(OffsetsAndLengths(m_device->Requests()),
              (std::vector<std::pair<unsigned, unsigned>>{{0, 24}, {24, 10}}));
    EXPECT_EQ(info.KeySlots(), 104);
    EXPECT_EQ(info.MacroUnits(), 12);
    EXPECT_EQ(info.Bytes()[33], 0x40 + 33);

    m_device.reset();
    m_link.SetConnected(false);
    Connect(false);
    FillCapabilities(*m_device, 104);
    DeviceInfo cable;
    EXPECT_EQ(m_link.ReadDeviceInfo(&cable), 1);
    EXPECT_EQ(OffsetsAndLengths(m_device->Requests()), (std::vector<std::pair<unsigned, unsigned>>{{0, 34}}));
    EXPECT_EQ(cable.Bytes(), info.Bytes());
    EXPECT_EQ(m_link.ReadDeviceInfo(nullptr), -201);
}

TEST_F(DeviceLinkTest, KeyTableAndLedMapFollowTheSlotCount) {
    Connect(false);
    FillCapabilities(*m_device, 104);
    std::vector<uint8_t>& keys = m_device->Memory(Command::ReadKeyTable);
    std::iota(keys.begin(), keys.begin() + 512, uint8_t{0});
    DeviceInfo info;
    ASSERT_EQ(m_link.ReadDeviceInfo(&info), 1);
    ASSERT_EQ(m_link.SetBlockSize(info.KeyTableLength()), 1);

    std::vector<uint8_t> table(512, 0xEE);
    EXPECT_EQ(m_link.ReadKeyTable(table), 1);
    EXPECT_TRUE(std::equal(table.begin(), table.begin() + 312, keys.begin()));
    EXPECT_EQ(table[312], 0xEE);
    std::vector<uint8_t> leds(104);
    EXPECT_EQ(m_link.ReadLedMap(leds), 1);

    const std::vector<Frame> frames = m_device->Requests();
    size_t keyBytes = 0, ledBytes = 0;
    for (const Frame& f : frames) {
        if (f[3] == 0x07) keyBytes += f[4];
        if (f[3] == 0x1B) ledBytes += f[4];
    }
    EXPECT_EQ(keyBytes, 312u);
    EXPECT_EQ(ledBytes, 104u);
    // A buffer smaller than the block is refused rather than overrun.
    std::vector<uint8_t> small(100);
    const size_t before = m_device->RequestCount();
    EXPECT_EQ(m_link.ReadKeyTable(small), -201);
    EXPECT_EQ(m_link.ReadLedMap(std::span<uint8_t>(small).first(50)), -201);
    EXPECT_EQ(m_device->RequestCount(), before);
}

TEST_F(DeviceLinkTest, OversizedKeyTableIsRefusedBeforeAnyRead) {
    Connect(false);
    FillCapabilities(*m_device, 171);
    DeviceInfo info;
    ASSERT_EQ(m_link.ReadDeviceInfo(&info), 1);
    EXPECT_EQ(m_link.SetBlockSize(info.KeyTableLength()), 0);
    EXPECT_EQ(m_link.BlockSize(), 512);
    EXPECT_EQ(m_device->RequestCount(), 1u);
}

TEST_F(DeviceLinkTest, KeyTableWriteGoesToBankZeroOnly) {
    Connect(false);
    ASSERT_EQ(m_link.SetBlockSize(KeyTableLength(4)), 1);
    const std::vector<KeyRecord> records = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    const std::vector<uint8_t> table = BuildKeyTable(records);
    EXPECT_EQ(m_link.WriteKeyTable(table, 1), -201);
    EXPECT_EQ(m_link.WriteKeyTable(table, -1), -201);
    EXPECT_EQ(m_device->RequestCount(), 0u);
    EXPECT_EQ(m_link.WriteKeyTable(table, 0), 1);
    EXPECT_EQ(OffsetsAndLengths(m_device->Requests()), (std::vector<std::pair<unsigned, unsigned>>{{0, 12}}));
    EXPECT_TRUE(std::equal(table.begin(), table.end(), m_device->Memory(Command::WriteKeyTable).begin()));
    // Shorter than the block size: refused, nothing sent.
    EXPECT_EQ(m_link.WriteKeyTable(std::span<const uint8_t>(table).first(9), 0), -201);
    EXPECT_EQ(m_device->RequestCount(), 1u);
}

TEST_F(DeviceLinkTest, ShootDataUsesFullFramesEvenThroughTheReceiver) {
    Connect(true);
    std::vector<uint8_t> data(100);
    std::iota(data.begin(), data.end(), uint8_t{3});
    EXPECT_EQ(m_link.WriteShootData(data), 1);
    EXPECT_EQ(OffsetsAndLengths(m_device->Requests()),
              (std::vector<std::pair<unsigned, unsigned>>{{0, 56}, {56, 44}}));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), m_device->Memory(Command::WriteShootData).begin()));
}

TEST_F(DeviceLinkTest, KeyColoursGoToTheirGroup) {
    Connect(false);
    const std::vector<uint8_t> colours(60, 0x11);
    EXPECT_EQ(m_link.WriteKeyColours(colours, 2, kKeyColourGroupStride), 1);
    EXPECT_EQ(OffsetsAndLengths(m_device->Requests()),
              (std::vector<std::pair<unsigned, unsigned>>{{1024, 56}, {1080, 4}}));
    // A group whose table would run past the 16-bit offset is refused instead of wrapping to 0.
    EXPECT_EQ(m_link.WriteKeyColours(colours, 128, kKeyColourGroupStride), -201);
    EXPECT_EQ(m_link.WriteKeyColours(colours, -1, kKeyColourGroupStride), -201);
    EXPECT_EQ(m_device->RequestCount(), 2u);
}

TEST_F(DeviceLinkTest, ConfigReadsAndWritesRoundTrip) {
    Connect(true);
    std::vector<uint8_t> block(71);
    std::iota(block.begin(), block.end(), uint8_t{9});
    EXPECT_EQ(m_link.WriteConfig(block, 128), 1);
    std::vector<uint8_t> back(71);
    EXPECT_EQ(m_device->Memory(Command::WriteConfig)[128], 9);
    EXPECT_EQ(m_link.ReadConfig(back, 128), 1);
    EXPECT_EQ(back, block);
    EXPECT_EQ(m_link.ReadConfig(back, 0xFFF0), -201);
}

TEST_F(DeviceLinkTest, MacrosAreWrittenFromOffsetZero) {
    Connect(false);
    std::vector<uint8_t> image(70, 0x5A);
    EXPECT_EQ(m_link.WriteMacros(image), 1);
    EXPECT_EQ(OffsetsAndLengths(m_device->Requests()),
              (std::vector<std::pair<unsigned, unsigned>>{{0, 56}, {56, 14}}));
    EXPECT_EQ(m_device->Requests()[0][3], 0x15);
}

TEST_F(DeviceLinkTest, StatusIsOneFrameOfTheRequestedLength) {
    Connect(true);
    std::vector<uint8_t>& status = m_device->Memory(Command::ReadStatus);
    const std::vector<uint8_t> record = {77, 1, 0, 0, 5, 2};
    std::copy(record.begin(), record.end(), status.begin());
    std::vector<uint8_t> out(6);
    EXPECT_EQ(m_link.ReadStatus(out, 0), 1);
    EXPECT_EQ(out, record);
    EXPECT_EQ(OffsetsAndLengths(m_device->Requests()), (std::vector<std::pair<unsigned, unsigned>>{{0, 6}}));
    std::vector<uint8_t> tooLong(57);
    EXPECT_EQ(m_link.ReadStatus(tooLong, 0), -201);
    EXPECT_EQ(m_device->RequestCount(), 1u);
}

TEST_F(DeviceLinkTest, WirelessQueryOnTheCableIsTrueWithoutTraffic) {
    Connect(false);
    EXPECT_TRUE(m_link.QueryWirelessDevice());
    m_link.SetConnected(false);
    EXPECT_TRUE(m_link.QueryWirelessDevice());
    EXPECT_EQ(m_device->RequestCount(), 0u);
}

TEST_F(DeviceLinkTest, WirelessQueryThroughTheReceiverNeedsAnAwakeAnswer) {
    Connect(true);
    uint8_t status = 0;
    uint8_t awake = 0xFF;
    m_device->SetResponder(
        [&](const Frame& request, size_t) { return Response{{ReplyTo(request, status, {awake})}}; });
    EXPECT_TRUE(m_link.QueryWirelessDevice());
    EXPECT_EQ(m_device->Requests().back()[3], 0xAA);
    awake = 0x00;
    EXPECT_FALSE(m_link.QueryWirelessDevice());
    awake = 0xFF;
    status = 0xFE;
    EXPECT_FALSE(m_link.QueryWirelessDevice());
    status = 0xFF;
    EXPECT_FALSE(m_link.QueryWirelessDevice());
    m_link.SetConnected(false);
    status = 0;
    EXPECT_FALSE(m_link.QueryWirelessDevice());
}

TEST_F(DeviceLinkTest, LightingStreamUsesTheStreamCommandWhenIdle) {
    Connect(false);
    const std::vector<uint8_t> frame = BuildColourTable(std::vector<Rgb>(40, Rgb{1, 2, 3}), 40);
    EXPECT_EQ(m_link.StreamLighting(frame), 1);
    EXPECT_EQ(OffsetsAndLengths(m_device->Requests()),
              (std::vector<std::pair<unsigned, unsigned>>{{0, 56}, {56, 56}, {112, 8}}));
    EXPECT_EQ(m_device->Requests()[0][3], 0x12);
}

}  // namespace
