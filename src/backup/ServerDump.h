#pragma once

#include <QString>

namespace zep {

// A catalogue on a PostgreSQL server written to `target` with pg_dump in its
// custom format (-Fc): one consistent state of the whole catalogue, while
// stations go on working, read back with pg_restore. `program` empty: pg_dump
// from PATH, else from /usr/lib/postgresql/15/bin. Never asks for a
// password (it would wait for ever without a terminal): libpq's ~/.pgpass or
// service file gives it, as it does to the program. False with `error`
// set when there is no pg_dump or the dump failed.
bool dumpServerCatalogue(const QString &url, const QString &target, const QString &program, QString *error);

// The pg_dump that would be used; empty when there is none.
QString findDumpProgram(const QString &program = {});

} // namespace zep
