#include "catalogue/UnrecordedFiles.h"

#include "app/StatusLine.h"
#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "catalogue/RecordIntake.h"
#include "db/Database.h"

namespace zep {

QString UnrecordedFiles::questionText(qsizetype count)
{
    return QStringLiteral("Im Überwachungsverzeichnis liegen %1 Dateien ohne Datensatz im Katalog.").arg(count)
           + QStringLiteral("\r\r")
           + QStringLiteral("Sollen sie jetzt katalogisiert werden (als \"Neue Datei\", ohne sie einzeln zu bearbeiten)?");
}

QString UnrecordedFiles::progressText(qsizetype done, qsizetype total)
{
    return QStringLiteral("Katalogisiere Dateien... %1 von %2").arg(done).arg(total);
}

void UnrecordedFiles::offer(const Context &context, const QStringList &listed, std::function<void(Outcome)> done)
{
    auto finish = [done](Outcome outcome) {
        if (done)
            done(outcome);
    };
    const std::optional<QStringList> missing = RecordIntake::withoutRecord(context.database, listed);
    if (!missing) {
        reportErrorSimple(context.prompts, QStringLiteral(" in Form1_GetFileListe"),
                          context.database.lastError().description);
        return finish(Outcome::Failed);
    }
    if (missing->isEmpty())
        return finish(Outcome::NoneMissing);
    // Nobody at the PC catalogues nothing: thousands of records named "Neue
    // Datei" are the shop's decision.
    context.prompts.ask({questionText(missing->size()), QStringLiteral("Dateien ohne Datensatz"),
                         PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::No},
                        [context, names = *missing, finish](PromptAnswer answer) {
                            if (answer != PromptAnswer::Yes)
                                return finish(Outcome::Declined);
                            catalogueAll(context, names, finish);
                        });
}

void UnrecordedFiles::catalogueAll(const Context &context, const QStringList &missing,
                                   std::function<void(Outcome)> done)
{
    auto status = [context](const QString &text) {
        if (context.status)
            context.status(text);
    };
    // The status line counts on in steps, so thousands of files do not cost
    // thousands of repaints.
    const qsizetype step = qMax<qsizetype>(1, missing.size() / 20);
    auto progress = [status, step](qsizetype done, qsizetype total) {
        if (done % step == 0 || done == total)
            status(progressText(done, total));
    };
    Database *database = &context.database;
    retryUntilDone(
        context.prompts, QStringLiteral("Aufgetreten in Form1.NeuerEintrag"),
        [context, missing, status, progress]() -> std::optional<ErrorInfo> {
            status(progressText(0, missing.size()));
            // Made meanwhile by the directory check or a reception: found,
            // not made twice.
            const RecordIntake::Result result =
                RecordIntake::catalogue(context.database, context.clock, context.pending, missing, progress);
            return result.ok() ? std::nullopt : std::optional<ErrorInfo>(result.error);
        },
        [status, done](bool catalogued) {
            status(StatusLine::idleText());
            done(catalogued ? Outcome::Catalogued : Outcome::Failed);
        },
        [database] { return database->lastStatement(); });
}

} // namespace zep
