#pragma once

#include "app/ErrorInfo.h"
#include "catalogue/FoundRecords.h"
#include "catalogue/SearchStatement.h"

#include <QByteArray>
#include <QHash>


namespace zep {

class Database;
class RowReader;

struct SearchResult {
    bool ok = true;
    ErrorInfo error;
    FoundRecords rows; // in the statement's order
};

// Runs the main list's search and turns the found records into list lines.
class RecordSearch {
public:
    static SearchResult run(Database &database, const SearchStatement &statement);

    // Each machine's text once, as bytes, by machine number.
    static QHash<long, QByteArray> machineTexts(Database &database);
    // One row of the list's columns (SearchStatement::listSql's) as a line.
    static void append(FoundRecords &rows, const RowReader &row, const QHash<long, QByteArray> &machines);

    // "CR LF" inside a multi-line field is shown as " / ".
    static QString oneLine(const QString &text);
};

} // namespace zep
