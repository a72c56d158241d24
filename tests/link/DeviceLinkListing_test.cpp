// The device listing: which interfaces it finds, what it reads from them, and how it reports a
// device that exists but may not be opened.

#include "BuildPaths.h"
#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "DeviceListing.h"
#include "ListingReport.h"
#include "emulator/VirtualDeviceHub.h"
#include "support/VirtualNodePlayer.h"

namespace {

class DeviceListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VX_VIRTUAL_HID_DIR", m_dir.Path().c_str(), 1);
        m_hub = std::make_unique<VirtualDeviceHub>(m_dir.Path());
    }
    void TearDown() override { m_hub.reset(); }

    // Only the virtual nodes of this test; the machine may have real devices too.
    std::vector<ListedInterface> Ours(const Listing& listing) const {
        std::vector<ListedInterface> ours;
        for (const ListedInterface& listed : listing.interfaces) {
            if (listed.path.find(m_dir.Path()) != std::string::npos) ours.push_back(listed);
        }
        return ours;
    }

    vxtest::ScopedTempDir m_dir;
    std::unique_ptr<VirtualDeviceHub> m_hub;
};

TEST_F(DeviceListingTest, ListsBothInterfacesAndReadsTheCapabilityRecord) {
    ASSERT_EQ(m_hub->Plug(VirtualModel::MouseWired), 1);
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardReceiver), 1);
    const Listing listing = ListSupportedInterfaces(ListingOptions{});
    ASSERT_TRUE(listing.enumerated);
    const std::vector<ListedInterface> ours = Ours(listing);
    ASSERT_EQ(ours.size(), 4u);
    // Table order: keyboard receiver rows (2, 3) before the mouse rows (4, 5).
    EXPECT_EQ(ours[0].tableRow, 2);
    EXPECT_TRUE(ours[0].commandInterface);
    EXPECT_TRUE(ours[0].throughReceiver);
    EXPECT_EQ(ours[1].tableRow, 3);
    EXPECT_FALSE(ours[1].commandInterface);
    EXPECT_FALSE(ours[1].info.has_value());
    EXPECT_EQ(ours[2].typeCode, 2);

    const auto keyboardCaps = m_hub->Firmware(VirtualModel::KeyboardReceiver).Capability();
    ASSERT_TRUE(ours[0].info.has_value());
    EXPECT_EQ(ours[0].state, ProbeState::Ok);
    EXPECT_EQ(ours[0].info->KeySlots(), keyboardCaps[5]);
    ASSERT_TRUE(ours[2].info.has_value());
    EXPECT_EQ(ours[2].info->SensorId(), 0x3325);
    // The probe closes its configuration session.
    EXPECT_FALSE(m_hub->Firmware(VirtualModel::MouseWired).InConfigSession());
}

TEST_F(DeviceListingTest, SleepingWirelessDeviceIsNamedAsSuch) {
    ASSERT_EQ(m_hub->Plug(VirtualModel::MouseReceiver), 1);
    ASSERT_EQ(m_hub->SetAsleep(VirtualModel::MouseReceiver, true), 1);
    const std::vector<ListedInterface> ours = Ours(ListSupportedInterfaces(ListingOptions{}));
    ASSERT_EQ(ours.size(), 2u);
    EXPECT_EQ(ours[0].state, ProbeState::Asleep);
    EXPECT_FALSE(ours[0].info.has_value());
    EXPECT_NE(RenderListingText(Listing{true, ours}).find("device not answering"), std::string::npos);
}

TEST_F(DeviceListingTest, NothingPresentIsAnEmptyListNotAFailure) {
    const Listing listing = ListSupportedInterfaces(ListingOptions{});
    EXPECT_TRUE(listing.enumerated);
    EXPECT_TRUE(Ours(listing).empty());
    EXPECT_EQ(RenderListingText(Listing{true, {}}), "No supported device found.\n");
    EXPECT_EQ(ListingExitCode(Listing{true, {}}), 0);
    EXPECT_EQ(ListingExitCode(Listing{false, {}}), 1);
}

TEST_F(DeviceListingTest, JsonCarriesTheSameFacts) {
    ASSERT_EQ(m_hub->Plug(VirtualModel::Mousepad), 1);
    const std::vector<ListedInterface> ours = Ours(ListSupportedInterfaces(ListingOptions{}));
    const std::string text = RenderListingJson(Listing{true, ours});
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    ASSERT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors;
    ASSERT_EQ(root["devices"].size(), 2u);
    const Json::Value& command = root["devices"][0];
    EXPECT_EQ(command["kind"].asString(), "mousepad");
    EXPECT_EQ(command["role"].asString(), "command");
    EXPECT_EQ(command["vendor"].asInt(), 0x320F);
    EXPECT_EQ(command["product"].asInt(), 0x1004);
    EXPECT_EQ(command["capabilities"]["key_slots"].asInt(),
              m_hub->Firmware(VirtualModel::Mousepad).Capability()[5]);
    EXPECT_FALSE(root["devices"][1].isMember("capabilities"));
}

TEST_F(DeviceListingTest, PermissionProblemNamesTheDeviceAndTheRule) {
    ListedInterface listed;
    listed.path = "hid#vid_320f&pid_221c&mi_01&col04#/dev/hidraw7";
    listed.vendorId = 0x320F;
    listed.productId = 0x221C;
    listed.typeCode = 2;
    listed.commandInterface = true;
    listed.state = ProbeState::PermissionDenied;
    const Listing listing{true, {listed}};
    const std::string text = RenderListingText(listing);
    EXPECT_NE(text.find("mouse (320f:221c) at hid#vid_320f&pid_221c&mi_01&col04#/dev/hidraw7"),
              std::string::npos);
    EXPECT_NE(text.find("70-vexor-umbrel.rules"), std::string::npos);
    EXPECT_NE(text.find("udevadm control --reload"), std::string::npos);
    EXPECT_EQ(text.find("No supported device"), std::string::npos);
    EXPECT_EQ(ListingExitCode(listing), 2);
    EXPECT_NE(RenderListingJson(listing).find("\"fix\""), std::string::npos);
}

TEST_F(DeviceListingTest, UnreadableNodeIsReportedAsPermissionDenied) {
    if (geteuid() == 0) GTEST_SKIP() << "root opens any node; the permission check cannot be exercised";
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardWired), 1);
    ASSERT_EQ(chmod(m_hub->SocketPath(VirtualModel::KeyboardWired).c_str(), 0), 0);
    const std::vector<ListedInterface> ours = Ours(ListSupportedInterfaces(ListingOptions{}));
    ASSERT_EQ(ours.size(), 2u);
    EXPECT_EQ(ours[0].state, ProbeState::PermissionDenied);
}

// A node whose server went away while its record stayed: the listing names the failing call and
// its errno, and so does the diagnostic output when VX_DEBUG is on (and only then).
class ListingErrorTest : public DeviceListingTest {
protected:
    struct Run {
        int status = -1;
        std::string out;
        std::string err;
    };
    Run RunTool(bool debug) {
        const std::string errFile = m_dir.Path() + "/stderr.txt";
        const std::string command = std::string(debug ? "VX_DEBUG=1 " : "VX_DEBUG= ") + "VX_VIRTUAL_HID_DIR='" +
                                    m_dir.Path() + "' " VX_BINARY_DIR "/tools/list-devices/vx-list-devices 2>'" +
                                    errFile + "'";
        Run run;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return run;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
        run.status = pclose(pipe);
        std::ifstream err(errFile);
        std::stringstream text;
        text << err.rdbuf();
        run.err = text.str();
        return run;
    }
};

TEST_F(ListingErrorTest, AFailedOpenNamesTheCallAndErrnoInTheListingAndTheDiagnostics) {
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardWired), 1);
    const std::string socket = m_hub->SocketPath(VirtualModel::KeyboardWired);
    ASSERT_EQ(unlink(socket.c_str()), 0);
    const std::string expected = "connect " + socket + ": No such file or directory (errno 2)";

    const std::vector<ListedInterface> ours = Ours(ListSupportedInterfaces(ListingOptions{}));
    ASSERT_EQ(ours.size(), 2u);
    for (const ListedInterface& listed : ours) {
        EXPECT_EQ(listed.state, ProbeState::OpenFailed);
        EXPECT_EQ(listed.linkError, expected);
    }
    Json::Value root;
    std::istringstream json(RenderListingJson(Listing{true, ours}));
    ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), json, &root, nullptr));
    EXPECT_EQ(root["devices"][0]["link_error"].asString(), expected);

    const Run debug = RunTool(true);
    EXPECT_EQ(debug.status, 0) << debug.err;
    EXPECT_NE(debug.out.find("    error  " + expected + "\n"), std::string::npos) << debug.out;
    EXPECT_NE(debug.err.find("link: " + expected + "\n"), std::string::npos) << debug.err;
    const Run quiet = RunTool(false);
    EXPECT_NE(quiet.out.find("    error  " + expected + "\n"), std::string::npos) << quiet.out;
    EXPECT_EQ(quiet.err.find("link: "), std::string::npos) << quiet.err;
}

}  // namespace
