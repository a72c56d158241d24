#pragma once
// The update check: for every product with a known local version, one form-encoded POST to the
// update service and the decision whether its reply offers something newer. No Qt: the settings
// window receives the results through IUpdateView, on whichever thread the check runs.
//
// The service's answer is untrusted input: whatever comes back (huge, cut off, not JSON, members
// of the wrong type) ends in a clear row status and bounded texts, never in anything else.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "update/HttpClient.h"

namespace vx::update {

// Row statuses of the update list (the settings window draws them).
enum UpdateStatus : int {
    kStatusUpToDate0 = 0,
    kStatusOffered = 1,
    kStatusOfferedAgain = 2,
    kStatusWaiting = 3,
    kStatusDownloading = 4,
    kStatusDownloaded = 5,
    kStatusUpdating = 6,
    kStatusCurrent = 7,
    kStatusFailed = 8,
};

// States of the settings window's status area.
enum UpdateState : int {
    kStateChecking = 0,
    kStateAvailable = 1,
    kStateNoInformation = 2,
    kStateUpdating = 3,
    kStateUpToDate = 4,
};

// One product the service knows: the pieces of its app key, how its versions are written, and
// the version installed here (0: none, the product is not asked about).
struct ProductEntry {
    std::string deviceKind;  // the device folder name of its devices ("mouse", ...), or "app"
    int versionForm = 0;     // non-zero: hexadecimal versions (firmware); 0: decimal (the program)
    int keyNumber = 0;
    int localVersion = 0;
    std::string makerName;
    std::string modelCode;
    std::string productType;
    std::string displayName;
    std::string versionText;  // shown as the local version of a decimal entry before the answer
};

struct UpdateResult {
    int status = kStatusCurrent;
    int deviceId = 0;
    std::string name;
    std::string localLabel;
    std::string serverLabel;
    std::string downloadAddress;
    std::string localFilePath;  // filled by the window
    int rowIndex = -1;
    // No usable answer: none came, or it was not a JSON object. A reply that is JSON but names
    // no product is an answer ("nothing for this product").
    bool failed = false;
};

// Deployment data: the service's address and the product table ("UpdateService.json" in the
// default data folder).
struct UpdateService {
    std::string address;  // the service's base address, ending in '/'
    std::string caFile;   // empty: the system's trust store; relative paths: from the data folder
    std::vector<ProductEntry> products;
};

inline constexpr const char* kUpdateServiceFile = "UpdateService.json";
inline constexpr const char* kApplicationKind = "app";
// The reply buffer of one request.
inline constexpr size_t kResponseCapacity = 102400;
// Longest texts taken from a reply into a row (a label wider than its row helps nobody).
inline constexpr size_t kMaxLabelText = 64;
inline constexpr size_t kMaxNameText = 128;
inline constexpr size_t kMaxAddressText = 2048;

// Reads the deployment data; a missing or malformed file gives no address and no products.
UpdateService ReadUpdateService(const std::filesystem::path& file);

// "maker_form_model_type_key", or "NULL" when the entry has no local version.
std::string BuildAppKey(const ProductEntry& entry);

// printf of one int into a short text ("V%04x" and the like).
std::string FormatNumber(const char* format, int value);

// A version record such as "1.0.0.0" with every '.' removed, read as a decimal number (1000);
// 0 when it does not start with a digit.
int ReadInstalledVersion(std::string_view versionRecord);

// The products to ask about: every table entry with its local version filled in (the firmware
// version of the connected device of its kind; for the program, its version record read by
// ReadInstalledVersion, which also gives the program's version text when the table has none),
// those without one left out.
std::vector<ProductEntry> MakeUpdateCandidates(const std::vector<ProductEntry>& products,
                                               const std::function<int(const std::string& kind)>& firmwareVersion,
                                               std::string_view installedVersionRecord);

// Reads the service's reply: `stored` bytes at the start of the zero-filled buffer (0 or less when
// none came; the buffer then holds the client's text). Untrusted: any bytes give a result whose
// texts are bounded (kMaxLabelText, kMaxNameText, kMaxAddressText) and whose status is
// kStatusOffered only for a JSON object whose version is above localVersion.
UpdateResult ReadServiceReply(const char* buffer, size_t capacity, int stored, int localVersion, bool hexVersions);

// The settings window's side of the check, called in this order: ShowUpdateState(checking), one
// AddUpdateRow per candidate, one UpdateRow per candidate, FinishCheck. Implementations carry
// the calls over to their own thread.
class IUpdateView {
public:
    virtual ~IUpdateView() = default;
    virtual void ShowUpdateState(int state) = 0;
    virtual void AddUpdateRow(const UpdateResult& row) = 0;
    virtual void UpdateRow(const UpdateResult& row) = 0;
    // selectable: row indices whose check box is enabled and selected (an update is offered);
    // every other row's check box is disabled. state: the final status-area state.
    virtual void FinishCheck(const std::vector<int>& selectable, int state) = 0;
};

class CUpdateCheck {
public:
    CUpdateCheck(std::string serviceAddress, HttpSettings httpDefaults);

    // One request for one product and the decision on its reply. `stop`, when given, cancels
    // the request.
    UpdateResult CheckProduct(const std::string& appKey, int localVersion, bool hexVersions,
                              const std::atomic<bool>* stop = nullptr);

    // The whole check over `entries`, in order. When `stop` is set the check ends at once and
    // tells the view nothing more.
    void RunUpdateCheck(IUpdateView& view, const std::vector<ProductEntry>& entries, const std::atomic<bool>& stop);

    CHttpClient& Client() { return m_client; }

private:
    std::string m_url;
    CHttpClient m_client;
};

}  // namespace vx::update
