#include "station/CatalogueCopyCommand.h"

#include "app/InstanceLock.h"
#include "app/ConsoleLine.h"
#include "app/ProgramDirectory.h"
#include "db/CatalogueCopy.h"
#include "db/ServerAddress.h"

#include <QDir>

namespace zep {

int runCatalogueCopyFromCommandLine(const QStringList &arguments, const QString &executableDir,
                                    const QString &targetUrl, std::FILE *out, std::FILE *err)
{
    const ProgramDirectory::Result dir = ProgramDirectory::resolve(arguments, executableDir);
    if (!dir.ok()) {
        printLine(err, QString(dir.error).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        return 1;
    }
    InstanceLock lock(dir.path);
    if (!lock.tryLock()) {
        printLine(err, QStringLiteral("ZEP läuft noch für das Programmverzeichnis ") + QDir::toNativeSeparators(dir.path)
                       + QStringLiteral(".\nBitte ZEP dort zuerst beenden: Was es nach dem Kopieren noch "
                                        "katalogisiert, fehlte sonst auf dem Server. Es wurde nichts kopiert."));
        return 1;
    }
    const QString file = dir.path + ProgramDirectory::databaseFileName();
    printLine(out, QStringLiteral("Kopiere ") + QDir::toNativeSeparators(file) + QStringLiteral(" nach ")
                   + ServerAddress::shown(targetUrl) + QStringLiteral(" ..."));
    const CatalogueCopyResult result =
        copyCatalogue(file, targetUrl, [out](const QString &line) { printLine(out, QStringLiteral("  ") + line); });
    printLine(result.ok ? out : err, copyReport(result, targetUrl));
    return result.ok ? 0 : 1;
}

} // namespace zep
