// The registry tables, in registration order. Rows for pages and panels are added with them.
#include "app/ControlRegistryTables.h"

#include "app/DeviceOptionUI.h"
#include "app/MpDevicePowerUI.h"
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
        {"CDeviceOptionUI",         &Make<CDeviceOptionUI>},
        {"CMpDevicePowerUI",        &Make<CMpDevicePowerUI>},
        {"CHandImgButtonUI",        &Make<CHandImgButtonUI>},
        {"CHandImgSelectButtonUI",  &Make<CHandImgSelectButtonUI>},
        {"CRedioMacroButtonUI",     &Make<CRedioMacroButtonUI>},
        {"CAudioRecordUI",          &Make<CAudioRecordUI>},
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
