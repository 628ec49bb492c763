#include "catalogue/RecordClipboard.h"

namespace zep {

namespace {
const QString kStart = QStringLiteral("CNC||");
const QString kSeparator = QStringLiteral("||");
} // namespace

const QList<RecordFields::Field> &RecordClipboard::fields()
{
    static const QList<RecordFields::Field> order{
        RecordFields::Bezeichnung, RecordFields::Zeichnungsnummer, RecordFields::Auftragsnummer,
        RecordFields::Kunde,       RecordFields::Laufzeit,         RecordFields::Aufspannung,
        RecordFields::Werkzeuge,   RecordFields::Ersteller,        RecordFields::Bemerkungen};
    return order;
}

QString RecordClipboard::format(const RecordFields &record)
{
    QString text = kStart;
    for (RecordFields::Field field : fields())
        text += record.text(field) + kSeparator;
    return text;
}

bool RecordClipboard::isRecordCopy(const QString &clipboardText)
{
    return clipboardText.startsWith(kStart);
}

RecordClipboard::Pasted RecordClipboard::paste(const QString &clipboardText, RecordFields &record)
{
    Pasted pasted;
    if (!isRecordCopy(clipboardText))
        return pasted;
    // "CNC", the fields, and the empty rest behind the last separator; a copy
    // that lost its last separator still holds all of its fields.
    const QStringList parts = clipboardText.split(kSeparator);
    pasted.fieldCount = parts.size() - 1 - (parts.last().isEmpty() ? 1 : 0);
    if (pasted.fieldCount != fields().size()) {
        pasted.outcome = Pasted::Outcome::WrongFieldCount;
        return pasted;
    }
    for (qsizetype i = 0; i < fields().size(); ++i) {
        const RecordFields::Field field = fields().at(i);
        const QString &text = parts.at(i + 1);
        record.text(field) = RecordFields::cutToLimit(field, text);
        if (record.text(field) != text)
            pasted.shortened.append(field);
    }
    pasted.outcome = Pasted::Outcome::Pasted;
    return pasted;
}

QString RecordClipboard::refusalText(const Pasted &pasted)
{
    switch (pasted.outcome) {
    case Pasted::Outcome::Pasted:
        break;
    case Pasted::Outcome::NoCopy:
        return QStringLiteral("Keine ZEP-Datensatzkopie im Clipboard!");
    case Pasted::Outcome::WrongFieldCount:
        return QStringLiteral("Die Datensatzkopie im Clipboard ist unvollständig: sie enthält ")
               + QString::number(pasted.fieldCount)
               + (pasted.fieldCount == 1 ? QStringLiteral(" Angabe") : QStringLiteral(" Angaben"))
               + QStringLiteral(" statt ") + QString::number(fields().size())
               + QStringLiteral(". Es wurde nichts eingefügt. Bitte den Datensatz noch einmal kopieren.");
    }
    return {};
}

QString RecordClipboard::shortenedText(const Pasted &pasted)
{
    if (pasted.shortened.isEmpty())
        return {};
    QStringList cut;
    for (RecordFields::Field field : pasted.shortened)
        cut << RecordFields::label(field) + QStringLiteral(" auf ") + QString::number(RecordFields::typingLimit(field))
                   + QStringLiteral(" Zeichen");
    return QStringLiteral("Diese Angaben waren länger als in diesen Feldern erlaubt und wurden gekürzt: ")
           + cut.join(QStringLiteral(", ")) + QLatin1Char('.');
}

QList<RecordFields::Field> RecordClipboard::unsafeFields(const RecordFields &record)
{
    // The split takes the first "||" it meets: one inside a text, or one
    // made of a text's last "|" and the separator, cuts the text there and
    // shifts every later field.
    QList<RecordFields::Field> unsafe;
    for (RecordFields::Field field : fields()) {
        const QString &text = record.text(field);
        if (text.contains(kSeparator) || text.endsWith(QLatin1Char('|')))
            unsafe.append(field);
    }
    return unsafe;
}

} // namespace zep
