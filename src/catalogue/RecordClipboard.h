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

    struct Pasted {
        enum class Outcome {
            Pasted,
            NoCopy,        // no "CNC||" in front
            WrongFieldCount // cut short or run together: not nine fields
        };
        Outcome outcome = Outcome::NoCopy;
        qsizetype fieldCount = 0; // the fields the copy holds
        // The fields cut to what typing allows there.
        QList<RecordFields::Field> shortened;
        bool ok() const { return outcome == Outcome::Pasted; }
    };
    // Fills the nine fields from a whole copy, each cut to its typing limit.
    // A text that is no copy, or a copy of another number of fields, changes
    // nothing: pasted into the wrong fields, its texts would overwrite good
    // ones.
    static Pasted paste(const QString &clipboardText, RecordFields &record);
    // Why the paste changed nothing, for the user; empty when it pasted.
    static QString refusalText(const Pasted &pasted);
    // Which fields were shortened; empty when none.
    static QString shortenedText(const Pasted &pasted);

    // The fields whose text would come back different from a paste of the
    // copy ("||" inside, or a "|" at an end that joins the separator):
    // empty when the copy is safe.
    static QList<RecordFields::Field> unsafeFields(const RecordFields &record);
};

} // namespace zep
