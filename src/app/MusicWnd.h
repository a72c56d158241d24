#pragma once
// The audio-lighting style window: names and colours of the four audio styles. It edits its own
// copy of the style set; the opener takes the copy back only when the window closes with OK.

#include <array>
#include <functional>

#include "profiles/ProfileRecords.h"
#include "widgets/WindowImplBase.h"

namespace vx::widgets { class COptionUI; }
namespace vx::widgets { class CSliderUI; }
namespace vx::app {


class MusicWnd : public vx::widgets::WindowImplBase {
    Q_OBJECT
public:
    // The sliders' range: ten steps a component.
    static constexpr int kSliderMax = 9;

    explicit MusicWnd(QWidget* parent = nullptr) : WindowImplBase(parent) {}

    void SetStyles(const vx::profiles::AudioStyles& styles) { m_styles = styles; }
    const vx::profiles::AudioStyles& Styles() const { return m_styles; }

    // The name a style gets when its box is left empty.
    static QString DefaultName(int style);

    void Notify(vx::widgets::TNotifyUI& msg) override;
    // Called once when the window has closed: 1 after "okbtn", 0 otherwise.
    void SetFinishedHandler(std::function<void(int result, const vx::profiles::AudioStyles& styles)> handler) {
        m_finished = std::move(handler);
    }

protected:
    QString GetSkinFile() const override { return QStringLiteral("XML_MUSIC"); }
    QString GetWindowClassName() const override { return QStringLiteral("MusicWnd"); }
    void InitWindow() override;
    void OnFinalMessage() override;

private:
    bool FindControls();
    void ShowStyle(int style);
    int SelectedTab() const;

    vx::profiles::AudioStyles m_styles;
    int m_result = 0;
    std::function<void(int, const vx::profiles::AudioStyles&)> m_finished;
    std::array<vx::widgets::COptionUI*, 4> m_tabs{};
    std::array<vx::widgets::CSliderUI*, 3> m_sliders{};
};

}  // namespace vx::app
