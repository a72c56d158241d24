// Building layouts: class resolution in any letter case, nested sub-layouts through the builder
// callback, names that resolve nowhere, and finding controls by name.
#include <gtest/gtest.h>

#include <QLabel>
#include <memory>

#include "support/QtTestEnv.h"
#include "widgets/ButtonUI.h"
#include "widgets/ComboUI.h"
#include "widgets/ContainerUI.h"
#include "widgets/ControlFactory.h"
#include "widgets/DialogBuilder.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ResourceManager.h"
#include "widgets/SliderUI.h"

using vx::widgets::CButtonUI;
using vx::widgets::CComboUI;
using vx::widgets::CContainerUI;
using vx::widgets::CControlFactory;
using vx::widgets::CDialogBuilder;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::CSliderUI;

namespace {

class CTestGaugeUI : public QWidget {
public:
    using QWidget::QWidget;
};

// Resolves two sub-layout names the way the main window's callback does: with itself as the
// callback again, so that names inside the sub-layouts resolve too.
class SubLayoutCallback : public vx::widgets::IDialogBuilderCallback {
public:
    QWidget* CreateControl(const QString& name, QWidget* parent) override {
        ++calls;
        if (name.compare("SubPanelUI", Qt::CaseInsensitive) == 0)
            return CDialogBuilder::Create("XML\\sub.xml", this, parent);
        if (name.compare("InnerPanelUI", Qt::CaseInsensitive) == 0)
            return CDialogBuilder::Create("XML/inner.xml", this, parent);
        if (name.compare("MissingPanelUI", Qt::CaseInsensitive) == 0)
            return CDialogBuilder::Create("XML/nope.xml", this, parent);
        return nullptr;
    }
    int calls = 0;
};

class BuilderTest : public testing::Test {
protected:
    void SetUp() override {
        CResourceManager::GetInstance().SetResourcePath(vxtest::FixtureDir("widgets/skin"));
        ASSERT_TRUE(CResourceManager::GetInstance().LoadResource());
        CControlFactory::GetInstance().RegistControl("CTestGaugeUI",
                                                     [](QWidget* p) { return new CTestGaugeUI(p); });
        root.reset(CDialogBuilder::Create("xml_test", &callback));
        ASSERT_NE(root, nullptr) << qPrintable(CDialogBuilder::LastError());
        pm.AttachRoot(root.get());
    }

    SubLayoutCallback callback;
    std::unique_ptr<QWidget> root;
    CPaintManagerUI pm;
};

TEST_F(BuilderTest, ClassesResolveWhateverTheLetterCase) {
    EXPECT_NE(qobject_cast<CContainerUI*>(root.get()), nullptr);
    EXPECT_NE(pm.FindControl<CButtonUI>("Btn_One"), nullptr);
    EXPECT_NE(pm.FindControl<CComboUI>("mode_combo"), nullptr);
    EXPECT_NE(dynamic_cast<CTestGaugeUI*>(pm.FindControl("gauge_top")), nullptr);
}

TEST_F(BuilderTest, NestedSubLayoutsResolveTheirOwnElements) {
    QWidget* sub = pm.FindControl("sub_a");
    ASSERT_NE(sub, nullptr);
    // The element's name replaces the sub-layout root's own.
    EXPECT_EQ(pm.FindControl("sub_root"), nullptr);
    EXPECT_NE(CPaintManagerUI::FindSubControl<CSliderUI>(sub, "sub_slider"), nullptr);
    QWidget* inner = CPaintManagerUI::FindSubControlByName(sub, "INNER");
    ASSERT_NE(inner, nullptr);
    EXPECT_NE(dynamic_cast<CTestGaugeUI*>(CPaintManagerUI::FindSubControlByName(inner, "deep_gauge")),
              nullptr);
    EXPECT_NE(pm.FindControl<COptionUI>("DEEP_OPTION"), nullptr);
}

TEST_F(BuilderTest, UnresolvedNamesAndBrokenSubLayoutsYieldNoControl) {
    EXPECT_EQ(pm.FindControl("ghost"), nullptr);
    EXPECT_EQ(pm.FindControl("missing_sub"), nullptr);
    auto* after = pm.FindControl<QLabel>("after_ghost");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->text(), "still here");
    EXPECT_EQ(CDialogBuilder::Create("XML/does_not_exist.xml"), nullptr);
    EXPECT_EQ(CDialogBuilder::Create("XML_UNKNOWN"), nullptr);
}

TEST_F(BuilderTest, FindsControlsByNameInAnyCase) {
    QWidget* a = pm.FindControl("btn_one");
    EXPECT_EQ(a, pm.FindControl("BTN_ONE"));
    EXPECT_EQ(a, pm.FindControl("Btn_One"));
    EXPECT_EQ(pm.FindControl("root"), root.get());
    EXPECT_EQ(pm.FindControl(""), nullptr);
    EXPECT_EQ(pm.FindControl("btn_two"), nullptr);
    EXPECT_EQ(CPaintManagerUI::FromControl(a), &pm);
}

TEST(ResourceIndexTest, NamesMapToFilesAndMissingIndexFails) {
    CResourceManager& rm = CResourceManager::GetInstance();
    rm.SetResourcePath(vxtest::FixtureDir("widgets/skin"));
    ASSERT_TRUE(rm.LoadResource());
    EXPECT_TRUE(rm.GetXmlPath("Xml_Test").endsWith("XML/test_main.xml"));
    EXPECT_TRUE(rm.GetXmlPath("XML\\inner.xml").endsWith("XML/inner.xml"));
    EXPECT_TRUE(rm.GetXmlPath("XML\\absent.xml").isEmpty());
    EXPECT_FALSE(rm.LoadResource("no_such_index.xml"));
}

}  // namespace
