#include "app/Prompts.h"

#include <QDir>

namespace zep {

QString Prompts::proposedPath(const QString &startDir, const QString &suggestedName)
{
    if (suggestedName.isEmpty())
        return startDir;
    if (startDir.isEmpty())
        return suggestedName;
    // Joined by QDir: a folder given without its closing "/" (the home
    // folder, a setting typed by hand) would otherwise give a file beside
    // it, "/home/userRX009.CNC.pdf".
    return QDir(startDir).filePath(suggestedName);
}

} // namespace zep
