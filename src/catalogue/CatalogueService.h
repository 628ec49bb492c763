#pragma once

#include "app/ErrorInfo.h"
#include "catalogue/ProgramFile.h"
#include "catalogue/RecordCommands.h"
#include "catalogue/RecordRow.h"
#include "catalogue/RecordSearch.h"
#include "catalogue/RecordSearchPages.h"
#include "catalogue/RecordSession.h"
#include "machines/MachineList.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace zep {

class Database;
class Logbook;
class MonitoredDirectory;
class ProgramRename;
class Prompts;
class SettingsStore;

// What the windows may do with the catalogue: search it, find a record's
// program file, run the record commands and open a record session. The
// station hands it out; the windows never see the database behind it.
//
// On a catalogue that several stations share (a server) it also tells what
// the other stations change, as it happens: the server sends a notice for
// every record, machine and maintenance change, and the service watches for
// them in the event loop, without waiting.
class CatalogueService : public QObject
{
    Q_OBJECT

public:
    struct Context {
        Database &database;
        Prompts &prompts;
        Logbook &logbook;
        SettingsStore &settings;
        MonitoredDirectory &files;
        const QString &verzeichnis;
        const QString &fotoVerzeichnis;
        std::function<std::optional<ErrorInfo>(ProgramRename &)> rename;
    };

    explicit CatalogueService(Context context, QObject *parent = nullptr);
    ~CatalogueService() override;

    // The main list's search for `term`, narrowed to a machine unless
    // `machine` is 0. `shownStatement` gets the statement as the trace
    // window shows it.
    SearchResult search(const QString &term, long machine, QString *shownStatement = nullptr);
    // The same search for the main list, counted but read a page at a time
    // as the list shows it. Check error() when count() failed.
    std::shared_ptr<RecordSearchPages> listSearch(const QString &term, long machine, QString *shownStatement = nullptr);
    // The machine filter: "keine Auswahl" first, then every machine.
    QList<MachineChoice> machineChoices();
    // A record's program file: found, doubled or missing.
    ProgramFile programFile(const QString &storedName) const;
    RecordCommands commands();
    // A record for its editor; several may be open at once.
    std::unique_ptr<RecordSession> openRecord(long dateiIndex);

    const QString &verzeichnis() const { return m_ctx.verzeichnis; }
    const QString &fotoVerzeichnis() const { return m_ctx.fotoVerzeichnis; }

    // A record's line as the main list shows it; none when the record is
    // not there (or cannot be read now).
    std::optional<RecordRow> listRow(long dateiIndex);

    // Reads the notices that have come and tells them (the event loop does
    // this by itself; tests may call it). Also starts listening after the
    // catalogue was opened or opened again.
    void takeNotices();
    // Milliseconds between two looks for notices read along with a
    // statement's answer, and for a connection opened anew.
    static constexpr int kNoticeLookMs = 200;

Q_SIGNALS:
    // Another station changed this record.
    void recordChanged(long dateiIndex);
    // Other stations added or deleted records (all of one look together).
    void recordsAddedOrDeleted(const QList<long> &added, const QList<long> &deleted);
    // Another station changed machine records or their maintenance.
    void machinesChanged();

private:
    void watch();

    Context m_ctx;
    class NoticeWatch;
    std::unique_ptr<NoticeWatch> m_watch;
};

} // namespace zep
