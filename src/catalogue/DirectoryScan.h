#pragma once

#include "catalogue/LegacyFileNames.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zep {

class EventPump;

// What one walk of the monitored directory found. `entries` are the stored
// names (DREHEN\P1.NC) in walk order, each at most once; a name several
// files map to stands at the place of the first of them and is in `clashes`
// as well.
struct ScanOutcome {
    QStringList entries;
    // Every plain file the walk met, including the ones left out of
    // `entries` below: the count a tick compares with the last one.
    qint64 filesSeen = 0;

    // False when a directory could not be read: the walk saw only part of
    // the tree, so files missing from it may still be there.
    bool complete = true;
    bool rootMissing = false;
    QStringList unreadable;     // directories that could not be read
    QStringList tooManyFolders; // directories with more than 300 subdirectories
    QStringList clashes;        // stored names two or more files map to
    QStringList unencodable;    // real names the code page cannot hold
    // Names that are no UTF-8 but Windows-1252 bytes: not catalogued under
    // these names, offered for renaming to their reading instead. A folder
    // among them is not walked.
    QList<LegacyName> legacyNames;
};

// ScanDir: the plain, not hidden files of `path` in the order the file system
// returns them, then the same for each subdirectory in turn. `root` is the
// monitored directory the stored names are relative to.
class DirectoryScan {
public:
    static constexpr int kMaxSubdirectories = 300;

    static ScanOutcome scan(const QString &root, EventPump &pump);

    // The message for a directory with too many subdirectories.
    static QString tooManyFoldersText(const QString &path);
};

} // namespace zep
