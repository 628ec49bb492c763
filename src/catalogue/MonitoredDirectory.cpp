#include "catalogue/MonitoredDirectory.h"

#include "app/ErrorReport.h"
#include "catalogue/DirectoryScan.h"
#include "catalogue/EventPump.h"
#include "catalogue/FileListComposer.h"
#include "catalogue/FileListFile.h"

#include <QSet>

namespace zep {

MonitoredDirectory::MonitoredDirectory(Context context)
    : m_ctx(std::move(context)), m_notices(m_ctx.prompts, m_ctx.logbook, m_ctx.status)
{
}

ScanOutcome MonitoredDirectory::walk(EventPump &pump)
{
    ScanOutcome outcome = DirectoryScan::scan(m_ctx.verzeichnis, pump);
    m_notices.report(outcome, m_ctx.verzeichnis);
    return outcome;
}

bool MonitoredDirectory::rebuild()
{
    if (m_ctx.verzeichnis.isEmpty()) {
        m_entries.clear();
        return true;
    }
    EventPump pump(m_ctx.runEvents);
    const ScanOutcome outcome = walk(pump);
    const ComposedList list = FileListComposer::compose(outcome.entries, m_entries, outcome.complete);
    m_entries = list.entries;
    m_notices.reportLeftOut(list.leftOut);
    return outcome.complete;
}

void MonitoredDirectory::GetFileListe()
{
    if (busy())
        return;
    BusyGuard guard(*this);
    rebuild();
}

void MonitoredDirectory::LoadFileListe()
{
    if (busy())
        return;
    BusyGuard guard(*this);
    m_entries.clear();
    FileListFile::Contents stored = FileListFile::read(listPath());
    if (stored.state == FileListFile::State::Read && stored.directory == m_ctx.verzeichnis) {
        stored.entries.resize(qMin(stored.entries.size(), FileListComposer::kCapacity));
        m_entries = stored.entries;
        return;
    }
    // Missing, unreadable, or written for another directory: built anew. A
    // walk that could not read the whole tree would store a list with holes
    // in it, and every file in a hole would come back as new.
    if (rebuild())
        save();
}

void MonitoredDirectory::SaveFileListe()
{
    if (busy())
        return;
    BusyGuard guard(*this);
    save();
}

void MonitoredDirectory::save()
{
    runWithRetry(m_ctx.prompts, QStringLiteral("Aufgetreten in Form1.SaveFileListe"),
                 [this] { return FileListFile::write(listPath(), m_ctx.verzeichnis, m_entries); });
}

QString MonitoredDirectory::FindNewFile()
{
    if (busy() || m_ctx.verzeichnis.isEmpty())
        return {};
    BusyGuard guard(*this);
    EventPump pump(m_ctx.runEvents);
    const ScanOutcome outcome = walk(pump);
    if (outcome.rootMissing)
        return {};
    // Only a change in the number of files leads to a comparison.
    if (outcome.filesSeen == m_lastScanCount)
        return {};
    m_lastScanCount = outcome.filesSeen;
    const ComposedList list = FileListComposer::compose(outcome.entries, m_entries, outcome.complete);
    m_notices.reportLeftOut(list.leftOut);
    return list.added.join(QStringLiteral("\r\n"));
}

} // namespace zep
