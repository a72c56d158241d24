#pragma once
// What a device page needs of the lighting panel that shows its records: the page shows them after
// every refresh, without depending on the panel's module (the panel implements this).

#include "records/LightRecords.h"

namespace vx::devices {

class ILightRecordView {
public:
    virtual ~ILightRecordView() = default;
    virtual void ShowLightRecord(const LightInfo& info) = 0;
    virtual void ShowAudioLightRecord(const AudioLightInfo& info) = 0;
    // The keyboard's custom colour group (a position in the group list).
    virtual void ShowCustomGroup(int group) = 0;
};

}  // namespace vx::devices
