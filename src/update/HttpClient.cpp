#include "update/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/DebugLog.h"

namespace vx::update {

namespace {

using Clock = std::chrono::steady_clock;

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// Where the body goes: the caller's buffer, bounded; what does not fit is dropped and ends the
// transfer, so that a hostile service cannot keep the worker reading for ever.
struct Sink {
    char* buffer = nullptr;
    size_t room = 0;  // capacity - 1
    size_t stored = 0;
    bool full = false;
    Clock::time_point lastActivity = Clock::now();
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t bytes = size * count;
    sink->lastActivity = Clock::now();
    const size_t take = std::min(bytes, sink->room - sink->stored);
    if (take > 0) std::memcpy(sink->buffer + sink->stored, data, take);
    sink->stored += take;
    if (take < bytes) {
        sink->full = true;
        return CURL_WRITEFUNC_ERROR;
    }
    return bytes;
}

size_t CountHeader(char*, size_t size, size_t count, void* user) {
    static_cast<Sink*>(user)->lastActivity = Clock::now();
    return size * count;
}

struct Progress {
    Sink* sink;
    curl_off_t up = 0;
};

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t ulnow) {
    auto* progress = static_cast<Progress*>(user);
    if (ulnow != progress->up) {
        progress->up = ulnow;
        progress->sink->lastActivity = Clock::now();
    }
    return 0;
}

struct CurlHandles {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* headers = nullptr;
    ~CurlHandles() {
        if (multi && easy) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
        if (headers) curl_slist_free_all(headers);
    }
};

void PutText(char* buffer, size_t capacity, std::string_view text) {
    if (capacity == 0) return;
    const size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

}  // namespace

CHttpClient::CHttpClient(HttpSettings defaults) : m_defaults(std::move(defaults)), m_settings(m_defaults) {}

int CHttpClient::HttpRequest(std::string_view method, const std::string& url, const char* body, size_t bodyLength,
                             char* responseBuffer, size_t responseCapacity, bool useNamedProxy,
                             const std::atomic<bool>* cancel) {
    m_lastStatus = 0;
    const bool isGet = SameLetters(method, "GET");
    if (!isGet && !SameLetters(method, "POST")) {
        m_lastError = kErrorInvalidParameter;
        return -1;
    }
    if (url.empty()) {
        m_lastError = kErrorPathNotFound;
        return -1;
    }
    InitCurlOnce();
    CurlHandles h;
    h.easy = curl_easy_init();
    h.multi = curl_multi_init();
    if (h.easy == nullptr || h.multi == nullptr) {
        m_lastError = CURLE_FAILED_INIT;
        return -1;
    }
    m_lastError = 0;
    const HttpSettings& s = m_settings;
    CURL* e = h.easy;
    Sink sink;
    sink.buffer = responseBuffer;
    sink.room = responseCapacity > 0 ? responseCapacity - 1 : 0;
    Progress progress{&sink};

    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_USERAGENT, s.userAgent.c_str());
    curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, isGet ? "GET" : "POST");
    curl_easy_setopt(e, CURLOPT_POST, 1L);
    curl_easy_setopt(e, CURLOPT_POSTFIELDS, bodyLength > 0 ? body : "");
    curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(bodyLength));
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!s.caFile.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, s.caFile.c_str());
    // Name look-up and the handshake count against the connect bound.
    const long connectMs = std::max(1, s.connectTimeoutMs) + std::max(0, s.resolveTimeoutMs);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, CountHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, &progress);

    // The service's header block. The blank line the block has always carried between the type
    // and the accept line is not sent: on the wire it would end the headers early. "Expect:"
    // keeps libcurl from waiting for a 100-continue on larger bodies.
    const std::string length = "Content-Length: " + std::to_string(bodyLength);
    for (const char* line : {length.c_str(), "Content-Type: application/x-www-form-urlencoded",
                             "Accept:application/prs.Qorin.v1+json", "Expect:"}) {
        curl_slist* grown = curl_slist_append(h.headers, line);
        if (grown == nullptr) {
            m_lastError = CURLE_OUT_OF_MEMORY;
            break;
        }
        h.headers = grown;
    }
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, h.headers);

    if (useNamedProxy) {
        curl_easy_setopt(e, CURLOPT_PROXY, s.namedProxy.c_str());
        if (!s.proxyUser.empty()) curl_easy_setopt(e, CURLOPT_PROXYUSERNAME, s.proxyUser.c_str());
        if (!s.proxyPassword.empty()) curl_easy_setopt(e, CURLOPT_PROXYPASSWORD, s.proxyPassword.c_str());
    }

    curl_multi_add_handle(h.multi, e);
    const Clock::time_point started = Clock::now();
    bool connected = false;
    bool timedOut = false;
    bool cancelled = false;
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        curl_multi_perform(h.multi, &running);
        int queued = 0;
        bool done = false;
        while (CURLMsg* msg = curl_multi_info_read(h.multi, &queued)) {
            if (msg->msg == CURLMSG_DONE) {
                result = msg->data.result;
                done = true;
            }
        }
        if (done || running == 0) break;
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            cancelled = true;
            break;
        }
        const Clock::time_point now = Clock::now();
        if (!connected) {
            curl_off_t connectUs = 0, appUs = 0;
            curl_easy_getinfo(e, CURLINFO_CONNECT_TIME_T, &connectUs);
            curl_easy_getinfo(e, CURLINFO_APPCONNECT_TIME_T, &appUs);
            const bool secure = url.size() >= 6 && SameLetters(std::string_view(url).substr(0, 6), "https:");
            if (connectUs > 0 && (!secure || appUs > 0)) {
                connected = true;
                sink.lastActivity = now;
            } else if (now - started > std::chrono::milliseconds(connectMs + kPollMs)) {
                timedOut = true;  // libcurl's own bound should have ended it already
                break;
            }
        } else {
            const bool sending = progress.up < static_cast<curl_off_t>(bodyLength);
            const int idleMs = sending ? s.sendTimeoutMs : s.receiveTimeoutMs;
            if (now - sink.lastActivity > std::chrono::milliseconds(idleMs)) {
                timedOut = true;
                break;
            }
        }
        curl_multi_poll(h.multi, nullptr, 0, kPollMs, nullptr);
    }
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &m_lastStatus);
    if (cancelled) {
        result = CURLE_ABORTED_BY_CALLBACK;
    } else if (timedOut) {
        result = CURLE_OPERATION_TIMEDOUT;
    } else if (result == CURLE_WRITE_ERROR && sink.full) {
        result = CURLE_OK;  // the bound was reached: what fits is the answer
    }
    if (result != CURLE_OK) {
        m_lastError = static_cast<uint32_t>(result);
        DebugLog(std::string("http: ") + curl_easy_strerror(result));
    }
    // No status line means the service never answered: nothing to read, the service counts as
    // unreachable. (An answer cut off after its status line keeps what came.)
    if (m_lastStatus == 0) {
        PutText(responseBuffer, responseCapacity, kNoLinkServer);
        return 0;
    }
    if (responseCapacity > 0) responseBuffer[sink.stored] = '\0';
    return static_cast<int>(sink.stored);
}

}  // namespace vx::update
