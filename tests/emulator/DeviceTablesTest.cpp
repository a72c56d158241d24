// Spot checks of the shared factory key tables against the published list.

#include <gtest/gtest.h>

#include <set>

#include "devices/tables/KeyboardFactoryKeys.h"
#include "devices/tables/MouseFactoryKeys.h"

using namespace vx::device_tables;

namespace {

TEST(KeyboardFactoryKeys, ListedEntriesAndGaps) {
    const auto& keys = KeyboardFactoryKeys();
    EXPECT_EQ(keys[0], (KeyFunction{0x20, 0x00, 0x29}));  // Escape
    EXPECT_EQ(keys[16], (KeyFunction{0xA0, 0x1B, 0x00}));
    EXPECT_EQ(keys[84], (KeyFunction{0x20, 0x02, 0x00}));  // left shift as modifier bits
    EXPECT_EQ(keys[kKeyboardFnKey], (KeyFunction{0xA0, 0x01, 0x00}));
    EXPECT_EQ(keys[124], (KeyFunction{0xD0, 0xA2, 0x05}));
    EXPECT_EQ(keys[125], (KeyFunction{0x20, 0x80, 0x00}));
    for (size_t gap : {18u, 19u, 20u, 104u, 126u, 169u}) {
        EXPECT_EQ(keys[gap], kNoKeyFunction) << gap;
        EXPECT_FALSE(IsKeyboardKeyListed(gap)) << gap;
    }
    size_t listed = 0;
    std::set<std::tuple<int, int, int>> distinct;
    for (size_t key = 0; key < kKeyboardLogicalKeyCount; ++key) {
        if (!IsKeyboardKeyListed(key)) continue;
        ++listed;
        distinct.insert({keys[key].type, keys[key].first, keys[key].second});
    }
    EXPECT_EQ(listed, 122u);
    // Key identification needs every listed function to be unique.
    EXPECT_EQ(distinct.size(), listed);
}

TEST(MouseFactoryKeys, ElevenDistinctButtons) {
    const auto& buttons = MouseFactoryKeys();
    EXPECT_EQ(buttons[0], (KeyFunction{0x10, 0x01, 0x00}));
    EXPECT_EQ(buttons[3], (KeyFunction{0x10, 0x10, 0x00}));
    EXPECT_EQ(buttons[4], (KeyFunction{0x10, 0x08, 0x00}));
    EXPECT_EQ(buttons[10], (KeyFunction{0x14, 0x78, 0x02}));
    std::set<std::tuple<int, int, int>> distinct;
    for (const KeyFunction& b : buttons) distinct.insert({b.type, b.first, b.second});
    EXPECT_EQ(distinct.size(), kMouseLogicalButtonCount);
}

}  // namespace
