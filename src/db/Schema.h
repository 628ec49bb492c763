#pragma once

#include "app/ErrorInfo.h"

#include <QString>

namespace zep {

class Database;

// A new, empty catalogue of the current shape. Never overwrites: an existing
// file at `path` is refused (3204) and left alone.
bool createFreshDatabase(const QString &path, ErrorInfo *error = nullptr);

// An empty catalogue of the shape old installations shipped: only
// DateiListe, without MaschinenIndex. The next start upgrades it.
bool createOlderDatabase(const QString &path, ErrorInfo *error = nullptr);

enum class SchemaCheck { Current, Upgraded, Failed };

// What the check found and did. Failed carries the error that stopped it and
// the statement it was running, for the retry form the caller shows.
struct SchemaCheckResult {
    SchemaCheck outcome = SchemaCheck::Current;
    ErrorInfo error;
    QString statement;
};

// Brings an open catalogue up to the current shape: every table, index and
// column that is missing is created in one transaction, so an upgrade that
// stops half-way leaves the file as it was and the next start tries again.
// A failure is rolled back before it is returned: nothing is held open while
// someone decides whether to try again, and trying again is calling this
// once more.
SchemaCheckResult CheckOldDB(Database &database);

} // namespace zep
