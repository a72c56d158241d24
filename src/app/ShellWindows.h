#pragma once
// The main window's small windows: about, audio-lighting styles and the skin panel, and the main
// window's side of the skin change (its "root" takes the new background). At most one about and
// one style window at a time; both keep the main window from taking input while they are open.

#include <QPointer>
#include <functional>

#include "app/AboutWnd.h"
#include "app/MusicWnd.h"
#include "app/SkinChange.h"
#include "app/SkinFrame.h"

class QWidget;
namespace vx::widgets { class WindowImplBase; }
namespace vx::app {

class CAudioLighting;

class CShellWindows : public SkinChangedReceiver {
public:
    CShellWindows(vx::widgets::WindowImplBase& mainWindow, std::function<CAudioLighting*()> audio);
    ~CShellWindows() override;

    // Nothing happens while the window is open already.
    void OpenAbout();
    // Shows the current styles; OK hands the edited set to the audio lighting (colour to the
    // companion, set to "AudioFile.json").
    void OpenAudioStyles();
    // A new panel under the skin button at each click.
    void OpenSkin(QWidget* anchor);
    void CloseAll();

    CAboutWnd* About() const { return m_about; }
    MusicWnd* AudioStyles() const { return m_music; }
    CSkinFrame* Skin() const { return m_skin; }

    int Receive(SkinChangedParam param) override;

private:
    vx::widgets::WindowImplBase& m_main;
    std::function<CAudioLighting*()> m_audio;
    QPointer<CAboutWnd> m_about;
    QPointer<MusicWnd> m_music;
    QPointer<CSkinFrame> m_skin;
};

}  // namespace vx::app
