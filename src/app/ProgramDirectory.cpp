#include "app/ProgramDirectory.h"

#include "app/SystemError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>

namespace zep {

namespace {

const QString kOption = QStringLiteral("--program-dir");

QString withSlash(const QString &dir)
{
    QString clean = QDir::cleanPath(QDir(dir).absolutePath());
    if (!clean.endsWith(QLatin1Char('/')))
        clean += QLatin1Char('/');
    return clean;
}

QString sharedTemplateDir(const QString &executableDir)
{
    return withSlash(executableDir + QStringLiteral("/../share/zep"));
}

ProgramDirectory::Result failure(const QString &text)
{
    ProgramDirectory::Result result;
    result.error = text;
    return result;
}

// Creates dir when missing and checks that it can be written.
ProgramDirectory::Result usable(const QString &dir)
{
    const QString path = withSlash(dir);
    if (!QDir().mkpath(path))
        return failure(QStringLiteral("Das Programmverzeichnis ") + path + QStringLiteral(" kann nicht angelegt werden."));
    if (!ProgramDirectory::isWritableDirectory(path))
        return failure(QStringLiteral("Das Programmverzeichnis ") + path
                       + QStringLiteral(" kann nicht beschrieben werden."));
    ProgramDirectory::Result result;
    result.path = path;
    return result;
}

} // namespace

std::optional<QString> ProgramDirectory::fromArguments(const QStringList &args)
{
    std::optional<QString> found;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == kOption) {
            found = i + 1 < args.size() ? args.at(++i) : QString();
        } else if (arg.startsWith(kOption + QLatin1Char('='))) {
            found = arg.mid(kOption.size() + 1);
        }
    }
    return found;
}

QString ProgramDirectory::defaultUserDataDir()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                           + QStringLiteral("/ZEP"))
           + QLatin1Char('/');
}

QString ProgramDirectory::findTemplateDatabase(const QString &executableDir)
{
    for (const QString &dir : {withSlash(executableDir), sharedTemplateDir(executableDir)}) {
        const QFileInfo candidate(dir + databaseFileName());
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

QString ProgramDirectory::findHelpPage(const QString &programDir, const QString &executableDir)
{
    const QString page = QStringLiteral("ZEPHelp/ZEPHilfe.html");
    const QString own = withSlash(programDir) + page;
    const QString installed = sharedTemplateDir(executableDir) + page;
    return !QFileInfo(own).isFile() && QFileInfo(installed).isFile() ? installed : own;
}

bool ProgramDirectory::isWritableDirectory(const QString &dir)
{
    if (!QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(withSlash(dir) + QStringLiteral(".zep-probe-XXXXXX"));
    return probe.open();
}

ProgramDirectory::Result ProgramDirectory::resolve(const QStringList &args, const QString &executableDir,
                                                   const QString &userDataDir)
{
    if (const std::optional<QString> given = fromArguments(args)) {
        if (given->isEmpty())
            return failure(QStringLiteral("Nach --program-dir fehlt das Programmverzeichnis."));
        return usable(*given);
    }

    // An installed copy keeps its template under share/zep and must not
    // write beside the executable, even where it could (running as root).
    const bool installed = QFileInfo(sharedTemplateDir(executableDir) + databaseFileName()).isFile();
    if (!installed && isWritableDirectory(executableDir))
        return usable(executableDir);

    Result result = usable(userDataDir);
    if (!result.ok())
        return result;

    const QString target = result.path + databaseFileName();
    if (!QFileInfo::exists(target)) {
        const QString source = findTemplateDatabase(executableDir);
        // Without a template the load sequence reports the missing database.
        if (!source.isEmpty()) {
            // QFile::copy writes a temporary file and renames it, so a failed
            // copy leaves no half database that would later look valid.
            QFile from(source);
            errno = 0;
            if (!from.copy(target)) {
                const int errnum = errno;
                return failure(QStringLiteral("Die Datenbank ") + source + QStringLiteral(" konnte nicht nach ")
                               + target + QStringLiteral(" kopiert werden: ") + SystemError::reason(from, errnum));
            }
            // The template may be read-only in its installed place.
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
            result.seeded = true;
        }
    }
    return result;
}

ProgramDirectory::Result ProgramDirectory::resolve(const QStringList &args)
{
    return resolve(args, QCoreApplication::applicationDirPath());
}

} // namespace zep
