#pragma once

#include "app/ErrorInfo.h"

#include <QString>

namespace zep {

class Database;
class Prompts;

// A new, empty catalogue of the current shape. Never overwrites: an existing
// file at `path` is refused (3204) and left alone.
bool createFreshDatabase(const QString &path, ErrorInfo *error = nullptr);

// An empty catalogue of the shape old installations shipped: only
// DateiListe, without MaschinenIndex. The next start upgrades it.
bool createOlderDatabase(const QString &path, ErrorInfo *error = nullptr);

enum class SchemaCheck { Current, Upgraded, Failed };

// Brings an open catalogue up to the current shape: every table, index and
// column that is missing is created in one transaction, so an upgrade that
// stops half-way leaves the file as it was and the next start tries again.
// Errors are shown in the retry form; Cancel leaves the file unchanged.
SchemaCheck CheckOldDB(Database &database, Prompts &prompts);

} // namespace zep
