#include "db/SearchIndex.h"

#include "db/Database.h"
#include "db/JetDialect.h"
#include "db/RowReader.h"

#include <QStringList>

namespace zep {

namespace {

const QStringList kColumns{QStringLiteral("Dateiname"), QStringLiteral("Bezeichnung"),
                           QStringLiteral("Zeichnungsnummer"), QStringLiteral("Auftragsnummer"),
                           QStringLiteral("Kunde")};
const QString kNameIndex = QStringLiteral("DateinameIDX");

QString joined(const QString &prefix)
{
    QStringList out;
    for (const QString &column : kColumns)
        out.append(prefix + column);
    return out.join(QStringLiteral(", "));
}

QStringList creation()
{
    const QString t = SearchIndex::tableName();
    const QString cols = joined({});
    const QString insertNew = QStringLiteral("INSERT INTO %1(rowid, %2) VALUES (new.DateiIndex, %3);")
                                  .arg(t, cols, joined(QStringLiteral("new.")));
    const QString deleteOld = QStringLiteral("INSERT INTO %1(%1, rowid, %2) VALUES ('delete', old.DateiIndex, %3);")
                                  .arg(t, cols, joined(QStringLiteral("old.")));
    return {
        QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(%2, content='DateiListe', content_rowid='DateiIndex', "
                       "tokenize='trigram')")
            .arg(t, cols),
        QStringLiteral("CREATE TRIGGER %1_ai AFTER INSERT ON DateiListe BEGIN %2 END").arg(t, insertNew),
        QStringLiteral("CREATE TRIGGER %1_ad AFTER DELETE ON DateiListe BEGIN %2 END").arg(t, deleteOld),
        QStringLiteral("CREATE TRIGGER %1_au AFTER UPDATE OF DateiIndex, %2 ON DateiListe BEGIN %3 %4 END")
            .arg(t, cols, deleteOld, insertNew),
    };
}

qint64 single(Database &db, const QString &sql, bool *ok)
{
    qint64 value = -1;
    *ok = db.readRows(sql, {}, [&](const RowReader &r) { value = r.integer(0); }) && *ok;
    return value;
}

// The full-text table and its three triggers are there, and it holds one
// entry for each record: the cheap signs that it matches the records.
bool looksWhole(Database &db)
{
    const QString t = SearchIndex::tableName();
    bool ok = true;
    const qint64 parts = single(db,
                                QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('%1', '%1_ai', "
                                               "'%1_ad', '%1_au', '%1_docsize')")
                                    .arg(t),
                                &ok);
    if (!ok || parts != 5)
        return false;
    const qint64 entries = single(db, QStringLiteral("SELECT count(*) FROM %1_docsize").arg(t), &ok);
    const qint64 records = single(db, QStringLiteral("SELECT count(*) FROM DateiListe"), &ok);
    const qint64 lastEntry = single(db, QStringLiteral("SELECT coalesce(max(id), 0) FROM %1_docsize").arg(t), &ok);
    const qint64 lastRecord = single(db, QStringLiteral("SELECT coalesce(max(DateiIndex), 0) FROM DateiListe"), &ok);
    return ok && entries == records && lastEntry == lastRecord;
}

bool dropAll(Database &db)
{
    const QString t = SearchIndex::tableName();
    for (const QString &suffix : {QStringLiteral("_ai"), QStringLiteral("_ad"), QStringLiteral("_au")})
        if (!db.executeNative(QStringLiteral("DROP TRIGGER IF EXISTS %1%2").arg(t, suffix)))
            return false;
    return db.executeNative(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
}

// Characters for which the full-text table's case folding puts together
// exactly what the catalogue's does (checked character by character in the
// tests): plain Latin letters, digits and signs, umlauts and the other
// Latin letters of Western and Central Europe. Anything else ends a piece.
bool foldsAlike(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0x17F);
}

} // namespace

const QString &SearchIndex::tableName()
{
    static const QString name = QStringLiteral("DateiListeSuche");
    return name;
}

bool SearchIndex::present(Database &database)
{
    // On a server the searched columns carry trigram indexes that serve the
    // plain LIKE itself; there is no full-text table to ask first.
    return !database.isServer() && database.hasTable(tableName());
}

namespace {

// On PostgreSQL: a trigram index on the text of each searched column (the
// form the translated LIKE compares), and the name index.
SearchIndex::State ensureOnServer(Database &database)
{
    QStringList statements{
        QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON DateiListe (Dateiname)").arg(kNameIndex)};
    for (const QString &column : kColumns)
        statements.append(QStringLiteral("CREATE INDEX IF NOT EXISTS %1_trgm ON DateiListe USING gin ((%2) "
                                         "gin_trgm_ops)")
                              .arg(column, JetDialect::foldedText(column)));
    bool built = false;
    for (const QString &statement : statements) {
        const QString name = statement.section(QLatin1Char(' '), 5, 5);
        if (database.hasIndex(name))
            continue;
        if (!database.executeNative(statement))
            return SearchIndex::State::Unavailable;
        built = true;
    }
    return built ? SearchIndex::State::Built : SearchIndex::State::Ready;
}

} // namespace

SearchIndex::State SearchIndex::ensure(Database &database)
{
    if (!database.hasTable(QStringLiteral("DateiListe")))
        return State::Unavailable;
    if (database.isServer())
        return ensureOnServer(database);
    const bool hasNameIndex = database.hasIndex(kNameIndex);
    const bool whole = looksWhole(database);
    if (hasNameIndex && whole)
        return State::Ready;
    if (!database.transaction())
        return State::Unavailable;
    // Text columns compare with the catalogue's case-blind collation, and so
    // does this index, so a look-up by name is one seek.
    bool ok = hasNameIndex
              || database.executeNative(QStringLiteral("CREATE INDEX %1 ON DateiListe (Dateiname)").arg(kNameIndex));
    if (ok && !whole) {
        ok = dropAll(database);
        for (const QString &statement : creation())
            ok = ok && database.executeNative(statement);
        ok = ok && database.executeNative(QStringLiteral("INSERT INTO %1(%1) VALUES ('rebuild')").arg(tableName()));
        // Built, the index lies in many small pieces, which every later
        // commit would go on merging, a little each time: with a million
        // records, ten new files cost as much again. Merged into one now, at
        // the start that builds it, a new record costs a fraction.
        ok = ok && database.executeNative(QStringLiteral("INSERT INTO %1(%1) VALUES ('optimize')").arg(tableName()));
    }
    if (ok && database.commit())
        return State::Built;
    database.rollback();
    return State::Unavailable;
}

QString SearchIndex::usablePiece(const QString &term)
{
    QString best, run;
    auto close = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    for (const QChar c : term) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c.isSurrogate() || !foldsAlike(c))
            close();
        else
            run += c;
    }
    close();
    return best.size() >= 3 ? best : QString();
}

QString SearchIndex::matchQuery(const QString &piece)
{
    return QLatin1Char('"') + QString(piece).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace zep
