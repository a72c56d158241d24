#pragma once

#include <QString>

class QWidget;

namespace vxtest {
// The skin folder of the repository.
QString RepoSkinDir();
// A folder of test fixtures below tests/.
QString FixtureDir(const QString& relative);
// Renders a window (including hidden ones) to a PNG file; false when it cannot be written.
bool RenderToPng(QWidget* window, const QString& path);
// Delivers queued events for about `ms` milliseconds.
void Pump(int ms = 0);
}  // namespace vxtest
