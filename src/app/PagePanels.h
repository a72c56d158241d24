#pragma once
namespace vx::panels { class CDeviceProfileUI; }
namespace vx::panels { class CLightControlUI; }
namespace vx::panels { class CKeySetControlUI; }
namespace vx::panels { class CMacroControlUI; }
namespace vx::panels { class CShootControlUI; }
namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::widgets { class IDialogBuilderCallback; }
namespace vx::app {

// The panels of a device page: the lighting, profile, key-assignment and macro panels, put in
// place on the page and found again by the routing.
//
// UI thread only.

class CLightingSyncPages;

class CPagePanels {
public:
    // Places the lighting panel and the profile panel into the page's "LightControlItem" and
    // "DeviceProfileItem" containers, and on keyboard and mouse pages the key and macro panels
    // into "KeySetControlItem" and "MacroControlItem" (when its layout has them), and binds them
    // to the page; a user change on the lighting panel takes the page out of same-mode lighting.
    // On a mouse page the recoil panel goes into "ShootControlItem". Returns how many panels
    // were connected.
    static int Connect(vx::devices::CTavimondUSBDevice& page, CLightingSyncPages* sync,
                       vx::widgets::IDialogBuilderCallback* callback = nullptr);

    // The panels of a page (null when the page has none yet).
    static vx::panels::CLightControlUI* LightPanelOf(vx::devices::CTavimondUSBDevice* page);
    static vx::panels::CDeviceProfileUI* ProfilePanelOf(vx::devices::CTavimondUSBDevice* page);
    static vx::panels::CKeySetControlUI* KeyPanelOf(vx::devices::CTavimondUSBDevice* page);
    static vx::panels::CMacroControlUI* MacroPanelOf(vx::devices::CTavimondUSBDevice* page);
    static vx::panels::CShootControlUI* ShootPanelOf(vx::devices::CTavimondUSBDevice* page);
};

}  // namespace vx::app
