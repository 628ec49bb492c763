#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace zep {

// Reading photos for display and telling why one cannot be shown.
//
// A photo is decoded at the size it is shown at where its format can do
// that (JPEG and PNG can: a preview of a 108-megapixel photo never lies
// whole in memory), and only when the decoded picture fits the memory set
// aside for one picture. Qt's own limit (a few hundred megabytes) would
// otherwise refuse a valid large photo as if it were damaged.
class PhotoReader {
public:
    struct Result {
        QImage image;          // null when the photo cannot be shown
        QString why;           // a German sentence, without the path
        bool tooLarge = false; // a valid picture, too large for the memory
    };

    // The memory one decoded picture may take: a quarter of the computer's
    // memory, at least 256 MB and at most 4 GB.
    static qint64 defaultBudget();

    // Scaled down (never up) to fit `box`.
    static Result readScaled(const QString &path, const QSize &box, qint64 budget = defaultBudget());
    // At full size, for the 1:1 view.
    static Result read(const QString &path, qint64 budget = defaultBudget());

    // Whether the file is a picture that can become a photo, judged by its
    // header without decoding it: nothing when it is one, else the message
    // that refuses it, naming the file.
    static std::optional<QString> refusalAsPhoto(const QString &path);

    // The message for a photo that cannot be shown.
    static QString unreadableText(const QString &path, const Result &result);
};

} // namespace zep
