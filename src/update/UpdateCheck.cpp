#include "update/UpdateCheck.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vx::update {

namespace {

bool IsNoLinkServer(const std::string& name) {
    if (name.size() != kNoLinkServer.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != kNoLinkServer[i]) return false;
    }
    return true;
}

}  // namespace

CUpdateCheck::CUpdateCheck(std::string serviceAddress, HttpSettings httpDefaults)
    : m_url(std::move(serviceAddress) + "api/" + "updates"), m_client(std::move(httpDefaults)) {}

UpdateResult CUpdateCheck::CheckProduct(const std::string& appKey, int localVersion, bool hexVersions,
                                        const std::atomic<bool>* stop) {
    m_client.ResetHttpSettings();
    char text[512];
    std::snprintf(text, sizeof text, hexVersions ? "app_key=%s&version=%x" : "app_key=%s&version=%d", appKey.c_str(),
                  localVersion);
    // The service has always been sent the text with its terminating zero.
    const size_t length = std::strlen(text) + 1;
    std::vector<char> buffer(kResponseCapacity, '\0');
    const int stored = m_client.HttpRequest("POST", m_url, text, length, buffer.data(), buffer.size(), false, stop);
    return ReadServiceReply(buffer.data(), buffer.size(), stored, localVersion, hexVersions);
}

void CUpdateCheck::RunUpdateCheck(IUpdateView& view, const std::vector<ProductEntry>& entries,
                                  const std::atomic<bool>& stop) {
    if (stop) return;
    view.ShowUpdateState(kStateChecking);
    std::vector<UpdateResult> rows;
    for (size_t i = 0; i < entries.size(); ++i) {
        const ProductEntry& entry = entries[i];
        UpdateResult row;
        row.status = kStatusCurrent;
        row.name = entry.displayName;
        row.localLabel = entry.versionForm != 0 ? FormatNumber("V%04x", entry.localVersion) : entry.versionText;
        row.rowIndex = static_cast<int>(i);
        view.AddUpdateRow(row);
        rows.push_back(row);
    }
    int failed = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (stop) return;
        const ProductEntry& entry = entries[i];
        UpdateResult result = CheckProduct(BuildAppKey(entry), entry.localVersion, entry.versionForm != 0, &stop);
        if (stop) return;
        // Garbage from the service tells no more than silence: both count as failed requests,
        // so that a check that learnt nothing never claims that everything is up to date.
        if (IsNoLinkServer(result.name)) result.name.clear();
        if (result.failed) ++failed;
        if (result.name.empty()) {
            result.localLabel = rows[i].localLabel;
            result.serverLabel.clear();
            result.status = kStatusCurrent;
        }
        result.name = entry.displayName;
        result.rowIndex = static_cast<int>(i);
        rows[i] = result;
        view.UpdateRow(result);
    }
    std::vector<int> selectable;
    for (const UpdateResult& row : rows) {
        if (row.status != kStatusCurrent && row.status != kStatusUpToDate0) selectable.push_back(row.rowIndex);
    }
    int state = kStateUpToDate;
    if (!selectable.empty()) {
        state = kStateAvailable;
    } else if (failed == static_cast<int>(entries.size())) {
        state = kStateNoInformation;
    }
    view.FinishCheck(selectable, state);
}

}  // namespace vx::update
