#pragma once

#include <QString>

namespace zep {

// A consistent copy of a SQLite catalogue taken through the engine's online
// backup: the program keeps its own connection open and may go on reading
// and writing; the copy shows the database as one transaction saw it.
// Another connection writing in between only makes the copy start again.
// False with `error` set when the copy could not be made.
bool snapshotDatabase(const QString &source, const QString &target, QString *error);

} // namespace zep
