#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

typedef struct zip zip_t;

namespace zep {

// The backup's archive library: one archive open at a time, files queued
// into it and written together. Every call answers with a ZipResult code.
//
// An archive is written to a temporary file beside it and renamed over the
// old one only when complete, so a backup cut short leaves the previous
// archive whole. A queued file whose entry already holds the same size and
// modification time is kept as it is, not compressed again; a changed one
// replaces its entry, a new one is added. Entries whose files have gone are
// kept: the archive still holds the last copy of a deleted program.
class ZipLibrary {
public:
    ZipLibrary();
    ~ZipLibrary();
    ZipLibrary(const ZipLibrary &) = delete;
    ZipLibrary &operator=(const ZipLibrary &) = delete;

    int zOpenZipFile(const QString &archive);
    int zCreateNewZip(const QString &archive);
    // Queues one file under `nameInArchive`. Small files are read at once,
    // so a file that changes or goes away before the archive is written
    // cannot spoil the archive's other entries.
    int zOrderFile(const QString &file, const QString &nameInArchive, int flags = 0);
    // The same by the bytes of path and name, as they lie on disk: a name
    // that is no UTF-8 (written by an old DOS or Windows program) is read
    // through its real path and kept in the archive byte for byte.
    int zOrderFile(const QByteArray &path, const QByteArray &nameInArchive, int flags = 0);
    // Writes the archive (nothing when no entry changed) and closes it.
    int zCompressFiles();
    // Closes the archive; what was not written by zCompressFiles is dropped.
    void zCloseZipFile();

    bool isOpen() const { return m_zip != nullptr; }
    // Entries taken over unchanged / written anew since the archive opened.
    int keptEntries() const { return m_kept; }
    int writtenEntries() const { return m_written; }

private:
    int open(const QString &archive, int flags);

    zip_t *m_zip = nullptr;
    QHash<QByteArray, qint64> m_names;
    qint64 m_buffered = 0;
    int m_kept = 0;
    int m_written = 0;
};

} // namespace zep
