#include "catalogue/CatalogueRecord.h"

#include "app/CatalogueNames.h"
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
        out.gone = true;
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

CatalogueRecord::Vanished CatalogueRecord::vanished(Database &database, const QString &verzeichnis,
                                                    const QString &storedName)
{
    Vanished out;
    out.title = QStringLiteral("Datensatz gelöscht!");
    const QString what = QStringLiteral("Der Datensatz der Datei ") + storedName
                         + QStringLiteral(" wurde gelöscht, während er hier bearbeitet wurde.");
    const QString staying = QStringLiteral(" Die Änderungen bleiben in diesem Fenster stehen, bis es geschlossen wird.");
    const CatalogueNames::Resolved file = CatalogueNames::resolveStoredName(verzeichnis, storedName);
    if (file.ambiguous) {
        out.file = Vanished::File::Twins;
        out.text = what + QLatin1Char(' ') + CatalogueNames::twinsText(storedName) + staying;
        return out;
    }
    if (!file.found()) {
        out.file = Vanished::File::Gone;
        out.text = what + QStringLiteral(" Die Datei ist auch nicht mehr im Überwachungsverzeichnis (")
                   + file.shown + QStringLiteral("), die Änderungen können daher nicht gespeichert werden.")
                   + staying;
        return out;
    }
    out.file = Vanished::File::There;
    // The directory check may have catalogued the file anew meanwhile.
    auto set = database.openRecordset(QStringLiteral("SELECT * FROM DateiListe WHERE Dateiname=?"),
                                      RecordsetType::Snapshot, {storedName});
    if (set && !set->eof())
        out.dateiIndex = long(set->value(QStringLiteral("DateiIndex")).toLongLong());
    out.text = what + QStringLiteral(" Die Datei ist noch im Überwachungsverzeichnis")
               + (out.dateiIndex != 0 ? QStringLiteral(" und hat inzwischen einen neuen Datensatz.\r\r"
                                                       "Sollen die Änderungen in diesen Datensatz übernommen werden?")
                                      : QStringLiteral(".\r\rSollen die Änderungen als neuer Datensatz dieser Datei "
                                                       "gespeichert werden?"));
    return out;
}

CatalogueRecord::Kept CatalogueRecord::keepAsRecordOf(Database &database, const QString &storedName, long dateiIndex,
                                                      const RecordFields &fields, std::optional<long> machine)
{
    Kept out;
    out.dateiIndex = dateiIndex;
    if (out.dateiIndex == 0) {
        database.setLastStatement(QStringLiteral("INSERT INTO DateiListe (Dateiname) VALUES ('") + storedName
                                  + QStringLiteral("')"));
        if (!database.execute(QStringLiteral("INSERT INTO DateiListe (Dateiname) VALUES (?)"), {storedName})) {
            out.written.error = database.lastError();
            return out;
        }
        auto set = database.openRecordset(
            QStringLiteral("SELECT * FROM DateiListe WHERE Dateiname=? ORDER BY DateiIndex DESC"),
            RecordsetType::Snapshot, {storedName});
        if (!set || set->eof()) {
            out.written.error = database.lastError();
            return out;
        }
        out.dateiIndex = long(set->value(QStringLiteral("DateiIndex")).toLongLong());
        out.written = DatensatzSchreiben(database, out.dateiIndex, fields, machine.value_or(0));
        // Never a bare record with nothing but the name.
        if (!out.written.ok)
            database.execute(QStringLiteral("DELETE * FROM DateiListe WHERE DateiIndex=?"), {qlonglong(out.dateiIndex)});
        return out;
    }
    out.written = DatensatzSchreiben(database, out.dateiIndex, fields, machine);
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
