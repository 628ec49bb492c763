#include "app/SystemError.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace zep {

namespace {

// The topmost folder of `path` that is missing, or nothing when the folder
// the file would be in is there.
QString missingFolder(const QString &path)
{
    QString folder = QFileInfo(QDir::cleanPath(path)).absolutePath();
    if (QFileInfo(folder).isDir())
        return {};
    for (;;) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder || QFileInfo(parent).exists())
            return folder;
        folder = parent;
    }
}

QString quoted(const QString &path)
{
    return QStringLiteral(": '") + QDir::toNativeSeparators(path) + QLatin1Char('\'');
}

} // namespace

QString SystemError::reason(int errnum)
{
    switch (errnum) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Auf dem Datenträger ist kein Platz mehr frei");
    case EROFS:
        return QStringLiteral("Der Datenträger ist schreibgeschützt");
    case EACCES:
    case EPERM:
        return QStringLiteral("Keine Berechtigung für diesen Zugriff");
    case ENOENT:
        return QStringLiteral("Die Datei existiert nicht");
    case ENAMETOOLONG:
        return QStringLiteral("Der Name ist zu lang");
    case ENODEV:
    case ENXIO:
        return QStringLiteral("Der Datenträger ist nicht mehr angeschlossen");
    case EIO:
        return QStringLiteral("Der Datenträger kann nicht gelesen oder beschrieben werden (abgezogen oder defekt?)");
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
        return QStringLiteral("Die Verbindung zum Netzlaufwerk ist unterbrochen");
    case ENOTDIR:
        return QStringLiteral("Ein Teil des Pfads ist kein Ordner");
    case EISDIR:
        return QStringLiteral("Das ist ein Ordner, keine Datei");
    case EEXIST:
        return QStringLiteral("Der Name ist schon vergeben");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("Die Datei wird gerade von einem anderen Programm benutzt");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Es sind zu viele Dateien gleichzeitig geöffnet");
    case EFBIG:
        return QStringLiteral("Die Datei ist zu groß für diesen Datenträger");
    case EINVAL:
        // What a FAT-formatted stick answers for a name with ':' or '?'.
        return QStringLiteral("Der Name ist auf diesem Datenträger nicht erlaubt");
    case ELOOP:
        return QStringLiteral("Der Pfad enthält zu viele Verknüpfungen");
    case ENOTEMPTY:
        return QStringLiteral("Der Ordner ist nicht leer");
    case ENOMEM:
        return QStringLiteral("Nicht genug Arbeitsspeicher");
    case 0:
        return QStringLiteral("Unbekannter Fehler");
    default:
        // Rare enough to be worth the system's own words and number.
        return QStringLiteral("Unerwarteter Systemfehler %1 (%2)")
            .arg(errnum)
            .arg(QString::fromLocal8Bit(std::strerror(errnum)));
    }
}

QString SystemError::reason(const QFileDevice &file, int errnum)
{
    return errnum != 0 ? reason(errnum) : file.errorString();
}

QString SystemError::describe(int errnum, const QString &path)
{
    if (errnum == ENOENT) {
        const QString folder = missingFolder(path);
        if (!folder.isEmpty())
            return QStringLiteral("Der Ordner existiert nicht") + quoted(folder);
    }
    return reason(errnum) + quoted(path);
}

QString SystemError::describe(const QFileDevice &file, int errnum, const QString &path)
{
    if (errnum != 0)
        return describe(errnum, path);
    // Qt refuses to open a folder itself, without asking the system.
    if (QFileInfo(path).isDir())
        return describe(EISDIR, path);
    return file.errorString() + quoted(path);
}

ErrorInfo SystemError::info(long number, int errnum, const QString &path)
{
    return info(number, describe(errnum, path));
}

ErrorInfo SystemError::info(long number, const QString &description)
{
    return ErrorInfo{number, description, false};
}

} // namespace zep
