#include "catalogue/CatalogueRecord.h"

#include "catalogue/DateCompletion.h"
#include "catalogue/RecordSearch.h"
#include "db/Database.h"

#include <QDateTime>

namespace zep {

namespace {

const QString kSelect = QStringLiteral("SELECT * FROM DateiListe WHERE DateiIndex=?");

const QList<RecordFields::Field> &textFields()
{
    static const QList<RecordFields::Field> order{
        RecordFields::Bezeichnung, RecordFields::Zeichnungsnummer, RecordFields::Auftragsnummer,
        RecordFields::Kunde,       RecordFields::Aufspannung,      RecordFields::Werkzeuge,
        RecordFields::Laufzeit,    RecordFields::Ersteller,        RecordFields::Bemerkungen};
    return order;
}

std::unique_ptr<Recordset> openRow(Database &database, long dateiIndex)
{
    database.setLastStatement(QStringLiteral("SELECT * FROM DateiListe WHERE DateiIndex=")
                              + QString::number(dateiIndex));
    return database.openRecordset(kSelect, RecordsetType::Dynaset, {qlonglong(dateiIndex)});
}

ErrorInfo missingRow(long dateiIndex)
{
    return {3021, QStringLiteral("DateiIndex ") + QString::number(dateiIndex) + QStringLiteral(" nicht gefunden!!")};
}

} // namespace

CatalogueRecord::Loaded CatalogueRecord::load(Database &database, long dateiIndex)
{
    Loaded out;
    auto set = openRow(database, dateiIndex);
    if (!set) {
        out.error = database.lastError();
        return out;
    }
    if (set->eof())
        return out;
    out.found = true;
    RecordFields &f = out.fields;
    f.dateiname = set->value(RecordFields::column(RecordFields::Dateiname)).toString();
    for (RecordFields::Field field : textFields())
        f.text(field) = set->value(RecordFields::column(field)).toString();
    const QVariant datum = set->value(QStringLiteral("Datum"));
    f.datum = datum.isValid() ? DateCompletion::format(datum.toDateTime().date()) : QString();
    f.maschinenIndex = long(set->value(QStringLiteral("MaschinenIndex")).toLongLong());
    return out;
}

CatalogueRecord::Written CatalogueRecord::DatensatzSchreiben(Database &database, long dateiIndex,
                                                             const RecordFields &fields, std::optional<long> machine)
{
    Written out;
    // The date is checked before anything is touched: a date that is no
    // calendar day must not cost the user the other edits.
    const QString datumText = DateCompletion::complete(fields.datum.trimmed());
    const std::optional<QDate> date = DateCompletion::toDate(datumText);
    if (date && !date->isValid()) {
        out.field = RecordFields::Datum;
        out.error = {13, QStringLiteral("Das Datum '") + fields.datum
                             + QStringLiteral("' gibt es nicht. Bitte als TT.MM.JJJJ eingeben.")};
        return out;
    }
    auto set = openRow(database, dateiIndex);
    if (!set) {
        out.error = database.lastError();
        return out;
    }
    if (set->eof()) {
        out.error = missingRow(dateiIndex);
        return out;
    }
    auto failed = [&] {
        out.error = set->lastError();
        set->cancelUpdate();
        return out;
    };
    if (!set->edit())
        return failed();
    for (RecordFields::Field field : textFields())
        if (!set->setValue(RecordFields::column(field), fields.text(field)))
            return failed();
    // An unchanged day keeps the stored value with its time of day (the
    // moment a new file was catalogued).
    const QVariant stored = set->value(QStringLiteral("Datum"));
    const bool sameDay = date && stored.isValid() && stored.toDateTime().date() == *date;
    if (!sameDay
        && !set->setValue(QStringLiteral("Datum"), date ? QVariant(QDateTime(*date, QTime(0, 0))) : QVariant()))
        return failed();
    if (machine && !set->setValue(QStringLiteral("MaschinenIndex"), qlonglong(*machine)))
        return failed();
    if (!set->update())
        return failed();
    out.ok = true;
    return out;
}

std::optional<ErrorInfo> CatalogueRecord::setMachine(Database &database, long dateiIndex, long machine)
{
    if (!database.execute(QStringLiteral("UPDATE DateiListe SET MaschinenIndex=? WHERE DateiIndex=?"),
                          {qlonglong(machine), qlonglong(dateiIndex)}))
        return database.lastError();
    if (database.recordsAffected() != 1)
        return missingRow(dateiIndex);
    return std::nullopt;
}

RecordRow CatalogueRecord::listRow(long dateiIndex, const RecordFields &fields, long machine,
                                   const QString &machineText)
{
    RecordRow row;
    row.cells[RecordRow::Datei] = fields.dateiname;
    row.cells[RecordRow::Bezeichnung] = RecordSearch::oneLine(fields.bezeichnung);
    row.cells[RecordRow::ZeichnungsNo] = RecordSearch::oneLine(fields.zeichnungsnummer);
    row.cells[RecordRow::AuftragsNo] = fields.auftragsnummer;
    row.cells[RecordRow::Kunde] = fields.kunde;
    const std::optional<QDate> date = DateCompletion::toDate(DateCompletion::complete(fields.datum.trimmed()));
    if (date && date->isValid()) {
        row.date = *date;
        row.cells[RecordRow::Datum] = DateCompletion::format(*date);
    }
    row.cells[RecordRow::DBIndex] = QString::number(dateiIndex);
    // As a search shows it: no machine is an empty cell.
    row.cells[RecordRow::Maschine] = machine != 0 ? machineText : QString();
    row.cells[RecordRow::MaschIDX] = QString::number(machine);
    return row;
}

} // namespace zep
