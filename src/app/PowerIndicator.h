#pragma once
// What a device page needs from its power indicator, so that the pages (which build before the
// main window's controls) can hand over the device's power record without knowing the control.

#include <cstdint>
#include <span>

// Power record bytes: [0] battery percent 0-100, [1] charge state (0 full, 1 charging, 2 on
// battery), [3] non-zero when connected through the 2.4 GHz receiver, [5] phone type on the
// mousepad's charger (1 iPhone, 2 Samsung, 3 other, anything else none). At most 64 bytes count.
class IPowerIndicator {
public:
    static constexpr size_t kRecordSize = 64;

    virtual ~IPowerIndicator() = default;
    virtual void UpdatePower(std::span<const uint8_t> record) = 0;
    virtual void ShowPowerLayout(bool visible) = 0;
};
