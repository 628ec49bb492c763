#include "catalogue/DirectoryCheck.h"

#include "app/StatusLine.h"
#include "app/ErrorReport.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "catalogue/MonitoredDirectory.h"
#include "db/Database.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

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

RecordIntake::Result DirectoryCheck::catalogue(const QStringList &names, std::optional<Failure> &toTell,
                                               qsizetype waiting)
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
    showStatus(result.busy() ? busyText(waiting) : notCataloguedText(waiting));
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
    // The files an earlier tick found are still being taken: a second walk
    // now would find them new again and make their records twice.
    if (m_walk)
        return;
    const QString found = m_ctx.files.FindNewFile();
    if (found.isEmpty())
        return;
    m_walk = Walk{};
    m_walk->rest = found.split(QStringLiteral("\r\n"));
    runSlice(true);
}

void DirectoryCheck::runSlice(bool first)
{
    Walk &walk = *m_walk;
    if (m_msPerFile < 0)
        m_msPerFile = m_ctx.database.isServer() ? 20.0 : 1.0;
    const int budget = std::max(1, m_ctx.sliceBudgetMs);
    QElapsedTimer spent;
    spent.start();
    QStringList taken;
    QList<RecordIntake::Entry> created;
    bool stop = false;
    bool lost = false;
    // One transaction per part: a part that would overrun the budget by the
    // cost measured lately is cut down to what fits, never below one file.
    while (!walk.rest.isEmpty() && !stop) {
        const qint64 left = budget - spent.elapsed();
        if (left <= 0 && !taken.isEmpty())
            break;
        const qsizetype fit = qsizetype(double(std::max<qint64>(left, 1)) / m_msPerFile);
        const qsizetype size = std::clamp<qsizetype>(fit, 1, walk.rest.size());
        const QStringList part = walk.rest.mid(0, size);
        walk.rest.remove(0, size);
        QElapsedTimer partTime;
        partTime.start();
        const RecordIntake::Result result = catalogue(part, walk.failure, part.size() + walk.rest.size());
        if (!result.ok()) {
            // What failed here would fail for the rest too: they wait for a
            // later tick together.
            walk.failed += result.failed;
            lost = m_ctx.database.serverLost();
            stop = true;
            break;
        }
        m_msPerFile = std::max(0.05, double(partTime.elapsed()) / double(part.size()));
        // A name another station is cataloguing right now waits for a later
        // tick, off the list like a failure, but without a report.
        walk.deferred += result.deferred;
        for (const QString &name : part)
            if (!result.deferred.contains(name))
                taken.append(name);
        created += result.created;
        walk.known += result.known;
    }
    // Only what has its record joins the list; the rest stays off it, in
    // memory and in FileListe.dat, until its own slice.
    m_ctx.files.holdBack(walk.failed + walk.deferred + walk.rest);
    if (first)
        m_ctx.files.adoptLastWalk();
    else
        m_ctx.files.admit(taken);
    m_ctx.files.SaveFileListe();
    if ((!created.isEmpty() || !walk.known.isEmpty()) && !walk.broughtToFront) {
        walk.broughtToFront = true;
        if (m_ctx.bringToFront)
            m_ctx.bringToFront();
    }
    for (const RecordIntake::Entry &entry : created)
        if (entry.index > 0 && m_ctx.openEditor)
            m_ctx.openEditor(entry.index);
    if (stop || walk.rest.isEmpty()) {
        // The station hears at once of a server lost in a later slice, as
        // it does after the first.
        if (lost && !first && m_ctx.goOn)
            m_ctx.goOn();
        return finish();
    }
    const std::weak_ptr<char> alive = m_alive;
    QTimer::singleShot(0, [this, alive] {
        if (!alive.expired())
            nextSlice();
    });
}

void DirectoryCheck::nextSlice()
{
    if (!m_walk)
        return;
    if (m_ctx.goOn && !m_ctx.goOn())
        return finish();
    runSlice(false);
}

void DirectoryCheck::finish()
{
    // The files not taken are held back already, and the next check that
    // compares finds them new.
    Walk walk = std::move(*m_walk);
    m_walk.reset();
    if (!walk.known.isEmpty())
        tellKnown(walk.known);
    // Last: a Retry answered at once runs the next check on a finished one.
    if (walk.failure)
        offerRetry(*walk.failure);
}

} // namespace zep
