#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace zep {

// How many rows one table had in the file and has on the server after the
// copy.
struct CopiedTable {
    QString table;
    qint64 source = 0;
    qint64 target = 0;
};

struct CatalogueCopyResult {
    bool ok = false;
    QString error;             // the user's message when !ok; nothing was written then
    QList<CopiedTable> tables; // in the order they were copied
};

// Copies a station's catalogue file, every table of it (records, machines,
// maintenance and whatever else it holds; not the search index, which the
// server keeps its own way), into an empty catalogue on a PostgreSQL server.
// The server's catalogue is created or upgraded by the schema check first;
// a server catalogue holding any row is refused before anything is written.
// The rows go over in one transaction with their keys, the server's
// counters continue after the highest key, and the counts of both sides are
// compared before the transaction is committed: a copy that does not match
// leaves the server as it was.
// `progress` hears one line per table as it is copied.
CatalogueCopyResult copyCatalogue(const QString &sourceFile, const QString &targetUrl,
                                  const std::function<void(const QString &)> &progress = {});

// "DateiListe: 1234 von 1234 Einträgen" lines and the closing verdict.
QString copyReport(const CatalogueCopyResult &result, const QString &targetUrl);

} // namespace zep
