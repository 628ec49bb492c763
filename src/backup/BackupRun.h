#pragma once

#include "backup/BackupPlan.h"
#include "backup/ZipLibrary.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace zep {

// How a backup ended.
struct BackupOutcome {
    QStringList errors;  // the error list, one failure a line
    QString fatal;       // set when the backup could not go on at all
    bool stopped = false; // ended early on request, after a whole archive
    int archives = 0;    // archives written or found up to date
    bool ok() const { return errors.isEmpty() && fatal.isEmpty() && !stopped; }
};

// One backup, start to end, on whichever thread calls run(). It reads files
// and writes archives only; it touches nothing the station owns. The
// catalogue goes in as a snapshot taken through the database engine.
//
// Each directory is archived once, however the three directories nest;
// subdirectories reached through a symbolic link are not entered (they may
// lead out of the tree or back into it), nor is the backup directory if it
// lies inside a backed-up one. Hidden files and directories are left out.
class Logbook;

// One logbook line per failure, or one for the success: the message box is
// gone by the next morning, the nightly run has none.
void logBackupOutcome(Logbook &logbook, const BackupOutcome &outcome, const QString &backupDir);

// The error list as a message box can show it: beyond `most` lines the rest
// is counted and left to the logbook, so the box still fits the screen.
QStringList errorsToShow(const QStringList &errors, int most = 25);

class BackupRun {
public:
    // step 1-3: the program, monitored and photo directory are done.
    using Progress = std::function<void(int step)>;

    BackupRun(BackupPlan plan, Progress progress = {}, const std::atomic_bool *stop = nullptr);

    BackupOutcome run();

    // Archives one directory into its archive and recurses into its
    // subdirectories. An empty source does nothing.
    void ZipDirectory(const QString &source);
    const BackupOutcome &outcome() const { return m_outcome; }
    int keptEntries() const { return m_kept; }
    int writtenEntries() const { return m_written; }

private:
    bool stopRequested() const { return m_stop && m_stop->load(); }
    // Paths as their bytes lie on disk (see FileNameBytes).
    void zipDirectory(const QByteArray &source);
    void archiveFiles(const QByteArray &source, const QList<QByteArray> &files, bool isProgramDir);
    void fail(int code, const QString &error);

    BackupPlan m_plan;
    Progress m_progress;
    const std::atomic_bool *m_stop;
    ZipLibrary m_zip;
    BackupOutcome m_outcome;
    QSet<QByteArray> m_archived;
    QHash<QString, QString> m_archiveSources; // archive -> the directory it holds
    QByteArray m_canonicalBackupDir;
    QByteArray m_canonicalProgramDir;
    QString m_snapshot; // the catalogue's copy; empty when none could be made
    QString m_dump;     // the server catalogue's dump; empty when there is none
    int m_kept = 0;
    int m_written = 0;
};

} // namespace zep
