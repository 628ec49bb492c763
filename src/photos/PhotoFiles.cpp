#include "photos/PhotoFiles.h"

#include "app/CatalogueNames.h"

#include <QDir>

namespace zep {

namespace {

QString upperPrefix(const QString &storedName)
{
    return QStringLiteral("FOTO_") + CatalogueNames::upperKeepLength(PhotoFiles::photoKey(storedName))
           + QLatin1Char('_');
}

QStringList directoryFiles(const QString &fotoVerzeichnis)
{
    if (fotoVerzeichnis.isEmpty())
        return {};
    return QDir(fotoVerzeichnis).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

QString PhotoFiles::photoKey(const QString &storedName)
{
    return QString(storedName).replace(QLatin1Char('\\'), QLatin1Char('-'));
}

int PhotoFiles::photoNumber(const QString &fileName, const QString &storedName)
{
    const QString prefix = upperPrefix(storedName);
    const QString name = CatalogueNames::upperKeepLength(fileName);
    if (!name.startsWith(prefix))
        return 0;
    const qsizetype dot = name.indexOf(QLatin1Char('.'), prefix.size());
    if (dot < 0 || dot == name.size() - 1 || name.indexOf(QLatin1Char('.'), dot + 1) >= 0)
        return 0;
    const QString number = name.mid(prefix.size(), dot - prefix.size());
    bool ok = false;
    const int n = number.toInt(&ok);
    // "03" is not photo 3: the photo code writes plain numbers.
    return ok && n >= 1 && n <= kMaxPhotos && number == QString::number(n) ? n : 0;
}

bool PhotoFiles::isPhotoOf(const QString &fileName, const QString &storedName)
{
    return photoNumber(fileName, storedName) != 0;
}

QString PhotoFiles::fileName(const QString &storedName, int number, const QString &extension)
{
    return QStringLiteral("Foto_") + photoKey(storedName) + QLatin1Char('_') + QString::number(number)
           + QLatin1Char('.') + extension;
}

int PhotoFiles::freeNumber(const QString &fotoVerzeichnis, const QString &storedName)
{
    const QString prefix = upperPrefix(storedName);
    const QStringList names = directoryFiles(fotoVerzeichnis);
    for (int n = 1; n <= kMaxPhotos; ++n) {
        // Any name that begins like photo n takes the number, also one the
        // listing would not show ("Foto_X_1.tar.gz"): a new photo must never
        // land on an existing file.
        const QString taken = prefix + QString::number(n) + QLatin1Char('.');
        bool used = false;
        for (const QString &name : names)
            if (CatalogueNames::upperKeepLength(name).startsWith(taken)) {
                used = true;
                break;
            }
        if (!used)
            return n;
    }
    return 0;
}

QStringList PhotoFiles::find(const QString &fotoVerzeichnis, const QString &storedName)
{
    QStringList out;
    const QDir dir(fotoVerzeichnis);
    for (const QString &name : directoryFiles(fotoVerzeichnis))
        if (isPhotoOf(name, storedName))
            out.append(dir.filePath(name));
    return out;
}

} // namespace zep
