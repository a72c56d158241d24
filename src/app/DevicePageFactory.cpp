#include "app/DevicePageFactory.h"

#include <QWidget>

#include "app/discovery/DeviceKinds.h"
#include "devices/TavimondUSBDevice.h"

std::unique_ptr<CTavimondUSBDevice> CreateDevicePageObject(int kind) {
    switch (kind) {
        default:
            return std::make_unique<CTavimondUSBDevice>();
    }
}
