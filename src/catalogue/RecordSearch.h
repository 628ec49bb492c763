#pragma once

#include "app/ErrorInfo.h"
#include "catalogue/FoundRecords.h"
#include "catalogue/SearchStatement.h"


namespace zep {

class Database;

struct SearchResult {
    bool ok = true;
    ErrorInfo error;
    FoundRecords rows; // in the statement's order
};

// Runs the main list's search and turns the found records into list lines.
class RecordSearch {
public:
    static SearchResult run(Database &database, const SearchStatement &statement);

    // "CR LF" inside a multi-line field is shown as " / ".
    static QString oneLine(const QString &text);
};

} // namespace zep
