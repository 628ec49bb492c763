#include "station/DatabaseOpener.h"

#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "station/MainState.h"

#include <QDir>
#include <QFileInfo>

namespace zep {

namespace {

QString shownProgramDir(const MainState &state)
{
    return QDir::toNativeSeparators(QDir::cleanPath(state.programDir));
}

} // namespace

bool openCatalogueDatabase(MainState &state, std::function<void()> toldWhy)
{
    auto then = [toldWhy = std::move(toldWhy)](PromptAnswer) {
        if (toldWhy)
            toldWhy();
    };
    const QString path = state.databasePath();
    if (!QFileInfo(path).isFile()) {
        state.prompts.ask(
            {QStringLiteral("Die Datenbank CNCPRG.MDB konnte nicht geöffnet werden! Sie muß sich im "
                           "Programmverzeichnis (")
                + shownProgramDir(state)
                + QStringLiteral(") befinden!\r\rProgramm kann nicht gestartet werden! Installieren Sie das "
                                 "Programm gegebenenfalls neu bzw. stellen Sie die Datenbank aus dem Backup "
                                 "wieder her."),
             QStringLiteral("Datenbank fehlt!"), PromptIcon::Exclamation},
            std::move(then));
        return false;
    }
    if (!state.database.open(path)) {
        // A file we cannot read as a catalogue is left exactly as it is: it may
        // be the shop's only copy of an older catalogue.
        state.prompts.ask(
            {QStringLiteral("Die Datenbank ") + QDir::toNativeSeparators(path)
                + QStringLiteral(" kann nicht geöffnet werden:\r\r") + state.database.lastError().description
                + QStringLiteral("\r\rDie Datei wurde nicht verändert. Programm kann nicht gestartet werden! "
                                 "Stellen Sie die Datenbank gegebenenfalls aus dem Backup wieder her."),
             QStringLiteral("Datenbank fehlerhaft!"), PromptIcon::Critical},
            std::move(then));
        return false;
    }
    checkCatalogueSchema(state.database, state.prompts);
    return true;
}

SchemaCheck checkCatalogueSchema(Database &database, Prompts &prompts)
{
    SchemaCheckResult result;
    const bool finished = runWithRetry(
        prompts, QStringLiteral("Aufgetreten in Form1.CheckOldDB"),
        [&]() -> std::optional<ErrorInfo> {
            result = CheckOldDB(database);
            if (result.outcome == SchemaCheck::Failed)
                return result.error;
            return std::nullopt;
        },
        [&result] { return result.statement; });
    if (!finished)
        return SchemaCheck::Failed;
    if (result.outcome == SchemaCheck::Upgraded)
        prompts.message(QStringLiteral("Ihre Datenbank wurde aktualisiert!"),
                        QStringLiteral("Datenbank aktualisiert"), PromptIcon::Information);
    return result.outcome;
}

} // namespace zep
