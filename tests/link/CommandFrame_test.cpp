#include "link/CommandFrame.h"

#include <gtest/gtest.h>

#include <vector>

using vx::link::BuildFrame;
using vx::link::Chunk;
using vx::link::Command;
using vx::link::FitsOffsetRange;
using vx::link::Frame;
using vx::link::FrameChecksum;
using vx::link::SplitChunks;
using vx::link::StoreChecksum;
using vx::link::kCableChunkSize;
using vx::link::kFrameLength;
using vx::link::kReceiverChunkSize;

namespace {

TEST(CommandFrameTest, ChecksumOfBareCommandIsTheCommandCode) {
    const Frame frame = BuildFrame(Command::BeginConfig, 0, 0);
    EXPECT_EQ(frame[0], 4);
    EXPECT_EQ(frame[1], 0x01);
    EXPECT_EQ(frame[2], 0x00);
    EXPECT_EQ(frame[3], 0x01);
    for (size_t i = 4; i < kFrameLength; ++i) EXPECT_EQ(frame[i], 0) << "byte " << i;
}

TEST(CommandFrameTest, ChecksumIsTakenModulo65536NotModulo256) {
    const std::vector<uint8_t> payload(56, 0xFF);
    const Frame frame = BuildFrame(Command::WriteConfig, 56, 0, payload);
    EXPECT_EQ(frame[1], 0x06);
    EXPECT_EQ(frame[2], 0x38);
    EXPECT_EQ(FrameChecksum(frame), 0x3806);
}

TEST(CommandFrameTest, ChecksumCoversOffsetAndLengthButNotReportIdOrItself) {
    Frame frame = BuildFrame(Command::ReadConfig, 0x10, 0x0201);
    EXPECT_EQ(frame[5], 0x01);
    EXPECT_EQ(frame[6], 0x02);
    EXPECT_EQ(FrameChecksum(frame), 0x05 + 0x10 + 0x01 + 0x02);
    // Stale checksum bytes must not feed into a recomputation.
    frame[1] = 0xAB;
    frame[2] = 0xCD;
    StoreChecksum(frame);
    EXPECT_EQ(frame[1], 0x18);
    EXPECT_EQ(frame[2], 0x00);
}

TEST(CommandFrameTest, PayloadLongerThanOneFrameIsCut) {
    const std::vector<uint8_t> payload(80, 0x01);
    const Frame frame = BuildFrame(Command::WriteMacros, 56, 0, payload);
    EXPECT_EQ(FrameChecksum(frame), 0x15 + 56 + 56);
    EXPECT_EQ(frame[63], 0x01);
}

struct Split {
    size_t position;
    unsigned length;
    unsigned offset;
};

void ExpectChunks(const std::vector<Chunk>& chunks, const std::vector<Split>& expected) {
    ASSERT_EQ(chunks.size(), expected.size());
    for (size_t i = 0; i < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].position, expected[i].position) << "chunk " << i;
        EXPECT_EQ(chunks[i].length, expected[i].length) << "chunk " << i;
        EXPECT_EQ(chunks[i].offset, expected[i].offset) << "chunk " << i;
    }
}

TEST(CommandFrameTest, ChunkSplitsOnCableAndReceiver) {
    ExpectChunks(SplitChunks(130, kCableChunkSize, 0), {{0, 56, 0}, {56, 56, 56}, {112, 18, 112}});
    ExpectChunks(SplitChunks(130, kReceiverChunkSize, 0),
                 {{0, 24, 0}, {24, 24, 24}, {48, 24, 48}, {72, 24, 72}, {96, 24, 96}, {120, 10, 120}});
    ExpectChunks(SplitChunks(34, kReceiverChunkSize, 0), {{0, 24, 0}, {24, 10, 24}});
    ExpectChunks(SplitChunks(56, kCableChunkSize, 512), {{0, 56, 512}});
    EXPECT_TRUE(SplitChunks(0, kCableChunkSize, 0).empty());
}

TEST(CommandFrameTest, TransfersPastTheSixteenBitOffsetAreRefused) {
    EXPECT_TRUE(FitsOffsetRange(64, 0xFFC0));
    EXPECT_FALSE(FitsOffsetRange(65, 0xFFC0));
    EXPECT_FALSE(FitsOffsetRange(0, 0x10001));
    EXPECT_TRUE(SplitChunks(100, kCableChunkSize, 0xFFC0).empty());
    ExpectChunks(SplitChunks(64, kCableChunkSize, 0xFFC0), {{0, 56, 0xFFC0}, {56, 8, 0xFFF8}});
    EXPECT_TRUE(SplitChunks(10, 0, 0).empty());
}

}  // namespace
