#pragma once

#include <QString>

namespace zep {

// Where a received program is to be written in the monitored directory, and
// whether it may be: for a new file from the name the user typed, for an
// update from the catalogue name of the file it replaces. No window here, so
// the rules can be tried with real directories alone.
//
// A typed name may name a file in an existing subdirectory; "/" and "\" both
// separate the levels, as in the catalogue's own names. Names are compared
// without regard to case: the catalogue keeps them in upper case, so two
// files that differ only in case would be one record.
struct ReceivedProgramTarget {
    enum class Verdict {
        Ok,
        Empty,        // nothing, or nothing in front of the extension (".cnc")
        Hidden,       // a level starts with "."; the directory walk never sees it
        Unstorable,   // a character the catalogue cannot keep
        Invalid,      // an empty level, or a name that leaves the directory
        Exists,       // a file of that name is there already (any case)
        Missing,      // update: no file of that name
        Ambiguous,    // several files or directories differ only in case
        NoDirectory,  // a subdirectory level that is not there
    };

    Verdict verdict = Verdict::Empty;
    QString path;       // the real file to write (Ok; Exists and Ambiguous: the name's file if known)
    QString storedName; // the catalogue's name for it (Ok)

    bool ok() const { return verdict == Verdict::Ok; }

    // verzeichnis ends with "/".
    static ReceivedProgramTarget forNewFile(const QString &verzeichnis, const QString &typed);
    static ReceivedProgramTarget forUpdate(const QString &verzeichnis, const QString &name);

    // Whether a file of the typed name is there already, in any case.
    static bool exists(const QString &verzeichnis, const QString &typed);

    // The main list's selection as the save dialog shows its file name:
    // noSelection() when no row is selected.
    static QString noSelection() { return QStringLiteral("?"); }
    // Whether the shown name is a file that can be taken over as the one to update.
    static bool canTakeOver(const QString &shownName);
    // Whether the shown name can be compared with: two characters at least,
    // so neither the mark for no selection nor a stray character counts.
    static bool canCompare(const QString &shownName);
};

} // namespace zep
