#pragma once

#include "app/ErrorInfo.h"
#include "catalogue/FoundRecords.h"
#include "catalogue/SearchStatement.h"

#include <QByteArray>
#include <QHash>

#include <utility>

namespace zep {

class Database;

// A search read a page at a time, in the order the main list shows: the
// engine counts the hits and orders them (with the list's indexes, see
// ListOrder), and hands over only the lines asked for. A first screen
// costs about the same for ten records as for a million.
class RecordSearchPages {
public:
    // Up to this many hits of a narrow search are sorted by the engine as
    // found, rather than found along an order index.
    static constexpr qint64 kSortedHits = 20000;
    // A narrow search reads up to this many hits in the very statement that
    // counts them.
    static constexpr int kReadWhenCounting = int(kSortedHits);

    RecordSearchPages(Database &database, SearchStatement statement);

    // Counts the hits (again: after records were added or deleted, the
    // machines' texts read anew too). False, and error(), when the engine
    // fails.
    bool count();
    // Whether the last count succeeded.
    bool ok() const { return m_ok; }
    qint64 hits() const { return m_hits; }
    // Whether the count read every hit (a narrow search): the list then
    // holds and sorts them itself, as fast as the engine would.
    bool readWhole() const { return m_readWhole; }
    // Those hits, in no particular order; handed over once.
    FoundRecords takeWhole() { return std::exchange(m_whole, FoundRecords()); }
    const ErrorInfo &error() const { return m_error; }
    const SearchStatement &statement() const { return m_statement; }

    // Up to `rows` lines from line `first` on, in the order of the list's
    // column `column` (a RecordRow::Column), in place of what `out` held.
    // `after`, when not 0, is the record on line `first` - 1: the engine then
    // goes on from it along the index instead of counting off `first` lines.
    bool read(int column, qint64 first, int rows, FoundRecords &out, long after = 0);
    // The line of a record in that order; -1 when the search does not find
    // it (or the engine fails).
    qint64 line(int column, long dateiIndex);

private:
    QString condition() const;
    QVariantList conditionParams() const;
    QString key(int column, bool forIndex) const;
    QString orderBy(int column, bool reversed, bool forIndex) const;
    qint64 single(const QString &jetSql, const QVariantList &params, const QString &tail = {},
                  const QVariantList &tailParams = {});
    bool useIndex(bool ok);

    Database &m_database;
    SearchStatement m_statement;
    bool m_indexed = false; // the full-text table narrows the search
    qint64 m_hits = 0;
    qint64 m_records = 0; // in DateiListe, when every record is a hit
    bool m_ok = false;
    ErrorInfo m_error;
    QHash<long, QByteArray> m_machines;
    FoundRecords m_whole;
    bool m_readWhole = false;
    QString m_machineOrder; // the machines' texts A to Z, as an expression
};

} // namespace zep
