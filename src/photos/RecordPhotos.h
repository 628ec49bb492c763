#pragma once

#include "app/ErrorInfo.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

namespace zep {

// The photos of one record in the photo directory: listing, the next free
// number, adding from a file or a scanned picture, deleting.
class RecordPhotos {
public:
    RecordPhotos(QString fotoVerzeichnis, QString storedName);

    struct Listing {
        QStringList names;    // file names without directory, photo 1 first
        bool tooMany = false; // more than ten files carry the record's numbers
        int count() const { return int(names.size()); }
    };
    // Only the record's own numbers 1 to 10 with one extension are listed,
    // in the order of their numbers; at most ten.
    Listing list() const;
    // 0 when all ten numbers are taken.
    int freeNumber() const;
    QString path(const QString &fileName) const;

    struct Added {
        int number = 0; // 0: no free number (and no error), or refused
        QString path;
        std::optional<ErrorInfo> error;
        QString refused; // the file is no picture: the message; nothing copied
    };
    // Copies the file byte for byte under the free number, with the source
    // name's last three characters as extension. Only a picture is taken:
    // an empty file or a text named ".jpg" is refused before anything is
    // copied.
    Added addFromFile(const QString &source) const;
    // Stores a picture as JPEG under the free number.
    Added addPicture(const QImage &picture, int quality) const;
    std::optional<ErrorInfo> remove(const QString &fileName) const;

    // The extension a photo copied from `source` gets.
    static QString extensionFor(const QString &source);

private:
    QString m_dir;
    QString m_storedName;
};

} // namespace zep
