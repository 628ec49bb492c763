#include "catalogue/DirectoryCheck.h"

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

void DirectoryCheck::letEventsRun()
{
    if (m_ctx.runEvents)
        m_ctx.runEvents();
}

void DirectoryCheck::showStatus(const QString &text)
{
    if (m_ctx.status)
        m_ctx.status(text);
}

RecordIntake::Result DirectoryCheck::catalogue(const QStringList &names)
{
    for (;;) {
        RecordIntake::Result result = RecordIntake::catalogue(m_ctx.database, m_ctx.clock, m_ctx.pending, names);
        if (result.ok()) {
            // The status line no longer says the files wait.
            if (m_waiting)
                showStatus(QStringLiteral("Bereit"));
            m_waiting = false;
            m_toldError = 0;
            return result;
        }
        m_waiting = true;
        // Another program holds the file: waiting for it here would freeze
        // the window; the next tick tries again.
        if (result.busy()) {
            showStatus(busyText(names.size()));
            return result;
        }
        if (result.error.number == m_toldError) {
            showStatus(notCataloguedText(names.size()));
            return result;
        }
        if (!reportErrorRetry(m_ctx.prompts, kPlace, result.error, m_ctx.database.lastStatement())) {
            m_toldError = result.error.number;
            showStatus(notCataloguedText(names.size()));
            return result;
        }
    }
}

void DirectoryCheck::tellKnown(const QList<RecordIntake::Entry> &known)
{
    if (known.size() == 1) {
        m_ctx.prompts.message(alreadyKnownText(known.first().name), QStringLiteral("HINWEIS!"),
                              PromptIcon::Exclamation);
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
    m_ctx.prompts.message(manyKnownText(known.size()), QStringLiteral("HINWEIS!"), PromptIcon::Exclamation);
}

void DirectoryCheck::tick()
{
    if (m_running || m_ctx.files.busy())
        return;
    m_running = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{m_running};

    const QString found = m_ctx.files.FindNewFile();
    if (found.isEmpty())
        return;
    const RecordIntake::Result result = catalogue(found.split(QStringLiteral("\r\n")));
    // A file counts as known only once it has its record.
    m_ctx.files.holdBack(result.failed);
    m_ctx.files.adoptLastWalk();
    letEventsRun();
    m_ctx.files.SaveFileListe();
    letEventsRun();
    if (result.created.isEmpty() && result.known.isEmpty())
        return;
    if (m_ctx.bringToFront)
        m_ctx.bringToFront();
    if (!result.known.isEmpty())
        tellKnown(result.known);
    for (const RecordIntake::Entry &entry : result.created)
        if (entry.index > 0 && m_ctx.openEditor)
            m_ctx.openEditor(entry.index);
}

} // namespace zep
