#pragma once

#include "db/Database.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace zep::test {

// A catalogue record as the directory check makes one (dated 05.01.2026),
// with a designation and a customer; returns its DateiIndex.
inline long insertRecord(Database &db, const QString &name, long machine = 0, const QString &kunde = "Zander")
{
    if (!db.execute("INSERT INTO DateiListe (Dateiname, Bezeichnung, Kunde, Datum, MaschinenIndex) "
                    "VALUES (?, 'Welle', ?, ?, ?)",
                    {name, kunde, QDateTime(QDate(2026, 1, 5), QTime(8, 0)), qlonglong(machine)}))
        return 0;
    auto set = db.openRecordset("SELECT * FROM DateiListe WHERE Dateiname=?", RecordsetType::Snapshot, {name});
    return set && !set->eof() ? long(set->value("DateiIndex").toLongLong()) : 0;
}

// One column of a record as stored; invalid for NULL or no such record.
inline QVariant recordColumn(Database &db, long index, const QString &column)
{
    auto set = db.openRecordset("SELECT * FROM DateiListe WHERE DateiIndex=?", RecordsetType::Snapshot,
                                {qlonglong(index)});
    return set && !set->eof() ? set->value(column) : QVariant();
}

} // namespace zep::test
