#pragma once

#include "db/Database.h"

#include <QString>
#include <QStringList>

// The records of a benchmark's catalogue, looking like a shop's: names in
// folders, customers and designations with umlauts, one designation in nine
// on two lines, 1,000 records (for `records` a multiple of 1,000) for
// "Sonderkunde Österreich", five machines. Record i is the same on both
// engines and in every benchmark, so their figures compare.
namespace shop {

inline QString pick(const QString &number, const QStringList &texts)
{
    QString out = QStringLiteral("CASE (") + number + QStringLiteral(") % ") + QString::number(texts.size());
    for (int i = 0; i < texts.size(); ++i)
        out += QStringLiteral(" WHEN %1 THEN '%2'").arg(i).arg(QString(texts[i]).replace("'", "''"));
    return out + QStringLiteral(" END");
}

// One statement making `records` records, run by the engine itself: a
// hundred thousand records one by one would take longer than what is timed.
inline QString fillStatement(bool server, int records)
{
    static const QStringList parts{"Welle", "Flansch", "Zahnrad", "Lagerdeckel", "Gehäuse", "Spindel", "Buchse",
                                   "Hülse", "Kupplungsstück", "Führungsschiene", "Nockenwelle", "Lagerbock",
                                   "Schneckenrad", "Druckstück", "Distanzring", "Grundplatte"};
    static const QStringList initials{"W", "F", "Z", "L", "G", "S", "B", "H", "K", "F", "N", "L", "S", "D", "D", "G"};
    static const QStringList details{"geschliffen", "Ø 42 h6", "vergütet", "Rohteil Ø 60", "2. Aufspannung",
                                     "Nut 8 P9", "Gewinde M12", "für Getriebe", "gehärtet", "Serie"};
    static const QStringList customers{"Müller GmbH", "Schäfer & Söhne KG", "Hoffmann Antriebstechnik",
                                       "Bäcker Maschinenbau", "Weiß Präzisionsteile", "Köhler AG", "Jürgens Metall",
                                       "Groß & Partner", "Förster Hydraulik", "Krämer Fahrzeugteile"};
    static const QStringList folders{"DREHEN\\", "FRAESEN\\", "DREHEN\\SERIE\\", "FRAESEN\\DMU50\\", ""};
    const QString lineBreak = server ? QStringLiteral("chr(13) || chr(10)") : QStringLiteral("char(13, 10)");
    const QString letter = server ? QStringLiteral("chr(65 + i % 4)") : QStringLiteral("char(65 + i % 4)");
    const QString order = server ? QStringLiteral("lpad(CAST(i % 5003 AS TEXT), 4, '0')")
                                 : QStringLiteral("printf('%04d', i % 5003)");
    const QString date = server ? QStringLiteral("TIMESTAMP '2015-01-01 08:00:00' + (i % 4000) * INTERVAL '1 day'")
                                : QStringLiteral("datetime('2015-01-01 08:00:00', '+' || (i % 4000) || ' days')");
    auto asText = [](const QString &number) { return QStringLiteral("CAST(") + number + QStringLiteral(" AS TEXT)"); };
    const QString select = QStringLiteral("SELECT ") + pick("i", folders) + " || " + pick("i", initials) + " || "
                           + asText("10000 + i / 3") + " || '-' || " + asText("i % 3") + " || '.NC', " + pick("i", parts)
                           + " || ' ' || " + pick("i / 16", details) + " || CASE WHEN i % 9 = 0 THEN " + lineBreak
                           + " || 'zweite Zeile' ELSE '' END, 'Z-' || " + asText("20000 + i % 9777") + " || '-' || "
                           + letter + ", 'A2026-' || " + order + ", CASE WHEN i % " + QString::number(records / 1000)
                           + " = 0 THEN 'Sonderkunde Österreich' ELSE " + pick("i / 7", customers) + " END, " + date
                           + ", i % 6";
    const QString insert = QStringLiteral("INSERT INTO DateiListe (Dateiname, Bezeichnung, Zeichnungsnummer, "
                                          "Auftragsnummer, Kunde, Datum, MaschinenIndex) ");
    if (server)
        return insert + select + QStringLiteral(" FROM generate_series(0, %1) AS s(i)").arg(records - 1);
    return QStringLiteral("WITH RECURSIVE s(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM s WHERE i + 1 < %1) ")
               .arg(records)
           + insert + select + QStringLiteral(" FROM s");
}

// The five machines and the records, into an open catalogue; its error in
// lastError() when false.
inline bool fillCatalogue(zep::Database &db, int records)
{
    for (int m = 1; m <= 5; ++m)
        if (!db.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES (?, 'Halle')", {QString("Maschine %1").arg(m)}))
            return false;
    return db.executeNative(fillStatement(db.isServer(), records));
}

} // namespace shop
