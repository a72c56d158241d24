#pragma once

#include <memory>

#include "link/DeviceCatalog.h"

namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::app {


// The page object of a device class; the base page for a class whose page is not built in.
std::unique_ptr<vx::devices::CTavimondUSBDevice> CreateDevicePageObject(vx::link::DeviceClass deviceClass);

}  // namespace vx::app
