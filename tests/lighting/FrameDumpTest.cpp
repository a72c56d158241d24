#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/frame-dump/FrameDump.h"
#include "tools/frame-dump/FrameDumpOptions.h"
#include "tools/frame-dump/FrameStrip.h"

using namespace vx::framedump;

namespace {

FrameDumpOptions Parse(const std::vector<std::string>& args) {
    FrameDumpOptions options;
    std::string error;
    EXPECT_EQ(ParseFrameDumpOptions(args, options, error), 1) << error;
    return options;
}

std::string Json(const std::vector<DumpedFrame>& frames) {
    std::ostringstream out;
    for (const auto& f : frames) FrameDump::WriteJsonLine(out, f);
    return out.str();
}

}  // namespace

TEST(FrameDump, SameSeedSameFramesOtherSeedOtherFrames) {
    const std::vector<std::string> args = {"--mode",   "10",  "--multi",   "1",
                                           "--passes", "100", "--step-ms", "2"};
    auto a = Parse(args);
    auto b = Parse(args);
    FrameDump first(a);
    FrameDump second(b);
    const std::string one = Json(first.Run());
    EXPECT_EQ(one, Json(second.Run()));
    auto c = Parse(args);
    c.seed = 99;
    FrameDump third(c);
    EXPECT_NE(one, Json(third.Run()));
}

TEST(FrameDump, PrintsEveryKthFrameAsOneJsonLine) {
    auto o = Parse({"--device", "mouse", "--mode", "3", "--colour", "102030", "--brightness", "2", "--passes",
                    "60", "--every", "20"});
    FrameDump dump(o);
    const auto frames = dump.Run();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].pass, 20);
    EXPECT_EQ(frames[2].ms, o.startMs + 60);
    std::ostringstream out;
    FrameDump::WriteJsonLine(out, frames[2]);
    const std::string line = out.str();
    EXPECT_EQ(line.rfind("{\"pass\":60,\"ms\":100060,\"leds\":[[16,32,48,120],", 0), 0u) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    EXPECT_EQ(std::count(line.begin(), line.end(), '['), 16);
}

TEST(FrameDump, AudioSweepLightsTheKeyboard) {
    auto o = Parse({"--mode", "21", "--audio-style", "0", "--fg", "ff0000", "--levels", "sweep", "--passes",
                    "200", "--every", "50"});
    FrameDump dump(o);
    const auto frames = dump.Run();
    ASSERT_FALSE(frames.empty());
    int red = 0;
    for (uint32_t e : frames.back().leds) red += (e & 0xFF) == 0xFF;
    EXPECT_GT(red, 3);
}

TEST(FrameDump, StripHasOneBandPerFrame) {
    auto o = Parse({"--device", "mousepad", "--mode", "1", "--passes", "8", "--every", "2"});
    FrameDump dump(o);
    const auto frames = dump.Run();
    const std::string path = std::string(VX_BINARY_DIR) + "/frame-dump-test.ppm";
    ASSERT_EQ(FrameStrip::WritePpm(path, o.device, frames), 1);
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, max = 0;
    in >> magic >> width >> height >> max;
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(width, 15 * 12);
    EXPECT_EQ(height, 4 * (12 + 6));
    std::remove(path.c_str());
    EXPECT_EQ(FrameStrip::WritePpm("/nonexistent-dir/x.ppm", o.device, frames), -1);
}

TEST(FrameDumpOptions, RejectsBadArguments) {
    FrameDumpOptions o;
    std::string error;
    EXPECT_EQ(ParseFrameDumpOptions({"--mode"}, o, error), -1);
    EXPECT_EQ(ParseFrameDumpOptions({"--device", "toaster"}, o, error), -1);
    EXPECT_EQ(ParseFrameDumpOptions({"--colour", "12345"}, o, error), -1);
    EXPECT_EQ(ParseFrameDumpOptions({"--area", "3-200:0:4:4:ff0000"}, o, error), -1);
    EXPECT_EQ(ParseFrameDumpOptions({"--step", "5:100:9:4:ff0000"}, o, error), -1);
    EXPECT_EQ(ParseFrameDumpOptions({"--frobnicate", "1"}, o, error), -1);
    EXPECT_NE(error.find("frobnicate"), std::string::npos);
    EXPECT_EQ(ParseFrameDumpOptions({"--help"}, o, error), 0);
    EXPECT_EQ(ParseFrameDumpOptions({"--area", "3-5:2:4:4:00ff00:1", "--step", "5:100:4:4:ff0000"}, o, error),
              1);
    ASSERT_EQ(o.lightList.size(), 6u);
    EXPECT_EQ(o.lightList[4].selectItem, 2);
    EXPECT_EQ(o.lightList[4].green, 255);
    EXPECT_EQ(o.lightList[2].present, 0);
    ASSERT_EQ(o.steps.size(), 1u);
    EXPECT_EQ(o.steps[0].time, 100);
}
