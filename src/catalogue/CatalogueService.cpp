#include "catalogue/CatalogueService.h"

#include "catalogue/SearchStatement.h"

namespace zep {

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
