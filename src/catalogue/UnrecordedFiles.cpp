#include "catalogue/UnrecordedFiles.h"

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

UnrecordedFiles::Outcome UnrecordedFiles::offer(const Context &context, const QStringList &listed)
{
    auto status = [&](const QString &text) {
        if (context.status)
            context.status(text);
    };
    const std::optional<QStringList> missing = RecordIntake::withoutRecord(context.database, listed);
    if (!missing) {
        reportErrorSimple(context.prompts, QStringLiteral(" in Form1_GetFileListe"),
                          context.database.lastError().description);
        return Outcome::Failed;
    }
    if (missing->isEmpty())
        return Outcome::NoneMissing;
    if (context.prompts.message(questionText(missing->size()), QStringLiteral("Dateien ohne Datensatz"),
                                PromptIcon::Question, PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return Outcome::Declined;

    // The status line counts on in steps, so thousands of files do not cost
    // thousands of repaints.
    const qsizetype step = qMax<qsizetype>(1, missing->size() / 20);
    auto progress = [&](qsizetype done, qsizetype total) {
        if (done % step == 0 || done == total)
            status(progressText(done, total));
    };
    const bool catalogued = runWithRetry(
        context.prompts, QStringLiteral("Aufgetreten in Form1.NeuerEintrag"),
        [&]() -> std::optional<ErrorInfo> {
            status(progressText(0, missing->size()));
            const RecordIntake::Result result =
                RecordIntake::catalogue(context.database, context.clock, context.pending, *missing, progress);
            return result.ok() ? std::nullopt : std::optional<ErrorInfo>(result.error);
        },
        [&] { return context.database.lastStatement(); });
    status(QStringLiteral("Bereit"));
    return catalogued ? Outcome::Catalogued : Outcome::Failed;
}

} // namespace zep
