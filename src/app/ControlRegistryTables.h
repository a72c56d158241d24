#pragma once

#include <vector>

class QWidget;
namespace vx::app {


struct RegistryClass {
    const char* name;
    QWidget* (*create)(QWidget* parent);
};

struct RegistryLayout {
    const char* name;
    const char* file;
};

// Class names registered with the control factory.
const std::vector<RegistryClass>& ControlClassTable();
// Element names the main window's builder callback creates as one control.
const std::vector<RegistryClass>& ElementClassTable();
// Element names the main window's builder callback builds from a sub-layout.
const std::vector<RegistryLayout>& ElementLayoutTable();

}  // namespace vx::app
