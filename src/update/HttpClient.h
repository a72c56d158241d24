#pragma once
// A small synchronous HTTP client for the update check: one call sends one request and collects
// the whole response body into the caller's buffer. Built on libcurl; no Qt.
//
// Certificates of https services are always verified (against the system's trust store, or the
// CA file of the settings): an update service whose answers decide what the user is offered to
// install must not be answerable by anyone on the network.
//
// Proxies: the desktop's proxy variables (http_proxy, https_proxy, all_proxy, no_proxy) are used
// as libcurl reads them; useNamedProxy replaces them by the proxy named in the settings.
//
// Threads: one client serves one thread at a time (the update-check worker). A request can be
// cancelled from another thread through the flag given to HttpRequest; it then ends within
// about kPollMs.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx::update {

// The text put into the response buffer when no answer came from the service.
inline constexpr std::string_view kNoLinkServer = "NO_LINK_SERVER";

struct HttpSettings {
    std::string userAgent = "WinHTTP Client/1.0";
    // Used only with useNamedProxy; host:port or a URL.
    std::string namedProxy;
    std::string proxyUser;
    std::string proxyPassword;
    // 0 = no bound of its own (name look-up then counts against the connect time-out).
    int resolveTimeoutMs = 0;
    // Connection and TLS handshake.
    int connectTimeoutMs = 60000;
    int sendTimeoutMs = 30000;
    // Longest silence while waiting for or reading the response.
    int receiveTimeoutMs = 30000;
    // PEM file of the certificate authorities to trust; empty = the system's trust store.
    std::string caFile;
};

class CHttpClient {
public:
    static constexpr uint32_t kErrorInvalidParameter = 87;  // method other than GET or POST
    static constexpr uint32_t kErrorPathNotFound = 3;       // empty URL
    // How often a running transfer looks at its cancel flag.
    static constexpr int kPollMs = 50;

    // `defaults` are the values ResetHttpSettings restores (the table above unless a test or the
    // deployment data shortens them).
    explicit CHttpClient(HttpSettings defaults = {});

    void ResetHttpSettings() { m_settings = m_defaults; }
    HttpSettings& Settings() { return m_settings; }

    // Sends `method` ("GET" or "POST", any letter case) to `url` with the raw body bytes and the
    // update service's header block, and stores the response body at the start of
    // responseBuffer: at most responseCapacity - 1 bytes, the rest dropped, so that a buffer the
    // caller zeroed stays zero-terminated. Returns the number of bytes stored; 0 with the text
    // "NO_LINK_SERVER" in the buffer when no answer came (no connection, certificate refused,
    // time-out before the status line, cancelled); -1 for an unsupported method or an empty URL.
    int HttpRequest(std::string_view method, const std::string& url, const char* body, size_t bodyLength,
                    char* responseBuffer, size_t responseCapacity, bool useNamedProxy,
                    const std::atomic<bool>* cancel = nullptr);

    // The last failure: 87, 3, or the libcurl code of the failing transfer (0 after success).
    uint32_t GetHttpLastError() const { return m_lastError; }
    // The HTTP status of the last answer, 0 when none came. It does not change the result.
    long LastStatusCode() const { return m_lastStatus; }

private:
    HttpSettings m_defaults;
    HttpSettings m_settings;
    uint32_t m_lastError = 0;
    long m_lastStatus = 0;
};

}  // namespace vx::update
