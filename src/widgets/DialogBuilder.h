#pragma once

#include <QString>

class QWidget;
namespace vx::widgets {

class IDialogBuilderCallback;

// Builds a Qt Designer layout (.ui document, kept under the skin's layout file names) into a
// control tree. Each element's class is resolved in this order: the builder callback (the
// program's element names and sub-layouts), the control factory (registered and standard
// classes, any letter case), then Qt's own classes. An element that resolves nowhere is left out.
class CDialogBuilder {
public:
    // `layout` is a resource name of res.xml ("XML_MAIN") or a file below the skin folder
    // ("XML\CustomControlXML\LightControl.xml"). Returns the root, or nullptr when the file is
    // missing or cannot be built.
    static QWidget* Create(const QString& layout, IDialogBuilderCallback* callback = nullptr,
                           QWidget* parent = nullptr);
    // The last build's error text, for diagnostics.
    static QString LastError();
};

}  // namespace vx::widgets
