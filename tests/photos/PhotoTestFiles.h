#pragma once

#include <QByteArray>
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QString>
#include <QtEndian>
#include <optional>

namespace zep::test {

// A real picture file of the given size and format ("jpeg", "bmp", "png").
inline QByteArray pictureBytes(int width, int height, const char *format = "jpeg", int quality = 90)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, ((x + y) * 3) & 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

// The quality a JPEG was written with, read back from its luminance
// quantisation table: the encoder scales the standard table by the quality,
// so the table names it.
inline std::optional<int> jpegQuality(const QByteArray &jpeg)
{
    // The standard luminance table in zig-zag order, as a file stores it.
    static const int kStandard[64] = {16, 11, 12, 14, 12, 10, 16, 14, 13, 14, 18, 17, 16, 19, 24, 40,
                                      26, 24, 22, 22, 24, 49, 35, 37, 29, 40, 58, 51, 61, 60, 57, 51,
                                      56, 55, 64, 72, 92, 78, 64, 68, 87, 69, 55, 56, 80, 109, 81, 87,
                                      95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};
    qsizetype i = 2;
    while (i + 4 < jpeg.size()) {
        if (uchar(jpeg[i]) != 0xFF)
            return std::nullopt;
        const uchar marker = uchar(jpeg[i + 1]);
        const int length = (uchar(jpeg[i + 2]) << 8) | uchar(jpeg[i + 3]);
        if (marker == 0xDB && uchar(jpeg[i + 4]) == 0x00) { // 8-bit table 0: luminance
            const auto *table = reinterpret_cast<const uchar *>(jpeg.constData() + i + 5);
            for (int q = 1; q <= 100; ++q) {
                const int scale = q < 50 ? 5000 / q : 200 - 2 * q;
                bool same = true;
                for (int k = 0; k < 64 && same; ++k)
                    same = table[k] == qBound(1, (kStandard[k] * scale + 50) / 100, 255);
                if (same)
                    return q;
            }
            return std::nullopt;
        }
        i += 2 + length;
    }
    return std::nullopt;
}

} // namespace zep::test
