#pragma once

#include <QString>

namespace vx::app {

// The interface language: which entry of "Language.config" (default-data folder) is in use. The
// choice is kept as the value "LANGUAGE" (the entry's "Language_ID") in the user's configuration
// file, $XDG_CONFIG_HOME/VexorUmbrelControlCenter/VexorUmbrelControlCenter.conf.
class CLanguageSettings {
public:
    // Identifier used when the configuration has no value.
    static constexpr int kDefaultLanguageId = 520;

    // The position in "Language.config" of the configured language; 0 when it is missing,
    // unknown, or the file cannot be read.
    static int ReadLanguageIndex();
    // The configured identifier, or kDefaultLanguageId.
    static int ReadLanguageId();
    static bool WriteLanguageId(int id);

    struct Entry {
        int id = 0;
        QString name;
        QString file;
    };
    // Entry "Language"[index]; false (and an empty entry) when there is none.
    static bool LanguageEntry(int index, Entry* entry);

    // The interface face for a change from the language `currentId` (-1: none yet) to
    // `languageId` ("Language_ID" of the entries); empty when the fonts stay. Chosen by the
    // language's identifier, not by its position in "Language.config", so that reordering or
    // adding entries never hands a language another script's face.
    static QString FontFaceFor(int languageId, int currentId);
    // Fills the shared font table in `face`: the default font and the numbered ones.
    static void RegisterFonts(const QString& face);

    // Applies a language: font rule, language file, texts, stored choice. Nothing happens when
    // index is the current one. False when nothing changed.
    bool Apply(int index);
    int CurrentIndex() const { return m_current; }

private:
    int m_current = -1;
    int m_currentId = -1;
};

}  // namespace vx::app
