#pragma once

#include "catalogue/RecordFields.h"

#include <QList>
#include <QString>

namespace zep {

// The record copy on the clipboard: "CNC||" and the nine descriptive fields,
// each followed by "||", unescaped. Other installations paste it, so the
// format stays exactly as it is.
class RecordClipboard {
public:
    // The nine fields in clipboard order.
    static const QList<RecordFields::Field> &fields();

    static QString format(const RecordFields &record);
    static bool isRecordCopy(const QString &clipboardText);

    // Fills the fields a copy holds; a field the copy lacks stays as it is.
    // False (nothing changed) when the text is no record copy.
    static bool paste(const QString &clipboardText, RecordFields &record);

    // The fields whose text would come back different from a paste of the
    // copy ("||" inside, or a "|" at an end that joins the separator):
    // empty when the copy is safe.
    static QList<RecordFields::Field> unsafeFields(const RecordFields &record);
};

} // namespace zep
