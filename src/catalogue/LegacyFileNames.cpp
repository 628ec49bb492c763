#include "catalogue/LegacyFileNames.h"

#include "app/CatalogueNames.h"
#include "app/CodePage1252.h"
#include "app/FileNameBytes.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace zep {

namespace {

// The names of a directory in upper case, as the catalogue compares them.
QSet<QString> upperNames(const QByteArray &directory)
{
    QSet<QString> names;
    DIR *dir = ::opendir(directory.constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir))
        names.insert(CatalogueNames::upperKeepLength(QFile::decodeName(entry->d_name)));
    ::closedir(dir);
    return names;
}

QString reason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("keine Berechtigung");
    case EROFS:
        return QStringLiteral("schreibgeschützt");
    case ENOENT:
        return QStringLiteral("nicht mehr vorhanden");
    case ENAMETOOLONG:
        return QStringLiteral("Name zu lang");
    case EBUSY:
        return QStringLiteral("in Benutzung");
    default:
        return QStringLiteral("Fehlernummer ") + QString::number(error);
    }
}

// 0, EEXIST when the target is there, or another errno. Never replaces the
// target, also when it appears between the check and the rename.
int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that guarantee: checked just before instead.
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

} // namespace

QString LegacyName::key() const
{
    // Byte for byte: two names the reading would show alike stay apart.
    return QString::fromLatin1(path());
}

QString LegacyName::shownNow() const
{
    return place + QFile::decodeName(name);
}

QString LegacyName::shownNew() const
{
    return place + reading;
}

std::optional<QString> LegacyFileNames::reading(const QByteArray &name)
{
    if (FileNameBytes::isUtf8(name))
        return std::nullopt;
    const QString text = CodePage1252::decode(name);
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control)
            return std::nullopt;
    if (!CatalogueNames::isStorableFileName(text) || text.startsWith(QLatin1Char('.')))
        return std::nullopt;
    return text;
}

LegacyFileNames::Outcome LegacyFileNames::renameAll(const QList<LegacyName> &names)
{
    Outcome outcome;
    QHash<QByteArray, QSet<QString>> present;
    for (const LegacyName &legacy : names) {
        auto known = present.find(legacy.directory);
        if (known == present.end())
            known = present.insert(legacy.directory, upperNames(legacy.directory));
        const QString upper = CatalogueNames::upperKeepLength(legacy.reading);
        if (known->contains(upper)) {
            outcome.taken.append(legacy);
            continue;
        }
        const int error = renameNoReplace(legacy.path(), legacy.directory + QFile::encodeName(legacy.reading));
        if (error == EEXIST || error == ENOTEMPTY) {
            outcome.taken.append(legacy);
        } else if (error != 0) {
            outcome.failed.append(legacy.shownNow() + QStringLiteral(" (") + reason(error) + QLatin1Char(')'));
        } else {
            known->insert(upper);
            outcome.renamed.append(legacy);
        }
    }
    return outcome;
}

} // namespace zep
