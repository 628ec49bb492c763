#include "catalogue/MachineList.h"

#include "db/Database.h"

namespace zep {

namespace {

template <typename Visit>
void forEachMachine(Database &database, Visit visit)
{
    auto set = database.openRecordset(QStringLiteral("SELECT * FROM Maschinen"), RecordsetType::Snapshot);
    if (!set)
        return;
    for (; !set->eof(); set->moveNext())
        visit(set->value(QStringLiteral("Maschinennummer")).toLongLong(),
              set->value(QStringLiteral("Bezeichnung")).toString() + QStringLiteral(" / ")
                  + set->value(QStringLiteral("Standort")).toString());
}

} // namespace

QList<MachineChoice> MachineList::filterChoices(Database &database)
{
    QList<MachineChoice> choices{{noChoiceText(), 0}};
    forEachMachine(database, [&](long number, const QString &text) { choices.append({text, number}); });
    return choices;
}

QHash<long, QString> MachineList::texts(Database &database)
{
    QHash<long, QString> out;
    forEachMachine(database, [&](long number, const QString &text) {
        if (!out.contains(number))
            out.insert(number, text);
    });
    return out;
}

} // namespace zep
