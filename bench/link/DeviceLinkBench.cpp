// Time per command transaction over the virtual transport, split into the peer's part (a raw
// socket round trip to the same kind of node, no HidLink or DeviceLink involved) and the whole
// exchange through DeviceLink. The program's own share is the difference. Two peers: an echoing
// scripted node (the cheapest possible device) and the emulated keyboard firmware.
//
// On a loaded machine the wall-clock column swings with the scheduler; the CPU column (time the
// calling thread spends per iteration) is the stable measure of the program's own work. Run:
//     build/bench/link/vx_bench_link --benchmark_repetitions=3

#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/VirtualDeviceHub.h"
#include "link/CommandFrame.h"
#include "link/DeviceLink.h"
#include "tests/link/support/VirtualNodePlayer.h"

using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;
using vx::link::BuildFrame;
using vx::link::Command;
using vx::link::DeviceLink;
using vx::link::Frame;
using vx::link::HidLink;
using vx::link::kFrameStatus;
using vx::link::kLinkModeWired;
using vx::link::kLinkOk;

namespace {

const char* const kCommandDescriptor =
    "06 1C FF 09 92 A1 01 85 04 15 00 26 FF 00 75 08 95 3F 09 01 81 02 09 02 91 02 C0";

void Echo(vxtest::VirtualNodePlayer& player, const vxtest::HostMessage& message) {
    if (message.type != 'O' || message.report.size() < vx::link::kFrameLength) return;
    std::vector<uint8_t> reply(message.report.begin(), message.report.begin() + vx::link::kFrameLength);
    reply[kFrameStatus] = 0;
    player.SendInput(reply);
}

// Two echoing device nodes: one for a DeviceLink, one for the raw socket round trip. They must
// differ because a node sends every answer to every open connection, and the link would find the
// raw client's answers queued ahead of its own.
class EchoBench {
public:
    EchoBench() : m_player(m_dir.Path()), m_peer(m_dir.Path()) {
        setenv("VX_VIRTUAL_HID_DIR", m_dir.Path().c_str(), 1);
        m_player.SetReplyHook(Echo);
        m_peer.SetReplyHook(Echo);
        vxtest::VirtualNodeConfig node;
        node.name = "bench-keyboard";
        node.descriptor = vxtest::HexBytes(kCommandDescriptor);
        m_ok = m_player.Publish(node);
        node.name = "bench-peer";
        m_ok = m_peer.Publish(node) && m_ok;
        HidLink enumerator;
        enumerator.EnumerateInterfaces();
        for (std::string path = enumerator.NextPath(); !path.empty(); path = enumerator.NextPath()) {
            if (path.find(m_player.NodeBase()) != std::string::npos) m_path = path;
        }
        std::lock_guard<std::recursive_mutex> lock(m_link.TransferLock());
        m_ok = m_ok && !m_path.empty() && m_link.WiredLink().Open(m_path, true, true, true, false);
        m_link.SetConnected(m_ok);
        m_link.SetLinkMode(kLinkModeWired);
    }

    bool Ok() const { return m_ok; }
    DeviceLink& Link() { return m_link; }
    std::string PeerSocketPath() const { return m_peer.SocketPath(); }
    // The player keeps a log of every host message; empty it between runs.
    void Drain() {
        vxtest::HostMessage message;
        while (m_player.WaitMessage(&message, 0)) {
        }
        while (m_peer.WaitMessage(&message, 0)) {
        }
    }

private:
    vxtest::ScopedTempDir m_dir;
    vxtest::VirtualNodePlayer m_player;
    vxtest::VirtualNodePlayer m_peer;
    DeviceLink m_link;
    std::string m_path;
    bool m_ok = false;
};

EchoBench& Bench() {
    static EchoBench bench;
    return bench;
}

using Clock = std::chrono::steady_clock;

void ReportPerTransaction(benchmark::State& state, Clock::time_point start, int transactionsPerIteration) {
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    const double transactions = static_cast<double>(state.iterations()) * transactionsPerIteration;
    if (transactions > 0) state.counters["us_per_transaction"] = us / transactions;
}

// CPU part of the program's framing: frame, payload copy, checksum.
void BM_BuildFrame(benchmark::State& state) {
    std::vector<uint8_t> payload(56, 0x5A);
    for (auto _ : state) {
        Frame frame = BuildFrame(Command::WriteConfig, 56, 0x0100, payload);
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_BuildFrame);

// One 'O' message to a node and its 'I' answer over a plain socket: the peer's part.
void RawRoundTrips(benchmark::State& state, const std::string& socketPath) {
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) close(fd);
        state.SkipWithError("cannot connect to the node");
        return;
    }
    const Frame frame = BuildFrame(Command::BeginConfig, 0, 0);
    std::vector<uint8_t> out(1 + vx::link::kFrameLength);
    out[0] = 'O';
    std::memcpy(out.data() + 1, frame.data(), vx::link::kFrameLength);
    uint8_t in[128];
    const auto start = Clock::now();
    for (auto _ : state) {
        if (send(fd, out.data(), out.size(), 0) < 0 || recv(fd, in, sizeof in, 0) <= 0) {
            state.SkipWithError("socket round trip failed");
            break;
        }
    }
    close(fd);
    ReportPerTransaction(state, start, 1);
}

void BM_PeerRoundTrip(benchmark::State& state) {
    EchoBench& bench = Bench();
    if (!bench.Ok()) {
        state.SkipWithError("virtual node not available");
        return;
    }
    RawRoundTrips(state, bench.PeerSocketPath());
    bench.Drain();
}
BENCHMARK(BM_PeerRoundTrip)->UseRealTime();

void BM_BeginConfig(benchmark::State& state) {
    EchoBench& bench = Bench();
    if (!bench.Ok()) {
        state.SkipWithError("virtual node not available");
        return;
    }
    const auto start = Clock::now();
    for (auto _ : state) {
        if (bench.Link().BeginConfig() != kLinkOk) {
            state.SkipWithError("BeginConfig failed");
            break;
        }
    }
    bench.Drain();
    ReportPerTransaction(state, start, 1);
}
BENCHMARK(BM_BeginConfig)->UseRealTime();

void BM_ReadConfigOneChunk(benchmark::State& state) {
    EchoBench& bench = Bench();
    if (!bench.Ok()) {
        state.SkipWithError("virtual node not available");
        return;
    }
    std::vector<uint8_t> block(56);
    const auto start = Clock::now();
    for (auto _ : state) {
        if (bench.Link().ReadConfig(block, 0) != kLinkOk) {
            state.SkipWithError("ReadConfig failed");
            break;
        }
    }
    bench.Drain();
    ReportPerTransaction(state, start, 1);
}
BENCHMARK(BM_ReadConfigOneChunk)->UseRealTime();

// A full 512-byte key table on the cable: ten frames (9 × 56 + 8).
void BM_WriteKeyTable512(benchmark::State& state) {
    EchoBench& bench = Bench();
    if (!bench.Ok() || bench.Link().SetBlockSize(512) != kLinkOk) {
        state.SkipWithError("virtual node not available");
        return;
    }
    std::vector<uint8_t> table(512, 0x21);
    const auto start = Clock::now();
    for (auto _ : state) {
        if (bench.Link().WriteKeyTable(table, 0) != kLinkOk) {
            state.SkipWithError("WriteKeyTable failed");
            break;
        }
    }
    bench.Drain();
    ReportPerTransaction(state, start, 10);
}
BENCHMARK(BM_WriteKeyTable512)->UseRealTime();

// The emulated keyboard on its cable; the raw client talks to the emulated mousepad so that its
// answers never queue up on the keyboard link.
class EmulatorBench {
public:
    EmulatorBench() : m_hub(m_dir.Path()) {
        m_ok = m_hub.Plug(VirtualModel::KeyboardWired) == 1 && m_hub.Plug(VirtualModel::Mousepad) == 1;
        std::lock_guard<std::recursive_mutex> lock(m_link.TransferLock());
        m_ok = m_ok && m_link.WiredLink().Open(m_hub.LinkPath(VirtualModel::KeyboardWired, 4), true, true,
                                               true, false);
        m_link.SetConnected(m_ok);
        m_link.SetLinkMode(kLinkModeWired);
    }
    bool Ok() const { return m_ok; }
    DeviceLink& Link() { return m_link; }
    std::string PeerSocketPath() const { return m_hub.SocketPath(VirtualModel::Mousepad); }

private:
    vxtest::ScopedTempDir m_dir;
    VirtualDeviceHub m_hub;
    DeviceLink m_link;
    bool m_ok = false;
};

EmulatorBench& Emulator() {
    static EmulatorBench bench;
    return bench;
}

void BM_EmulatorPeerRoundTrip(benchmark::State& state) {
    EmulatorBench& bench = Emulator();
    if (!bench.Ok()) {
        state.SkipWithError("emulator not available");
        return;
    }
    RawRoundTrips(state, bench.PeerSocketPath());
}
BENCHMARK(BM_EmulatorPeerRoundTrip)->UseRealTime();

void BM_EmulatorBeginConfig(benchmark::State& state) {
    EmulatorBench& bench = Emulator();
    if (!bench.Ok()) {
        state.SkipWithError("emulator not available");
        return;
    }
    const auto start = Clock::now();
    for (auto _ : state) {
        if (bench.Link().BeginConfig() != kLinkOk) {
            state.SkipWithError("BeginConfig failed");
            break;
        }
    }
    ReportPerTransaction(state, start, 1);
}
BENCHMARK(BM_EmulatorBeginConfig)->UseRealTime();

void BM_EmulatorReadConfigOneChunk(benchmark::State& state) {
    EmulatorBench& bench = Emulator();
    if (!bench.Ok()) {
        state.SkipWithError("emulator not available");
        return;
    }
    std::vector<uint8_t> block(56);
    const auto start = Clock::now();
    for (auto _ : state) {
        if (bench.Link().ReadConfig(block, 0) != kLinkOk) {
            state.SkipWithError("ReadConfig failed");
            break;
        }
    }
    ReportPerTransaction(state, start, 1);
}
BENCHMARK(BM_EmulatorReadConfigOneChunk)->UseRealTime();

// The emulated keyboard's key table is slots × 3 bytes; the whole 512-byte block is written as
// key colours (command 0x0B, group 0), which the firmware takes in full: ten frames of 56 + 8.
void BM_EmulatorWrite512Chunked(benchmark::State& state) {
    EmulatorBench& bench = Emulator();
    if (!bench.Ok()) {
        state.SkipWithError("emulator not available");
        return;
    }
    std::vector<uint8_t> table(512, 0x21);
    const auto start = Clock::now();
    for (auto _ : state) {
        if (bench.Link().WriteKeyColours(table, 0, 512) != kLinkOk) {
            state.SkipWithError("512-byte write failed");
            break;
        }
    }
    ReportPerTransaction(state, start, 10);
}
BENCHMARK(BM_EmulatorWrite512Chunked)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
