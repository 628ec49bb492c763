#pragma once

#include "catalogue/RecordSheet.h"

#include <QFont>
#include <functional>
#include <QList>
#include <QPointF>
#include <QString>
#include <optional>

class QPaintDevice;
class QPainter;
class QPrinter;

namespace zep {

// Puts the record sheet's lines on paper or into a PDF file. The pages are
// laid out before the job starts, long texts wrap at the page's width and go
// on to the next page; a job that cannot start, or fails, leaves nothing
// behind: no half job at the printer, no half PDF file.
class RecordSheetPrinter {
public:
    struct Placed {
        QPointF baseline;
        QString text;
        QFont font;
    };
    using Page = QList<Placed>;

    static bool printerAvailable();
    // The pages for a paint area of the device (its width and height).
    static QList<Page> layout(const QList<RecordSheet::Line> &lines, const QPaintDevice &device);

    // Each returns the reason when nothing was printed or written.
    static std::optional<QString> print(const QList<RecordSheet::Line> &lines, QPrinter &printer);
    static std::optional<QString> writePdf(const QList<RecordSheet::Line> &lines, const QString &path,
                                           const QString &title);

private:
    static void paint(QPainter &painter, const QList<Page> &pages, const std::function<bool()> &newPage);
};

} // namespace zep
