#include "catalogue/RecordSearch.h"

#include "machines/MachineList.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "db/SearchIndex.h"

#include <QDateTime>
#include <QSet>

namespace zep {

QString RecordSearch::oneLine(const QString &text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
}

SearchResult RecordSearch::run(Database &database, const SearchStatement &statement)
{
    SearchResult result;
    database.setLastStatement(statement.shownText);
    const QHash<long, QString> machines = MachineList::texts(database);
    const QString noLine = QStringLiteral("\r\n");
    // Dates and machine numbers repeat: each text is made once and shared
    // by every line that shows it, which saves time and memory alike.
    QHash<qint64, QString> dayTexts;
    QHash<long, QString> machineNumbers;
    // A shop has some hundred customers over many thousand records: each
    // name is held once.
    QSet<QString> customers;
    // Straight through the statement's rows, by column position: a list of
    // every record (100,000) is filled in the time the engine reads them.
    auto take = [&](const RowReader &r) {
        RecordRow row;
        row.cells[RecordRow::Datei] = r.text(0);
        row.cells[RecordRow::Bezeichnung] = r.text(1);
        if (row.cells[RecordRow::Bezeichnung].contains(noLine))
            row.cells[RecordRow::Bezeichnung] = oneLine(row.cells[RecordRow::Bezeichnung]);
        row.cells[RecordRow::ZeichnungsNo] = r.text(2);
        if (row.cells[RecordRow::ZeichnungsNo].contains(noLine))
            row.cells[RecordRow::ZeichnungsNo] = oneLine(row.cells[RecordRow::ZeichnungsNo]);
        row.cells[RecordRow::AuftragsNo] = r.text(3);
        row.cells[RecordRow::Kunde] = *customers.insert(r.text(4));
        row.date = r.date(5);
        if (row.date.isValid()) {
            QString &day = dayTexts[row.date.toJulianDay()];
            if (day.isEmpty())
                day = row.date.toString(QStringLiteral("dd.MM.yyyy"));
            row.cells[RecordRow::Datum] = day;
        }
        row.cells[RecordRow::DBIndex] = QString::number(r.integer(6));
        const long machine = long(r.integer(7)); // empty counts as no machine
        row.cells[RecordRow::Maschine] = machines.value(machine);
        if (!r.isNull(7)) {
            QString &number = machineNumbers[machine];
            if (number.isEmpty())
                number = QString::number(machine);
            row.cells[RecordRow::MaschIDX] = number;
        }
        result.rows.append(std::move(row));
    };
    // Every record listed: room for all of them at once, instead of moving
    // a growing list of 100,000 lines again and again.
    if (statement.listsAll)
        database.readRows(QStringLiteral("SELECT count(*) FROM DateiListe"), {},
                          [&](const RowReader &r) { result.rows.reserve(qsizetype(r.integer(0))); });
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
