#include "app/MusicWnd.h"

#include <utility>

#include "platform/DebugLog.h"
#include "profiles/StringUtil.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/SliderUI.h"

using vx::widgets::COptionUI;
using vx::widgets::CSliderUI;
using vx::widgets::TNotifyUI;
namespace ui = vx::widgets::ui;
namespace notify = vx::widgets::notify;

namespace vx::app {

using vx::platform::DebugLog;

namespace {

constexpr const char* kTabs[4] = {"audio_select_tab1", "audio_select_tab2", "audio_select_tab3",
                                  "audio_select_tab4"};
constexpr const char* kSliders[3] = {"audio_r_slider", "audio_g_slider", "audio_b_slider"};
constexpr const char* kNames[4] = {"audio_edit_name1", "audio_edit_name2", "audio_edit_name3",
                                   "audio_edit_name4"};

int IndexOf(const QWidget* control, const char* const* names, int count) {
    if (control == nullptr) return -1;
    for (int i = 0; i < count; ++i) {
        if (control->objectName().compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

}  // namespace

QString MusicWnd::DefaultName(int style) {
    static const char16_t* const kDefaults[4] = {u"第一组", u"第二组", u"第三组", u"第四组"};
    return style >= 0 && style < 4 ? QString::fromUtf16(kDefaults[style]) : QString();
}

bool MusicWnd::FindControls() {
    for (int i = 0; i < 4; ++i) {
        if (!m_tabs[i]) m_tabs[i] = m_pm.FindControl<COptionUI>(kTabs[i]);
    }
    for (int i = 0; i < 3; ++i) {
        if (!m_sliders[i]) m_sliders[i] = m_pm.FindControl<CSliderUI>(kSliders[i]);
    }
    for (auto* tab : m_tabs) {
        if (!tab) return false;
    }
    for (auto* slider : m_sliders) {
        if (!slider) return false;
    }
    return true;
}

void MusicWnd::InitWindow() {
    if (!FindControls()) {
        DebugLog("GetAudioLightInfo control is NULL");
        return;
    }
    for (CSliderUI* slider : m_sliders) {
        slider->SetMinValue(0);
        slider->SetMaxValue(kSliderMax);
    }
    if (m_styles.selected < 4) {
        m_tabs[m_styles.selected]->Selected(true);
        ShowStyle(m_styles.selected);
    }
    for (int i = 0; i < 4; ++i) {
        ui::SetText(m_pm.FindControl(kNames[i]), QString::fromStdU16String(m_styles.names[i]));
    }
}

void MusicWnd::ShowStyle(int style) {
    for (int c = 0; c < 3; ++c) {
        if (m_sliders[c]) m_sliders[c]->SetValue(m_styles.colours[style * 3 + c]);
    }
}

int MusicWnd::SelectedTab() const {
    for (int i = 0; i < 4; ++i) {
        if (m_tabs[i] && m_tabs[i]->IsSelected()) return i;
    }
    return 0;
}

void MusicWnd::Notify(TNotifyUI& msg) {
    if (msg.pSender == nullptr) return;
    if (!FindControls()) {
        DebugLog("GetAudioLightInfo control is NULL");
    }
    if (msg.sType == notify::kSelectChanged) {
        const int tab = IndexOf(msg.pSender, kTabs, 4);
        if (tab < 0) return;
        m_styles.selected = static_cast<uint8_t>(tab);
        ShowStyle(tab);
    } else if (msg.sType == notify::kValueChanged) {
        const int channel = IndexOf(msg.pSender, kSliders, 3);
        if (channel < 0 || !m_sliders[channel]) return;
        m_styles.colours[SelectedTab() * 3 + channel] = static_cast<uint8_t>(m_sliders[channel]->GetValue());
    } else if (msg.sType == notify::kKillFocus) {
        const int style = IndexOf(msg.pSender, kNames, 4);
        if (style < 0) return;
        QString name = ui::GetText(msg.pSender);
        if (name.isEmpty()) {
            name = DefaultName(style);
            ui::SetText(msg.pSender, name);
        }
        m_styles.names[style] = name.toStdU16String();
    } else if (msg.sType == notify::kClick) {
        if (msg.pSender->objectName().compare(QLatin1String("closebtn"), Qt::CaseInsensitive) == 0) {
            m_result = 0;
            Close(0);
        } else if (msg.pSender->objectName() == QLatin1String("okbtn")) {
            m_result = 1;
            Close(1);
        }
    }
}

void MusicWnd::OnFinalMessage() {
    if (auto finished = std::exchange(m_finished, nullptr)) finished(m_result, m_styles);
}

}  // namespace vx::app
