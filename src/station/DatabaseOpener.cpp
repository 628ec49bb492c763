#include "station/DatabaseOpener.h"

#include "app/ErrorReport.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/PgConnection.h"
#include "db/ServerAddress.h"
#include "station/MainState.h"
#include "station/ServerConnectJob.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <memory>

namespace zep {

namespace {

QString shownProgramDir(const MainState &state)
{
    return QDir::toNativeSeparators(QDir::cleanPath(state.programDir));
}

} // namespace

QString serverUnreachableText(const MainState &state, const ErrorInfo &error)
{
    return QStringLiteral("Der Katalog-Server ") + state.shownCatalogue()
           + QStringLiteral(" ist nicht erreichbar:\r\r") + error.description;
}

bool openCatalogueDatabase(MainState &state, std::function<void()> checked, std::function<void()> toldWhy,
                           QObject *context)
{
    auto then = [toldWhy = std::move(toldWhy)](PromptAnswer) {
        if (toldWhy)
            toldWhy();
    };
    // A setting that names no usable catalogue must not quietly fall back to
    // the station's own file: the shop would get two catalogues again.
    if (const std::optional<QString> problem = ServerAddress::problem(state.catalogueSetting)) {
        state.prompts.ask({*problem
                               + QStringLiteral("\r\rProgramm kann nicht gestartet werden! Berichtigen Sie den "
                                                "Eintrag Datenbank im Abschnitt [Settings] der Datei ZEP.ini."),
                           QStringLiteral("Datenbank-Einstellung ungültig!"), PromptIcon::Critical},
                          std::move(then));
        return false;
    }
    if (state.catalogueOnServer()) {
        // Connected off the window's thread; the start goes on when the
        // server has answered. One that cannot be reached does not end the
        // program: `checked` runs with the catalogue closed, and the station
        // connects again by itself.
        MainState *st = &state;
        auto *job = new ServerConnectJob(state.catalogueSetting, context ? context : QCoreApplication::instance());
        QObject::connect(job, &Job::finished, job, [st, job, checked = std::move(checked)] {
            job->deleteLater();
            std::unique_ptr<PgConnection> connection = job->takeConnection();
            if (!connection) {
                st->logbook.LogbuchSchreiben(
                    serverUnreachableText(*st, job->failure()).replace(QLatin1Char('\r'), QLatin1Char(' ')));
                if (checked)
                    checked();
                return;
            }
            st->database.adoptServer(std::move(connection));
            checkCatalogueSchema(st->database, st->prompts, [checked](SchemaCheck) {
                if (checked)
                    checked();
            });
        });
        job->start();
        return true;
    }
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
    // A check given up on leaves the catalogue as it was, and the program
    // goes on with it, as it always has.
    checkCatalogueSchema(state.database, state.prompts, [checked = std::move(checked)](SchemaCheck) {
        if (checked)
            checked();
    });
    return true;
}

void checkCatalogueSchema(Database &database, Prompts &prompts, std::function<void(SchemaCheck)> done)
{
    auto result = std::make_shared<SchemaCheckResult>();
    Database *db = &database;
    retryUntilDone(
        prompts, QStringLiteral("Aufgetreten in Form1.CheckOldDB"),
        [result, db]() -> std::optional<ErrorInfo> {
            // Creating the schema builds its indexes over every record: the
            // one work on the window's thread allowed to take its time.
            const Database::WithoutDeadline unbounded(*db);
            *result = CheckOldDB(*db);
            if (result->outcome == SchemaCheck::Failed)
                return result->error;
            return std::nullopt;
        },
        [result, &prompts, done](bool finished) {
            const SchemaCheck outcome = finished ? result->outcome : SchemaCheck::Failed;
            if (outcome == SchemaCheck::Upgraded)
                prompts.ask({QStringLiteral("Ihre Datenbank wurde aktualisiert!"),
                             QStringLiteral("Datenbank aktualisiert"), PromptIcon::Information});
            if (done)
                done(outcome);
        },
        [result] { return result->statement; });
}

} // namespace zep
