#include "db/CatalogueSchema.h"

#include <QHash>

namespace zep {

QString SchemaTable::createStatement() const
{
    QString text = QStringLiteral("CREATE TABLE ") + name + QStringLiteral(" (");
    for (int i = 0; i < columns.size(); ++i) {
        text += columns.at(i).name + QLatin1Char(' ') + columns.at(i).jetType;
        if (i + 1 < columns.size())
            text += QStringLiteral(", ");
    }
    return text + QStringLiteral(");");
}

QString SchemaTable::addColumnStatement(const SchemaColumn &column) const
{
    return QStringLiteral("ALTER TABLE ") + name + QStringLiteral(" ADD COLUMN ") + column.name + QLatin1Char(' ')
           + column.jetType + QLatin1Char(';');
}

const SchemaTable &CatalogueSchema::dateiListe()
{
    static const SchemaTable table = [] {
        SchemaTable t = olderDateiListe();
        t.columns.append({QStringLiteral("MaschinenIndex"), QStringLiteral("LONG")});
        return t;
    }();
    return table;
}

SchemaTable CatalogueSchema::olderDateiListe()
{
    // Short texts hold what fits on a record sheet; the free-text columns are
    // memos, since set-up and tool lists run to many lines.
    return {QStringLiteral("DateiListe"),
            {{QStringLiteral("DateiIndex"), QStringLiteral("COUNTER")},
             {QStringLiteral("Dateiname"), QStringLiteral("TEXT(255)")},
             {QStringLiteral("Bezeichnung"), QStringLiteral("TEXT(255)")},
             {QStringLiteral("Zeichnungsnummer"), QStringLiteral("TEXT(100)")},
             {QStringLiteral("Auftragsnummer"), QStringLiteral("TEXT(100)")},
             {QStringLiteral("Kunde"), QStringLiteral("TEXT(255)")},
             {QStringLiteral("Datum"), QStringLiteral("DATE")},
             {QStringLiteral("Aufspannung"), QStringLiteral("MEMO")},
             {QStringLiteral("Werkzeuge"), QStringLiteral("MEMO")},
             {QStringLiteral("Laufzeit"), QStringLiteral("TEXT(50)")},
             {QStringLiteral("Ersteller"), QStringLiteral("TEXT(100)")},
             {QStringLiteral("Bemerkungen"), QStringLiteral("MEMO")}}};
}

const SchemaTable &CatalogueSchema::maschinen()
{
    static const SchemaTable table{
        QStringLiteral("Maschinen"),
        {{QStringLiteral("Bezeichnung"), QStringLiteral("TEXT")},
         {QStringLiteral("Standort"), QStringLiteral("TEXT")},
         {QStringLiteral("MitRS232"), QStringLiteral("BYTE")},
         {QStringLiteral("Sonderzeichen"), QStringLiteral("BYTE")},
         {QStringLiteral("Param1"), QStringLiteral("TEXT(30)")},
         {QStringLiteral("Param2"), QStringLiteral("TEXT(30)")},
         {QStringLiteral("Param3"), QStringLiteral("TEXT(30)")},
         {QStringLiteral("ECRzu"), QStringLiteral("BYTE")},
         {QStringLiteral("ELFzu"), QStringLiteral("BYTE")},
         {QStringLiteral("SCRzu"), QStringLiteral("BYTE")},
         {QStringLiteral("SLFzu"), QStringLiteral("BYTE")},
         {QStringLiteral("EXON"), QStringLiteral("BYTE")},
         {QStringLiteral("SXON"), QStringLiteral("BYTE")},
         {QStringLiteral("Baudrate"), QStringLiteral("TEXT(10)")},
         {QStringLiteral("COMString"), QStringLiteral("TEXT(30)")},
         {QStringLiteral("WartungsArt1"), QStringLiteral("BYTE")},
         {QStringLiteral("WartStart1"), QStringLiteral("DATE")},
         {QStringLiteral("WartText1"), QStringLiteral("MEMO")},
         {QStringLiteral("WartungsArt2"), QStringLiteral("BYTE")},
         {QStringLiteral("WartStart2"), QStringLiteral("DATE")},
         {QStringLiteral("WartText2"), QStringLiteral("MEMO")},
         {QStringLiteral("WartungsArt3"), QStringLiteral("BYTE")},
         {QStringLiteral("WartStart3"), QStringLiteral("DATE")},
         {QStringLiteral("WartText3"), QStringLiteral("MEMO")},
         {QStringLiteral("Maschinennummer"), QStringLiteral("COUNTER")}}};
    return table;
}

const SchemaTable &CatalogueSchema::wartungen()
{
    static const SchemaTable table{QStringLiteral("Wartungen"),
                                   {{QStringLiteral("Datum"), QStringLiteral("DATE")},
                                    {QStringLiteral("Maschinennummer"), QStringLiteral("LONG")},
                                    {QStringLiteral("Wartungstext"), QStringLiteral("MEMO")},
                                    {QStringLiteral("WartIndex"), QStringLiteral("COUNTER")}}};
    return table;
}

const SchemaIndex &CatalogueSchema::maschIdx()
{
    static const SchemaIndex index{QStringLiteral("MaschIDX"),
                                   QStringLiteral("CREATE INDEX MaschIDX ON Maschinen ([Maschinennummer]) WITH PRIMARY;")};
    return index;
}

QString CatalogueSchema::spelling(const QString &name)
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> out;
        for (const SchemaTable *t : {&dateiListe(), &maschinen(), &wartungen()}) {
            out.insert(t->name.toLower(), t->name);
            for (const SchemaColumn &c : t->columns)
                out.insert(c.name.toLower(), c.name);
        }
        return out;
    }();
    return names.value(name.toLower(), name);
}

} // namespace zep
