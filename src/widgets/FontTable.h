#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace vx::widgets {

// The interface's shared font table: fonts by number, and the default font that every control
// uses unless the skin's style sheet gives it a size or weight of its own. The language decides
// the face (each script needs a face that has its glyphs), so the whole table is replaced when
// the language changes.
//
// Sizes are pixel heights: the layouts were drawn for a character height in pixels, and a point
// size would grow with the screen's resolution and cut the texts off.
class CFontTable {
public:
    static constexpr int kDefaultId = -1;

    struct Entry {
        int id = kDefaultId;
        int pixelSize = 14;
        bool bold = false;
        bool underline = false;
    };

    // Empties the table; controls keep the font they have until a new default arrives.
    static void RemoveAll();
    // Adds (or replaces) one font. The face comes first; `fallbacks` are tried in order when the
    // machine lacks it. Adding the default font makes it the application's font at once.
    static void Add(const Entry& entry, const QString& face, const QStringList& fallbacks);
    static bool Has(int id);
    // The font of that number; the default font for a number the table lacks.
    static QFont Get(int id);
    // The face the table was last filled with (empty before the first fill).
    static QString Face();
    static int Count();
};

}  // namespace vx::widgets
