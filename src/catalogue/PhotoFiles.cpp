#include "catalogue/PhotoFiles.h"

#include "app/CatalogueNames.h"

#include <QDir>

namespace zep {

QString PhotoFiles::photoKey(const QString &storedName)
{
    return QString(storedName).replace(QLatin1Char('\\'), QLatin1Char('-'));
}

bool PhotoFiles::isPhotoOf(const QString &fileName, const QString &storedName)
{
    const QString prefix = QStringLiteral("FOTO_") + CatalogueNames::upperKeepLength(photoKey(storedName))
                           + QLatin1Char('_');
    const QString name = CatalogueNames::upperKeepLength(fileName);
    if (!name.startsWith(prefix))
        return false;
    const qsizetype dot = name.indexOf(QLatin1Char('.'), prefix.size());
    if (dot < 0 || dot == name.size() - 1 || name.indexOf(QLatin1Char('.'), dot + 1) >= 0)
        return false;
    const QString number = name.mid(prefix.size(), dot - prefix.size());
    bool ok = false;
    const int n = number.toInt(&ok);
    // "03" is not photo 3: the photo code writes plain numbers.
    return ok && n >= 1 && n <= kMaxPhotos && number == QString::number(n);
}

QStringList PhotoFiles::find(const QString &fotoVerzeichnis, const QString &storedName)
{
    QStringList out;
    if (fotoVerzeichnis.isEmpty())
        return out;
    const QDir dir(fotoVerzeichnis);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names)
        if (isPhotoOf(name, storedName))
            out.append(dir.filePath(name));
    return out;
}

} // namespace zep
