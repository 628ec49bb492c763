#include "support/OneColourPng.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <zlib.h>

namespace zep::test {

namespace {

void writeChunk(QFile &file, const char *type, const QByteArray &data)
{
    uchar length[4];
    qToBigEndian<quint32>(quint32(data.size()), length);
    file.write(reinterpret_cast<const char *>(length), 4);
    const QByteArray typed = QByteArray(type, 4) + data;
    file.write(typed);
    uchar crc[4];
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()), uInt(typed.size()))),
                          crc);
    file.write(reinterpret_cast<const char *>(crc), 4);
}

// One row compressed on its own: a full flush ends it on a byte boundary
// with nothing referring back, so the piece can be repeated in the stream.
QByteArray deflatePiece(z_stream &stream, const QByteArray &row)
{
    QByteArray out(int(deflateBound(&stream, uLong(row.size()))) + 64, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(row.constData()));
    stream.avail_in = uInt(row.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FULL_FLUSH);
    out.resize(out.size() - qsizetype(stream.avail_out));
    return out;
}

} // namespace

void writeOneColourPng(const QString &path, int width, int height, int red, int green, int blue)
{
    // The first row as it is (filter 0), every further row as the
    // difference to the one above (filter 2, "Up"): all zeros.
    QByteArray first(1 + 3 * qsizetype(width), '\0');
    for (int x = 0; x < width; ++x) {
        first[1 + 3 * x] = char(red);
        first[2 + 3 * x] = char(green);
        first[3 + 3 * x] = char(blue);
    }
    QByteArray up(1 + 3 * qsizetype(width), '\0');
    up[0] = 2;

    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    // The first piece begins with the zlib header deflate writes.
    const QByteArray firstPiece = deflatePiece(stream, first);
    const QByteArray upPiece = deflatePiece(stream, up);
    deflateEnd(&stream);
    QByteArray data = firstPiece;
    uLong adler = adler32(1, reinterpret_cast<const Bytef *>(first.constData()), uInt(first.size()));
    const uLong upAdler = adler32(1, reinterpret_cast<const Bytef *>(up.constData()), uInt(up.size()));
    data.reserve(firstPiece.size() + upPiece.size() * (height - 1) + 8);
    for (int y = 1; y < height; ++y) {
        data += upPiece;
        adler = adler32_combine(adler, upAdler, z_off_t(up.size()));
    }
    data += QByteArray("\x03\x00", 2); // the last block: empty, fixed codes
    uchar check[4];
    qToBigEndian<quint32>(quint32(adler), check);
    data += QByteArray(reinterpret_cast<const char *>(check), 4);

    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(width), header.data());
    qToBigEndian<quint32>(quint32(height), header.data() + 4);
    header[8] = 8; // bits per channel
    header[9] = 2; // RGB

    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("\x89PNG\r\n\x1a\n", 8);
    writeChunk(file, "IHDR", header);
    writeChunk(file, "IDAT", data);
    writeChunk(file, "IEND", QByteArray());
}

} // namespace zep::test
