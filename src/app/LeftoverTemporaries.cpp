#include "app/LeftoverTemporaries.h"

#include "app/AtomicFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zep {

namespace {

void sweep(const QString &dir, LeftoverSearch search, QStringList &removed)
{
    const QFileInfoList entries =
        QDir(dir).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink())
            continue;
        if (entry.isDir()) {
            if (search == LeftoverSearch::WholeTree && !entry.fileName().startsWith(QLatin1Char('.')))
                sweep(entry.filePath(), search, removed);
            continue;
        }
        if (entry.isFile() && AtomicFileWriter::isTemporaryName(entry.fileName())
            && QFile::remove(entry.filePath()))
            removed << entry.filePath();
    }
}

} // namespace

QStringList removeLeftoverTemporaries(const QString &dir, LeftoverSearch search)
{
    QStringList removed;
    if (!dir.isEmpty() && QFileInfo(dir).isDir())
        sweep(dir, search, removed);
    return removed;
}

} // namespace zep
