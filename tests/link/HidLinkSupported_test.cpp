// The supported-interface table and the udev rules generated from it.

#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "link/SupportedDevices.h"

namespace {

TEST(SupportedInterfaces, TwinsPointAtEachOther) {
    for (size_t i = 0; i < SupportedInterfaces().size(); ++i) {
        const SupportedInterface& row = SupportedInterfaces()[i];
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_TRUE(row.role == kRoleCommand || row.role == kRoleNotification);
        if (!row.hasTwin) continue;
        ASSERT_LT(row.twinIndex, SupportedInterfaces().size());
        const SupportedInterface& twin = SupportedInterfaces()[row.twinIndex];
        EXPECT_EQ(twin.twinIndex, i);
        EXPECT_EQ(twin.role, row.role);
        EXPECT_EQ(twin.vendorId, row.vendorId);
        EXPECT_NE(twin.productId, row.productId);
    }
}

TEST(SupportedInterfaces, CommandInterfacesAreTheVendorCollection) {
    for (const SupportedInterface& row : SupportedInterfaces()) {
        if (row.role != kRoleCommand || row.typeCode == 7) continue;
        EXPECT_EQ(row.usagePage, 0xFF1C);
        EXPECT_EQ(row.usage, 0x92);
        EXPECT_EQ(row.collectionNumber, 4);
    }
}

TEST(UdevRules, OneUaccessRulePerDevice) {
    const auto pairs = SupportedVendorProducts();
    ASSERT_EQ(pairs.size(), 6u);
    EXPECT_EQ(pairs.front(), std::make_pair(uint16_t(0x320F), uint16_t(0x5055)));
    EXPECT_EQ(pairs.back(), std::make_pair(uint16_t(0x0C76), uint16_t(0x1630)));

    const std::regex rule(
        R"re(KERNEL=="hidraw\*", ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess")re");
    std::istringstream text(SupportedDevicesUdevRules());
    std::set<std::pair<uint16_t, uint16_t>> seen;
    for (std::string line; std::getline(text, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, rule)) << line;
        seen.insert({uint16_t(std::stoul(m[1], nullptr, 16)), uint16_t(std::stoul(m[2], nullptr, 16))});
    }
    const std::set<std::pair<uint16_t, uint16_t>> expected(pairs.begin(), pairs.end());
    EXPECT_EQ(seen, expected);
}

TEST(UdevRules, BuiltFileMatchesTheTable) {
    std::ifstream built(std::string(VX_BINARY_DIR) + "/packaging/udev/70-vexor-umbrel.rules");
    if (!built) GTEST_SKIP() << "rules file not generated in this build";
    std::ostringstream text;
    text << built.rdbuf();
    EXPECT_EQ(text.str(), SupportedDevicesUdevRules());
}

}  // namespace
