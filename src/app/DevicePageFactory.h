#pragma once

#include <memory>

#include "link/DeviceCatalog.h"

class CTavimondUSBDevice;

// The page object of a device class; the base page for a class whose page is not built in.
std::unique_ptr<CTavimondUSBDevice> CreateDevicePageObject(vx::link::DeviceClass deviceClass);
