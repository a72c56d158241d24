#include "app/LightingSyncPages.h"

#include <QWidget>
#include <array>

#include "app/PagePanels.h"
#include "devices/TavimondUSBDevice.h"
#include "devices/lighting/LedFrame.h"
#include "panels/LightControlUI.h"
#include "widgets/PaintManagerUI.h"

using vx::devices::CTavimondUSBDevice;
using vx::panels::CLightControlUI;

namespace vx::app {

using vx::lighting::CLightingSync;
using vx::lighting::ILightingSyncTarget;
using vx::lighting::SharedEffect;
using vx::lighting::SyncEffectState;

using vx::lighting::sync::SyncKind;

bool PageSyncTarget::IsLinkConnected() const {
    return m_page.CommandLink().IsConnected();
}

bool PageSyncTarget::IsLinkHeld() const {
    return m_page.CommandLink().IsHeld();
}

void PageSyncTarget::SetLinkHeld(bool held) {
    m_page.CommandLink().SetHeld(held);
}

void PageSyncTarget::SetLight(int index, vx::lighting::sync::Rgb colour, uint8_t brightness) {
    m_page.SetLed(index, vx::lighting::LedEntry{colour.red, colour.green, colour.blue, brightness}.Pack());
}

bool CLightingSyncPages::KindOf(const CTavimondUSBDevice& page, SyncKind& kind) {
    switch (page.GetKind()) {
        case 1:
        case 9:
            kind = SyncKind::Keyboard;
            return true;
        case 2:
        case 6:
            kind = SyncKind::Mouse;
            return true;
        case 3:
            kind = SyncKind::Mousepad;
            return true;
        case 7:
            kind = SyncKind::Headset;
            return true;
        default:
            return false;
    }
}

bool CLightingSyncPages::AddPage(CTavimondUSBDevice* page) {
    if (page == nullptr) return false;
    if (SlotOf(page) >= 0) return true;
    SyncKind kind{};
    if (!KindOf(*page, kind)) return false;
    auto target = std::make_unique<PageSyncTarget>(*page);
    const int slot = m_sync.AddTarget(target.get(), kind, page->GetLedCount());
    if (slot < 0) return false;
    m_targets.push_back(std::move(target));
    m_slots.push_back(slot);
    return true;
}

int CLightingSyncPages::SlotOf(const CTavimondUSBDevice* page) const {
    for (size_t i = 0; i < m_targets.size(); ++i) {
        if (&m_targets[i]->Page() == page) return m_slots[i];
    }
    return -1;
}

int CLightingSyncPages::Adopt(CTavimondUSBDevice* current) {
    if (current == nullptr) return 0;
    SyncKind sourceKind{};
    if (!KindOf(*current, sourceKind)) return 0;
    const LightInfo source = current->GetLightInfo();
    const int type = CLightingSync::SharedTypeOf(sourceKind, source.selectItem);
    if (type < 0) return 0;

    SharedEffect effect;
    effect.type = static_cast<uint8_t>(type);
    effect.brightness = source.light;
    effect.speed = source.speed;
    effect.direction = source.fx;
    effect.multicolour = source.multiColor;
    effect.colour = {source.red, source.green, source.blue};
    m_sync.SetSharedEffect(effect);

    constexpr std::array<SyncKind, 4> kOrder = {SyncKind::Keyboard, SyncKind::Mouse, SyncKind::Mousepad,
                                                SyncKind::Headset};
    for (SyncKind kind : kOrder) {
        for (size_t i = 0; i < m_targets.size(); ++i) {
            const int slot = m_slots[i];
            if (m_sync.Kind(slot) != kind) continue;
            CTavimondUSBDevice& page = m_targets[i]->Page();
            if (!page.CommandLink().IsConnected()) continue;
            // Held before marked: the worker treats a synchronised page without the flag as one
            // that has reread its settings and lets it go.
            page.CommandLink().SetHeld(true);
            m_sync.SetLightCount(slot, page.GetLedCount());
            m_sync.Enter(slot);
            // Only the effect's own settings travel; the page keeps its mode option, custom
            // group and previous mode.
            LightInfo info = page.GetLightInfo();
            info.light = source.light;
            info.speed = source.speed;
            info.fx = source.fx;
            info.multiColor = source.multiColor;
            info.red = source.red;
            info.green = source.green;
            info.blue = source.blue;
            info.selectItem = static_cast<uint8_t>(CLightingSync::EffectNumberOf(kind, type));
            page.SetLightInfo(info);
            if (m_panelShow) {
                m_panelShow(page, info);
            } else if (CLightControlUI* panel = CPagePanels::LightPanelOf(&page)) {
                panel->SetLightInfo(info);
            }
            page.SaveProfile();
            // The settings block is built from the page's lighting state, not from the record
            // just stored.
            page.LoadLightingState();
            page.WriteSettings(0, 0, 1, m_screen.width(), m_screen.height());
        }
    }
    return 1;
}

void CLightingSyncPages::Leave(CTavimondUSBDevice* page) {
    m_sync.Leave(SlotOf(page));
}

bool CLightingSyncPages::IsSynchronised(const CTavimondUSBDevice* page) const {
    return m_sync.IsSynchronised(SlotOf(page));
}

}  // namespace vx::app
