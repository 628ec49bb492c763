#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

namespace zep {

// `zep --backup`: the backup of the program directory given by the command
// line (as the program would find it), with the user's settings, without a
// window and without the program's instance lock, so it also runs beside a
// running ZEP (the catalogue is copied through the database engine). The
// error list goes to `err`, the success text to `out`. Returns the exit
// status: 0 only when every archive was written.
int runBackupFromCommandLine(const QStringList &arguments, const QString &executableDir, std::FILE *out,
                             std::FILE *err);

} // namespace zep
