#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace zep {

// Where CNCPRG.mdb, FileListe.dat and Logbuch.txt live. In order:
//  1. the directory given with --program-dir DIR (or --program-dir=DIR);
//  2. the executable's directory, when it can be written and is not an
//     installed layout (build tree, portable copy);
//  3. the per-user data directory $XDG_DATA_HOME/ZEP/, created on demand and
//     given a copy of the template CNCPRG.mdb on first start.
class ProgramDirectory {
public:
    struct Result {
        QString path;      // absolute, ends with "/"; empty on failure
        QString error;     // the user's message when path is empty
        bool seeded = false; // the template database was copied in
        bool ok() const { return !path.isEmpty(); }
    };

    // The value of --program-dir; an engaged empty string when the option
    // was given without a directory. The last occurrence wins.
    static std::optional<QString> fromArguments(const QStringList &args);

    static Result resolve(const QStringList &args, const QString &executableDir,
                          const QString &userDataDir = defaultUserDataDir());
    // The same for the running program (QCoreApplication must exist).
    static Result resolve(const QStringList &args);

    // $XDG_DATA_HOME/ZEP/ (~/.local/share/ZEP/).
    static QString defaultUserDataDir();

    // Where a template database is looked for: beside the executable, then
    // <exe>/../share/zep/. Empty when there is none.
    static QString findTemplateDatabase(const QString &executableDir);
    // The help page: in the program directory, else where an installed copy
    // keeps it (<exe>/../share/zep/). The program directory's path when
    // neither has it, so the message names the expected place.
    static QString findHelpPage(const QString &programDir, const QString &executableDir);

    // True when a file can actually be created in dir (permission bits say
    // little when running as root or on a read-only mount).
    static bool isWritableDirectory(const QString &dir);

    static QString databaseFileName() { return QStringLiteral("CNCPRG.mdb"); }
};

} // namespace zep
