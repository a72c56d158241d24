// vx-hid-descriptor on a hex file, a virtual node and bad input.

#include "BuildPaths.h"
#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "VirtualNodePlayer.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
};

ToolRun RunTool(const std::string& argument) {
    ToolRun r;
    const std::string command = std::string(VX_HID_DESCRIPTOR_TOOL) + " '" + argument + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

Json::Value ParseJson(const std::string& text) {
    Json::Value v;
    std::istringstream in(text);
    EXPECT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &v, nullptr)) << text;
    return v;
}

TEST(DescriptorTool, HexFileOfFiveCollections) {
    const ToolRun r =
        RunTool(std::string(VX_SOURCE_DIR) + "/tests/link/data/real/logitech_046d_c534_if1.rdesc.hex");
    ASSERT_EQ(r.status, 0);
    const Json::Value cols = ParseJson(r.out)["collections"];
    ASSERT_EQ(cols.size(), 5u);
    EXPECT_EQ(cols[2]["collection"].asInt(), 3);
    EXPECT_EQ(cols[2]["usage_page"].asString(), "0x0001");
    EXPECT_EQ(cols[2]["usage"].asString(), "0x0080");
    EXPECT_EQ(cols[2]["input_report_byte_length"].asInt(), 2);
    EXPECT_EQ(cols[4]["output_report_byte_length"].asInt(), 20);
    EXPECT_EQ(cols[4]["report_ids"]["output"][0].asInt(), 17);
}

TEST(DescriptorTool, VirtualNodeAndDevicePath) {
    vxtest::ScopedTempDir dir;
    vxtest::VirtualNodePlayer player(dir.Path());
    vxtest::VirtualNodeConfig node;
    node.name = "pad";
    node.descriptor = vxtest::HexBytes("06 00 ff 09 01 a1 01 09 01 75 08 95 08 81 02 c0");
    ASSERT_TRUE(player.PublishRecordOnly(node));
    for (const std::string& source : {"virtual:" + dir.Path() + "/pad", dir.Path() + "/pad.node",
                                      "hid#vid_320f&pid_5055&mi_01#virtual:" + dir.Path() + "/pad"}) {
        const ToolRun r = RunTool(source);
        ASSERT_EQ(r.status, 0) << source;
        const Json::Value cols = ParseJson(r.out)["collections"];
        ASSERT_EQ(cols.size(), 1u);
        EXPECT_TRUE(cols[0]["path_collection"].isNull());
        EXPECT_EQ(cols[0]["input_report_byte_length"].asInt(), 9);
        EXPECT_FALSE(cols[0]["uses_report_ids"].asBool());
    }
}

TEST(DescriptorTool, BadSourcesGiveTheirExitStatus) {
    vxtest::ScopedTempDir dir;
    const std::string notHex = dir.Path() + "/not.hex";
    std::ofstream(notHex) << "hello world";
    const std::string cut = dir.Path() + "/cut.hex";
    std::ofstream(cut) << "05 01 09 06 a1 01 75";
    EXPECT_EQ(RunTool(dir.Path() + "/missing.hex").status, 2);
    EXPECT_EQ(RunTool(notHex).status, 2);
    EXPECT_EQ(RunTool("/dev/null").status, 2);
    EXPECT_EQ(RunTool(cut).status, 3);
    EXPECT_EQ(RunTool("virtual:" + dir.Path() + "/nothing").status, 2);
}

}  // namespace
