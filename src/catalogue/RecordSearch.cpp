#include "catalogue/RecordSearch.h"

#include "machines/MachineList.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "db/SearchIndex.h"
#include "db/SharedCatalogue.h"

#include <QHash>

namespace zep {

QString RecordSearch::oneLine(const QString &text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
}

QHash<long, QByteArray> RecordSearch::machineTexts(Database &database)
{
    QHash<long, QByteArray> machines;
    const QHash<long, QString> machineTexts = MachineList::texts(database);
    for (auto it = machineTexts.begin(); it != machineTexts.end(); ++it)
        machines.insert(it.key(), it.value().toUtf8());
    return machines;
}

void RecordSearch::append(FoundRecords &rows, const RowReader &r, const QHash<long, QByteArray> &machines)
{
    FoundRecords::Values v;
    for (int column = 0; column < 5; ++column)
        v.texts[size_t(column)] = r.utf8(column);
    v.date = r.date(5);
    v.dateiIndex = long(r.integer(6));
    const long machine = long(r.integer(7)); // empty counts as no machine
    const auto text = machines.constFind(machine);
    if (text != machines.cend())
        v.texts[5] = *text;
    v.machine = r.isNull(7) ? FoundRecords::kNoMachine : machine;
    rows.append(v);
}

SearchResult RecordSearch::run(Database &database, const SearchStatement &statement)
{
    SearchResult result;
    database.setLastStatement(statement.shownText);
    // Each machine's text once, as bytes beside the records' own.
    const QHash<long, QByteArray> machines = machineTexts(database);
    // Straight through the statement's rows, by column position, copying
    // bytes: a list of every record (100,000) is filled in the time the
    // engine reads them.
    auto take = [&](const RowReader &r) { append(result.rows, r, machines); };
    // Every record listed: room for all of them at once, instead of moving
    // a growing list of 100,000 lines again and again.
    if (statement.listsAll)
        if (const std::optional<qint64> records = SharedCatalogue::recordCount(database))
            result.rows.reserve(qsizetype(*records));
    // The index narrows the records the LIKE tests look at; a file without
    // it, or one whose index fails, is searched record by record.
    bool ok = false;
    if (!statement.indexedSql.isEmpty() && SearchIndex::present(database)) {
        ok = database.readRows(statement.indexedSql, statement.indexedParams, take);
        if (!ok)
            result.rows.clear();
    }
    if (!ok)
        ok = database.readRows(statement.listSql, statement.listParams, take);
    if (!ok) {
        result.ok = false;
        result.error = database.lastError();
        result.rows.clear();
    }
    return result;
}

} // namespace zep
