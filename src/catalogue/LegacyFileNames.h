#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zep {

// A file or folder in the monitored directory whose name is no UTF-8: the
// bytes of a Windows-1252 name, as old DOS and Windows archives and some
// USB sticks bring them ("P\xe4.NC"). Qt reads such a name with a
// replacement character, so it can be neither catalogued nor opened under
// it; its Windows-1252 reading can be ("Pä.NC").
struct LegacyName {
    QByteArray directory; // the real directory it lies in, ending with "/"
    QByteArray name;      // its bytes
    QString reading;      // the name's Windows-1252 reading: the name it is offered
    QString place;        // its folder below the monitored directory ("Drehen/"), for the user
    bool isDirectory = false;

    QByteArray path() const { return directory + name; }
    QString key() const;     // one per real path, for telling each once
    QString shownNow() const; // "Drehen/P�.NC", as the user's file manager shows it
    QString shownNew() const; // "Drehen/Pä.NC"
};

// Whether such a name is offered for renaming, and the renaming itself.
class LegacyFileNames {
public:
    // The Windows-1252 reading of a name that is no UTF-8, when the catalogue
    // can store it. None for a UTF-8 name, and none when the bytes are no
    // Windows-1252 text either (one of the five bytes the code page leaves
    // undefined, a control character, "\" or '"').
    static std::optional<QString> reading(const QByteArray &name);

    struct Outcome {
        QList<LegacyName> renamed;
        QList<LegacyName> taken; // a file or folder of the new name is there already
        QStringList failed;      // "Drehen/P�.NC (keine Berechtigung)"
        bool any() const { return !renamed.isEmpty(); }
    };

    // Renames each to its reading, one after the other. Never over an
    // existing name, nor beside one that differs only in letter case: the
    // catalogue could not tell the two apart. Such a file keeps its name.
    static Outcome renameAll(const QList<LegacyName> &names);
};

} // namespace zep
