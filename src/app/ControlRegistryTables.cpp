// The registry tables, in registration order.
//
// Not here: `CComboEditContainerElementUI`, which this port does not have (the macro editor
// edits delays in plain edits), and the device page classes. A page here is not a control: it
// owns its command links, profile and threads and is made by the device-page set when its device
// arrives; the layouts only name the page's root container, which the page builds itself.
#include "app/ControlRegistryTables.h"

#include "app/DeviceOptionUI.h"
#include "app/MpDevicePowerUI.h"
#include "headset/page/HeadsetPanels.h"
#include "panels/DeviceProfileUI.h"
#include "panels/KeySetControlUI.h"
#include "panels/LightControlUI.h"
#include "panels/MacroControlUI.h"
#include "panels/ShootControlUI.h"
#include "update/window/UpdateInfoListItemUI.h"
#include "widgets/AudioRecordUI.h"
#include "widgets/ChartViewUI.h"
#include "widgets/CircleProgressUI.h"
#include "widgets/CloudShareListItemUI.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/HandImgButtonUI.h"
#include "widgets/HandImgSelectButtonUI.h"
#include "widgets/RedioMacroButtonUI.h"
#include "widgets/SelectPanelUI.h"
#include "widgets/WndUI.h"

using vx::headset::CMagicControlUI;
using vx::headset::CVoice6533ControlUI;
using vx::panels::CDeviceProfileUI;
using vx::panels::CKeySetControlUI;
using vx::panels::CLightControlUI;
using vx::panels::CMacroControlUI;
using vx::panels::CShootControlUI;
using vx::update::CUpdateInfoListItemUI;
using vx::widgets::CAudioRecordUI;
using vx::widgets::CChartViewUI;
using vx::widgets::CCircleProgressUI;
using vx::widgets::CCloudShareListItemUI;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CHandImgButtonUI;
using vx::widgets::CHandImgSelectButtonUI;
using vx::widgets::CRedioMacroButtonUI;
using vx::widgets::CSelectPanelUI;
using vx::widgets::CWndUI;

namespace vx::app {

namespace {
template <class T>
QWidget* Make(QWidget* parent) {
    return new T(parent);
}
}  // namespace

const std::vector<RegistryClass>& ControlClassTable() {
    // clang-format off
    static const std::vector<RegistryClass> table = {
        {"CCircleProgressUI",       &Make<CCircleProgressUI>},
        {"CChartViewUI",            &Make<CChartViewUI>},
        {"CWndUI",                  &Make<CWndUI>},
        {"CSelectPanelUI",          &Make<CSelectPanelUI>},
        {"CDeviceKeyButtonUI",      &Make<CDeviceKeyButtonUI>},
        {"CCloudShareListItemUI",   &Make<CCloudShareListItemUI>},
        {"CUpdateInfoListItemUI",   &Make<CUpdateInfoListItemUI>},
        {"CDeviceOptionUI",         &Make<CDeviceOptionUI>},
        {"CMpDevicePowerUI",        &Make<CMpDevicePowerUI>},
        {"CHandImgButtonUI",        &Make<CHandImgButtonUI>},
        {"CHandImgSelectButtonUI",  &Make<CHandImgSelectButtonUI>},
        {"CRedioMacroButtonUI",     &Make<CRedioMacroButtonUI>},
        {"CAudioRecordUI",          &Make<CAudioRecordUI>},
        {"CLightControlUI",         &Make<CLightControlUI>},
        {"CMacroControlUI",         &Make<CMacroControlUI>},
        {"CKeySetControlUI",        &Make<CKeySetControlUI>},
        {"CDeviceProfileUI",        &Make<CDeviceProfileUI>},
        {"CShootControlUI",         &Make<CShootControlUI>},
        {"CMagicControlUI",         &Make<CMagicControlUI>},
        {"CVoice6533ControlUI",     &Make<CVoice6533ControlUI>},
    };
    // clang-format on
    return table;
}

const std::vector<RegistryClass>& ElementClassTable() {
    // clang-format off
    static const std::vector<RegistryClass> table = {
        {"CircleProgress",        &Make<CCircleProgressUI>},
        {"SelectPanel",           &Make<CSelectPanelUI>},
        {"DeviceKeyButton",       &Make<CDeviceKeyButtonUI>},
        {"HandImgButton",         &Make<CHandImgButtonUI>},
        {"AudioRecord",           &Make<CAudioRecordUI>},
        {"HandImgSelectButton",   &Make<CHandImgSelectButtonUI>},
        {"RedioMacroButton",      &Make<CRedioMacroButtonUI>},
        {"DeviceProfile",         &Make<CDeviceProfileUI>},
        {"LightControl",          &Make<CLightControlUI>},
        {"MagicControl",          &Make<CMagicControlUI>},
        {"Voice6533Control",      &Make<CVoice6533ControlUI>},
        {"KeySetControl",         &Make<CKeySetControlUI>},
        {"ShootControl",          &Make<CShootControlUI>},
    };
    // clang-format on
    return table;
}

const std::vector<RegistryLayout>& ElementLayoutTable() {
    // clang-format off
    static const std::vector<RegistryLayout> table = {
        {"DeviceProfileUI",        "XML\\CustomControlXML\\DeviceProfile.xml"},
        {"LightSetControlUI",      "XML\\CustomControlXML\\LightControl.xml"},
        {"Voice6533SetControlUI",  "XML\\CustomControlXML\\Voice6533Control.xml"},
        {"MagicSetControlUI",      "XML\\CustomControlXML\\MagicControl.xml"},
        {"KeySetControlUI",        "XML\\CustomControlXML\\KeySetControl.xml"},
        {"MacroSetControlUI",      "XML\\CustomControlXML\\MacroControl.xml"},
        {"ShootKeySetControlUI",   "XML\\CustomControlXML\\ShootControl.xml"},
        {"VirtualSetControlUI",    "XML\\CustomControlXML\\VirtualSet.xml"},
    };
    // clang-format on
    return table;
}

}  // namespace vx::app
