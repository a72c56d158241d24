#include "panels/PanelPrompts.h"

#include <QCursor>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include "widgets/FileDialogs.h"
#include "widgets/MenuWnd.h"
#include "widgets/MsgWnd.h"
#include "widgets/ResourceManager.h"

namespace vx::panels {

using vx::widgets::CMenuWnd;
using vx::widgets::CResourceManager;
using vx::widgets::ShowMessageBox;
namespace ui = vx::widgets::ui;

namespace {

QString QtFilter(const QString& filterName, const QString& pattern) {
    if (filterName.contains(QLatin1Char('('))) return filterName;
    QString patterns = pattern;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return filterName + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
}

class StandalonePrompts : public IPanelPrompts {
public:
    QString OpenFile(const QString& filterName, const QString& pattern) override {
        return ui::AskOpenFile(parent, QtFilter(filterName, pattern));
    }
    QString SaveFile(const QString& filterName, const QString& pattern) override {
        const QString first = pattern.section(QLatin1Char(';'), 0, 0).trimmed();
        return ui::AskSaveFile(parent, QtFilter(filterName, pattern),
                               first.startsWith(QLatin1String("*.")) ? first.mid(2) : QString());
    }
    int Ask(const QString& key) override { return ShowMessageBox(parent, QString(), key, 96, true, 1); }
    void Tell(const QString& text, bool textIsKey) override {
        ShowMessageBox(parent, QString(), text, 96, textIsKey, 0);
    }
    void ShowMenu(const QString& layout) override {
        CMenuWnd::Show(
            layout, QCursor::pos(), CMenuWnd::kAlignLeft | CMenuWnd::kAlignTop, [](const QString&) {},
            parent);
    }
    QPointer<QWidget> parent;
};

}  // namespace

IPanelPrompts& DefaultPanelPrompts(QWidget* parent) {
    static StandalonePrompts prompts;
    prompts.parent = parent;
    return prompts;
}

void TranslatePlaceholders(QWidget* panel) {
    if (panel == nullptr) return;
    for (QLineEdit* edit : panel->findChildren<QLineEdit*>()) {
        const QString hint = edit->placeholderText();
        if (!hint.startsWith(QLatin1String("%[")) || !hint.endsWith(QLatin1Char(']'))) continue;
        edit->setPlaceholderText(CResourceManager::GetInstance().GetText(hint.mid(2, hint.size() - 3)));
    }
}

}  // namespace vx::panels
