#pragma once

#include <QString>

namespace zep {

// The stored form of a catalogued file's name and its way back to a real
// file. The database and FileListe.dat keep names relative to the monitored
// directory, upper case, with "\" between levels (DREHEN\P4711.NC); the
// files themselves lie on a case-sensitive file system under any case.
class CatalogueNames {
public:
    struct Resolved {
        QString path;           // the real file; empty when none or ambiguous
        bool ambiguous = false; // more than one real file maps to the name
        // Where the file is looked for, as a message names it: the directory
        // with its separator, then the stored levels with "/" between them.
        QString shown;
        bool found() const { return !path.isEmpty(); }
    };

    // Upper case character by character, so the length never changes:
    // "ß" stays "ß" (never "SS"), "ä" becomes "Ä".
    static QString upperKeepLength(const QString &text);
    static bool sameIgnoringCase(const QString &a, const QString &b);

    // Whether a file or directory name can be catalogued: the code page of
    // FileListe.dat holds it, and it has no "\" (a level break in a stored
    // name), no '"' (the end of a quoted value there) and no control
    // character (a CR or LF would split it in the list of new files).
    static bool isStorableFileName(const QString &name);

    // A file or directory name that starts with "." is hidden: the directory
    // check never sees it and the backup leaves it out, so a program under
    // such a name would drop out of the catalogue and the archives alike.
    static bool isHiddenName(const QString &name);
    // Why such a name is refused, for the name as the user typed it.
    static QString hiddenNameText(const QString &typed);

    // "drehen/p1.nc" -> "DREHEN\P1.NC".
    static QString toStoredName(const QString &relativeNativePath);

    // dir with "/" at the end; empty stays empty (never the root).
    static QString ensureTrailingSeparator(const QString &dir);

    // Finds the real file for a stored name below baseDir, level by level,
    // matching names case-insensitively. "." and ".." levels never match, so
    // a stored name cannot reach outside baseDir. This is the one way from
    // the monitored directory and a record's name to a file: a directory
    // setting without its closing "/" must not glue the two together.
    static Resolved resolveStoredName(const QString &baseDir, const QString &storedName);

    // baseDir with its separator + the stored levels joined by "/": the path
    // a message names for a stored name, found or not.
    static QString shownPath(const QString &baseDir, const QString &storedName);

    // The message for a stored name that several real files (case twins)
    // map to: no command guesses which of them the record means.
    static QString twinsText(const QString &storedName);

    // The real path at which to create the file for a stored name: existing
    // directory levels under their real case, new levels as given. When the
    // file itself already exists under another case, its real path, so the
    // tree never holds two files for one stored name. Empty when the name is
    // invalid or an existing level is ambiguous.
    static QString storedPathForNewFile(const QString &baseDir, const QString &storedName);
};

} // namespace zep
