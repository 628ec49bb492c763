#pragma once

#include <QString>
#include <QTranslator>

namespace zep {

// Qt's own texts in German while it lives: the standard buttons ("Ja",
// "Abbrechen"), the file dialogs and their questions ("... existiert
// bereits. Soll sie überschrieben werden?"). Made right after the
// application object. Without the translation file (Debian package
// qt6-translations-l10n) these stay English and the program runs as ever.
class QtTranslation {
public:
    explicit QtTranslation(const QString &directory = defaultDirectory());
    ~QtTranslation();
    QtTranslation(const QtTranslation &) = delete;
    QtTranslation &operator=(const QtTranslation &) = delete;

    bool loaded() const { return m_loaded; }

    // Where Qt's own translations are installed.
    static QString defaultDirectory();

private:
    QTranslator m_translator;
    bool m_loaded = false;
};

} // namespace zep
