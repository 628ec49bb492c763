#include "catalogue/DirectoryCheck.h"

#include "app/StatusLine.h"
#include "app/ErrorReport.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "catalogue/MonitoredDirectory.h"
#include "db/Database.h"

namespace zep {

namespace {
const QString kPlace = QStringLiteral("Aufgetreten in Form1.NeuerEintrag");
}

QString DirectoryCheck::busyText(qsizetype count)
{
    return QStringLiteral("Datenbank ist belegt: %1 neue Datei(en) werden beim nächsten Durchlauf katalogisiert.")
        .arg(count);
}

QString DirectoryCheck::notCataloguedText(qsizetype count)
{
    return QStringLiteral("Datenbankfehler: %1 neue Datei(en) nicht katalogisiert, nächster Versuch beim nächsten "
                          "Durchlauf.")
        .arg(count);
}

QString DirectoryCheck::manyKnownText(qsizetype count)
{
    return QStringLiteral("%1 neu erkannte Dateien haben bereits einen Datensatz im Katalog (die Dateiliste war älter "
                          "als der Katalog). Ihre Datensätze bleiben, wie sie sind; die Dateinamen stehen im Logbuch.")
        .arg(count);
}

void DirectoryCheck::showStatus(const QString &text)
{
    if (m_ctx.status)
        m_ctx.status(text);
}

RecordIntake::Result DirectoryCheck::catalogue(const QStringList &names, std::optional<Failure> &toTell)
{
    RecordIntake::Result result = RecordIntake::catalogue(m_ctx.database, m_ctx.clock, m_ctx.pending, names);
    if (result.ok()) {
        // The status line no longer says the files wait.
        if (m_waiting)
            showStatus(StatusLine::idleText());
        m_waiting = false;
        m_toldError = 0;
        return result;
    }
    m_waiting = true;
    // The catalogue server went away meanwhile: the station tells that and
    // connects again by itself; the files wait for it, without a box.
    if (m_ctx.database.serverLost())
        return result;
    // Another program holds the file: waiting for it here would freeze the
    // window; the next tick tries again.
    if (!result.busy() && result.error.number != m_toldError) {
        // Told once while it lasts, also while the report is still open.
        m_toldError = result.error.number;
        toTell = Failure{result.error, m_ctx.database.lastStatement()};
    }
    showStatus(result.busy() ? busyText(names.size()) : notCataloguedText(names.size()));
    return result;
}

void DirectoryCheck::offerRetry(const Failure &failure)
{
    // The files wait out of the list meanwhile, and every tick tries them
    // again. Retry checks at once; Cancel (and nobody at the PC) leaves them
    // to the ticks, without a box per tick.
    const std::weak_ptr<char> alive = m_alive;
    m_ctx.prompts.ask(retryQuestion(kPlace, failure.error, failure.statement), [this, alive](PromptAnswer answer) {
        if (alive.expired() || answer != PromptAnswer::Retry)
            return;
        m_toldError = 0;
        tick();
    });
}

void DirectoryCheck::tellKnown(const QList<RecordIntake::Entry> &known)
{
    if (known.size() == 1) {
        m_ctx.prompts.ask({alreadyKnownText(known.first().name), QStringLiteral("HINWEIS!"), PromptIcon::Exclamation});
        if (m_ctx.openEditor)
            m_ctx.openEditor(known.first().index);
        return;
    }
    // A file list older than the catalogue (restored from a backup) makes
    // every file it lacks look new: one box for all, not one per file, and
    // no editor for each.
    if (m_ctx.logbook)
        for (const RecordIntake::Entry &entry : known)
            m_ctx.logbook->LogbuchSchreiben(QStringLiteral("Dateiname ") + entry.name
                                            + QStringLiteral(" neu erkannt, hat bereits einen Datensatz."));
    m_ctx.prompts.ask({manyKnownText(known.size()), QStringLiteral("HINWEIS!"), PromptIcon::Exclamation});
}

void DirectoryCheck::tick()
{
    const QString found = m_ctx.files.FindNewFile();
    if (found.isEmpty())
        return;
    std::optional<Failure> failure;
    const RecordIntake::Result result = catalogue(found.split(QStringLiteral("\r\n")), failure);
    // A file counts as known only once it has its record.
    m_ctx.files.holdBack(result.failed + result.deferred);
    m_ctx.files.adoptLastWalk();
    m_ctx.files.SaveFileListe();
    if (!result.created.isEmpty() || !result.known.isEmpty()) {
        if (m_ctx.bringToFront)
            m_ctx.bringToFront();
        if (!result.known.isEmpty())
            tellKnown(result.known);
        for (const RecordIntake::Entry &entry : result.created)
            if (entry.index > 0 && m_ctx.openEditor)
                m_ctx.openEditor(entry.index);
    }
    // Last: a Retry answered at once runs the next check on a finished one.
    if (failure)
        offerRetry(*failure);
}

} // namespace zep
