#pragma once

#include <QPointer>
#include <functional>

#include "widgets/TabLayoutUI.h"

class QWidget;
namespace vx::widgets { class CPaintManagerUI; }
namespace vx::app {

class CDeviceOptionUI;


// The row of selector entries ("device_select_layout") with the two tab layouts it switches
// ("device_switch": the device pages, "device_power_switch": the power indicators) and the
// "No_device_Link" notice. Entries are addressed by their position in the row. UI thread only.
class CDeviceSelector {
public:
    struct Hooks {
        // Closes the secondary windows (before the selected entry goes).
        std::function<void()> closeSecondaryWindows;
        // Ends a recording of the input hook (called when the selected device goes while the
        // selector is locked for it).
        std::function<void()> endRecording;
        // Synchronised lighting is possible (two or more visible entries).
        std::function<void(bool)> syncAvailable;
    };

    // Finds the four controls once; a missing one makes what needs it do nothing.
    void Attach(vx::widgets::CPaintManagerUI& pm);
    void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    QWidget* Row() const { return m_row; }
    vx::widgets::CTabLayoutUI* PageTabs() const { return m_pages; }
    vx::widgets::CTabLayoutUI* PowerTabs() const { return m_power; }

    void AddEntry(CDeviceOptionUI* entry);
    int EntryCount() const;
    CDeviceOptionUI* Entry(int index) const;
    int IndexOf(const CDeviceOptionUI* entry) const;

    void ShowEntry(int index, bool visible, bool select);
    void HideEntry(int index);
    // Number of visible entries; first receives the position of the first (-1 with none).
    int CountConnected(int* first = nullptr) const;
    // Shows or hides "No_device_Link" by the visible entries.
    void UpdateNoDeviceNotice();

    // "selectchanged" of an entry's option: remembers the selected entry, shows its power tab.
    void OnSelectionChanged();
    int CurrentIndex() const { return m_current; }
    int CurrentKind() const { return m_currentKind; }
    int CurrentVariant() const { return m_currentVariant; }
    int SelectedIndex() const;
    void SelectPrevious();
    void SelectNext();

    // The selector lock: while the input hook records for the selected device, no other device
    // can be chosen (the row and the previous/next buttons take no input).
    void SetLocked(bool locked);
    bool IsLocked() const { return m_locked; }

private:
    void SelectEntry(int index);
    void ApplySyncRules();

    QPointer<QWidget> m_row;
    QPointer<vx::widgets::CTabLayoutUI> m_pages;
    QPointer<vx::widgets::CTabLayoutUI> m_power;
    QPointer<QWidget> m_noDevice;
    QPointer<QWidget> m_previous;
    QPointer<QWidget> m_next;
    Hooks m_hooks;
    bool m_locked = false;
    int m_current = -1;
    int m_currentKind = 0;
    int m_currentVariant = 0;
};

}  // namespace vx::app
