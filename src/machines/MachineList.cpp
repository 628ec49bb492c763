#include "machines/MachineList.h"

#include "db/Database.h"

namespace zep {

QString MachineList::text(const Recordset &row)
{
    return row.value(QStringLiteral("Bezeichnung")).toString() + QStringLiteral(" / ")
           + row.value(QStringLiteral("Standort")).toString();
}

QList<MachineChoice> MachineList::all(Database &database)
{
    QList<MachineChoice> choices;
    auto set = database.openRecordset(QStringLiteral("SELECT * FROM Maschinen"), RecordsetType::Snapshot);
    for (; set && !set->eof(); set->moveNext())
        choices.append({text(*set), long(set->value(QStringLiteral("Maschinennummer")).toLongLong())});
    return choices;
}

QList<MachineChoice> MachineList::filterChoices(Database &database)
{
    return QList<MachineChoice>{{noChoiceText(), 0}} + all(database);
}

QHash<long, QString> MachineList::texts(Database &database)
{
    QHash<long, QString> out;
    for (const MachineChoice &choice : all(database))
        if (!out.contains(choice.number))
            out.insert(choice.number, choice.text);
    return out;
}

} // namespace zep
