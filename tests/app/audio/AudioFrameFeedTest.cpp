#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "app/audio/AudioFrameFeed.h"

using vx::audio::AudioFrameFeed;
using vx::audio::IAudioLevelSink;

namespace {

struct RecordingSink : IAudioLevelSink {
    std::vector<std::vector<int32_t>> keyboard;
    std::vector<std::vector<int32_t>> mouse;
    void KeyboardLevels(const int32_t* values, std::size_t count) override {
        keyboard.emplace_back(values, values + count);
    }
    void MouseLevels(const int32_t* values, std::size_t count) override {
        mouse.emplace_back(values, values + count);
    }
};

std::vector<uint8_t> Record(const std::vector<int32_t>& values) {
    std::vector<uint8_t> bytes(values.size() * 4);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto v = static_cast<uint32_t>(values[i]);
        for (int k = 0; k < 4; ++k) bytes[4 * i + k] = static_cast<uint8_t>(v >> (8 * k));
    }
    return bytes;
}

std::vector<int32_t> Frame(int32_t fill = 0) {
    return std::vector<int32_t>(AudioFrameFeed::kFrameValues, fill);
}

struct Feed {
    RecordingSink sink;
    AudioFrameFeed feed{sink};
    int64_t now = 1000;
    void Send(const std::vector<int32_t>& values) {
        const std::vector<uint8_t> bytes = Record(values);
        feed.OnFrame(bytes.data(), bytes.size(), now);
        now += 40;
    }
};

}  // namespace

// Silence is steady input: every difference total is 0, which counts as movement, so the bands
// keep being computed and handed over, all zero.
TEST(AudioFrameFeed, SilenceKeepsHandingOverZeroBands) {
    Feed f;
    for (int i = 0; i < 10; ++i) f.Send(Frame());
    // Frames 4, 7 and 10: the first full queue, then every third frame.
    ASSERT_EQ(f.sink.keyboard.size(), 3u);
    ASSERT_EQ(f.sink.mouse.size(), 3u);
    EXPECT_EQ(f.sink.keyboard[0], std::vector<int32_t>(500, 0));
    EXPECT_EQ(f.sink.mouse[0], std::vector<int32_t>(499, 0));
}

// A level that flips between 0 and 100 in the four levels of band 0 moves by 400 a frame. The
// band follows (band + 400) / 4; the mouse's buffer starts at band10[1], and its values 9 to 23
// are the keyboard bands 10 to 24.
TEST(AudioFrameFeed, BandsFollowTheDifferencesOfTheirLevels) {
    Feed f;
    for (int i = 0; i < 7; ++i) {
        std::vector<int32_t> frame = Frame();
        if (i % 2 == 0) {
            for (int k = 0; k < 4; ++k) frame[k] = 100;
            for (int k = 60; k < 64; ++k) frame[k] = -50;  // band 12
        }
        f.Send(frame);
    }
    ASSERT_EQ(f.sink.keyboard.size(), 2u);
    // Frame 4 hands over frame 1's differences: (0 + 400) / 4.
    EXPECT_EQ(f.sink.keyboard[0][0], 100);
    EXPECT_EQ(f.sink.keyboard[0][12], 50);
    EXPECT_EQ(f.sink.keyboard[0][1], 0);
    EXPECT_EQ(f.sink.keyboard[0][25], 0);
    // Frames 5 and 6 step the bands without a hand-over: 125, 131; frame 7: 132.
    EXPECT_EQ(f.sink.keyboard[1][0], 132);
    EXPECT_EQ(f.feed.KeyboardBands()[0], 132);
    EXPECT_EQ(f.feed.MouseBands()[0], 132);
    const std::vector<int32_t>& mouse = f.sink.mouse[1];
    ASSERT_EQ(mouse.size(), 499u);
    EXPECT_EQ(mouse[0], 0);                                 // band10[1]
    EXPECT_EQ(mouse[11], f.feed.KeyboardBands()[12]);       // buffer value 12 = band25[12]
    EXPECT_GT(mouse[11], 0);
}

// After loud frames, three that barely change (totals between 1 and 99) empty the queues as soon
// as four flags are present, and nothing more reaches the devices until four moving frames follow.
TEST(AudioFrameFeed, QuietChangesAfterLoudFramesEmptyTheQueue) {
    Feed f;
    for (int i = 0; i < 4; ++i) f.Send(Frame(i % 2 ? 0 : 1000));
    EXPECT_EQ(f.feed.QueuedFrames(), 3u);
    const std::size_t handed = f.sink.keyboard.size();
    std::vector<int32_t> quiet = Frame();
    quiet[7] = 5;
    f.Send(quiet);  // total 5: the queue now holds four flags, one of them 0
    EXPECT_EQ(f.feed.QueuedFrames(), 0u);
    quiet[7] = 0;
    f.Send(quiet);
    quiet[7] = 30;
    f.Send(quiet);
    f.Send(Frame());
    EXPECT_EQ(f.feed.QueuedFrames(), 3u);
    f.Send(Frame());
    EXPECT_EQ(f.feed.QueuedFrames(), 0u) << "a quiet frame among the four empties them again";
    EXPECT_EQ(f.sink.keyboard.size(), handed);
}

// A record shorter than a frame replaces only the leading values: the others keep their last
// values and so do not move.
TEST(AudioFrameFeed, ShortRecordUpdatesOnlyTheLeadingValues) {
    Feed f;
    f.Send(Frame(1000));  // every level moves by 1000
    for (int i = 0; i < 4; ++i) f.Send({i % 2 ? 1000 : 0, i % 2 ? 1000 : 0});
    // Hand-overs: frame 4 (the full frame's differences), frame 5 (a short one's).
    const std::array<int32_t, 25>& bands = f.feed.KeyboardBands();
    EXPECT_EQ(bands[0], (1000 + 2000) / 4);
    EXPECT_EQ(bands[1], 1000 / 4);
    EXPECT_EQ(bands[24], 1000 / 4);
    // A record that ends inside a value replaces that value's leading bytes only.
    Feed g;
    g.Send(Frame(0x01020304));
    const std::vector<uint8_t> bytes = {0xFF, 0xFF};
    g.feed.OnFrame(bytes.data(), bytes.size(), g.now);
    g.Send(Frame(0x01020304));
    g.Send(Frame(0x01020304));  // fourth frame: frame 1's differences go out
    g.Send(Frame(0x01020304));  // fifth: the short record's: only value 0 moved, by 0xFFFF - 0x0304
    EXPECT_EQ(g.feed.KeyboardBands()[1], 0x01020304 / 4);
    EXPECT_EQ(g.feed.KeyboardBands()[0], (0x01020304 + (0x0102FFFF - 0x01020304)) / 4);
}

// Frames that stop leave a half-filled queue; the 100 ms timer empties it once more than 500 ms
// have passed since the last frame.
TEST(AudioFrameFeed, QueueFlushedWhenFramesStop) {
    Feed f;
    f.Send(Frame(10));
    f.Send(Frame(400));
    const int64_t last = f.now - 40;
    EXPECT_TRUE(f.feed.FlushPending());
    f.feed.OnFlushTimer(last + 500);
    EXPECT_EQ(f.feed.QueuedFrames(), 2u);
    f.feed.OnFlushTimer(last + 501);
    EXPECT_EQ(f.feed.QueuedFrames(), 0u);
    EXPECT_FALSE(f.feed.FlushPending());
    f.Send(Frame(10));
    f.Send(Frame(400));
    EXPECT_TRUE(f.sink.keyboard.empty()) << "two frames after a flush do not fill the queue";
}

// Levels at the ends of the 32-bit range neither wrap nor crash.
TEST(AudioFrameFeed, ExtremeLevelsSaturate) {
    Feed f;
    for (int i = 0; i < 4; ++i)
        f.Send(Frame(i % 2 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max()));
    EXPECT_GT(f.feed.KeyboardBands()[0], 0);
    f.feed.OnFrame(nullptr, 0, f.now);  // an empty record is not a frame
    EXPECT_EQ(f.feed.QueuedFrames(), 3u);
}
