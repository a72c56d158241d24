#include "app/DeviceSelector.h"

#include <QLayout>

#include "app/DeviceOptionUI.h"
#include "widgets/ContainerUI.h"
#include "widgets/ControlUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"

using vx::widgets::CContainerUI;
using vx::widgets::CPaintManagerUI;
namespace ui = vx::widgets::ui;
using vx::widgets::CTabLayoutUI;

namespace vx::app {

void CDeviceSelector::Attach(CPaintManagerUI& pm) {
    m_row = pm.FindControl("device_select_layout");
    m_pages = pm.FindControl<CTabLayoutUI>("device_switch");
    m_power = pm.FindControl<CTabLayoutUI>("device_power_switch");
    m_noDevice = pm.FindControl("No_device_Link");
    m_previous = pm.FindControl("device_select_prev");
    m_next = pm.FindControl("device_select_next");
}

void CDeviceSelector::SetLocked(bool locked) {
    m_locked = locked;
    ui::SetEnabled(m_row, !locked);
    ui::SetEnabled(m_previous, !locked);
    ui::SetEnabled(m_next, !locked);
}

void CDeviceSelector::AddEntry(CDeviceOptionUI* entry) {
    if (!m_row || entry == nullptr) return;
    if (auto* container = qobject_cast<CContainerUI*>(m_row.data())) {
        container->Add(entry);
    } else if (m_row->layout() != nullptr) {
        entry->setParent(m_row);
        m_row->layout()->addWidget(entry);
    }
}

int CDeviceSelector::EntryCount() const {
    if (!m_row || m_row->layout() == nullptr) return 0;
    return m_row->layout()->count();
}

CDeviceOptionUI* CDeviceSelector::Entry(int index) const {
    if (index < 0 || index >= EntryCount()) return nullptr;
    QLayoutItem* item = m_row->layout()->itemAt(index);
    return item ? qobject_cast<CDeviceOptionUI*>(item->widget()) : nullptr;
}

int CDeviceSelector::IndexOf(const CDeviceOptionUI* entry) const {
    if (!m_row || m_row->layout() == nullptr || entry == nullptr) return -1;
    return m_row->layout()->indexOf(const_cast<CDeviceOptionUI*>(entry));
}

int CDeviceSelector::CountConnected(int* first) const {
    int count = 0;
    if (first) *first = -1;
    for (int i = 0; i < EntryCount(); ++i) {
        CDeviceOptionUI* entry = Entry(i);
        if (entry == nullptr || !ui::IsVisible(entry)) continue;
        if (count == 0 && first) *first = i;
        ++count;
    }
    return count;
}

void CDeviceSelector::UpdateNoDeviceNotice() {
    ui::SetVisible(m_noDevice, CountConnected() == 0);
}

void CDeviceSelector::ShowEntry(int index, bool visible, bool select) {
    CDeviceOptionUI* entry = Entry(index);
    if (entry == nullptr) return;
    entry->setVisible(visible);
    if (select) SelectEntry(index);
    entry->SetSelected(select);
    if (select) OnSelectionChanged();

    if (CountConnected() == 0) {
        ui::SetVisible(m_noDevice, true);
        if (m_power) m_power->SelectItem(0);
        if (m_pages) m_pages->SelectItem(0);
        m_current = -1;
    } else {
        ui::SetVisible(m_noDevice, false);
    }
    ApplySyncRules();
}

void CDeviceSelector::SelectEntry(int index) {
    CDeviceOptionUI* entry = Entry(index);
    if (m_pages && entry->GetPageTabIndex() >= 0) m_pages->SelectItem(entry->GetPageTabIndex());
    if (!m_power) return;
    if (entry->GetPowerTabIndex() < 0) {
        m_power->setVisible(false);
    } else {
        m_power->setVisible(true);
        m_power->SelectItem(entry->GetPowerTabIndex());
    }
}

void CDeviceSelector::ApplySyncRules() {
    int visible = 0;
    int marked = 0;
    for (int i = 0; i < EntryCount(); ++i) {
        CDeviceOptionUI* entry = Entry(i);
        if (entry == nullptr || !ui::IsVisible(entry)) continue;
        ++visible;
        if (entry->IsSyncMarked()) ++marked;
    }
    if (m_hooks.syncAvailable) m_hooks.syncAvailable(visible >= 2);
    if (marked >= 2) return;
    for (int i = 0; i < EntryCount(); ++i) {
        if (CDeviceOptionUI* entry = Entry(i); entry && entry->IsSyncMarked()) entry->SetSyncMark(false);
    }
}

void CDeviceSelector::HideEntry(int index) {
    CDeviceOptionUI* entry = Entry(index);
    if (entry == nullptr) return;
    int other = -1;
    if (ui::IsVisible(entry) && entry->IsSelected()) {
        if (m_hooks.closeSecondaryWindows) m_hooks.closeSecondaryWindows();
        if (m_locked) {
            if (m_hooks.endRecording) m_hooks.endRecording();
            SetLocked(false);
        }
        for (int i = 0; i < EntryCount(); ++i) {
            CDeviceOptionUI* candidate = Entry(i);
            if (i != index && candidate && ui::IsVisible(candidate)) {
                other = i;
                break;
            }
        }
    }
    ShowEntry(index, false, false);
    if (other >= 0) ShowEntry(other, true, true);
}

int CDeviceSelector::SelectedIndex() const {
    for (int i = 0; i < EntryCount(); ++i) {
        if (CDeviceOptionUI* entry = Entry(i); entry && entry->IsSelected()) return i;
    }
    return -1;
}

void CDeviceSelector::OnSelectionChanged() {
    const int index = SelectedIndex();
    CDeviceOptionUI* entry = Entry(index);
    if (entry == nullptr) return;
    m_current = index;
    m_currentKind = entry->GetIconKind();
    m_currentVariant = entry->GetIconVariant();
    if (m_pages && entry->GetPageTabIndex() >= 0) m_pages->SelectItem(entry->GetPageTabIndex());
    if (!m_power) return;
    m_power->setVisible(entry->GetPowerTabIndex() >= 0);
    if (entry->GetPowerTabIndex() >= 0) m_power->SelectItem(entry->GetPowerTabIndex());
}

void CDeviceSelector::SelectPrevious() {
    if (m_locked) return;
    const int selected = SelectedIndex();
    for (int i = selected - 1; i >= 0; --i) {
        if (CDeviceOptionUI* entry = Entry(i); entry && ui::IsVisible(entry)) {
            ShowEntry(i, true, true);
            return;
        }
    }
}

void CDeviceSelector::SelectNext() {
    if (m_locked) return;
    const int selected = SelectedIndex();
    for (int i = selected + 1; i < EntryCount(); ++i) {
        if (CDeviceOptionUI* entry = Entry(i); entry && ui::IsVisible(entry)) {
            ShowEntry(i, true, true);
            return;
        }
    }
}

}  // namespace vx::app
