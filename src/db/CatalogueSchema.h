#pragma once

#include <QList>
#include <QString>

namespace zep {

// The current shape of the catalogue, as data: what the upgrade check
// compares a database against and what a fresh database is made of.
struct SchemaColumn {
    QString name;
    QString jetType;
};

struct SchemaTable {
    QString name;
    QList<SchemaColumn> columns;

    // "CREATE TABLE name (col type, col type);" in the old dialect.
    QString createStatement() const;
    QString addColumnStatement(const SchemaColumn &column) const;
};

struct SchemaIndex {
    QString name;
    QString statement;
};

class CatalogueSchema {
public:
    // DateiListe as it stands today (with MaschinenIndex).
    static const SchemaTable &dateiListe();
    // The shape old installations shipped: DateiListe without MaschinenIndex.
    static SchemaTable olderDateiListe();
    static const SchemaTable &maschinen();
    static const SchemaTable &wartungen();
    static const SchemaIndex &maschIdx();

    // A table's or column's name as the program spells it, for a name in
    // any letter case (a server folds the names it keeps to lower case);
    // other names come back unchanged.
    static QString spelling(const QString &name);
};

} // namespace zep
