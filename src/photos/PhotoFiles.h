#pragma once

#include <QString>
#include <QStringList>

namespace zep {

// A record's photos in the photo directory: "Foto_" + key + "_" + number
// (1 to 10) + "." + extension, the key being the stored name with "\" as
// "-" (DREHEN\P1.NC -> Foto_DREHEN-P1.NC_3.jpg). The match is exact, so the
// photos of P1.NC_ALT are never taken for those of P1.NC.
class PhotoFiles {
public:
    static constexpr int kMaxPhotos = 10;

    static QString photoKey(const QString &storedName);
    // The real paths of the record's photo files, letter case ignored.
    static QStringList find(const QString &fotoVerzeichnis, const QString &storedName);
    static bool isPhotoOf(const QString &fileName, const QString &storedName);
    // The photo number (1 to 10) a file name carries for this record; 0 when
    // the file is none of its photos.
    static int photoNumber(const QString &fileName, const QString &storedName);
    // "Foto_" + key + "_" + number + "." + extension.
    static QString fileName(const QString &storedName, int number, const QString &extension);
    // The lowest number from 1 to 10 that no file of the directory holds
    // with any extension ("Foto_X_1.bmp" takes 1 for a JPEG as well); 0 when
    // all ten are taken.
    static int freeNumber(const QString &fotoVerzeichnis, const QString &storedName);
};

} // namespace zep
