#pragma once
// What a keyboard or mouse page needs of the key-assignment panel on it, without depending on
// the panel's module (the panel implements this): the page shows the chosen key's assignment,
// and the macro panel keeps the panel's macro names in step through the page.

#include <string>
#include <vector>

#include "profiles/ProfileRecords.h"

namespace vx::devices {

class IKeyAssignmentView {
public:
    virtual ~IKeyAssignmentView() = default;
    // The current and default assignment of the key the user chose on the picture.
    virtual void SetKeyAssignment(const vx::profiles::KeyEntry& entry) = 0;
    // The macro names, in list order (a key names a macro by its position).
    virtual void SetMacroList(const std::vector<std::u16string>& names) = 0;
    virtual void AddMacroItem(const std::u16string& name) = 0;
    // -1 is ignored.
    virtual void RemoveMacroItem(int position) = 0;
    // -1 and an empty name are ignored.
    virtual void RenameMacroItem(int position, const std::u16string& name) = 0;
};

}  // namespace vx::devices
