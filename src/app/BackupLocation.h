#pragma once

#include <QString>

namespace zep {

// Where the backup puts the archive of a directory: below the backup
// directory, in a tree that mirrors the directory's absolute path, one
// archive named after the directory. A path here has no drive; the root "/"
// stands where a drive would, so /home/werk/Daten/ with the backup directory
// /sicherung/ gives /sicherung/home/werk/Daten/Daten.zip. A ":" in a name
// (never a drive here) becomes "_", so the mirrored names stay plain.
class BackupLocation {
public:
    // Both directories end with "/"; source is absolute.
    static QString archiveDirectory(const QString &backupDir, const QString &source);
    static QString archiveFile(const QString &backupDir, const QString &source);
    // The parent part of the mirrored tree (backup directory + the source's
    // parent path), the level made before the archive's own directory.
    static QString parentDirectory(const QString &backupDir, const QString &source);
};

} // namespace zep
