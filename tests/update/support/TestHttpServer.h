#pragma once
// A small HTTP and HTTPS server on 127.0.0.1 for the update tests, run on its own thread. It
// makes its own certificate authority and a server certificate for 127.0.0.1 signed by it (both
// in memory; the authority is written to a PEM file that a client can be told to trust).
//
// Each connection is served in turn: read one request, then answer as the current mode says.

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vx::testing {

class TestHttpServer {
public:
    enum class Mode {
        Answer,           // 200 with the responder's body
        SilentAccept,     // take the TCP connection, never say a word (no handshake either)
        HoldAfterRequest  // read the request, never answer
    };
    struct Request {
        std::string method;
        std::string target;
        std::map<std::string, std::string> headers;  // names in lower case
        std::string rawHeaders;
        std::string body;
    };
    using Responder = std::function<std::string(const Request&)>;

    // tls: serve https with the server's own certificate; otherwise plain http.
    explicit TestHttpServer(bool tls = true);
    ~TestHttpServer();

    // Listens on 127.0.0.1 (a free port) and starts serving; false when it could not.
    bool Start();
    void Stop();

    int Port() const { return m_port; }
    // "https://127.0.0.1:<port>/" (or http).
    std::string BaseUrl() const;
    // The PEM file of this server's certificate authority.
    std::filesystem::path CaFile() const { return m_caFile; }

    void SetMode(Mode mode) { m_mode = mode; }
    void SetResponder(Responder responder);
    // Answers every request with this body.
    void SetBody(std::string body);

    std::vector<Request> Requests() const;
    size_t ConnectionCount() const { return m_connections; }

private:
    struct Impl;
    void Serve();
    void ServeOne(int fd);

    bool m_tls;
    std::unique_ptr<Impl> m_impl;
    int m_listen = -1;
    int m_port = 0;
    std::filesystem::path m_caFile;
    std::atomic<Mode> m_mode{Mode::Answer};
    std::atomic<bool> m_stop{false};
    std::atomic<size_t> m_connections{0};
    mutable std::mutex m_lock;
    Responder m_responder;
    std::vector<Request> m_requests;
    std::vector<int> m_held;  // connections kept open until Stop
    std::thread m_thread;
};

}  // namespace vx::testing
