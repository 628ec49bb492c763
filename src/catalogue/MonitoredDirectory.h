#pragma once

#include "catalogue/ScanNotices.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace zep {

class EventPump;
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
        std::function<void()> runEvents; // empty: nothing runs in between
        // How many names the list holds at most (FileListComposer::kCapacity).
        qsizetype capacity = 0;
    };

    explicit MonitoredDirectory(Context context);

    // A walk lets events run, so the settings dialog, a record delete or
    // Ctrl+N can ask for the list while it is being walked. Such a request is
    // remembered and carried out as soon as the list is free again: a load
    // first, then a rebuild (unless the load has just rebuilt it), then a
    // save. Dropping it would leave a deleted file listed, or the list of a
    // directory that is no longer monitored.
    void GetFileListe();
    void LoadFileListe();
    void SaveFileListe();
    // A tick that comes during a walk finds nothing; the next one compares.
    // Returns nothing when a load came in during its walk: the names were
    // found against a list that has been replaced since.
    QString FindNewFile();

    // Names found new whose records could not be made (the database was
    // locked, read-only or damaged): a file counts as known only once it
    // has its record, so these stay out of the list, and out of
    // FileListe.dat, and the next check finds them new again. Each call
    // replaces the names held back by the one before.
    void holdBack(const QStringList &names);
    const QSet<QString> &heldBack() const { return m_heldBack; }

    // Takes the list FindNewFile composed from its walk as the new list,
    // without walking the tree a second time: the tick that found new files
    // rebuilds the list this way. Walks again when the list has changed
    // since that walk, or when there is none to take.
    void adoptLastWalk();

    // Runs `action` once the requests made so far have been carried out: at
    // once while the list is free.
    void whenFree(std::function<void()> action);

    bool busy() const { return m_busy > 0; }
    // A catalogued file was renamed by the program: the list takes the new
    // name in place of the old and is stored. Read anew from the directory
    // instead, it would also take in a file that arrived since the last
    // check, and that file would never get its record.
    void renameEntry(const QString &oldStored, const QString &newStored);
    const QStringList &entries() const { return m_entries; }
    qsizetype count() const { return m_entries.size(); }
    qint64 lastScanCount() const { return m_lastScanCount; }
    QString listPath() const { return m_ctx.programDir + QStringLiteral("FileListe.dat"); }

    // Marks the list busy for as long as it lives; what was asked of the list
    // meanwhile is carried out when the last guard goes.
    class BusyGuard {
    public:
        explicit BusyGuard(MonitoredDirectory &d) : m_d(d) { ++m_d.m_busy; }
        ~BusyGuard() { m_d.release(); }
        BusyGuard(const BusyGuard &) = delete;
        BusyGuard &operator=(const BusyGuard &) = delete;

    private:
        MonitoredDirectory &m_d;
    };

private:
    struct Requests {
        bool load = false;
        bool get = false;
        bool save = false;
        QList<std::function<void()>> then;
        bool any() const { return load || get || save || !then.isEmpty(); }
    };

    ScanOutcome walk(EventPump &pump);
    // False when the walk was incomplete: the list then only grew.
    bool rebuild();
    // True when the list was rebuilt from the directory, false when it was
    // read from FileListe.dat.
    bool load();
    void save();
    void release();
    void carryOutRequests();

    Context m_ctx;
    ScanNotices m_notices;
    QStringList m_entries;
    qint64 m_lastScanCount = 0;
    bool m_renamedInWalk = false; // files were renamed on the user's word after the last walk
    int m_busy = 0;
    Requests m_requests;
    bool m_carryingOut = false;
    qint64 m_loads = 0; // how many loads ran: FindNewFile sees one overtake it
    QSet<QString> m_heldBack;
    // The list FindNewFile composed, and the list's state it was composed
    // against (m_changes counts every load and rebuild).
    std::optional<QStringList> m_lastComposed;
    qint64 m_changes = 0;
    qint64 m_composedAt = -1;
    // A retry of the save answered after the list has gone writes nothing.
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace zep
