#pragma once
// The two panels of the headset page: the voice panel (microphone, monitoring, equaliser presets,
// bands and the named custom equalisers) and the voice-effect panel. They only find their
// controls by name and set or read them; what the user does on them reaches the main window's
// routing and, from there, the page's audio actions. Every setter changes a control without
// raising a notification, so that showing a state never triggers an action. A control missing
// from the layout makes its operation do nothing (reads answer -1, 0 or "").
//
// UI thread only.

#include <QHash>
#include <QPointer>
#include <QString>

#include "headset/audio/HeadsetAudioPanels.h"
#include "widgets/ContainerUI.h"

namespace vx::widgets {
class CComboUI;
class CSliderUI;
class COptionUI;
}  // namespace vx::widgets

namespace vx::headset {

class CVoice6533ControlUI : public vx::widgets::CHorizontalLayoutUI, public VoicePanel {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "CVoice6533ControlUI";
    // The element name of the layouts ("Voice6533Control") and the class name.
    static void RegisterControlClass();

    explicit CVoice6533ControlUI(QWidget* parent = nullptr);

    void SetDeviceKind(int32_t kind) { m_deviceKind = kind; }
    int32_t GetDeviceKind() const { return m_deviceKind; }
    int32_t CurrentPreset() const { return m_preset; }

    void SelectEqPreset(int32_t preset) override;
    void EnableEqSliders(bool on) override;
    void SetEqSlider(int32_t band, int32_t value) override;
    int32_t GetEqSlider(int32_t band) override;
    void SetMicSwitch(bool on) override;
    void SetMicSlider(int32_t value) override;
    int32_t GetMicSlider() override;
    void SetMonitorSwitch(bool on) override;
    void SetMonitorSlider(int32_t value) override;
    int32_t GetMonitorSlider() override;
    void SetCustomEqNameText(const std::u16string& text);
    std::u16string GetCustomEqNameText() override;
    void AddCustomEqName(const std::u16string& name) override;
    int32_t GetCustomEqIndex() override;
    int32_t GetCustomEqCount() override;
    void SelectCustomEq(int32_t position) override;
    void RemoveCustomEqName(int32_t position) override;
    void ClearCustomEqNames() override;
    std::u16string GetCustomEqName(int32_t position) override;

private:
    // The control of that name below the panel, remembered once found.
    QWidget* Control(const char* name);
    vx::widgets::COptionUI* Option(const char* name);
    vx::widgets::CSliderUI* Slider(const char* name);
    vx::widgets::CComboUI* Combo();

    int32_t m_deviceKind = 0;
    int32_t m_preset = 0;
    QHash<QString, QPointer<QWidget>> m_controls;
};

class CMagicControlUI : public vx::widgets::CHorizontalLayoutUI, public VoiceEffectPanel {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "CMagicControlUI";
    // The element name of the layouts ("MagicControl") and the class name.
    static void RegisterControlClass();

    explicit CMagicControlUI(QWidget* parent = nullptr);

    void SetDeviceKind(int32_t kind) { m_deviceKind = kind; }
    int32_t GetDeviceKind() const { return m_deviceKind; }
    int32_t CurrentEffect() const { return m_effect; }

    void EnableVoiceEffectOptions(bool on) override;
    void SetVoiceEffectSwitch(bool on) override;
    bool IsVoiceEffectOn() override;
    void SelectVoiceEffectOption(int32_t effect) override;

private:
    vx::widgets::COptionUI* EnableOption();
    QWidget* OptionLayout();

    int32_t m_deviceKind = 0;
    int32_t m_effect = 0;
    QPointer<QWidget> m_enableOption;
    QPointer<QWidget> m_optionLayout;
};

}  // namespace vx::headset
