#include "app/BackupLocation.h"

namespace zep {

namespace {

struct Split {
    QString parent; // up to and including the "/" before the last level
    QString name;   // the last level without its "/"
};

Split split(const QString &source)
{
    QString s = source;
    if (!s.endsWith(QLatin1Char('/')))
        s += QLatin1Char('/');
    const qsizetype k = s.lastIndexOf(QLatin1Char('/'), s.size() - 2);
    Split parts;
    parts.parent = s.left(k + 1);
    parts.name = s.mid(k + 1, s.size() - k - 2);
    // The root takes the place of a drive: it adds no level of its own.
    if (parts.parent.startsWith(QLatin1Char('/')))
        parts.parent.remove(0, 1);
    parts.parent.replace(QLatin1Char(':'), QLatin1Char('_'));
    parts.name.replace(QLatin1Char(':'), QLatin1Char('_'));
    return parts;
}

} // namespace

QString BackupLocation::parentDirectory(const QString &backupDir, const QString &source)
{
    return backupDir + split(source).parent;
}

QString BackupLocation::archiveDirectory(const QString &backupDir, const QString &source)
{
    const Split parts = split(source);
    return backupDir + parts.parent + parts.name + QLatin1Char('/');
}

QString BackupLocation::archiveFile(const QString &backupDir, const QString &source)
{
    return archiveDirectory(backupDir, source) + split(source).name + QStringLiteral(".zip");
}

} // namespace zep
