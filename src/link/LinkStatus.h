#pragma once
namespace vx::link {

// Return codes shared by every operation of the command channel. Callers test for kLinkOk only;
// the other values tell the failures apart in diagnostics.

constexpr int kLinkOk = 1;
// Not connected, or no (matching) reply within the time-out.
constexpr int kLinkNoReply = 0;
// The request frame was not written within the time-out.
constexpr int kLinkWriteFailed = -1;
// The 2.4 GHz receiver answered in place of its device (device off or out of range).
constexpr int kLinkWirelessAbsent = -101;
// Reply status bytes 0xFF and 0xFE.
constexpr int kLinkStatusRejected = -102;
constexpr int kLinkStatusFailed = -103;
// An argument outside its allowed range (a key-table bank other than 0, a transfer that does not
// fit the 16-bit offset field, a status read longer than one frame); nothing is sent.
constexpr int kLinkBadRange = -201;

}  // namespace vx::link
