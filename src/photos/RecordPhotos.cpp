#include "photos/RecordPhotos.h"

#include "app/FileCopy.h"
#include "app/SystemError.h"
#include "photos/JpegWriter.h"
#include "photos/PhotoFiles.h"
#include "photos/PhotoReader.h"
#include "photos/cDIBSection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

namespace zep {

RecordPhotos::RecordPhotos(QString fotoVerzeichnis, QString storedName)
    : m_dir(std::move(fotoVerzeichnis)), m_storedName(std::move(storedName))
{
}

RecordPhotos::Listing RecordPhotos::list() const
{
    struct Found {
        int number;
        QString name;
    };
    QList<Found> found;
    for (const QString &path : PhotoFiles::find(m_dir, m_storedName)) {
        const QString name = QFileInfo(path).fileName();
        found.append({PhotoFiles::photoNumber(name, m_storedName), name});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) { return a.number < b.number; });
    Listing listing;
    for (const Found &f : found) {
        if (listing.names.size() < PhotoFiles::kMaxPhotos)
            listing.names.append(f.name);
        else
            listing.tooMany = true;
    }
    return listing;
}

int RecordPhotos::freeNumber() const
{
    return PhotoFiles::freeNumber(m_dir, m_storedName);
}

QString RecordPhotos::path(const QString &fileName) const
{
    return QDir(m_dir).filePath(fileName);
}

QString RecordPhotos::extensionFor(const QString &source)
{
    // The last three characters of the file's name ("scan.jpeg" gives
    // "peg"). A dot among them would make a name with two dots, which the
    // listing does not take for a photo: only what follows it counts.
    QString ext = QFileInfo(source).fileName().right(3);
    const qsizetype dot = ext.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        ext = ext.mid(dot + 1);
    return ext;
}

RecordPhotos::Added RecordPhotos::addFromFile(const QString &source) const
{
    Added added;
    if (const auto refused = PhotoReader::refusalAsPhoto(source)) {
        added.refused = *refused;
        return added;
    }
    QString ext = extensionFor(source);
    if (ext.isEmpty()) {
        added.error = ErrorInfo{53, QStringLiteral("Der Dateiname '") + QFileInfo(source).fileName()
                                        + QStringLiteral("' hat keine Endung.")};
        return added;
    }
    added.number = freeNumber();
    if (added.number == 0)
        return added;
    added.path = path(PhotoFiles::fileName(m_storedName, added.number, ext));
    if (auto why = copyReplacing(source, added.path))
        added.error = SystemError::info(75, *why);
    return added;
}

RecordPhotos::Added RecordPhotos::addPicture(const QImage &picture, int quality) const
{
    Added added;
    added.number = freeNumber();
    if (added.number == 0)
        return added;
    added.path = path(PhotoFiles::fileName(m_storedName, added.number, QStringLiteral("jpg")));
    cDIBSection bitmap;
    bitmap.CreateFromPicture(picture);
    added.error = JpegWriter::SaveJPG(bitmap, added.path, quality);
    bitmap.ClearUp();
    return added;
}

std::optional<ErrorInfo> RecordPhotos::remove(const QString &fileName) const
{
    QFile file(path(fileName));
    if (!file.exists())
        return std::nullopt;
    errno = 0;
    if (!file.remove())
        return SystemError::info(75, SystemError::describe(file, errno, file.fileName()));
    return std::nullopt;
}

} // namespace zep
