#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

namespace zep {

// `zep --copy-catalogue-to postgresql://...`: copies the catalogue file of
// the program directory the command line names (as the program would find
// it) into an empty catalogue on the server, without a window. Refused
// while a ZEP runs on that program directory: what it catalogued after the
// copy would be missing on the server. Progress and the counts go to `out`,
// what went wrong to `err`. Returns the exit status: 0 only when every
// table was copied and its counts agree.
int runCatalogueCopyFromCommandLine(const QStringList &arguments, const QString &executableDir,
                                    const QString &targetUrl, std::FILE *out, std::FILE *err);

} // namespace zep
