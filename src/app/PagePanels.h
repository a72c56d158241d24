#pragma once
// The panels of a device page: the lighting, profile, key-assignment and macro panels, put in
// place on the page and found again by the routing.
//
// UI thread only.

class CDeviceProfileUI;
namespace vx::panels {
class CKeySetControlUI;
class CMacroControlUI;
}  // namespace vx::panels
class CLightControlUI;
class CLightingSyncPages;
class CTavimondUSBDevice;
class IDialogBuilderCallback;

class CPagePanels {
public:
    // Places the lighting panel and the profile panel into the page's "LightControlItem" and
    // "DeviceProfileItem" containers, and on keyboard and mouse pages the key and macro panels
    // into "KeySetControlItem" and "MacroControlItem" (when its layout has them), and binds them
    // to the page; a user change on the lighting panel takes the page out of same-mode lighting.
    // Returns how many panels were connected.
    static int Connect(CTavimondUSBDevice& page, CLightingSyncPages* sync,
                       IDialogBuilderCallback* callback = nullptr);

    // The panels of a page (null when the page has none yet).
    static CLightControlUI* LightPanelOf(CTavimondUSBDevice* page);
    static CDeviceProfileUI* ProfilePanelOf(CTavimondUSBDevice* page);
    static vx::panels::CKeySetControlUI* KeyPanelOf(CTavimondUSBDevice* page);
    static vx::panels::CMacroControlUI* MacroPanelOf(CTavimondUSBDevice* page);
};
