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
};

} // namespace zep
