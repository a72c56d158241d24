#include "app/DevicePageFactory.h"

#include <QWidget>

#include "app/discovery/DeviceKinds.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMouseDevice.h"
#include "devices/TavimondMousePadDevice.h"
#include "devices/TavimondUSBDevice.h"

std::unique_ptr<CTavimondUSBDevice> CreateDevicePageObject(int kind) {
    switch (kind) {
        case kKindMouse:
            return std::make_unique<CTavimondMouseDevice>();
        case kKindKeyboard:
            return std::make_unique<CTavimondKeyboardDevice>();
        case kKindMousePad:
            return std::make_unique<CTavimondMousePadDevice>();
        default:
            return std::make_unique<CTavimondUSBDevice>();
    }
}
