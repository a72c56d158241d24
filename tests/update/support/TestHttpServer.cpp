#include "tests/update/support/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace vx::testing {

namespace {

EVP_PKEY* NewKey() { return EVP_EC_gen("P-256"); }

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    if (X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value)) {
        X509_add_ext(cert, ext, -1);
        X509_EXTENSION_free(ext);
    }
}

X509* NewCertificate(const char* commonName, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuerKey, bool isCa,
                     long serial) {
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 24L * 3600);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1,
                               0);
    X509_set_issuer_name(cert, issuer ? X509_get_subject_name(issuer) : name);
    X509* signer = issuer ? issuer : cert;
    if (isCa) {
        AddExtension(cert, signer, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(cert, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        AddExtension(cert, signer, NID_basic_constraints, "critical,CA:FALSE");
        AddExtension(cert, signer, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
        AddExtension(cert, signer, NID_ext_key_usage, "serverAuth");
    }
    X509_sign(cert, issuerKey ? issuerKey : key, EVP_sha256());
    return cert;
}

bool ReadSome(SSL* ssl, int fd, std::string& into) {
    char chunk[4096];
    const int n = ssl ? SSL_read(ssl, chunk, sizeof chunk) : static_cast<int>(::recv(fd, chunk, sizeof chunk, 0));
    if (n <= 0) return false;
    into.append(chunk, static_cast<size_t>(n));
    return true;
}

bool WriteAll(SSL* ssl, int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const int n = ssl ? SSL_write(ssl, text.data() + done, static_cast<int>(text.size() - done))
                          : static_cast<int>(::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL));
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

struct TestHttpServer::Impl {
    SSL_CTX* ctx = nullptr;
    std::vector<std::pair<int, SSL*>> held;
    ~Impl() {
        if (ctx) SSL_CTX_free(ctx);
    }
};

TestHttpServer::TestHttpServer(bool tls) : m_tls(tls), m_impl(std::make_unique<Impl>()) {
    m_responder = [](const Request&) { return std::string("{}"); };
}

TestHttpServer::~TestHttpServer() {
    Stop();
    if (!m_caFile.empty()) std::filesystem::remove(m_caFile);
}

bool TestHttpServer::Start() {
    // A client that stops reading in the middle of an answer must not end the test process.
    std::signal(SIGPIPE, SIG_IGN);
    if (m_tls) {
        EVP_PKEY* caKey = NewKey();
        X509* ca = NewCertificate("Vexor test authority", caKey, nullptr, nullptr, true, 1);
        EVP_PKEY* key = NewKey();
        X509* cert = NewCertificate("127.0.0.1", key, ca, caKey, false, 2);
        char pattern[] = "/tmp/vx-test-ca-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd < 0) return false;
        FILE* file = fdopen(fd, "w");
        PEM_write_X509(file, ca);
        fclose(file);
        m_caFile = pattern;
        m_impl->ctx = SSL_CTX_new(TLS_server_method());
        SSL_CTX_use_certificate(m_impl->ctx, cert);
        SSL_CTX_use_PrivateKey(m_impl->ctx, key);
        X509_free(cert);
        X509_free(ca);
        EVP_PKEY_free(key);
        EVP_PKEY_free(caKey);
        if (SSL_CTX_check_private_key(m_impl->ctx) != 1) return false;
    }
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    if (::listen(m_listen, 16) != 0) return false;
    socklen_t length = sizeof address;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_stop = false;
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void TestHttpServer::Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    for (auto& [fd, ssl] : m_impl->held) {
        if (ssl) SSL_free(ssl);
        ::close(fd);
    }
    m_impl->held.clear();
    if (m_listen >= 0) ::close(m_listen);
    m_listen = -1;
}

std::string TestHttpServer::BaseUrl() const {
    return std::string(m_tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port) + "/";
}

void TestHttpServer::SetResponder(Responder responder) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_responder = std::move(responder);
}

void TestHttpServer::SetBody(std::string body) {
    SetResponder([body](const Request&) { return body; });
}

std::vector<TestHttpServer::Request> TestHttpServer::Requests() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_requests;
}

void TestHttpServer::Serve() {
    while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++m_connections;
        ServeOne(fd);
    }
}

void TestHttpServer::ServeOne(int fd) {
    if (m_mode == Mode::SilentAccept) {
        m_impl->held.emplace_back(fd, nullptr);
        return;
    }
    // A client that stops talking must not hang the server.
    timeval bound{3, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
    SSL* ssl = nullptr;
    if (m_tls) {
        ssl = SSL_new(m_impl->ctx);
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) != 1) {  // an untrusting client ends here
            SSL_free(ssl);
            ::close(fd);
            return;
        }
    }
    std::string text;
    size_t headerEnd = std::string::npos;
    while ((headerEnd = text.find("\r\n\r\n")) == std::string::npos) {
        if (!ReadSome(ssl, fd, text)) break;
    }
    Request request;
    if (headerEnd != std::string::npos) {
        request.rawHeaders = text.substr(0, headerEnd + 4);
        const size_t lineEnd = text.find("\r\n");
        const std::string line = text.substr(0, lineEnd);
        const size_t space = line.find(' ');
        request.method = line.substr(0, space);
        request.target = line.substr(space + 1, line.rfind(' ') - space - 1);
        size_t at = lineEnd + 2;
        while (at < headerEnd) {
            const size_t end = text.find("\r\n", at);
            const std::string header = text.substr(at, end - at);
            const size_t colon = header.find(':');
            if (colon != std::string::npos) {
                std::string name = header.substr(0, colon);
                std::transform(name.begin(), name.end(), name.begin(), ::tolower);
                std::string value = header.substr(colon + 1);
                value.erase(0, value.find_first_not_of(' '));
                request.headers[name] = value;
            }
            at = end + 2;
        }
        const size_t length = request.headers.count("content-length")
                                  ? std::strtoul(request.headers["content-length"].c_str(), nullptr, 10)
                                  : 0;
        request.body = text.substr(headerEnd + 4);
        while (request.body.size() < length) {
            if (!ReadSome(ssl, fd, request.body)) break;
        }
    }
    Responder responder;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_requests.push_back(request);
        responder = m_responder;
    }
    if (m_mode == Mode::HoldAfterRequest) {
        m_impl->held.emplace_back(fd, ssl);
        return;
    }
    const std::string body = responder(request);
    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                              std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    WriteAll(ssl, fd, reply);
    if (ssl) {
        SSL_shutdown(ssl);
        SSL_free(ssl);
    }
    ::close(fd);
}

}  // namespace vx::testing
