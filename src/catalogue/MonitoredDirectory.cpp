#include "catalogue/MonitoredDirectory.h"

#include "app/ErrorReport.h"
#include "catalogue/DirectoryScan.h"
#include "catalogue/EventPump.h"
#include "catalogue/FileListComposer.h"
#include "catalogue/FileListFile.h"

#include <QSet>

#include <utility>

namespace zep {

MonitoredDirectory::MonitoredDirectory(Context context)
    : m_ctx(std::move(context)), m_notices(m_ctx.prompts, m_ctx.logbook, m_ctx.status, [this] {
          // A rename leaves the number of files as it was: without this the
          // next check would not compare, and the renamed files would wait
          // for some other file to come or go.
          m_renamedInWalk = true;
          m_lastScanCount = -1;
      })
{
    if (m_ctx.capacity <= 0)
        m_ctx.capacity = FileListComposer::kCapacity;
}

void MonitoredDirectory::holdBack(const QStringList &names)
{
    m_heldBack = QSet<QString>(names.begin(), names.end());
    if (m_heldBack.isEmpty())
        return;
    m_entries.removeIf([this](const QString &name) { return m_heldBack.contains(name); });
    // The number of files has not changed since the walk that found them:
    // without this the next tick would not compare at all.
    m_lastScanCount = -1;
}

void MonitoredDirectory::admit(const QStringList &names)
{
    if (names.isEmpty())
        return;
    ++m_changes;
    QSet<QString> listed(m_entries.begin(), m_entries.end());
    for (const QString &name : names) {
        m_heldBack.remove(name);
        if (listed.contains(name) || m_entries.size() >= m_ctx.capacity)
            continue;
        listed.insert(name);
        m_entries.append(name);
    }
}

ScanOutcome MonitoredDirectory::walk()
{
    // No runner: at 100,000 files the walk takes some tens of milliseconds,
    // and nothing is let in to start a second walk, a delete or a rebuild in
    // the middle of this one.
    EventPump pump;
    ScanOutcome outcome = DirectoryScan::scan(m_ctx.verzeichnis, pump);
    m_notices.report(outcome, m_ctx.verzeichnis);
    return outcome;
}

bool MonitoredDirectory::rebuild()
{
    ++m_changes;
    if (m_ctx.verzeichnis.isEmpty()) {
        m_entries.clear();
        return true;
    }
    const ScanOutcome outcome = walk();
    const ComposedList list =
        FileListComposer::compose(outcome.entries, m_entries, outcome.complete, outcome.clashes, m_ctx.capacity);
    m_entries = list.entries;
    if (!m_heldBack.isEmpty())
        m_entries.removeIf([this](const QString &name) { return m_heldBack.contains(name); });
    m_notices.reportLeftOut(list.leftOut, m_ctx.capacity);
    return outcome.complete;
}

void MonitoredDirectory::GetFileListe()
{
    rebuild();
}

void MonitoredDirectory::LoadFileListe()
{
    load();
}

bool MonitoredDirectory::load()
{
    ++m_changes;
    m_entries.clear();
    FileListFile::Contents stored = FileListFile::read(listPath());
    if (stored.state == FileListFile::State::Read && stored.directory == m_ctx.verzeichnis) {
        stored.entries.resize(qMin(stored.entries.size(), m_ctx.capacity));
        m_entries = stored.entries;
        return false;
    }
    // Missing, unreadable, or written for another directory: built anew. A
    // walk that could not read the whole tree would store a list with holes
    // in it, and every file in a hole would come back as new.
    if (rebuild())
        save();
    return true;
}

void MonitoredDirectory::SaveFileListe()
{
    save();
}

void MonitoredDirectory::save()
{
    const std::optional<ErrorInfo> error = FileListFile::write(listPath(), m_ctx.verzeichnis, m_entries);
    // One report at a time: every check that finds a file saves the list,
    // and a full disk would otherwise bring a box per check. Retry writes
    // the list as it stands when the answer comes.
    if (!error)
        return;
    const std::weak_ptr<char> alive = m_alive;
    m_saveReport.ask(m_ctx.prompts, retryQuestion(QStringLiteral("Aufgetreten in Form1.SaveFileListe"), *error),
                     [this, alive](PromptAnswer answer) {
                         if (!alive.expired() && answer == PromptAnswer::Retry)
                             save();
                     });
}

void MonitoredDirectory::renameEntry(const QString &oldStored, const QString &newStored)
{
    // A walk composed before the rename must not bring the old name back.
    ++m_changes;
    const qsizetype at = m_entries.indexOf(oldStored);
    if (at >= 0)
        m_entries[at] = newStored;
    else if (!m_entries.contains(newStored) && m_entries.size() < m_ctx.capacity)
        m_entries.append(newStored);
    SaveFileListe();
}

void MonitoredDirectory::adoptLastWalk()
{
    std::optional<QStringList> composed = std::exchange(m_lastComposed, std::nullopt);
    if (!composed || m_composedAt != m_changes) {
        GetFileListe();
        return;
    }
    ++m_changes;
    m_entries = std::move(*composed);
    if (!m_heldBack.isEmpty())
        m_entries.removeIf([this](const QString &name) { return m_heldBack.contains(name); });
}

QString MonitoredDirectory::FindNewFile()
{
    m_lastComposed.reset();
    if (m_ctx.verzeichnis.isEmpty())
        return {};
    const ScanOutcome outcome = walk();
    if (outcome.rootMissing)
        return {};
    // Only a change in the number of files leads to a comparison.
    if (outcome.filesSeen == m_lastScanCount)
        return {};
    m_lastScanCount = std::exchange(m_renamedInWalk, false) ? -1 : outcome.filesSeen;
    const ComposedList list =
        FileListComposer::compose(outcome.entries, m_entries, outcome.complete, outcome.clashes, m_ctx.capacity);
    m_notices.reportLeftOut(list.leftOut, m_ctx.capacity);
    if (outcome.complete) {
        m_lastComposed = list.entries;
        m_composedAt = m_changes;
    }
    return list.added.join(QStringLiteral("\r\n"));
}

} // namespace zep
