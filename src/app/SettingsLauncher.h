#pragma once
// The main window's settings window: opening it (once at a time) with the products to ask the
// update service about, forwarding the updater's progress and language changes to it, and the
// update badge on the title bar's "setbtn".

#include <QPointer>
#include <string>
#include <vector>

#include "update/UpdateCheck.h"
#include "widgets/WindowMessages.h"

class QWidget;
namespace vx::update { class CSetWnd; }
namespace vx::app {

class CDevicePageSet;

class CSettingsLauncher {
public:
    // Scaled pixels between the main window's right edge and top and the window opened from
    // "setbtn".
    static constexpr int kRightInset = 30;
    static constexpr int kTopInset = 60;

    explicit CSettingsLauncher(QWidget* owner) : m_owner(owner) {}
    ~CSettingsLauncher();

    // Opens the settings window unless it is open: centred over the owner, or at its right.
    // The owner takes no input while it is open; the call returns at once.
    void Open(bool rightAligned, vx::widgets::WindowHandle ownerHandle, int dpi, int languageIndex, uint progressMessage,
              std::vector<vx::update::ProductEntry> candidates);
    vx::update::CSetWnd* Window() const { return m_window.data(); }
    void ForwardProgress(uint message, quintptr wParam, qintptr lParam);
    void LanguageChanged();
    // The program is going away or the owner hides: the window goes, whatever its rows show.
    void Close();

    // The product table with the local versions of this machine: each kind's first connected
    // device page gives its firmware version, the program its own version.
    static std::vector<vx::update::ProductEntry> Candidates(const CDevicePageSet* pages,
                                                            const std::string& programVersion);
    // Removes the update badge (the fore image) of "setbtn".
    static void ClearUpdateMark(QWidget* setButton);

private:
    QWidget* m_owner;
    QPointer<vx::update::CSetWnd> m_window;
};

}  // namespace vx::app
