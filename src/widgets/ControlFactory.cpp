#include "widgets/ControlFactory.h"

#include "widgets/ButtonUI.h"
#include "widgets/ColorPaletteUI.h"
#include "widgets/ComboUI.h"
#include "widgets/ContainerUI.h"
#include "widgets/EditUI.h"
#include "widgets/LabelUI.h"
#include "widgets/ListUI.h"
#include "widgets/OptionUI.h"
#include "widgets/BatteryGaugeUI.h"
#include "widgets/ProgressUI.h"
#include "widgets/SliderUI.h"
#include "widgets/TabLayoutUI.h"

namespace vx::widgets {

CControlFactory& CControlFactory::GetInstance() {
    static CControlFactory factory;
    return factory;
}

template <class T>
static ControlCreator Make() {
    return [](QWidget* parent) -> QWidget* { return new T(parent); };
}

CControlFactory::CControlFactory() {
    // Designer writes Qt's class names; hand-written layouts may use the short names. Both create
    // the same controls so that every control of a layout has the program's behaviour.
    RegisterStandard({"QPushButton", "QToolButton", "Button", "CButtonUI"}, Make<CButtonUI>());
    RegisterStandard({"QRadioButton", "QCheckBox", "Option", "CheckBox", "COptionUI"}, Make<COptionUI>());
    RegisterStandard({"QComboBox", "Combo", "CComboUI"}, Make<CComboUI>());
    RegisterStandard({"QSlider", "Slider", "CSliderUI"}, Make<CSliderUI>());
    RegisterStandard({"QProgressBar", "Progress", "CProgressUI"}, Make<CProgressUI>());
    RegisterStandard({"BatteryGauge", "CBatteryGaugeUI"}, Make<CBatteryGaugeUI>());
    RegisterStandard({"QLineEdit", "Edit", "CEditUI"}, Make<CEditUI>());
    RegisterStandard({"QLabel", "Label", "Text", "CLabelUI"}, Make<CLabelUI>());
    RegisterStandard({"QStackedWidget", "TabLayout", "CTabLayoutUI"}, Make<CTabLayoutUI>());
    RegisterStandard({"QListWidget", "List", "CListUI"}, Make<CListUI>());
    RegisterStandard({"ListContainerElement", "CListContainerElementUI"}, Make<CListContainerElementUI>());
    RegisterStandard({"ColorPalette", "CColorPaletteUI"}, Make<CColorPaletteUI>());
    RegisterStandard({"QWidget", "QFrame", "Container", "CContainerUI"}, Make<CContainerUI>());
    RegisterStandard({"HorizontalLayout", "CHorizontalLayoutUI"}, Make<CHorizontalLayoutUI>());
    RegisterStandard({"VerticalLayout", "CVerticalLayoutUI"}, Make<CVerticalLayoutUI>());
}

void CControlFactory::RegisterStandard(const QStringList& names, ControlCreator creator) {
    for (const QString& name : names) m_standard.insert(name.toLower(), creator);
}

void CControlFactory::RegistControl(const QString& className, ControlCreator creator) {
    const QString key = className.toLower();
    if (!m_registered.contains(key)) m_order.append(className);
    m_registered.insert(key, std::move(creator));
}

QWidget* CControlFactory::CreateControl(const QString& className, QWidget* parent) const {
    const QString key = className.toLower();
    auto it = m_registered.constFind(key);
    if (it != m_registered.constEnd()) return (*it)(parent);
    auto std = m_standard.constFind(key);
    if (std != m_standard.constEnd()) return (*std)(parent);
    return nullptr;
}

bool CControlFactory::IsRegistered(const QString& className) const {
    return m_registered.contains(className.toLower());
}

}  // namespace vx::widgets
