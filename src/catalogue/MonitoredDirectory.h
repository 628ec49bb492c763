#pragma once

#include "app/Prompts.h"
#include "catalogue/ScanNotices.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace zep {

class Logbook;
class Prompts;
struct ScanOutcome;

// The file list of the monitored directory: what was there at the last
// rebuild, kept in FileListe.dat between runs, and the check that tells the
// tick which files are new.
class MonitoredDirectory {
public:
    struct Context {
        Prompts &prompts;
        Logbook &logbook;
        QString programDir;        // ends with "/"
        const QString &verzeichnis; // the current monitored directory, ends with "/"
        std::function<void(const QString &)> status;
        // How many names the list holds at most (FileListComposer::kCapacity).
        qsizetype capacity = 0;
    };

    explicit MonitoredDirectory(Context context);

    // A walk runs through in one piece: nothing else runs inside it, and the
    // notices and questions it brings up are not waited for. So no request
    // for the list ever comes in the middle of one.
    void GetFileListe();
    void LoadFileListe();
    void SaveFileListe();
    QString FindNewFile();

    // Names found new whose records could not be made (the database was
    // locked, read-only or damaged): a file counts as known only once it
    // has its record, so these stay out of the list, and out of
    // FileListe.dat, and the next check finds them new again. Each call
    // replaces the names held back by the one before.
    void holdBack(const QStringList &names);
    const QSet<QString> &heldBack() const { return m_heldBack; }
    // Names held back or found new whose records are made now: they join
    // the list (at its end) and are no longer held back.
    void admit(const QStringList &names);

    // Takes the list FindNewFile composed from its walk as the new list,
    // without walking the tree a second time: the tick that found new files
    // rebuilds the list this way. Walks again when the list has changed
    // since that walk, or when there is none to take.
    void adoptLastWalk();

    // A catalogued file was renamed by the program: the list takes the new
    // name in place of the old and is stored. Read anew from the directory
    // instead, it would also take in a file that arrived since the last
    // check, and that file would never get its record.
    void renameEntry(const QString &oldStored, const QString &newStored);
    const QStringList &entries() const { return m_entries; }
    qsizetype count() const { return m_entries.size(); }
    qint64 lastScanCount() const { return m_lastScanCount; }
    QString listPath() const { return m_ctx.programDir + QStringLiteral("FileListe.dat"); }

private:
    ScanOutcome walk();
    // False when the walk was incomplete: the list then only grew.
    bool rebuild();
    // True when the list was rebuilt from the directory, false when it was
    // read from FileListe.dat.
    bool load();
    void save();

    Context m_ctx;
    ScanNotices m_notices;
    QStringList m_entries;
    qint64 m_lastScanCount = 0;
    bool m_renamedInWalk = false; // files were renamed on the user's word after the last walk
    QSet<QString> m_heldBack;
    // The list FindNewFile composed, and the list's state it was composed
    // against (m_changes counts every load and rebuild).
    std::optional<QStringList> m_lastComposed;
    qint64 m_changes = 0;
    qint64 m_composedAt = -1;
    OneBoxAtATime m_saveReport;
    // A retry of the save answered after the list has gone writes nothing.
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace zep
