#include "photos/PhotoReader.h"

#include "app/SystemError.h"

#include <QDir>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <unistd.h>

namespace zep {

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;
const QString kDamaged = QStringLiteral("Die Datei ist beschädigt, das Bild darin kann nicht gelesen werden.");

QString shown(const QString &path)
{
    return QStringLiteral("'") + QDir::toNativeSeparators(path) + QStringLiteral("'");
}

QString megabytes(qint64 bytes)
{
    return QString::number((bytes + kMegabyte - 1) / kMegabyte) + QStringLiteral(" MB");
}

// The memory a picture of `size` takes once decoded and shown: 32 bits a
// pixel as the view draws it, more while a deeper format (16 bits a
// channel) is decoded.
qint64 decodedBytes(QSize size, QImage::Format format)
{
    const int bits = format == QImage::Format_Invalid ? 32
                                                      : std::max(32, int(QImage::toPixelFormat(format).bitsPerPixel()));
    return qint64(size.width()) * size.height() * bits / 8;
}

struct Header {
    QString why; // empty when the header is a picture's
    QSize size;
};

// Opens the file and reads what its header says, decoding nothing.
Header readHeader(QFile &file, QImageReader &reader)
{
    Header header;
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        // The callers' messages name the file already.
        const int errnum = errno;
        header.why = SystemError::reason(file, errnum) + QLatin1Char('.');
        return header;
    }
    if (file.size() == 0) {
        header.why = QStringLiteral("Die Datei ist leer.");
        return header;
    }
    // The contents decide, not the name: a PNG named .jpg is still a picture,
    // a text named .jpg none.
    reader.setDevice(&file);
    if (!reader.canRead()) {
        header.why = QStringLiteral("Die Datei ist kein Bild.");
        return header;
    }
    header.size = reader.size();
    if (!header.size.isValid() || header.size.isEmpty())
        header.why = kDamaged;
    return header;
}

PhotoReader::Result decode(const QString &path, const QSize *box, qint64 budget)
{
    PhotoReader::Result result;
    QFile file(path);
    QImageReader reader;
    const Header header = readHeader(file, reader);
    if (!header.why.isEmpty()) {
        result.why = header.why;
        return result;
    }
    const QSize size = header.size;
    QSize target = size;
    if (box && (size.width() > box->width() || size.height() > box->height()))
        target = size.scaled(*box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // Formats that cannot decode at a smaller size are decoded whole first.
    const bool decoderScales = target != size && reader.supportsOption(QImageIOHandler::ScaledSize);
    const qint64 needed = decodedBytes(decoderScales ? target : size, reader.imageFormat());
    if (needed > budget) {
        result.tooLarge = true;
        result.why = QStringLiteral("%1 × %2 Bildpunkte (%3 Megapixel) brauchen %4 Arbeitsspeicher, für ein Foto sind "
                                    "höchstens %5 vorgesehen.")
                         .arg(size.width())
                         .arg(size.height())
                         .arg(qRound64(double(size.width()) * size.height() / 1e6))
                         .arg(megabytes(needed), megabytes(budget));
        return result;
    }
    // Qt's own limit is set to the same budget, so that a picture that
    // passed the check above is not refused by Qt as if it were damaged.
    QImageReader::setAllocationLimit(int(std::min<qint64>(INT_MAX, (budget + kMegabyte - 1) / kMegabyte)));
    if (target != size)
        reader.setScaledSize(target);
    result.image = reader.read();
    if (result.image.isNull())
        result.why = kDamaged;
    return result;
}

} // namespace

qint64 PhotoReader::defaultBudget()
{
    // A quarter: the program's other windows and the desktop go on running
    // beside the photo, and a photo that needs more would drive the machine
    // into swapping instead of showing.
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    const qint64 memory = pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : 0;
    return std::clamp(memory / 4, 256 * kMegabyte, 4096 * kMegabyte);
}

PhotoReader::Result PhotoReader::readScaled(const QString &path, const QSize &box, qint64 budget)
{
    return decode(path, &box, budget);
}

PhotoReader::Result PhotoReader::read(const QString &path, qint64 budget)
{
    return decode(path, nullptr, budget);
}

std::optional<QString> PhotoReader::refusalAsPhoto(const QString &path)
{
    QFile file(path);
    QImageReader reader;
    const Header header = readHeader(file, reader);
    if (header.why.isEmpty())
        return std::nullopt;
    return QStringLiteral("Die Datei ") + shown(path) + QStringLiteral(" wird nicht als Foto übernommen: ") + header.why;
}

QString PhotoReader::unreadableText(const QString &path, const Result &result)
{
    if (result.tooLarge)
        return QStringLiteral("Das Foto ") + shown(path) + QStringLiteral(" ist zu groß zum Anzeigen: ") + result.why;
    return QStringLiteral("Das Foto ") + shown(path) + QStringLiteral(" kann nicht angezeigt werden: ") + result.why;
}

} // namespace zep
