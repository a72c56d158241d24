#pragma once
// Builds the lighting panel from the skin's real layout, attached to a window's paint manager so
// that option groups and language texts work as in the program, and counts every notification the
// panel's controls raise.

#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <vector>

#include "panels/LightControlUI.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/DialogBuilder.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ResourceManager.h"
#include "widgets/UIDefs.h"

namespace lightpanel_test {

// Every notification raised, as "type:sender".
class NotifyRecorder : public vx::widgets::INotifyUI {
public:
    void Notify(vx::widgets::TNotifyUI& msg) override {
        events.push_back(msg.sType + ":" + (msg.pSender ? msg.pSender->objectName() : QString()));
    }
    std::vector<QString> events;
};

inline QString DefaultLightFile() {
    return QStringLiteral(VX_SOURCE_DIR "/DefaultData/default_light.json");
}

class LightPanelTest : public testing::Test {
protected:
    void SetUp() override {
        vx::widgets::CResourceManager& resources = vx::widgets::CResourceManager::GetInstance();
        resources.SetResourcePath(vxtest::RepoSkinDir());
        ASSERT_TRUE(resources.LoadResource());
        ASSERT_TRUE(resources.LoadLanguage(QStringLiteral("lan_en.xml")));
        vx::panels::CLightControlUI::RegisterControlClass();
        QWidget* root = vx::widgets::CDialogBuilder::Create(QStringLiteral("XML\\CustomControlXML\\LightControl.xml"));
        ASSERT_NE(root, nullptr) << vx::widgets::CDialogBuilder::LastError().toStdString();
        m_root.reset(root);
        panel = qobject_cast<vx::panels::CLightControlUI*>(root);
        ASSERT_NE(panel, nullptr) << "the layout's root is not the panel class";
        manager.AttachRoot(root);
        manager.AddNotifier(&recorder);
    }

    void TearDown() override { manager.RemoveNotifier(&recorder); }

    // The panel of a device kind with its mode list from the shipped "default_light.json".
    void ShowKind(int32_t kind, int32_t lightTableIndex) {
        panel->SetDeviceKind(kind);
        ASSERT_TRUE(panel->LoadModeList(DefaultLightFile().toStdString(), lightTableIndex));
    }

    QWidget* Find(const char* name) const { return panel->Control(QString::fromLatin1(name)); }

    std::unique_ptr<QWidget> m_root;
    vx::panels::CLightControlUI* panel = nullptr;
    vx::widgets::CPaintManagerUI manager;
    NotifyRecorder recorder;
};

// What the routing hands a handler: a value (slider, combo position, colour), a row's constant
// (a colour channel, the direction), or the index of a swatch.
inline vx::widgets::ControlEvent At(qint64 param) {
    vx::widgets::ControlEvent event;
    event.param = param;
    return event;
}
inline vx::widgets::ControlEvent Row(int rowValue) {
    vx::widgets::ControlEvent event;
    event.rowValue = rowValue;
    return event;
}
inline vx::widgets::ControlEvent Index(int index) {
    vx::widgets::ControlEvent event;
    event.index = index;
    return event;
}

}  // namespace lightpanel_test
