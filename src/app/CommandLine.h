#pragma once

#include <QString>
#include <QStringList>

namespace zep {

// What the program is asked to do by its command line. --help and
// --version are answered before any window system is touched, so they work
// on a machine without a display (an install script, a service check).
//
//   -h, --help               usage, exit 0
//   -v, --version            "ZEP <major>.<minor>.<revision>", exit 0
//   --program-dir DIR        the program directory (see ProgramDirectory)
//   --create-database FILE   a fresh catalogue, no window
//   --quit-after-start       come up fully, then end (tests, screenshots)
//   --backup                 the backup without a window, exit 0 only when
//                            every archive was written
//   --copy-catalogue-to URL  copies the program directory's catalogue into an
//                            empty catalogue on a database server, no window
struct CommandLine {
    enum class Action { Run, Help, Version, CreateDatabase, Error, Backup, CopyCatalogue };

    Action action = Action::Run;
    QString databaseFile;  // CreateDatabase
    QString copyTarget;    // CopyCatalogue: the server's address
    bool quitAfterStart = false;
    QString text;          // Help: the usage; Version: the version line; Error: what is wrong

    // arguments[0] is the program itself, as in QCoreApplication::arguments().
    static CommandLine parse(const QStringList &arguments);

    static QString version();     // "1.8.4"
    static QString versionLine(); // "ZEP 1.8.4"
};

} // namespace zep
