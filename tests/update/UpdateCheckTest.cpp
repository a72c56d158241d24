// The update check against a local HTTPS service: what it asks, how it reads the answers (which
// are untrusted), and the rows and final state it hands the settings window.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/update/support/TestHttpServer.h"
#include "update/UpdateCheck.h"
#include "update/UpdateWorker.h"

using vx::testing::TestHttpServer;
using namespace vx::update;
using namespace std::chrono;

namespace {

struct RecordingView : IUpdateView {
    std::vector<std::string> calls;
    std::vector<UpdateResult> added, updated;
    std::vector<int> selectable;
    int finalState = -1;
    void ShowUpdateState(int state) override { calls.push_back("state " + std::to_string(state)); }
    void AddUpdateRow(const UpdateResult& row) override {
        calls.push_back("add");
        added.push_back(row);
    }
    void UpdateRow(const UpdateResult& row) override {
        calls.push_back("update " + std::to_string(row.rowIndex));
        updated.push_back(row);
    }
    void FinishCheck(const std::vector<int>& rows, int state) override {
        calls.push_back("finish");
        selectable = rows;
        finalState = state;
    }
};

ProductEntry Firmware(const char* name, int local) {
    ProductEntry e;
    e.deviceKind = "mouse";
    e.versionForm = 1;
    e.keyNumber = 3;
    e.localVersion = local;
    e.makerName = "Maker";
    e.modelCode = "M01";
    e.productType = "Mouse";
    e.displayName = name;
    return e;
}

ProductEntry Application(int local) {
    ProductEntry e = Firmware("AP", local);
    e.deviceKind = kApplicationKind;
    e.versionForm = 0;
    e.modelCode = "APP";
    e.productType = "App";
    e.versionText = "V1.0.0.0";
    return e;
}

bool WaitUntil(const std::function<bool()>& done) {
    const auto until = steady_clock::now() + seconds(5);
    while (!done()) {
        if (steady_clock::now() > until) return false;
        std::this_thread::sleep_for(milliseconds(5));
    }
    return true;
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
        ASSERT_TRUE(server.Start());
        settings.caFile = server.CaFile().string();
        settings.connectTimeoutMs = 400;
        settings.sendTimeoutMs = 400;
        settings.receiveTimeoutMs = 400;
    }
    CUpdateCheck Check() { return CUpdateCheck(server.BaseUrl(), settings); }

    TestHttpServer server;
    HttpSettings settings;
    std::atomic<bool> stop{false};
};

TEST_F(UpdateCheckTest, HexadecimalEntryIsOfferedANewerVersionAndDecimalEntryAtItsVersionIsCurrent) {
    server.SetResponder([](const TestHttpServer::Request& r) -> std::string {
        if (r.body.find("M01") != std::string::npos)
            return R"({"path":"https://dl/m.bin","name":"Mouse FW","version_name":"x","version":"0106","device_id":9})";
        return R"({"path":"https://dl/ap.exe","name":"AP","version_name":"1.0.0.0","version":"1000","device_id":1})";
    });
    RecordingView view;
    auto check = Check();
    check.RunUpdateCheck(view, {Firmware("Mouse", 0x0105), Application(1000)}, stop);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/api/updates");
    EXPECT_EQ(requests[0].body, std::string("app_key=Maker_1_M01_Mouse_3&version=105", 40));
    EXPECT_EQ(requests[1].body, std::string("app_key=Maker_0_APP_App_3&version=1000", 39));

    EXPECT_EQ(view.calls, (std::vector<std::string>{"state 0", "add", "add", "update 0", "update 1", "finish"}));
    EXPECT_EQ(view.added[0].localLabel, "V0105");
    EXPECT_EQ(view.added[1].localLabel, "V1.0.0.0");
    EXPECT_EQ(view.added[0].status, kStatusCurrent);
    const UpdateResult& mouse = view.updated[0];
    EXPECT_EQ(mouse.status, kStatusOffered);
    EXPECT_EQ(mouse.name, "Mouse");  // the row keeps the product's own display name
    EXPECT_EQ(mouse.localLabel, "V0105");
    EXPECT_EQ(mouse.serverLabel, "V0106");
    EXPECT_EQ(mouse.downloadAddress, "https://dl/m.bin");
    EXPECT_EQ(mouse.deviceId, 9);
    const UpdateResult& app = view.updated[1];
    EXPECT_EQ(app.status, kStatusCurrent);
    EXPECT_EQ(app.localLabel, "V1000");
    EXPECT_EQ(app.serverLabel, "1.0.0.0");
    EXPECT_EQ(view.selectable, std::vector<int>{0});
    EXPECT_EQ(view.finalState, kStateAvailable);
}

TEST_F(UpdateCheckTest, FinalStateIsNoInformationWhenEveryRequestFailsAndUpToDateWhenOneAnswered) {
    RecordingView allFail;
    const int port = server.Port();
    server.Stop();
    CUpdateCheck("https://127.0.0.1:" + std::to_string(port) + "/", settings)
        .RunUpdateCheck(allFail, {Firmware("Mouse", 0x0105), Application(1000)}, stop);
    EXPECT_EQ(allFail.finalState, kStateNoInformation);
    ASSERT_EQ(allFail.updated.size(), 2u);
    EXPECT_EQ(allFail.updated[0].localLabel, "V0105");
    EXPECT_EQ(allFail.updated[0].serverLabel, "");
    EXPECT_EQ(allFail.updated[1].localLabel, "V1.0.0.0");
    EXPECT_EQ(allFail.updated[1].status, kStatusCurrent);

    ASSERT_TRUE(server.Start());
    settings.caFile = server.CaFile().string();
    server.SetResponder([](const TestHttpServer::Request& r) -> std::string {
        if (r.body.find("APP") != std::string::npos) return R"({"name":"AP","version":"999","version_name":"0.9"})";
        return "<html>busy</html>";
    });
    RecordingView oneAnswered;
    Check().RunUpdateCheck(oneAnswered, {Firmware("Mouse", 0x0105), Application(1000)}, stop);
    EXPECT_EQ(oneAnswered.finalState, kStateUpToDate);
    EXPECT_TRUE(oneAnswered.selectable.empty());

    // With nothing to ask about there is nothing to learn either.
    RecordingView none;
    Check().RunUpdateCheck(none, {}, stop);
    EXPECT_EQ(none.finalState, kStateNoInformation);
}

TEST_F(UpdateCheckTest, UntrustedAnswersEndInAClearStatusAndBoundedTexts) {
    const std::string huge = R"({"name":")" + std::string(300000, 'n') + R"(","version":"ffff"})";
    const std::string deep = std::string(5000, '[') + std::string(5000, ']');
    const std::string wrongTypes = R"({"name":{"a":1},"version":4660,"device_id":"x","path":[1]})";
    const std::string longTexts =
        R"({"name":")" + std::string(5000, 'a') + R"(","version":"0106)" + std::string(5000, 'z') + R"("})";
    const std::string notANumber = R"({"name":"Mouse","version":"zz","version_name":"zz"})";
    const std::string negative = R"({"name":"Mouse","version":"-1"})";
    const std::string overflow = R"({"name":"Mouse","version":"fffffffffffffffffffffff"})";
    const std::string cutOff = R"({"name":"Mouse","version":"01)";
    auto answer = [&](const std::string& body, int local = 0x0105) {
        server.SetBody(body);
        return Check().CheckProduct("K", local, true, &stop);
    };

    for (const std::string* body : {&huge, &deep, &cutOff}) {
        const UpdateResult r = answer(*body);
        EXPECT_EQ(r.status, kStatusCurrent);
        EXPECT_TRUE(r.failed);
        EXPECT_TRUE(r.serverLabel.empty());
    }
    const UpdateResult typed = answer(wrongTypes);
    EXPECT_EQ(typed.name, "");  // no usable name: no information
    EXPECT_EQ(typed.deviceId, 0);
    EXPECT_EQ(typed.downloadAddress, "");
    const UpdateResult clipped = answer(longTexts);
    EXPECT_EQ(clipped.name.size(), kMaxNameText);
    EXPECT_LE(clipped.serverLabel.size(), kMaxLabelText + 1);
    EXPECT_EQ(answer(notANumber).status, kStatusCurrent);
    EXPECT_EQ(answer(negative).status, kStatusCurrent);
    const UpdateResult big = answer(overflow, 0x7FFFFFF0);
    EXPECT_EQ(big.status, kStatusOffered);  // saturated, still above the local version
    EXPECT_EQ(answer(overflow, 0x7FFFFFFF).status, kStatusCurrent);  // but never above the largest

    // Through the whole check garbage counts as a failed request, never as "up to date".
    server.SetBody(huge);
    RecordingView view;
    Check().RunUpdateCheck(view, {Firmware("Mouse", 0x0105)}, stop);
    EXPECT_EQ(view.finalState, kStateNoInformation);
}

TEST_F(UpdateCheckTest, ServiceThatNeverAnswersEndsTheCheckWithinItsBoundsAndStopEndsItAtOnce) {
    server.SetMode(TestHttpServer::Mode::HoldAfterRequest);
    RecordingView view;
    auto start = steady_clock::now();
    Check().RunUpdateCheck(view, {Firmware("Mouse", 0x0105), Application(1000)}, stop);
    EXPECT_LT(steady_clock::now() - start, milliseconds(2 * 400 + 1000));
    EXPECT_EQ(view.finalState, kStateNoInformation);

    // Long time-outs, and the window closes: the check ends at once and tells the window nothing
    // more.
    settings.connectTimeoutMs = settings.sendTimeoutMs = settings.receiveTimeoutMs = 60000;
    RecordingView closing;
    std::thread closer([&] {
        std::this_thread::sleep_for(milliseconds(150));
        stop = true;
    });
    start = steady_clock::now();
    Check().RunUpdateCheck(closing, {Firmware("Mouse", 0x0105), Application(1000)}, stop);
    closer.join();
    EXPECT_LT(steady_clock::now() - start, milliseconds(150 + 400));
    EXPECT_EQ(closing.finalState, -1);
    EXPECT_EQ(closing.updated.size(), 0u);
}

TEST(UpdateProducts, CandidatesCarryTheirLocalVersionsAndEntriesWithoutOneAreLeftOut) {
    const UpdateService service = ReadUpdateService(std::filesystem::path(VX_SOURCE_DIR) / "DefaultData" / kUpdateServiceFile);
    ASSERT_EQ(service.products.size(), 4u);
    EXPECT_FALSE(service.address.empty());
    EXPECT_EQ(service.address.back(), '/');
    // Only the keyboard is connected.
    const auto candidates = MakeUpdateCandidates(
        service.products, [](const std::string& kind) { return kind == "keyboard" ? 0x0107 : 0; }, "1.0.0.0");
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[0].deviceKind, "keyboard");
    EXPECT_EQ(candidates[0].localVersion, 0x0107);
    EXPECT_NE(candidates[0].versionForm, 0);
    EXPECT_EQ(candidates[1].deviceKind, kApplicationKind);
    EXPECT_EQ(candidates[1].localVersion, 1000);
    EXPECT_EQ(candidates[1].displayName, "AP");
    EXPECT_EQ(candidates[1].versionText, "V1.0.0.0");
    EXPECT_NE(BuildAppKey(candidates[0]).find("_1_"), std::string::npos);

    ProductEntry none = candidates[0];
    none.localVersion = 0;
    EXPECT_EQ(BuildAppKey(none), "NULL");
    EXPECT_EQ(ReadInstalledVersion("0.1.0"), 10);
    EXPECT_EQ(ReadInstalledVersion(""), 0);
    EXPECT_EQ(ReadInstalledVersion("beta"), 0);
    // A program whose version reads as 0 is not asked about.
    EXPECT_EQ(MakeUpdateCandidates(service.products, nullptr, "0.0").size(), 0u);

    EXPECT_TRUE(ReadUpdateService("/nonexistent/UpdateService.json").products.empty());
}

}  // namespace

namespace {

TEST_F(UpdateCheckTest, WorkerStoppedWhileTheServiceHangsEndsWithinTheWindowsBound) {
    settings.connectTimeoutMs = settings.sendTimeoutMs = settings.receiveTimeoutMs = 60000;
    server.SetMode(TestHttpServer::Mode::HoldAfterRequest);
    auto view = std::make_shared<RecordingView>();
    {
        CUpdateWorker worker(view, server.BaseUrl(), settings);
        worker.Start({Firmware("Mouse", 0x0105)});
        ASSERT_TRUE(WaitUntil([&] { return server.Requests().size() == 1; }));
        const auto start = steady_clock::now();
        EXPECT_TRUE(worker.Stop(milliseconds(500)));
        EXPECT_LT(steady_clock::now() - start, milliseconds(500));
    }
    EXPECT_EQ(view->finalState, -1);
    EXPECT_EQ(view->calls, (std::vector<std::string>{"state 0", "add"}));
}

}  // namespace
