#include "widgets/FontTable.h"

#include <QApplication>
#include <QEvent>
#include <QStyle>
#include <QWidget>
#include <map>

namespace vx::widgets {

namespace {

struct Table {
    std::map<int, QFont> fonts;
    QString face;
};

Table& Shared() {
    static Table table;
    return table;
}

// Widgets under a style sheet take their family from the application font only when they are
// polished again; without this, a page built before the change would keep the old face.
void Repolish() {
    for (QWidget* w : QApplication::allWidgets()) {
        if (w->style() == nullptr) continue;
        w->style()->unpolish(w);
        w->style()->polish(w);
        QEvent change(QEvent::FontChange);
        QCoreApplication::sendEvent(w, &change);
        w->updateGeometry();
    }
}

}  // namespace

void CFontTable::RemoveAll() {
    Shared().fonts.clear();
    Shared().face.clear();
}

void CFontTable::Add(const Entry& entry, const QString& face, const QStringList& fallbacks) {
    QFont font;
    QStringList families{face};
    families << fallbacks;
    font.setFamilies(families);
    font.setPixelSize(entry.pixelSize);
    font.setBold(entry.bold);
    font.setUnderline(entry.underline);
    // A face the machine lacks falls back to a sans-serif face, never a serif one.
    font.setStyleHint(QFont::SansSerif);
    Shared().fonts[entry.id] = font;
    Shared().face = face;
    if (entry.id == kDefaultId && qApp) {
        QApplication::setFont(font);
        Repolish();
    }
}

bool CFontTable::Has(int id) {
    return Shared().fonts.count(id) != 0;
}

QFont CFontTable::Get(int id) {
    const auto& fonts = Shared().fonts;
    auto it = fonts.find(id);
    if (it != fonts.end()) return it->second;
    it = fonts.find(kDefaultId);
    return it != fonts.end() ? it->second : QApplication::font();
}

QString CFontTable::Face() {
    return Shared().face;
}

int CFontTable::Count() {
    return static_cast<int>(Shared().fonts.size());
}

}  // namespace vx::widgets
