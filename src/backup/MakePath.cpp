#include "backup/MakePath.h"

#include "app/Prompts.h"

#include <QDir>
#include <QFileInfo>

namespace zep {

bool MakePath(const QString &path, Prompts *errorsTo)
{
    // The root is taken over whole; then one level after the other.
    qsizetype pos = path.startsWith(QLatin1Char('/')) ? 1 : 0;
    bool ok = true;
    while (ok && pos < path.size()) {
        qsizetype next = path.indexOf(QLatin1Char('/'), pos);
        if (next < 0)
            next = path.size();
        const QString prefix = path.left(next);
        pos = next + 1;
        if (prefix.isEmpty() || prefix.endsWith(QLatin1Char('/')))
            continue; // "//" adds no level
        // A level that exists already is no failure; a file in its place is.
        ok = QFileInfo(prefix).isDir() || QDir().mkdir(prefix) || QFileInfo(prefix).isDir();
    }
    if (!ok && errorsTo)
        errorsTo->ask({QStringLiteral("Fehler beim Erstellen ") + QStringLiteral("des Verzeichnisses!"),
                       QStringLiteral("Fehler"), PromptIcon::Exclamation});
    return ok;
}

} // namespace zep
