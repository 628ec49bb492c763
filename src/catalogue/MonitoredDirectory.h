#pragma once

#include "catalogue/ScanNotices.h"

#include <QString>
#include <QStringList>
#include <functional>

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
        std::function<void()> runEvents; // empty: the application's events
    };

    explicit MonitoredDirectory(Context context);

    // Each returns at once, doing nothing, while another walk of this list
    // is running (a tick, Ctrl+N or a dialog can come in through the events
    // a walk lets run).
    void GetFileListe();
    void LoadFileListe();
    void SaveFileListe();
    QString FindNewFile();

    bool busy() const { return m_busy > 0; }
    const QStringList &entries() const { return m_entries; }
    qsizetype count() const { return m_entries.size(); }
    qint64 lastScanCount() const { return m_lastScanCount; }
    QString listPath() const { return m_ctx.programDir + QStringLiteral("FileListe.dat"); }

    // Marks the list busy for as long as it lives: the tick holds one while
    // its messages are open.
    class BusyGuard {
    public:
        explicit BusyGuard(MonitoredDirectory &d) : m_d(d) { ++m_d.m_busy; }
        ~BusyGuard() { --m_d.m_busy; }
        BusyGuard(const BusyGuard &) = delete;
        BusyGuard &operator=(const BusyGuard &) = delete;

    private:
        MonitoredDirectory &m_d;
    };

private:
    ScanOutcome walk(EventPump &pump);
    // False when the walk was incomplete: the list then only grew.
    bool rebuild();
    void save();

    Context m_ctx;
    ScanNotices m_notices;
    QStringList m_entries;
    qint64 m_lastScanCount = 0;
    int m_busy = 0;
};

} // namespace zep
