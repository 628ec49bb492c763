#include "photos/JpegWriter.h"

#include "app/AtomicFileWriter.h"
#include "photos/cDIBSection.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

namespace zep {

namespace {

ErrorInfo saveError(int code, const QString &why = {})
{
    QString text = QStringLiteral("Failed to save to JPG ") + QString::number(code);
    if (!why.isEmpty())
        text += QStringLiteral(" (") + why + QLatin1Char(')');
    return {JpegWriter::kErrorNumber, text};
}

} // namespace

std::optional<ErrorInfo> JpegWriter::SaveJPG(const cDIBSection &bitmap, const QString &path, int quality)
{
    if (!QImageWriter::supportedImageFormats().contains("jpeg"))
        return ErrorInfo{kErrorNumber, QStringLiteral("Failed to initialise the IJL library: ")
                                           + QString::number(int(QImageWriter::UnsupportedFormatError))};
    if (bitmap.isNull())
        return saveError(int(QImageWriter::InvalidImageError));

    QByteArray encoded;
    {
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(qBound(1, quality, 100));
        if (!writer.write(bitmap.image()))
            return saveError(int(writer.error()), writer.errorString());
    }

    // A photo written over keeps the dates it had: it is the same photo,
    // and the backup and the user's sorting go by them.
    const QFileInfo before(path);
    const bool replaces = before.exists();
    const QDateTime modified = replaces ? before.lastModified() : QDateTime();
    const QDateTime accessed = replaces ? before.lastRead() : QDateTime();
    const QFileDevice::Permissions permissions = replaces ? before.permissions() : QFileDevice::Permissions();

    AtomicFileWriter out;
    if (auto why = out.open(path))
        return saveError(int(QImageWriter::DeviceError), *why);
    if (auto why = out.write(encoded))
        return saveError(int(QImageWriter::DeviceError), *why);
    if (auto why = out.commit())
        return saveError(int(QImageWriter::DeviceError), *why);

    if (replaces) {
        QFile file(path);
        file.setPermissions(permissions | QFileDevice::WriteOwner);
        if (file.open(QIODevice::Append)) {
            file.setFileTime(modified, QFileDevice::FileModificationTime);
            file.setFileTime(accessed, QFileDevice::FileAccessTime);
            file.close();
        }
        file.setPermissions(permissions);
    }
    return std::nullopt;
}

} // namespace zep
