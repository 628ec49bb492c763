#pragma once

#include "app/ErrorInfo.h"
#include "catalogue/ProgramFile.h"
#include "catalogue/RecordCommands.h"
#include "catalogue/RecordSearch.h"
#include "catalogue/RecordSearchPages.h"
#include "catalogue/RecordSession.h"
#include "machines/MachineList.h"

#include <QList>
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
class CatalogueService {
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

    explicit CatalogueService(Context context) : m_ctx(std::move(context)) {}

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

private:
    Context m_ctx;
};

} // namespace zep
