// Device paths: the parse helpers in any letter case, and the form that enumeration builds.

#include <gtest/gtest.h>

#include "link/HidLink.h"
#include "link/HidPath.h"

using vx::link::HidPathNode;
using vx::link::HidPathParts;
using vx::link::IsVirtualNode;
using vx::link::MakeHidPath;
using vx::link::ParseCollectionNumber;
using vx::link::ParseInterfaceNumber;
using vx::link::ParseProductId;
using vx::link::ParseVendorId;

namespace {

TEST(HidLinkPath, FieldsInAnyLetterCase) {
    const char* const paths[] = {
        "hid#vid_320f&pid_5055&mi_01&col04#/dev/hidraw3",
        "HID#VID_320F&PID_5055&MI_01&COL04#/dev/hidraw3",
        "\\\\?\\hid#Vid_320F&Pid_5055&Mi_01&Col04#8&28ca146b&0&0003#{4d1e55b2-f16f-11cf-88cb-001111000030}",
    };
    for (const char* p : paths) {
        EXPECT_EQ(ParseVendorId(p), 0x320F) << p;
        EXPECT_EQ(ParseProductId(p), 0x5055) << p;
        EXPECT_EQ(ParseInterfaceNumber(p), 1) << p;
        EXPECT_EQ(ParseCollectionNumber(p), 4) << p;
    }
}

TEST(HidLinkPath, MissingFieldsGiveZero) {
    const std::string p = "hid#vid_0c76&pid_1630#virtual:/tmp/x/headset";
    EXPECT_EQ(ParseVendorId(p), 0x0C76);
    EXPECT_EQ(ParseProductId(p), 0x1630);
    EXPECT_EQ(ParseInterfaceNumber(p), 0);
    EXPECT_EQ(ParseCollectionNumber(p), 0);
    EXPECT_EQ(ParseVendorId(""), 0);
    EXPECT_EQ(ParseVendorId("vid_"), 0);
    EXPECT_EQ(ParseCollectionNumber("hid#vid_1&pid_2&colzz#x"), 0);
}

TEST(HidLinkPath, NodeNamesWithMarkersDoNotConfuseTheHelpers) {
    // The identity fields come first, so a node named like a field is never read.
    const HidPathParts parts{0x320F, 0x5001, 2, 0, "virtual:/tmp/pid_9999&mi_07&col09/mouse"};
    const std::string p = MakeHidPath(parts);
    EXPECT_EQ(p, "hid#vid_320f&pid_5001&mi_02#virtual:/tmp/pid_9999&mi_07&col09/mouse");
    EXPECT_EQ(ParseProductId(p), 0x5001);
    EXPECT_EQ(ParseInterfaceNumber(p), 2);
    EXPECT_EQ(HidPathNode(p), "virtual:/tmp/pid_9999&mi_07&col09/mouse");
    EXPECT_TRUE(IsVirtualNode(HidPathNode(p)));
}

TEST(HidLinkPath, BuildAndSplit) {
    HidPathParts parts{0x320F, 0x5055, 1, 4, "/dev/hidraw3"};
    EXPECT_EQ(MakeHidPath(parts), "hid#vid_320f&pid_5055&mi_01&col04#/dev/hidraw3");
    parts.interfaceNumber.reset();
    parts.collection = 0;
    EXPECT_EQ(MakeHidPath(parts), "hid#vid_320f&pid_5055#/dev/hidraw3");
    EXPECT_EQ(HidPathNode("hid#vid_320f&pid_5055#/dev/hidraw3"), "/dev/hidraw3");
    EXPECT_FALSE(IsVirtualNode("/dev/hidraw3"));
    EXPECT_EQ(HidPathNode("/dev/hidraw3"), "");
    EXPECT_EQ(HidPathNode("hid#vid_320f"), "");
    EXPECT_EQ(HidPathNode("hid#vid_320f#"), "");
}

}  // namespace
