#pragma once
// The panels of a device page: the lighting panel and the profile panel, put in place on the
// page and found again by the routing.
//
// UI thread only.

class CDeviceProfileUI;
class CLightControlUI;
class CLightingSyncPages;
class CTavimondUSBDevice;
namespace vx::panels {
class CShootControlUI;
}
class IDialogBuilderCallback;

class CPagePanels {
public:
    // Places the lighting panel and the profile panel into the page's "LightControlItem" and
    // "DeviceProfileItem" containers (when its layout has them), and on a mouse page the recoil
    // panel into "ShootControlItem", and binds them to the page; a user change on the lighting
    // panel takes the page out of same-mode lighting. Returns how many panels were connected.
    static int Connect(CTavimondUSBDevice& page, CLightingSyncPages* sync,
                       IDialogBuilderCallback* callback = nullptr);

    // The panels of a page (null when the page has none yet).
    static CLightControlUI* LightPanelOf(CTavimondUSBDevice* page);
    static CDeviceProfileUI* ProfilePanelOf(CTavimondUSBDevice* page);
    static vx::panels::CShootControlUI* ShootPanelOf(CTavimondUSBDevice* page);
};
