#include "app/DevicePageFactory.h"

#include <QWidget>

#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMouseDevice.h"
#include "devices/TavimondMousePadDevice.h"
#include "devices/TavimondUSBDevice.h"
#include "headset/page/TavimondRU6533Device.h"

using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondMouseDevice;
using vx::devices::CTavimondMousePadDevice;
using vx::devices::CTavimondUSBDevice;

namespace vx::app {

using vx::link::DeviceClass;

std::unique_ptr<CTavimondUSBDevice> CreateDevicePageObject(DeviceClass deviceClass) {
    switch (deviceClass) {
        case DeviceClass::Mouse:
            return std::make_unique<CTavimondMouseDevice>();
        case DeviceClass::Keyboard:
            return std::make_unique<CTavimondKeyboardDevice>();
        case DeviceClass::MousePad:
            return std::make_unique<CTavimondMousePadDevice>();
        case DeviceClass::Headset:
            return std::make_unique<vx::headset::CTavimondRU6533Device>();
    }
    return std::make_unique<CTavimondUSBDevice>();
}

}  // namespace vx::app
