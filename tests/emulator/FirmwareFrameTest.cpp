// Frame-level behaviour of the virtual firmware: checksum, status codes, chunked transfers at
// the cable and receiver chunk sizes, the receiver of a sleeping device, images and streams.

#include <gtest/gtest.h>

#include <numeric>

#include "FrameHelpers.h"
#include "MacroImageBuilder.h"
#include "emulator/FrameChecksum.h"
#include "emulator/VirtualFirmware.h"

using vx::emulator::ComputeFrameChecksum;
using vx::emulator::DecodeMacroImage;
using vx::emulator::FirmwareKind;
using vx::emulator::FrameChecksumMatches;
using vx::emulator::ImageRecord;
using vx::emulator::ImageState;
using vx::emulator::MacroImageCheck;
using vx::emulator::MacroRecord;
using vx::emulator::StampFrameChecksum;
using vx::emulator::Transport;
using vx::emulator::VirtualFirmware;
using vx::emulator::kStatusOk;
using vx::emulator::kStatusOutOfRange;
using vx::emulator::kStatusRejected;

namespace {

constexpr size_t kCableChunk = 56;
constexpr size_t kReceiverChunk = 24;

std::vector<uint8_t> Pattern(size_t length, uint8_t seed) {
    std::vector<uint8_t> data(length);
    for (size_t i = 0; i < length; ++i) data[i] = static_cast<uint8_t>(seed + 7 * i);
    return data;
}

TEST(FrameChecksum, MatchesTheWorkedExamples) {
    std::vector<uint8_t> begin(64, 0);
    begin[0] = 4;
    begin[3] = 0x01;
    EXPECT_EQ(ComputeFrameChecksum(begin), 1);
    StampFrameChecksum(begin);
    EXPECT_EQ(begin[1], 0x01);
    EXPECT_EQ(begin[2], 0x00);

    std::vector<uint8_t> write(64, 0);
    write[0] = 4;
    write[3] = 0x06;
    write[4] = 56;
    std::fill(write.begin() + 8, write.end(), 0xFF);
    StampFrameChecksum(write);
    EXPECT_EQ(write[1], 0x06);
    EXPECT_EQ(write[2], 0x38);  // 0x3806: the sum is kept to 16 bits, not 8
    EXPECT_TRUE(FrameChecksumMatches(write));
    write[40] ^= 1;
    EXPECT_FALSE(FrameChecksumMatches(write));
}

TEST(FirmwareFrames, ReplyEchoesCommandWithSuccessStatus) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const auto reply = Transact(keyboard, RequestFrame(0x01));
    ASSERT_EQ(reply.size(), 64u);
    EXPECT_EQ(reply[0], 4);
    EXPECT_EQ(reply[3], 0x01);
    EXPECT_NE(reply[7], 0xFF);
    EXPECT_NE(reply[7], 0xFE);
    EXPECT_TRUE(keyboard.InConfigSession());
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x02))[7], kStatusOk);
    EXPECT_FALSE(keyboard.InConfigSession());
    EXPECT_EQ(keyboard.ConfigSessions(), 1u);
}

TEST(FirmwareFrames, RejectsMalformedRequestsAndChangesNothing) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const auto before = keyboard.Config();
    const auto data = Pattern(20, 1);

    auto badSum = RequestFrame(0x06, 20, 64, data);
    badSum[1] ^= 0x01;
    auto reply = Transact(keyboard, badSum);
    EXPECT_EQ(reply[3], 0x06);
    EXPECT_EQ(reply[7], kStatusRejected);

    auto shortReport = RequestFrame(0x06, 20, 64, data);
    shortReport.pop_back();
    EXPECT_EQ(Transact(keyboard, shortReport)[7], kStatusRejected);

    EXPECT_EQ(Transact(keyboard, RequestFrame(0x30))[7], kStatusRejected);              // unknown command
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x17, 4, 0, data))[7], kStatusRejected);  // mouse only
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x06, 57, 64, data))[7], kStatusOutOfRange);

    EXPECT_EQ(keyboard.Config(), before);
    const auto received = keyboard.Received();
    ASSERT_EQ(received.size(), 5u);
    EXPECT_EQ(received[0].status, kStatusRejected);
    EXPECT_EQ(received[4].status, kStatusOutOfRange);
}

TEST(FirmwareFrames, ChunkedConfigWritesLandAtBothChunkSizes) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const auto cableData = Pattern(130, 3);
    ASSERT_EQ(ChunkedWrite(keyboard, 0x06, cableData, 64, kCableChunk), 0);
    auto config = keyboard.Config();
    EXPECT_TRUE(std::equal(cableData.begin(), cableData.end(), config.begin() + 64));
    EXPECT_EQ(ChunkedRead(keyboard, 0x05, 130, 64, kReceiverChunk, Transport::Receiver), cableData);

    VirtualFirmware mouse(FirmwareKind::Mouse);
    auto block = Pattern(66, 9);
    block[0] = 0;  // the program always writes profile 0's block with byte 0 = 0
    ASSERT_EQ(ChunkedWrite(mouse, 0x06, block, 0, kReceiverChunk, Transport::Receiver), 0);
    const auto written = mouse.ConfigBlock(0);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), written.begin()));
    EXPECT_EQ(ChunkedRead(mouse, 0x05, 71, 0, kCableChunk),
              std::vector<uint8_t>(written.begin(), written.begin() + 71));
}

TEST(FirmwareFrames, OutOfRangeTransfersAreRefused) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const size_t size = keyboard.Config().size();
    const auto before = keyboard.Config();
    const auto data = Pattern(24, 5);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x06, 24, static_cast<uint16_t>(size - 8), data))[7],
              kStatusOutOfRange);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x05, 24, static_cast<uint16_t>(size - 8)))[7],
              kStatusOutOfRange);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x05, 8, static_cast<uint16_t>(size - 8)))[7], kStatusOk);
    // A block that would make a missing profile the active one.
    std::vector<uint8_t> block(24, 0);
    block[0] = static_cast<uint8_t>(keyboard.Layout().profileCount);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x06, 24, 0, block))[7], kStatusOutOfRange);
    EXPECT_EQ(keyboard.Config(), before);
    // Capability record is 34 bytes; the status record 16.
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x03, 24, 24))[7], kStatusOutOfRange);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x1A, 6, 12))[7], kStatusOutOfRange);
}

TEST(FirmwareFrames, SettingsBlocksSitAtTheirStrides) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    ASSERT_EQ(keyboard.ChangeProfileOnDevice(3, -1), 0x1003);
    const auto active = ChunkedRead(keyboard, 0x05, 1, 0, kCableChunk);
    ASSERT_EQ(active, std::vector<uint8_t>{3});
    EXPECT_EQ(ChunkedRead(keyboard, 0x05, 64, 3 * 64, kCableChunk), keyboard.ConfigBlock(3));
    // Each factory profile has its own light mode code; the keyboard's start at the wave (code 1).
    EXPECT_EQ(keyboard.ConfigBlock(0)[1], 1);
    EXPECT_EQ(keyboard.ConfigBlock(3)[1], 4);

    VirtualFirmware mouse(FirmwareKind::Mouse);
    ASSERT_EQ(mouse.ChangeProfileOnDevice(2, 3), 0x1132);
    EXPECT_EQ(mouse.ActiveProfile(), 2);
    const auto block = ChunkedRead(mouse, 0x05, 71, 2 * 128, kReceiverChunk, Transport::Receiver);
    ASSERT_EQ(block.size(), 71u);
    EXPECT_EQ(block[12], 3);  // active DPI stage from the 0x11 code
    EXPECT_EQ(block[14], 1);  // stage 0 active
    EXPECT_EQ(block[14 + 2] | (block[14 + 3] << 8), 400);
    EXPECT_EQ(block[14 + 9 + 2] | (block[14 + 9 + 3] << 8), 800);
    EXPECT_EQ(block[59], 1);

    VirtualFirmware headset(FirmwareKind::Headset);
    auto record = Pattern(21, 2);
    record[0] = 0;
    ASSERT_EQ(ChunkedWrite(headset, 0x06, record, 0, kCableChunk), 0);
    EXPECT_EQ(ChunkedRead(headset, 0x05, 21, 0, kCableChunk), record);
    EXPECT_EQ(Transact(headset, RequestFrame(0x07, 24, 0))[7], kStatusRejected);
}

TEST(FirmwareFrames, ProfileChangeCodes) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    EXPECT_EQ(keyboard.ChangeProfileOnDevice(3, 2), 0x1123);
    EXPECT_EQ(keyboard.ActiveProfile(), 3);
    EXPECT_EQ(keyboard.ConfigBlock(3)[26], 2);
    EXPECT_EQ(keyboard.ChangeProfileOnDevice(static_cast<int>(keyboard.Layout().profileCount), -1), 0);
    EXPECT_EQ(keyboard.ActiveProfile(), 3);

    const auto reports = keyboard.NotificationReports(0x401);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], (std::vector<uint8_t>{3, 0x01, 0x04}));
    EXPECT_EQ(reports[1], (std::vector<uint8_t>{3, 0x00, 0x00}));
    VirtualFirmware headset(FirmwareKind::Headset);
    EXPECT_EQ(headset.NotificationReports(0x401)[0], (std::vector<uint8_t>{1, 0x01, 0x04}));
}

TEST(FirmwareFrames, SleepingDeviceBehindReceiverAnswersAA) {
    VirtualFirmware mouse(FirmwareKind::Mouse);
    auto query = Transact(mouse, RequestFrame(0xAA), Transport::Receiver);
    EXPECT_EQ(query[3], 0xAA);
    EXPECT_EQ(query[8], 0xFF);

    mouse.SetAsleep(true);
    query = Transact(mouse, RequestFrame(0xAA), Transport::Receiver);
    EXPECT_EQ(query[3], 0xAA);
    EXPECT_NE(query[8], 0xFF);

    const auto before = mouse.Config();
    std::vector<uint8_t> block(24, 0);
    std::fill(block.begin() + 1, block.end(), 0x5A);
    EXPECT_EQ(Transact(mouse, RequestFrame(0x06, 24, 0, block), Transport::Receiver)[3], 0xAA);
    EXPECT_EQ(Transact(mouse, RequestFrame(0x03, 24, 0), Transport::Receiver)[3], 0xAA);
    EXPECT_EQ(mouse.Config(), before);

    // The cable reaches the device whatever its radio does.
    EXPECT_EQ(Transact(mouse, RequestFrame(0x03, 24, 0), Transport::Cable)[3], 0x03);

    mouse.SetAsleep(false);
    EXPECT_EQ(Transact(mouse, RequestFrame(0x06, 24, 0, block), Transport::Receiver)[3], 0x06);
    EXPECT_EQ(mouse.Config()[5], 0x5A);
}

TEST(FirmwareFrames, HungDeviceTakesCommandsButAnswersNone) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    keyboard.SetUnresponsive(true);
    std::vector<uint8_t> block(8, 0);
    block[2] = 3;
    EXPECT_TRUE(
        keyboard.HandleOutputReport(RequestFrame(0x06, 8, 64, block), Transport::Cable, false).empty());
    EXPECT_EQ(keyboard.Config()[66], 3);
    EXPECT_EQ(keyboard.Received().back().status, kStatusOk);
    keyboard.SetUnresponsive(false);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x05, 8, 64))[8 + 2], 3);
}

TEST(FirmwareFrames, MacroImagesAreValidatedAsTheyArrive) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const auto image = BuildMacroImage({KeyTap(0x04, 20, 3), KeyTap(0x05, 40, 1), KeyTap(0x06, 5, 6)});
    for (size_t chunk : {kCableChunk, kReceiverChunk}) {
        ASSERT_EQ(Transact(keyboard, RequestFrame(0x01))[7], kStatusOk);
        ASSERT_EQ(ChunkedWrite(keyboard, 0x15, image, 0, chunk), 0) << chunk;
        ASSERT_EQ(Transact(keyboard, RequestFrame(0x02))[7], kStatusOk);
        const ImageRecord macros = keyboard.Macros();
        EXPECT_EQ(macros.state, ImageState::Valid);
        EXPECT_EQ(macros.bytes, image);
        EXPECT_EQ(DecodeMacroImage(macros.bytes).size(), 3u);
    }

    auto badOffset = image;
    badOffset[16] += 4;
    EXPECT_EQ(ChunkedWrite(keyboard, 0x15, badOffset, 0, kCableChunk), kStatusOutOfRange);
    EXPECT_EQ(keyboard.Macros().state, ImageState::Invalid);
    EXPECT_EQ(keyboard.Macros().check, MacroImageCheck::BadOffset);

    auto badMark = image;
    badMark[0] = 0x55;
    EXPECT_EQ(ChunkedWrite(keyboard, 0x15, badMark, 0, kCableChunk), kStatusOutOfRange);
    EXPECT_EQ(keyboard.Macros().check, MacroImageCheck::BadMark);

    // Larger than the device's macro memory (capability byte 6 in 128-byte units).
    const size_t capacity = keyboard.Capability()[6] * 128u;
    std::vector<MacroRecord> many(1, KeyTap(0x04, 1, capacity / 8 + 1));
    EXPECT_EQ(ChunkedWrite(keyboard, 0x15, BuildMacroImage(many), 0, kCableChunk), kStatusOutOfRange);
    EXPECT_EQ(keyboard.Macros().state, ImageState::Invalid);

    // A chunk that skips ahead, and a transfer that stops half way.
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x15, 8, 56, std::span(image).subspan(56, 8)))[7],
              kStatusOutOfRange);
    ASSERT_EQ(ChunkedWrite(keyboard, 0x15, std::span(image).first(56), 0, kCableChunk), 0);
    EXPECT_EQ(keyboard.Macros().state, ImageState::Receiving);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x02))[7], kStatusOutOfRange);
    EXPECT_EQ(keyboard.Macros().state, ImageState::Invalid);
}

TEST(FirmwareFrames, ShootDataNeedsExactlyFourRecords) {
    VirtualFirmware mouse(FirmwareKind::Mouse);
    std::vector<MacroRecord> four(4, KeyTap(0x01, 12, 10));
    const auto image = BuildMacroImage(four);
    // Shoot frames are 56 bytes whatever the connection.
    ASSERT_EQ(ChunkedWrite(mouse, 0x17, image, 0, kCableChunk, Transport::Receiver), 0);
    EXPECT_EQ(mouse.Shoot().state, ImageState::Valid);
    EXPECT_EQ(mouse.Shoot().bytes, image);

    std::vector<MacroRecord> three(3, KeyTap(0x01, 12, 10));
    EXPECT_EQ(ChunkedWrite(mouse, 0x17, BuildMacroImage(three), 0, kCableChunk), kStatusOutOfRange);
    EXPECT_EQ(mouse.Shoot().check, MacroImageCheck::BadCount);
}

TEST(FirmwareFrames, LightingStreamAndKeyColoursLand) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const size_t slots = keyboard.Capability()[5];
    const auto frame = Pattern(slots * 3, 11);
    ASSERT_EQ(ChunkedWrite(keyboard, 0x12, std::span(frame).first(100), 0, kReceiverChunk), 0);
    EXPECT_EQ(keyboard.StreamFrameCount(), 0u);  // a partial frame is not a frame
    ASSERT_EQ(ChunkedWrite(keyboard, 0x12, frame, 0, kReceiverChunk), 0);
    EXPECT_EQ(keyboard.StreamFrameCount(), 1u);
    EXPECT_EQ(keyboard.LastStreamFrame(), frame);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x12, 6, static_cast<uint16_t>(slots * 3 - 3), frame))[7],
              kStatusOutOfRange);

    const auto colours = Pattern(slots * 3, 77);
    ASSERT_EQ(ChunkedWrite(keyboard, 0x0B, colours, 2 * 512, kCableChunk), 0);
    const auto group = keyboard.KeyColours(2);
    EXPECT_TRUE(std::equal(colours.begin(), colours.end(), group.begin()));
    EXPECT_EQ(keyboard.KeyColours(1), std::vector<uint8_t>(512, 0));

    EXPECT_FALSE(keyboard.SoftwareLighting());
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x1C))[7], kStatusOk);
    EXPECT_TRUE(keyboard.SoftwareLighting());
}

TEST(FirmwareFrames, HeadsetLedReportsSetBothTargets) {
    VirtualFirmware headset(FirmwareKind::Headset);
    auto send = [&headset](uint8_t target, uint8_t code, uint8_t base) {
        std::vector<uint8_t> report(17, 0);
        report[0] = 0xFF;
        report[1] = target;
        report[2] = code;
        for (size_t i = 0; i < 7; ++i) report[4 + i] = static_cast<uint8_t>(base + i);
        EXPECT_TRUE(headset.HandleOutputReport(report, Transport::Cable, true).empty());
    };
    const uint8_t codes[3][2] = {{0xAA, 0xAD}, {0xAB, 0xAE}, {0xAC, 0xAF}};
    for (size_t channel = 0; channel < 3; ++channel) {
        for (uint8_t target : {0x22, 0x44}) {
            send(target, codes[channel][0], static_cast<uint8_t>(10 * channel + target));
            send(target, codes[channel][1], static_cast<uint8_t>(100 + 10 * channel + target));
        }
    }
    EXPECT_EQ(headset.HeadsetLedReportCount(), 12u);
    const auto leds = headset.HeadsetLeds();
    EXPECT_EQ(leds[0][0][0], 0x22);
    EXPECT_EQ(leds[0][6][1], 10 + 0x22 + 6);
    EXPECT_EQ(leds[1][7][2], 100 + 20 + 0x44);
    EXPECT_EQ(leds[1][12][0], 100 + 0x44 + 5);  // byte 10 of a second half (LED 6 again) is not LED 13

    std::vector<uint8_t> strange(17, 0);
    strange[0] = 0xFF;
    strange[1] = 0x33;
    strange[2] = 0xAA;
    headset.HandleOutputReport(strange, Transport::Cable, true);
    EXPECT_EQ(headset.HeadsetLedReportCount(), 12u);
    EXPECT_EQ(headset.Received().size(), 13u);
}

}  // namespace
