#include "db/ListOrder.h"

#include "db/Database.h"

namespace zep {

namespace {

const char *const kColumns[] = {"Dateiname", "Bezeichnung", "Zeichnungsnummer", "Auftragsnummer", "Kunde"};

// Multi-line texts show each line break as " / ", and sort as shown.
bool multiLine(ListOrder::Key key)
{
    return key == ListOrder::Bezeichnung || key == ListOrder::Zeichnungsnummer;
}

} // namespace

QString ListOrder::expression(Key key, bool server)
{
    if (key <= Kunde) {
        const QString column = QString::fromLatin1(kColumns[key]);
        if (server) {
            // lower(upper()) folds as the catalogue's LIKE does on the
            // server (ß stays ß, final sigma meets sigma); "C" then compares
            // code points, as the list compares folded texts. The server's
            // index entries hold some 2,700 bytes at most, and a longer text
            // could not be written at all: the first 500 characters decide
            // (texts alike that far go by DateiIndex).
            QString text = QStringLiteral("coalesce(%1::text, '')").arg(column);
            if (multiLine(key))
                text = QStringLiteral("replace(%1, E'\\r\\n', ' / ')").arg(text);
            return QStringLiteral("left(lower(upper(%1)), %2) COLLATE \"C\"").arg(text).arg(kServerKeyLength);
        }
        // NOCASE is the catalogue's own case-blind collation on SQLite (see
        // UnicodeCase), the one its text columns are declared with.
        QString text = QStringLiteral("coalesce(%1, '')").arg(column);
        if (multiLine(key))
            text = QStringLiteral("replace(%1, char(13, 10), ' / ')").arg(text);
        return text + QStringLiteral(" COLLATE NOCASE");
    }
    switch (key) {
    case Datum:
        // The day only: records of one day go by DateiIndex. A record
        // without a date counts as 01.01.1980.
        return server ? QStringLiteral("coalesce(Datum::date, DATE '1980-01-01')")
                      : QStringLiteral("coalesce(substr(Datum, 1, 10), '1980-01-01')");
    case DateiIndex:
        // Numbers shown as text sort as text ("10" before "9"), as the list
        // has always sorted them.
        return server ? QStringLiteral("(DateiIndex::text) COLLATE \"C\"") : QStringLiteral("CAST(DateiIndex AS TEXT)");
    case MaschinenIndex:
        return server ? QStringLiteral("coalesce(MaschinenIndex::text, '') COLLATE \"C\"")
                      : QStringLiteral("coalesce(CAST(MaschinenIndex AS TEXT), '')");
    default: break;
    }
    return {};
}

QString ListOrder::indexName(Key key)
{
    static const char *const names[] = {"Dateiname", "Bezeichnung", "Zeichnungsnummer", "Auftragsnummer",
                                        "Kunde",     "Datum",       "DateiIndex",       "MaschinenIndex"};
    return QStringLiteral("DateiListeOrder_") + QString::fromLatin1(names[key]);
}

bool ListOrder::ensureIndexes(Database &database)
{
    if (!database.hasTable(QStringLiteral("DateiListe")))
        return false;
    const bool server = database.isServer();
    bool ok = true;
    for (int k = 0; k < kKeys; ++k) {
        const Key key = Key(k);
        const QString name = indexName(key);
        if (database.hasIndex(name))
            continue;
        const QString order = newestFirst(key) ? QStringLiteral(" DESC") : QString();
        // SQLite keeps each entry's rowid (DateiIndex) in the index, in
        // rising order among equal keys; the server is told.
        const QString statement = server ? QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON DateiListe ((%2)%3, DateiIndex)")
                                               .arg(name, expression(key, true), order)
                                         : QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON DateiListe (%2%3)")
                                               .arg(name, expression(key, false), order);
        ok = database.executeNative(statement) && ok;
    }
    return ok;
}

} // namespace zep
