#include "catalogue/CatalogueService.h"

#include "catalogue/CatalogueRecord.h"
#include "catalogue/SearchStatement.h"
#include "db/Database.h"
#include "db/SharedCatalogue.h"

#include <QSocketNotifier>
#include <QTimer>

namespace zep {

// The socket of the connection that listens, watched in the event loop; and
// a short look now and then, for notices that arrived with the answer to a
// statement (libpq has read them already, so the socket stays quiet) and
// for a connection that was opened anew and must listen again.
class CatalogueService::NoticeWatch {
public:
    QTimer timer;
    std::unique_ptr<QSocketNotifier> notifier;
    int socket = -1;
};

CatalogueService::CatalogueService(Context context, QObject *parent)
    : QObject(parent), m_ctx(std::move(context)), m_watch(std::make_unique<NoticeWatch>())
{
    m_watch->timer.setInterval(kNoticeLookMs);
    connect(&m_watch->timer, &QTimer::timeout, this, &CatalogueService::takeNotices);
    m_watch->timer.start();
}

CatalogueService::~CatalogueService() = default;

void CatalogueService::watch()
{
    Database &db = m_ctx.database;
    const int socket = db.notificationSocket();
    if (socket < 0) {
        m_watch->notifier.reset();
        m_watch->socket = -1;
        return;
    }
    // LISTEN inside a transaction would only count from its commit; the
    // next look comes soon enough.
    if (db.listening() || db.inTransaction())
        return;
    if (!db.listen(SharedCatalogue::channel()))
        return;
    m_watch->notifier = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    m_watch->socket = socket;
    connect(m_watch->notifier.get(), &QSocketNotifier::activated, this, &CatalogueService::takeNotices);
}

void CatalogueService::takeNotices()
{
    Database &db = m_ctx.database;
    if (!db.isServer())
        return;
    watch();
    QList<long> added, deleted;
    bool machines = false;
    QList<long> changed;
    for (const Database::Notice &notice : db.takeNotices()) {
        // What this station did itself it has shown already.
        if (notice.fromHere || notice.channel != SharedCatalogue::channel())
            continue;
        const std::optional<SharedCatalogue::Change> change = SharedCatalogue::parse(notice.payload);
        if (!change)
            continue;
        using Change = SharedCatalogue::Change;
        if (change->table != Change::Table::Records) {
            machines = true;
            continue;
        }
        QList<long> &into = change->kind == Change::Kind::Added     ? added
                            : change->kind == Change::Kind::Deleted ? deleted
                                                                    : changed;
        if (!into.contains(change->key))
            into.append(change->key);
    }
    for (long index : std::as_const(changed))
        if (!added.contains(index) && !deleted.contains(index))
            Q_EMIT recordChanged(index);
    if (!added.isEmpty() || !deleted.isEmpty())
        Q_EMIT recordsAddedOrDeleted(added, deleted);
    if (machines)
        Q_EMIT machinesChanged();
}

std::optional<RecordRow> CatalogueService::listRow(long dateiIndex)
{
    const CatalogueRecord::Loaded loaded = CatalogueRecord::load(m_ctx.database, dateiIndex);
    if (!loaded.found)
        return std::nullopt;
    QString machineText;
    for (const MachineChoice &choice : MachineList::filterChoices(m_ctx.database))
        if (choice.number == loaded.fields.maschinenIndex)
            machineText = choice.text;
    return CatalogueRecord::listRow(dateiIndex, loaded.fields, loaded.fields.maschinenIndex, machineText);
}

SearchResult CatalogueService::search(const QString &term, long machine, QString *shownStatement)
{
    const SearchStatement statement = SearchStatement::build(term, machine);
    if (shownStatement)
        *shownStatement = statement.shownText;
    return RecordSearch::run(m_ctx.database, statement);
}

std::shared_ptr<RecordSearchPages> CatalogueService::listSearch(const QString &term, long machine,
                                                               QString *shownStatement)
{
    auto search = std::make_shared<RecordSearchPages>(m_ctx.database, SearchStatement::build(term, machine));
    if (shownStatement)
        *shownStatement = search->statement().shownText;
    search->count();
    return search;
}

QList<MachineChoice> CatalogueService::machineChoices()
{
    return MachineList::filterChoices(m_ctx.database);
}

ProgramFile CatalogueService::programFile(const QString &storedName) const
{
    return ProgramFile::find(m_ctx.verzeichnis, storedName);
}

RecordCommands CatalogueService::commands()
{
    return RecordCommands({m_ctx.database, m_ctx.prompts, m_ctx.logbook, m_ctx.settings, m_ctx.files,
                           m_ctx.verzeichnis, m_ctx.fotoVerzeichnis});
}

std::unique_ptr<RecordSession> CatalogueService::openRecord(long dateiIndex)
{
    return std::make_unique<RecordSession>(
        RecordSession::Context{m_ctx.database, m_ctx.prompts, m_ctx.verzeichnis, m_ctx.fotoVerzeichnis, m_ctx.rename},
        dateiIndex);
}

} // namespace zep
