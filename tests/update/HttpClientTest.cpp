// The HTTP client against a real HTTPS server on the loopback address: what goes on the wire,
// the response bound, and every way an exchange can fail ending within its bounds.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "tests/update/support/TestHttpServer.h"
#include "update/HttpClient.h"

using vx::testing::TestHttpServer;
using vx::update::CHttpClient;
using vx::update::HttpSettings;
using namespace std::chrono;

namespace {

constexpr size_t kServiceBuffer = 102400;

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy",
                                 "NO_PROXY"})
            unsetenv(name);
        ASSERT_TRUE(server.Start());
        HttpSettings settings;
        settings.caFile = server.CaFile().string();
        client = std::make_unique<CHttpClient>(settings);
    }

    int Post(const std::string& url, const std::string& body, std::vector<char>& buffer, bool useNamedProxy = false) {
        return client->HttpRequest("POST", url, body.data(), body.size(), buffer.data(), buffer.size(), useNamedProxy);
    }

    TestHttpServer server;
    std::unique_ptr<CHttpClient> client;
};

TEST_F(HttpClientTest, PostSendsTheServiceHeaderBlockAndRawBodyAndStoresTheAnswer) {
    server.SetBody(R"({"name":"Mouse","version":"0106"})");
    // The update check sends its text with the terminating zero.
    const std::string body("app_key=K_1_M_T_2&version=105", 30);
    std::vector<char> buffer(kServiceBuffer, '\0');
    const int stored = Post(server.BaseUrl() + "api/updates", body, buffer);

    EXPECT_EQ(stored, 33);
    EXPECT_STREQ(buffer.data(), R"({"name":"Mouse","version":"0106"})");
    EXPECT_EQ(client->GetHttpLastError(), 0u);
    EXPECT_EQ(client->LastStatusCode(), 200);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& r = requests[0];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/api/updates");
    EXPECT_EQ(r.headers.at("content-length"), "30");
    EXPECT_EQ(r.headers.at("content-type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(r.headers.at("accept"), "application/prs.Qorin.v1+json");
    EXPECT_EQ(r.headers.at("user-agent"), "WinHTTP Client/1.0");
    EXPECT_EQ(r.headers.count("expect"), 0u);
    EXPECT_EQ(r.body, body);
    EXPECT_EQ(r.body.back(), '\0');
}

TEST_F(HttpClientTest, MethodInAnyCaseIsSentUpperCaseAndAnEmptyBodyStillCarriesItsLength) {
    server.SetBody("ok");
    std::vector<char> buffer(64, '\0');
    EXPECT_EQ(client->HttpRequest("get", server.BaseUrl() + "x", nullptr, 0, buffer.data(), buffer.size(), false), 2);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].method, "GET");
    EXPECT_EQ(server.Requests()[0].headers.at("content-length"), "0");
    EXPECT_TRUE(server.Requests()[0].body.empty());
}

TEST_F(HttpClientTest, UnsupportedMethodOrEmptyUrlEndsAtOnceWithoutAConnection) {
    std::vector<char> buffer(64, '\0');
    EXPECT_EQ(client->HttpRequest("PUT", server.BaseUrl(), "a", 1, buffer.data(), buffer.size(), false), -1);
    EXPECT_EQ(client->GetHttpLastError(), 87u);
    EXPECT_EQ(client->HttpRequest("POST", "", "a", 1, buffer.data(), buffer.size(), false), -1);
    EXPECT_EQ(client->GetHttpLastError(), 3u);
    std::this_thread::sleep_for(milliseconds(50));  // a connection, had one been made, would be counted by now
    EXPECT_EQ(server.ConnectionCount(), 0u);
    EXPECT_EQ(buffer[0], '\0');
}

TEST_F(HttpClientTest, AnswerLargerThanTheBufferIsCutAtItsSizeMinusOne) {
    std::string big(3 * kServiceBuffer, 'x');
    for (size_t i = 0; i < big.size(); i += 1000) big[i] = static_cast<char>('a' + (i / 1000) % 26);
    server.SetBody(big);
    std::vector<char> buffer(kServiceBuffer, '\0');
    const int stored = Post(server.BaseUrl() + "api/updates", "a", buffer);
    ASSERT_EQ(stored, static_cast<int>(kServiceBuffer - 1));
    EXPECT_EQ(std::string(buffer.data(), stored), big.substr(0, stored));
    EXPECT_EQ(buffer.back(), '\0');
}

TEST_F(HttpClientTest, ServiceThatIsNotThereOrNeverAnswersGivesNoLinkServerWithinItsBounds) {
    HttpSettings quick;
    quick.caFile = server.CaFile().string();
    quick.connectTimeoutMs = 300;
    quick.sendTimeoutMs = 300;
    quick.receiveTimeoutMs = 300;
    CHttpClient impatient(quick);
    std::vector<char> buffer(64, '\0');
    auto ask = [&](const std::string& url) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        const auto start = steady_clock::now();
        const int result = impatient.HttpRequest("POST", url, "a", 1, buffer.data(), buffer.size(), false);
        EXPECT_LT(steady_clock::now() - start, milliseconds(1500)) << url;
        return result;
    };

    // Takes the connection, never completes the handshake.
    server.SetMode(TestHttpServer::Mode::SilentAccept);
    EXPECT_EQ(ask(server.BaseUrl() + "api/updates"), 0);
    EXPECT_STREQ(buffer.data(), "NO_LINK_SERVER");
    EXPECT_NE(impatient.GetHttpLastError(), 0u);

    // Takes the request, never answers: nothing was said, so the service is not reachable.
    server.SetMode(TestHttpServer::Mode::HoldAfterRequest);
    EXPECT_EQ(ask(server.BaseUrl() + "api/updates"), 0);
    EXPECT_STREQ(buffer.data(), "NO_LINK_SERVER");

    // Nobody listens.
    const int port = server.Port();
    server.Stop();
    EXPECT_EQ(ask("https://127.0.0.1:" + std::to_string(port) + "/api/updates"), 0);
    EXPECT_STREQ(buffer.data(), "NO_LINK_SERVER");
}

TEST_F(HttpClientTest, CertificateOfAnAuthorityNotTrustedIsRefused) {
    TestHttpServer stranger;
    ASSERT_TRUE(stranger.Start());
    stranger.SetBody(R"({"name":"evil","version":"ffff"})");
    std::vector<char> buffer(64, '\0');
    // The client trusts only `server`'s authority.
    EXPECT_EQ(Post(stranger.BaseUrl() + "api/updates", "a", buffer), 0);
    EXPECT_STREQ(buffer.data(), "NO_LINK_SERVER");
    EXPECT_NE(client->GetHttpLastError(), 0u);
    EXPECT_TRUE(stranger.Requests().empty()) << "the request went out over an untrusted connection";

    // Nor is the test authority in the system's trust store.
    CHttpClient systemTrust;
    std::fill(buffer.begin(), buffer.end(), '\0');
    EXPECT_EQ(systemTrust.HttpRequest("POST", server.BaseUrl() + "api/updates", "a", 1, buffer.data(), buffer.size(),
                                      false),
              0);
    EXPECT_STREQ(buffer.data(), "NO_LINK_SERVER");
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(HttpClientTest, CancelledRequestEndsPromptlyWhateverItsTimeOuts) {
    server.SetMode(TestHttpServer::Mode::HoldAfterRequest);
    std::atomic<bool> cancel{false};
    std::vector<char> buffer(64, '\0');
    std::thread canceller([&] {
        std::this_thread::sleep_for(milliseconds(150));
        cancel = true;
    });
    const auto start = steady_clock::now();
    const int result = client->HttpRequest("POST", server.BaseUrl() + "api/updates", "a", 1, buffer.data(),
                                           buffer.size(), false, &cancel);
    const auto took = steady_clock::now() - start;
    canceller.join();
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(buffer.data(), "NO_LINK_SERVER");
    EXPECT_LT(took, milliseconds(150 + 400));
}

TEST_F(HttpClientTest, DesktopProxyVariableAndNamedProxyCarryTheRequest) {
    TestHttpServer proxy(false);
    ASSERT_TRUE(proxy.Start());
    proxy.SetBody("via proxy");
    const std::string proxyUrl = "http://127.0.0.1:" + std::to_string(proxy.Port());
    std::vector<char> buffer(64, '\0');

    setenv("http_proxy", proxyUrl.c_str(), 1);
    EXPECT_EQ(Post("http://update.service.invalid/api/updates", "a", buffer), 9);
    unsetenv("http_proxy");
    EXPECT_STREQ(buffer.data(), "via proxy");

    std::fill(buffer.begin(), buffer.end(), '\0');
    client->Settings().namedProxy = proxyUrl;
    client->Settings().proxyUser = "user";
    client->Settings().proxyPassword = "secret";
    EXPECT_EQ(Post("http://update.service.invalid/api/updates", "a", buffer, true), 9);
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "http://update.service.invalid/api/updates");
    EXPECT_EQ(requests[1].headers.count("proxy-authorization"), 1u);

    // Reset brings back the defaults: no named proxy, so the request goes straight to a host that
    // does not exist.
    client->ResetHttpSettings();
    std::fill(buffer.begin(), buffer.end(), '\0');
    EXPECT_EQ(Post("http://update.service.invalid/api/updates", "a", buffer, true), 0);
    EXPECT_STREQ(buffer.data(), "NO_LINK_SERVER");
}

}  // namespace
