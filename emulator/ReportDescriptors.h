#pragma once
// HID report descriptors of the virtual devices. Interface 1 of the keyboard, mouse and mousepad
// carries four top-level collections in this order: 1 keyboard (or mouse), 2 system control (or
// keyboard), 3 consumer control with the notification codes, 4 the vendor command channel. The
// headset's interface 3 has one consumer collection that carries its notifications, the command
// channel and the LED output report.

#include <cstdint>
#include <span>

#include "emulator/VirtualModel.h"

namespace vx::emulator {

// Report ids.
constexpr uint8_t kNotifyReportId = 3;         // consumer collection of interface 1
constexpr uint8_t kHeadsetNotifyReportId = 1;  // consumer reports of the headset
constexpr uint8_t kHeadsetLedReportId = 0xFF;
constexpr size_t kHeadsetLedReportLength = 17;

std::span<const uint8_t> ReportDescriptor(FirmwareKind kind);

// The top-level collection (1-based, in descriptor order) that carries a report id; 0 when the
// interface has a single collection or the id is unknown.
int CollectionOfReport(FirmwareKind kind, uint8_t reportId);

// Report id of the notification (consumer button array) input report.
uint8_t NotifyReportId(FirmwareKind kind);

}  // namespace vx::emulator
