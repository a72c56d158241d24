#include "emulator/UhidDevice.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "emulator/ReportDescriptors.h"

namespace vx::emulator {

namespace {

constexpr const char* kUhidPath = "/dev/uhid";

bool WriteEvent(int fd, const uhid_event& event) {
    const ssize_t written = ::write(fd, &event, sizeof event);
    return written == static_cast<ssize_t>(sizeof event);
}

}  // namespace

UhidDevice::~UhidDevice() {
    Destroy();
}

bool UhidDevice::Available() {
    const int fd = ::open(kUhidPath, O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

int UhidDevice::Create(VirtualModel model) {
    Destroy();
    m_fd = ::open(kUhidPath, O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) return 0;
    const VirtualModelInfo& info = ModelInfo(model);
    const std::span<const uint8_t> descriptor = ReportDescriptor(info.firmware);

    uhid_event event{};
    event.type = UHID_CREATE2;
    std::snprintf(reinterpret_cast<char*>(event.u.create2.name), sizeof event.u.create2.name,
                  "Vexor virtual %s", std::string(info.name).c_str());
    std::snprintf(reinterpret_cast<char*>(event.u.create2.phys), sizeof event.u.create2.phys,
                  "vx-emulator/input%u", static_cast<unsigned>(info.interfaceNumber));
    event.u.create2.rd_size =
        static_cast<uint16_t>(std::min(descriptor.size(), sizeof event.u.create2.rd_data));
    std::memcpy(event.u.create2.rd_data, descriptor.data(), event.u.create2.rd_size);
    event.u.create2.bus = kBusUsb;
    event.u.create2.vendor = info.vendor;
    event.u.create2.product = info.product;
    event.u.create2.version = info.version;
    if (!WriteEvent(m_fd, event)) {
        Destroy();
        return 0;
    }
    return 1;
}

void UhidDevice::Destroy() {
    if (m_fd < 0) return;
    uhid_event event{};
    event.type = UHID_DESTROY;
    WriteEvent(m_fd, event);
    ::close(m_fd);
    m_fd = -1;
}

int UhidDevice::SendInput(std::span<const uint8_t> report) {
    if (m_fd < 0) return 0;
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<uint16_t>(std::min(report.size(), sizeof event.u.input2.data));
    std::memcpy(event.u.input2.data, report.data(), event.u.input2.size);
    return WriteEvent(m_fd, event) ? 1 : 0;
}

std::optional<UhidOutput> UhidDevice::ReadEvent() {
    if (m_fd < 0) return std::nullopt;
    uhid_event event{};
    const ssize_t got = ::read(m_fd, &event, sizeof event);
    if (got <= 0) return std::nullopt;
    switch (event.type) {
        case UHID_OUTPUT: {
            const size_t size = std::min<size_t>(event.u.output.size, sizeof event.u.output.data);
            return UhidOutput{std::vector<uint8_t>(event.u.output.data, event.u.output.data + size), false};
        }
        case UHID_SET_REPORT: {
            // HIDIOCSOUTPUT and HIDIOCSFEATURE arrive here; the device takes the report and acknowledges.
            UhidOutput output;
            const size_t size = std::min<size_t>(event.u.set_report.size, sizeof event.u.set_report.data);
            output.report.assign(event.u.set_report.data, event.u.set_report.data + size);
            output.controlPipe = true;
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = event.u.set_report.id;
            reply.u.set_report_reply.err = 0;
            WriteEvent(m_fd, reply);
            if (output.report.empty() || output.report[0] != event.u.set_report.rnum) {
                output.report.insert(output.report.begin(), event.u.set_report.rnum);
            }
            return output;
        }
        case UHID_GET_REPORT: {
            // The devices have no feature reports.
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = event.u.get_report.id;
            reply.u.get_report_reply.err = EIO;
            WriteEvent(m_fd, reply);
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace vx::emulator
