#pragma once

#include <QString>

#include <optional>

namespace zep {

// The `Datenbank` setting's server form,
// postgresql://[user@]host[:port]/dbname[?sslmode=...]. A password never
// belongs there: ZEP.ini is readable on every station, and libpq finds it in
// ~/.pgpass, its service file or PGPASSWORD instead.
class ServerAddress {
public:
    // Why the setting cannot be used, in words for the shop; nothing when it
    // is usable (empty, meaning CNCPRG.mdb in the program directory,
    // included).
    static std::optional<QString> problem(const QString &setting);

    // The address as it may be shown and written to the logbook: a password
    // someone typed into it anyway is left out.
    static QString shown(const QString &address);
};

} // namespace zep
