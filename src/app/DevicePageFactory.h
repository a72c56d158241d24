#pragma once

#include <memory>

class CTavimondUSBDevice;

// The page object of a device kind (kKindMouse ... kKindHeadset); the base page for a kind whose
// class is not built in.
std::unique_ptr<CTavimondUSBDevice> CreateDevicePageObject(int kind);
