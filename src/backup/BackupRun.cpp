#include "backup/BackupRun.h"

#include "app/BackupLocation.h"
#include "app/FileNameBytes.h"
#include "app/Logbook.h"
#include "app/MemoryPolicy.h"
#include "backup/DatabaseSnapshot.h"
#include "backup/MakePath.h"
#include "backup/ServerDump.h"
#include "db/ServerAddress.h"
#include "backup/ZipResult.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace zep {

namespace {

// Names as their bytes lie on disk: a name that is no UTF-8 would not come
// back through Qt's reading of it, and its file could not be opened.
struct Listing {
    QList<QByteArray> files;
    QList<QByteArray> directories;
    bool ok = false;
};

// Plain files (also through a link) and real subdirectories, hidden ones
// left out, in name order. Devices, pipes and sockets are no files to back
// up: reading a pipe would wait for ever.
Listing list(const QByteArray &dir)
{
    Listing listing;
    DIR *d = ::opendir(dir.constData());
    if (!d)
        return listing;
    const int fd = ::dirfd(d);
    while (const dirent *entry = ::readdir(d)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        struct stat st {};
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            listing.directories.append(name);
        else if (S_ISREG(st.st_mode))
            listing.files.append(name);
        else if (S_ISLNK(st.st_mode) && ::fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            listing.files.append(name);
    }
    ::closedir(d);
    std::sort(listing.files.begin(), listing.files.end());
    std::sort(listing.directories.begin(), listing.directories.end());
    listing.ok = true;
    return listing;
}

// path lies in dir or is dir; both canonical.
bool within(const QByteArray &path, const QByteArray &dir)
{
    return !dir.isEmpty() && (path == dir || path.startsWith(dir.endsWith('/') ? dir : dir + '/'));
}

QByteArray canonical(const QByteArray &dir)
{
    char *resolved = ::realpath(dir.constData(), nullptr);
    if (!resolved)
        return {};
    const QByteArray path(resolved);
    std::free(resolved);
    return path;
}

QByteArray canonical(const QString &dir)
{
    return canonical(QFile::encodeName(dir));
}

} // namespace

void logBackupOutcome(Logbook &logbook, const BackupOutcome &outcome, const QString &backupDir)
{
    if (outcome.ok())
        logbook.LogbuchSchreiben(QStringLiteral("Backup ausgeführt: ") + backupDir);
    for (const QString &error : outcome.errors)
        logbook.LogbuchSchreiben(QStringLiteral("Backup-Fehler: ") + error);
    if (!outcome.fatal.isEmpty())
        logbook.LogbuchSchreiben(QStringLiteral("Backup-Fehler: ") + outcome.fatal);
    if (outcome.stopped)
        logbook.LogbuchSchreiben(QStringLiteral("Backup beim Beenden von ZEP abgebrochen."));
}

QStringList errorsToShow(const QStringList &errors, int most)
{
    if (errors.size() <= most)
        return errors;
    return errors.mid(0, most)
           << QStringLiteral("... und ") + QString::number(errors.size() - most)
                  + QStringLiteral(" weitere (alle im Logbuch)");
}

BackupRun::BackupRun(BackupPlan plan, Progress progress, const std::atomic_bool *stop)
    : m_plan(std::move(plan)), m_progress(std::move(progress)), m_stop(stop)
{
}

BackupOutcome BackupRun::run()
{
    // Each compressed entry sets up and frees the compressor's state.
    keepFreedMemory();
    m_outcome = {};
    m_archived.clear();
    m_archiveSources.clear();
    if (!QDir::isAbsolutePath(m_plan.backupDir)) {
        // Set by hand to a relative path: it would land wherever the program
        // was started from.
        m_outcome.errors.append(QStringLiteral("Das Backup-Verzeichnis '") + m_plan.backupDir
                                + QStringLiteral("' ist kein vollständiger Pfad!"));
        return m_outcome;
    }
    // Not made yet, it is still where it will be made.
    m_canonicalBackupDir = canonical(m_plan.backupDir);
    if (m_canonicalBackupDir.isEmpty() && !m_plan.backupDir.isEmpty())
        m_canonicalBackupDir = QFile::encodeName(QDir::cleanPath(QDir(m_plan.backupDir).absolutePath()));
    m_canonicalProgramDir = canonical(m_plan.programDir);

    // The catalogue as one consistent state, while the program keeps it open.
    QTemporaryDir snapshotDir;
    m_snapshot.clear();
    if (!m_plan.programDir.isEmpty() && QFileInfo::exists(m_plan.databasePath())) {
        QString error;
        const QString target = snapshotDir.filePath(BackupPlan::databaseName());
        if (snapshotDir.isValid() && snapshotDatabase(m_plan.databasePath(), target, &error))
            m_snapshot = target;
        else
            m_outcome.errors.append(QStringLiteral("Die Datenbank '") + m_plan.databasePath()
                                    + QStringLiteral("' konnte nicht gesichert werden: ")
                                    + (snapshotDir.isValid() ? error : snapshotDir.errorString()));
    }

    // A station on a server catalogue: the server's dump stands where the
    // file would. No dump is an error, not an archive without a catalogue.
    m_dump.clear();
    if (!m_plan.catalogueServer.isEmpty()) {
        QString error;
        const QString target = snapshotDir.filePath(BackupPlan::serverDumpName());
        if (!snapshotDir.isValid())
            error = snapshotDir.errorString();
        else if (m_plan.programDir.isEmpty())
            error = QStringLiteral("kein Programmverzeichnis, in dessen Archiv sie gehört");
        if (error.isEmpty() && dumpServerCatalogue(m_plan.catalogueServer, target, m_plan.dumpProgram, &error))
            m_dump = target;
        else
            m_outcome.errors.append(QStringLiteral("Der Katalog auf dem Server '")
                                    + ServerAddress::shown(m_plan.catalogueServer)
                                    + QStringLiteral("' konnte nicht gesichert werden: ") + error);
    }

    const QStringList sources = m_plan.sources();
    for (int i = 0; i < sources.size() && m_outcome.fatal.isEmpty() && !stopRequested(); ++i) {
        ZipDirectory(sources.at(i));
        if (m_progress)
            m_progress(i + 1);
    }
    m_outcome.stopped = stopRequested();
    return m_outcome;
}

void BackupRun::fail(int code, const QString &error)
{
    // A code the library does not know: nothing after it can be trusted.
    if (!ZipResult::isKnown(code) && m_outcome.fatal.isEmpty())
        m_outcome.fatal = QStringLiteral("Unbekanntes ZIP-Ergebnis ") + QString::number(code);
    m_outcome.errors.append(error);
}

void BackupRun::ZipDirectory(const QString &sourceDir)
{
    zipDirectory(QFile::encodeName(sourceDir));
}

void BackupRun::zipDirectory(const QByteArray &sourceDir)
{
    if (sourceDir.isEmpty() || stopRequested() || !m_outcome.fatal.isEmpty())
        return;
    const QByteArray source = sourceDir.endsWith('/') ? sourceDir : sourceDir + '/';
    const QByteArray real = canonical(source);
    if (real.isEmpty()) {
        // Nothing to archive is no success: the user would trust a backup
        // of a directory that is not there.
        m_outcome.errors.append(QStringLiteral("Das Verzeichnis '") + FileNameBytes::readablePath(source)
                                + QStringLiteral("' wurde nicht gefunden!"));
        return;
    }
    // Once per directory; never the backup's own archives.
    if (m_archived.contains(real) || within(real, m_canonicalBackupDir))
        return;
    m_archived.insert(real);

    const Listing listing = list(source);
    if (!listing.ok) {
        m_outcome.errors.append(QStringLiteral("Das Verzeichnis '") + FileNameBytes::readablePath(source)
                                + QStringLiteral("' kann nicht gelesen werden!"));
        return;
    }
    archiveFiles(source, listing.files, real == m_canonicalProgramDir);

    for (const QByteArray &sub : listing.directories)
        zipDirectory(source + sub + '/');
}

void BackupRun::archiveFiles(const QByteArray &sourceBytes, const QList<QByteArray> &files, bool isProgramDir)
{
    // A folder whose name is no UTF-8 gets its archive under the name's
    // Windows-1252 reading, a name the backup disk and a person can read.
    const QString source = FileNameBytes::readablePath(sourceBytes);
    const QString parent = BackupLocation::parentDirectory(m_plan.backupDir, source);
    const QString archiveDir = BackupLocation::archiveDirectory(m_plan.backupDir, source);
    const QString archive = BackupLocation::archiveFile(m_plan.backupDir, source);
    // "a:b" and "a_b" get the same archive name: the second would overwrite
    // the first's backup. It is told and left out instead.
    const QString sharer = m_archiveSources.value(archive);
    if (!sharer.isEmpty()) {
        m_outcome.errors.append(QStringLiteral("Die Verzeichnisse '") + sharer + QStringLiteral("' und '") + source
                                + QStringLiteral("' ergäben dasselbe Archiv '") + archive + QStringLiteral("'. '")
                                + source + QStringLiteral("' wurde nicht gesichert: Benennen Sie eines der beiden um!"));
        return;
    }
    m_archiveSources.insert(archive, source);
    // Silent: a directory that cannot be made shows as the archive's error,
    // collected with the others, and the backup goes on unattended.
    if (!QFileInfo(parent).isDir())
        MakePath(parent);
    if (!QFileInfo(archiveDir).isDir())
        MakePath(archiveDir);

    const int opened = QFileInfo::exists(archive) ? m_zip.zOpenZipFile(archive) : m_zip.zCreateNewZip(archive);
    if (opened != ZipResult::Ok) {
        fail(opened, QStringLiteral("Fehler beim ZIP '") + archive + QStringLiteral("' anlegen/öffnen: ")
                         + ZipResult::text(opened));
        // A damaged archive would fail every backup from now on: it is put
        // aside (kept, in case something can be saved from it) and this
        // directory gets a new one. The error above is still told.
        const QString aside = archive + QStringLiteral(".defekt");
        if (opened != ZipResult::Damaged || (QFileInfo::exists(aside) && !QFile::remove(aside))
            || !QFile::rename(archive, aside) || m_zip.zCreateNewZip(archive) != ZipResult::Ok)
            return;
    }
    const QByteArray database = QFile::encodeName(BackupPlan::databaseName());
    const QByteArray dumpName = QFile::encodeName(BackupPlan::serverDumpName());
    for (const QByteArray &f : files) {
        QByteArray path = sourceBytes + f;
        if (isProgramDir) {
            if (f == dumpName && !m_plan.catalogueServer.isEmpty())
                continue; // the entry is the server's dump
            // The engine's side files belong to the live catalogue, the lock
            // to the running program; the snapshot stands for all of them.
            if (f == database + "-journal" || f == database + "-wal" || f == database + "-shm" || f == "ZEP.lock")
                continue;
            if (f == database) {
                if (m_snapshot.isEmpty())
                    continue; // the archive keeps its last good copy
                path = QFile::encodeName(m_snapshot);
            }
        }
        const int ordered = m_zip.zOrderFile(path, f, 0);
        if (ordered != ZipResult::Ok)
            fail(ordered, QStringLiteral("'") + FileNameBytes::readable(f) + QStringLiteral("' -> ")
                              + ZipResult::text(ordered));
    }
    if (isProgramDir && !m_dump.isEmpty()) {
        const int ordered = m_zip.zOrderFile(QFile::encodeName(m_dump), dumpName, 0);
        if (ordered != ZipResult::Ok)
            fail(ordered, QStringLiteral("'") + BackupPlan::serverDumpName() + QStringLiteral("' -> ")
                              + ZipResult::text(ordered));
    }
    m_kept += m_zip.keptEntries();
    m_written += m_zip.writtenEntries();
    const int written = m_zip.zCompressFiles();
    if (written != ZipResult::Ok)
        fail(written, QStringLiteral("Schliessen des Archives '") + archive + QStringLiteral("' nicht möglich! (")
                          + ZipResult::text(written) + QStringLiteral(")"));
    else
        ++m_outcome.archives;
    m_zip.zCloseZipFile();
}

} // namespace zep
