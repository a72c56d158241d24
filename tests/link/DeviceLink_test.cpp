#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

#include "DeviceLinkFixture.h"

using vx::link::Command;
using vx::link::Frame;
using vx::link::FrameChecksum;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST_F(DeviceLinkTest, NotConnectedSendsNothingAndReturnsZero) {
    Connect(false);
    m_link.SetConnected(false);
    uint8_t request[8] = {4, 1, 0, 1};
    uint8_t reply[64] = {};
    size_t got = 99;
    EXPECT_EQ(m_link.Transact(request, sizeof request, reply, sizeof reply, &got), 0);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(m_link.BeginConfig(), 0);
    std::vector<uint8_t> data(100, 1);
    EXPECT_EQ(m_link.WriteConfig(data, 0), 0);
    EXPECT_EQ(m_device->RequestCount(), 0u);
    EXPECT_FALSE(m_link.IsBusy());
}

TEST_F(DeviceLinkTest, ShortRequestIsSentAsSixtyFourBytesAndReplyComesBack) {
    Connect(false);
    m_device->SetResponder([](const Frame& request, size_t) {
        return Response{{ReplyTo(request, 0x01, {0xDE, 0xAD})}};
    });
    std::vector<uint8_t> request = {4, 0x0F, 0x00, 0x05, 2, 0, 0, 0, 0, 0};
    uint8_t reply[64] = {};
    size_t got = 0;
    EXPECT_EQ(m_link.Transact(request.data(), request.size(), reply, sizeof reply, &got), 1);
    EXPECT_EQ(got, 64u);
    EXPECT_EQ(reply[3], 0x05);
    EXPECT_EQ(reply[7], 0x01);
    EXPECT_EQ(reply[8], 0xDE);
    EXPECT_EQ(reply[9], 0xAD);
    const std::vector<Frame> sent = m_device->Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(std::equal(request.begin(), request.end(), sent[0].begin()));
    for (size_t i = request.size(); i < 64; ++i) EXPECT_EQ(sent[0][i], 0) << i;
}

TEST_F(DeviceLinkTest, StaleReplyIsSkippedByTheSecondRead) {
    Connect(false);
    m_device->SetResponder([](const Frame& request, size_t) {
        return Response{{ReplyWithCommand(0x07, 0), ReplyTo(request, 0, {0x42})}};
    });
    std::array<uint8_t, 1> value{};
    EXPECT_EQ(m_link.ReadConfig(value, 0), 1);
    EXPECT_EQ(value[0], 0x42);
}

TEST_F(DeviceLinkTest, LateReplyOfATimedOutReadIsNotTakenForTheNextOne) {
    Connect(false);
    // The first read (another offset) is answered after the cable's time-out; the next one at once.
    m_device->SetResponder([](const Frame& request, size_t index) {
        if (index == 0) return Response{{ReplyTo(request, 0, std::vector<uint8_t>(8, 0xAA))}, 1300ms};
        return Response{{ReplyTo(request, 0, std::vector<uint8_t>(8, 0x55))}};
    });
    std::array<uint8_t, 8> settings{};
    const auto start = Clock::now();
    EXPECT_EQ(m_link.ReadConfig(settings, 0x38), 0);
    EXPECT_LT(Clock::now() - start, 1250ms);
    // The page goes on with other work meanwhile; the late answer arrives and waits in the queue.
    std::this_thread::sleep_for(600ms);
    settings.fill(0);
    EXPECT_EQ(m_link.ReadConfig(settings, 0), 1);
    EXPECT_EQ(settings, (std::array<uint8_t, 8>{0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}));
    const std::vector<Frame> sent = m_device->Requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(FrameOffset(sent[0]), 0x38);
    EXPECT_EQ(FrameOffset(sent[1]), 0);
}

TEST_F(DeviceLinkTest, TwoRepliesToOtherCommandsAreNotTakenAsTheAnswer) {
    Connect(false);
    m_device->SetResponder([](const Frame&, size_t) {
        return Response{{ReplyWithCommand(0x07, 0), ReplyWithCommand(0x09, 0)}};
    });
    std::array<uint8_t, 4> value{};
    EXPECT_EQ(m_link.ReadConfig(value, 0), 0);
}

TEST_F(DeviceLinkTest, StatusBytesBecomeTheirCodes) {
    Connect(false);
    uint8_t status = 0xFF;
    m_device->SetResponder(
        [&status](const Frame& request, size_t) { return Response{{ReplyTo(request, status)}}; });
    EXPECT_EQ(m_link.BeginConfig(), -102);
    status = 0xFE;
    EXPECT_EQ(m_link.BeginConfig(), -103);
    status = 0xFD;
    EXPECT_EQ(m_link.BeginConfig(), 1);
}

TEST_F(DeviceLinkTest, ReceiverAnsweringForAbsentDeviceGivesMinus101AtOnce) {
    Connect(true);
    m_device->SetResponder([](const Frame&, size_t) { return Response{{ReplyWithCommand(0xAA, 0)}}; });
    const auto start = Clock::now();
    std::array<uint8_t, 8> value{};
    EXPECT_EQ(m_link.ReadConfig(value, 0), -101);
    // A second read would wait the 5000 ms wireless time-out for a reply that never comes.
    EXPECT_LT(Clock::now() - start, 1000ms);
    EXPECT_EQ(m_device->RequestCount(), 1u);
}

TEST_F(DeviceLinkTest, OnTheCableAnAaReplyIsJustAStaleReply) {
    Connect(false);
    m_device->SetResponder([](const Frame& request, size_t) {
        return Response{{ReplyWithCommand(0xAA, 0), ReplyTo(request, 0, {7})}};
    });
    std::array<uint8_t, 1> value{};
    EXPECT_EQ(m_link.ReadConfig(value, 0), 1);
    EXPECT_EQ(value[0], 7);
}

TEST_F(DeviceLinkTest, MissingReplyTimesOutWithZero) {
    Connect(false);
    m_device->SetResponder([](const Frame&, size_t) { return Response{}; });
    const auto start = Clock::now();
    EXPECT_EQ(m_link.BeginConfig(), 0);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, 900ms);
    EXPECT_LT(elapsed, 3000ms);
    EXPECT_FALSE(m_link.IsBusy());
}

TEST_F(DeviceLinkTest, WriteToAnUnpluggedDeviceFailsPromptly) {
    Connect(false);
    m_device->Unplug();
    const auto start = Clock::now();
    const int result = m_link.BeginConfig();
    // The write fails (-1); a transport that accepts the write first fails the read (0).
    EXPECT_TRUE(result == -1 || result == 0) << result;
    EXPECT_LT(Clock::now() - start, 500ms);
}

TEST_F(DeviceLinkTest, LinkModeAndBlockSize) {
    EXPECT_EQ(m_link.ChunkSize(), 24);
    EXPECT_EQ(m_link.BlockSize(), 512);
    m_link.SetLinkMode(2);
    EXPECT_TRUE(m_link.IsWireless());
    EXPECT_EQ(m_link.ChunkSize(), 24);
    m_link.SetLinkMode(1);
    EXPECT_FALSE(m_link.IsWireless());
    EXPECT_EQ(m_link.ChunkSize(), 56);
    m_link.SetLinkMode(2);
    m_link.SetLinkMode(7);
    EXPECT_FALSE(m_link.IsWireless());
    EXPECT_EQ(m_link.ChunkSize(), 56);

    EXPECT_EQ(m_link.SetBlockSize(513), 0);
    EXPECT_EQ(m_link.BlockSize(), 512);
    EXPECT_EQ(m_link.SetBlockSize(312), 1);
    EXPECT_EQ(m_link.BlockSize(), 312);
    EXPECT_EQ(m_link.SetBlockSize(512), 1);
    EXPECT_EQ(m_link.BlockSize(), 512);
}

void ExpectWriteChunks(const std::vector<Frame>& frames, const std::vector<uint8_t>& data, uint8_t command,
                       uint16_t base, const std::vector<std::pair<unsigned, unsigned>>& expected) {
    ASSERT_EQ(frames.size(), expected.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        const auto [position, length] = expected[i];
        EXPECT_EQ(f[0], 4);
        EXPECT_EQ(f[3], command);
        EXPECT_EQ(f[4], length) << "chunk " << i;
        EXPECT_EQ(FrameOffset(f), base + position) << "chunk " << i;
        EXPECT_EQ(f[7], 0);
        EXPECT_TRUE(std::equal(data.begin() + position, data.begin() + position + length, f.begin() + 8));
        for (size_t b = 8 + length; b < 64; ++b) EXPECT_EQ(f[b], 0) << "chunk " << i << " byte " << b;
        EXPECT_EQ(f[1] | (f[2] << 8), FrameChecksum(f)) << "chunk " << i;
    }
}

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> data(n);
    std::iota(data.begin(), data.end(), uint8_t{1});
    return data;
}

TEST_F(DeviceLinkTest, ChunkedWriteOnTheCable) {
    Connect(false);
    const std::vector<uint8_t> data = Pattern(130);
    EXPECT_EQ(m_link.WriteConfig(data, 0), 1);
    ExpectWriteChunks(m_device->Requests(), data, 0x06, 0, {{0, 56}, {56, 56}, {112, 18}});
    EXPECT_TRUE(std::equal(data.begin(), data.end(), m_device->Memory(Command::WriteConfig).begin()));
}

TEST_F(DeviceLinkTest, ChunkedWriteThroughTheReceiver) {
    Connect(true);
    const std::vector<uint8_t> data = Pattern(130);
    EXPECT_EQ(m_link.WriteConfig(data, 64), 1);
    ExpectWriteChunks(m_device->Requests(), data, 0x06, 64,
                      {{0, 24}, {24, 24}, {48, 24}, {72, 24}, {96, 24}, {120, 10}});
}

TEST_F(DeviceLinkTest, FailingMiddleChunkStopsTheTransfer) {
    Connect(false);
    m_device->SetResponder([this](const Frame& request, size_t index) {
        if (index == 1) return Response{{ReplyTo(request, 0xFE)}};
        return m_device->MemoryResponse(request);
    });
    const std::vector<uint8_t> data = Pattern(130);
    EXPECT_EQ(m_link.WriteConfig(data, 0), -103);
    ASSERT_EQ(m_device->RequestCount(), 2u);
    // The first chunk stays applied on the device.
    EXPECT_EQ(m_device->Memory(Command::WriteConfig)[55], data[55]);
    EXPECT_EQ(m_device->Memory(Command::WriteConfig)[56], 0);
}

TEST_F(DeviceLinkTest, UnplugInTheMiddleOfAChunkedReadEndsPromptly) {
    Connect(true);
    m_device->SetResponder([this](const Frame& request, size_t index) {
        if (index == 2) return Response{{}, std::chrono::milliseconds(0), true};
        return m_device->MemoryResponse(request);
    });
    std::vector<uint8_t> buffer(130, 0xEE);
    const auto start = Clock::now();
    const int result = m_link.ReadConfig(buffer, 0);
    EXPECT_TRUE(result == 0 || result == -1) << result;
    // Far below the 5000 ms wireless time-out: the closed node ends the wait.
    EXPECT_LT(Clock::now() - start, 2000ms);
    EXPECT_EQ(m_device->RequestCount(), 3u);
    EXPECT_FALSE(m_link.IsBusy());
    // Later commands fail the same way instead of hanging.
    EXPECT_NE(m_link.BeginConfig(), 1);
}

TEST_F(DeviceLinkTest, BusyIsSetOnlyWhileATransactionIsInFlight) {
    Connect(false);
    std::atomic<bool> sawBusy{false};
    m_device->SetResponder([this, &sawBusy](const Frame& request, size_t) {
        sawBusy = m_link.IsBusy();
        return Response{{ReplyTo(request)}};
    });
    EXPECT_FALSE(m_link.IsBusy());
    EXPECT_EQ(m_link.BeginConfig(), 1);
    EXPECT_TRUE(sawBusy.load());
    EXPECT_FALSE(m_link.IsBusy());
}

}  // namespace
