#pragma once

#include "catalogue/RecordFields.h"

#include <QList>
#include <QString>

namespace zep {

// The printed record sheet, laid out as text lines with their styles, so
// that what it says can be checked without a printer.
class RecordSheet {
public:
    struct Run {
        QString text;
        int pointSize = 10;
        bool bold = false;
        bool underline = false;
    };
    struct Line {
        QList<Run> runs;
        // A separator of "=" or "-": cut at the page's edge, never wrapped.
        bool rule = false;
        QString text() const;
    };

    // The font the sheet is set in ("Arial" has the same metrics).
    static QString fontFamily() { return QStringLiteral("Liberation Sans"); }

    // `fields` are the editor's current texts (unsaved edits included),
    // `machineText` the machine list's shown entry ("keine Auswahl" for none).
    static QList<Line> lines(const RecordFields &fields, const QString &machineText);
};

} // namespace zep
