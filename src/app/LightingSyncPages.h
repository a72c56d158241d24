#pragma once
// The UI side of same-mode lighting: the device pages as synchronisation targets, and adopting
// the current page's effect ("deng_same_mode") for every connected page.
//
// UI thread only; the worker reaches the pages only through their PageSyncTarget.

#include <QSize>
#include <functional>
#include <memory>
#include <vector>

#include "devices/lighting/LightingSync.h"
#include "profiles/ProfileRecords.h"

namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::app {


// A device page as the worker sees it: its command link's flags and its LED frame, both safe to
// touch from the worker.
class PageSyncTarget : public vx::lighting::ILightingSyncTarget {
public:
    explicit PageSyncTarget(vx::devices::CTavimondUSBDevice& page) : m_page(page) {}
    bool IsLinkConnected() const override;
    bool IsLinkHeld() const override;
    void SetLinkHeld(bool held) override;
    void SetLight(int index, vx::lighting::sync::Rgb colour, uint8_t brightness) override;
    vx::devices::CTavimondUSBDevice& Page() const { return m_page; }

private:
    vx::devices::CTavimondUSBDevice& m_page;
};

class CLightingSyncPages {
public:
    // Shows an adopted effect on a page's lighting panel (by default the panel inside the page).
    using PanelShow = std::function<void(vx::devices::CTavimondUSBDevice&, const LightInfo&)>;

    explicit CLightingSyncPages(vx::lighting::CLightingSync& sync) : m_sync(sync) {}

    // Registers a page (once; pages are never removed). False for a page of no synchronisable
    // kind or when the table is full.
    bool AddPage(vx::devices::CTavimondUSBDevice* page);
    void SetPanelShow(PanelShow show) { m_panelShow = std::move(show); }
    void SetScreenSize(QSize size) { m_screen = size; }

    // Makes the page's effect the shared one and puts every connected page into it. 1 adopted;
    // 0 when there is no page or its effect has no shared equivalent (nothing changes then).
    int Adopt(vx::devices::CTavimondUSBDevice* current);
    // Takes the page out (a user change of its lighting); its own lighting resumes.
    void Leave(vx::devices::CTavimondUSBDevice* page);
    bool IsSynchronised(const vx::devices::CTavimondUSBDevice* page) const;

    // The page's kind for the tables; false for a page that cannot take part.
    static bool KindOf(const vx::devices::CTavimondUSBDevice& page, vx::lighting::sync::SyncKind& kind);
    vx::lighting::CLightingSync& Sync() { return m_sync; }

private:
    int SlotOf(const vx::devices::CTavimondUSBDevice* page) const;

    vx::lighting::CLightingSync& m_sync;
    std::vector<std::unique_ptr<PageSyncTarget>> m_targets;
    std::vector<int> m_slots;
    PanelShow m_panelShow;
    QSize m_screen;
};

}  // namespace vx::app
