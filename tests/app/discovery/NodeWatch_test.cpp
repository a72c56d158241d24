// What the discovery thread relies on to notice changes without opening devices: the presence
// token of a node and the directory watch of the virtual interfaces.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "VirtualNodePlayer.h"
#include "app/discovery/HotplugMonitor.h"
#include "app/discovery/NodePresence.h"

using vx::discovery::HotplugMonitor;
using vx::discovery::NodePresenceToken;

namespace {

using vxtest::ScopedTempDir;

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

// The way players publish a record: written aside, then renamed into place.
void Publish(const std::string& dir, const std::string& name) {
    WriteFile(dir + "/." + name + ".tmp", "{}");
    ASSERT_EQ(std::rename((dir + "/." + name + ".tmp").c_str(), (dir + "/" + name + ".node").c_str()), 0);
}

bool Readable(const HotplugMonitor& monitor, int timeoutMs) {
    std::vector<pollfd> fds;
    for (int fd : monitor.Descriptors()) fds.push_back({fd, POLLIN, 0});
    return !fds.empty() && poll(fds.data(), fds.size(), timeoutMs) > 0;
}

TEST(NodePresence, AVirtualNodeKeepsItsTokenUntilItIsPublishedAgain) {
    ScopedTempDir dir;
    const std::string path = "hid#vid_320f&pid_5055&mi_01&col04#virtual:" + dir.Path() + "/kb";
    EXPECT_EQ(NodePresenceToken(path), "");
    WriteFile(dir.Path() + "/kb.sock", "");
    Publish(dir.Path(), "kb");
    const std::string first = NodePresenceToken(path);
    EXPECT_NE(first, "");
    EXPECT_EQ(NodePresenceToken(path), first);
    // Same name, new plug: a different node behind the same path.
    Publish(dir.Path(), "kb");
    const std::string second = NodePresenceToken(path);
    EXPECT_NE(second, "");
    EXPECT_NE(second, first);
    // A record whose socket has gone (a player that died) is no node.
    unlink((dir.Path() + "/kb.sock").c_str());
    EXPECT_EQ(NodePresenceToken(path), "");
    WriteFile(dir.Path() + "/kb.sock", "");
    EXPECT_NE(NodePresenceToken(path), "");
    unlink((dir.Path() + "/kb.node").c_str());
    EXPECT_EQ(NodePresenceToken(path), "");
}

TEST(NodePresence, PathsWithoutANodeOrWithAMissingHidrawNodeAreAbsent) {
    EXPECT_EQ(NodePresenceToken(""), "");
    EXPECT_EQ(NodePresenceToken("hid#vid_320f&pid_5055&mi_01&col04"), "");
    EXPECT_EQ(NodePresenceToken("hid#vid_320f&pid_5055&mi_01&col04#/dev/hidraw-none-here"), "");
    // A file that is not a character device is not a hidraw node, whatever its name.
    ScopedTempDir dir;
    WriteFile(dir.Path() + "/hidraw0", "x");
    EXPECT_EQ(NodePresenceToken("hid#vid_320f&pid_5055&mi_01&col04#" + dir.Path() + "/hidraw0"), "");
}

TEST(HotplugMonitor, OnlyRecordsWakeAndAReplacedDirectoryIsWatchedAgain) {
    ScopedTempDir parent;
    const std::string dir = parent.Path() + "/nodes";
    HotplugMonitor monitor;
    monitor.Start(false, dir);
    EXPECT_FALSE(monitor.UdevActive());
    EXPECT_FALSE(monitor.WatchActive());  // nothing to watch yet
    EXPECT_FALSE(monitor.Watching());
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    monitor.RefreshWatch();
    ASSERT_TRUE(monitor.WatchActive());
    EXPECT_TRUE(monitor.Watching());

    // Socket files and scratch files come and go around the records.
    WriteFile(dir + "/kb.sock", "");
    WriteFile(dir + "/.kb.tmp", "");
    ASSERT_TRUE(Readable(monitor, 1000));
    EXPECT_FALSE(monitor.Drain());
    EXPECT_FALSE(Readable(monitor, 0));

    Publish(dir, "kb");
    ASSERT_TRUE(Readable(monitor, 1000));
    EXPECT_TRUE(monitor.Drain());
    unlink((dir + "/kb.node").c_str());
    ASSERT_TRUE(Readable(monitor, 1000));
    EXPECT_TRUE(monitor.Drain());

    // The directory goes and comes back: the watch follows.
    unlink((dir + "/kb.sock").c_str());
    unlink((dir + "/.kb.tmp").c_str());
    ASSERT_EQ(rmdir(dir.c_str()), 0);
    ASSERT_TRUE(Readable(monitor, 1000));
    EXPECT_TRUE(monitor.Drain());
    EXPECT_FALSE(monitor.WatchActive());
    EXPECT_FALSE(monitor.Watching());
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    monitor.RefreshWatch();
    EXPECT_TRUE(monitor.WatchActive());
    EXPECT_TRUE(monitor.Watching());
    Publish(dir, "pad");
    ASSERT_TRUE(Readable(monitor, 1000));
    EXPECT_TRUE(monitor.Drain());
}

// A udev monitor whose socket fails no longer counts as watching until it is set up again; a
// monitor asked for but missing keeps the directory watch alone from counting.
TEST(HotplugMonitor, AFailedUdevMonitorStopsCountingUntilItIsSetUpAgain) {
    ScopedTempDir dir;
    HotplugMonitor monitor;
    monitor.Start(true, dir.Path());
    if (!monitor.UdevActive()) GTEST_SKIP() << "no udev monitor can be set up here";
    ASSERT_TRUE(monitor.Watching());
    const std::vector<int> fds = monitor.Descriptors();
    ASSERT_EQ(fds.size(), 2u);
    monitor.DropDescriptor(fds[0]);
    EXPECT_FALSE(monitor.UdevActive());
    EXPECT_FALSE(monitor.Watching());
    monitor.RefreshWatch();
    EXPECT_TRUE(monitor.UdevActive());
    EXPECT_TRUE(monitor.Watching());
}

}  // namespace
