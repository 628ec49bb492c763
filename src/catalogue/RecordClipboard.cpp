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

bool RecordClipboard::paste(const QString &clipboardText, RecordFields &record)
{
    if (!isRecordCopy(clipboardText))
        return false;
    const QStringList parts = clipboardText.split(kSeparator);
    for (qsizetype i = 1; i < parts.size() && i <= fields().size(); ++i)
        record.text(fields().at(i - 1)) = parts.at(i);
    return true;
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
