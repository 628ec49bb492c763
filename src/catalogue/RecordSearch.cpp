#include "catalogue/RecordSearch.h"

#include "machines/MachineList.h"
#include "db/Database.h"

#include <QDateTime>

namespace zep {

QString RecordSearch::oneLine(const QString &text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
}

SearchResult RecordSearch::run(Database &database, const SearchStatement &statement)
{
    SearchResult result;
    database.setLastStatement(statement.shownText);
    auto set = database.openRecordset(statement.sql, RecordsetType::Snapshot, statement.params);
    if (!set) {
        result.ok = false;
        result.error = database.lastError();
        return result;
    }
    if (set->eof())
        return result;
    const QHash<long, QString> machines = MachineList::texts(database);
    result.rows.reserve(set->recordCount());
    for (; !set->eof(); set->moveNext()) {
        RecordRow row;
        const QVariant datum = set->value(QStringLiteral("Datum"));
        const QVariant machineValue = set->value(QStringLiteral("MaschinenIndex"));
        const long machine = machineValue.toLongLong(); // empty counts as no machine
        row.cells[RecordRow::Datei] = set->value(QStringLiteral("Dateiname")).toString();
        row.cells[RecordRow::Bezeichnung] = oneLine(set->value(QStringLiteral("Bezeichnung")).toString());
        row.cells[RecordRow::ZeichnungsNo] = oneLine(set->value(QStringLiteral("Zeichnungsnummer")).toString());
        row.cells[RecordRow::AuftragsNo] = set->value(QStringLiteral("Auftragsnummer")).toString();
        row.cells[RecordRow::Kunde] = set->value(QStringLiteral("Kunde")).toString();
        if (datum.isValid()) {
            row.date = datum.toDateTime().date();
            row.cells[RecordRow::Datum] = row.date.toString(QStringLiteral("dd.MM.yyyy"));
        }
        row.cells[RecordRow::DBIndex] = set->value(QStringLiteral("DateiIndex")).toString();
        row.cells[RecordRow::Maschine] = machines.value(machine);
        row.cells[RecordRow::MaschIDX] = machineValue.isValid() ? QString::number(machine) : QString();
        result.rows.append(std::move(row));
    }
    return result;
}

} // namespace zep
