#pragma once
// Where a link operation failed, kept where it happens: the system call (or the step that is not
// one, such as a report descriptor that cannot be parsed), the errno it left and the node it
// concerned. A status code tells the caller what to do; this tells a person why.

#include <string>

namespace vx::link {

struct LinkError {
    std::string call;     // "open", "ioctl HIDIOCGRAWINFO", "connect", "read", ...; empty: no error
    int code = 0;         // errno of the call; 0 for a failure that is not a system call's
    std::string subject;  // the node or path concerned
    std::string detail;   // what went wrong when there is no errno ("end of file", ...)

    bool Empty() const { return call.empty(); }
    // "open /dev/hidraw3: Permission denied (errno 13)"; empty when there is no error.
    std::string Text() const;
};

// A failure of call with errno code on subject; written as a diagnostic line (VX_DEBUG).
LinkError RecordLinkError(std::string call, int code, std::string subject, std::string detail = {});

}  // namespace vx::link
