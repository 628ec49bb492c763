#include "catalogue/RecordFields.h"

namespace zep {

QString &RecordFields::text(Field field)
{
    switch (field) {
    case Dateiname: return dateiname;
    case Bezeichnung: return bezeichnung;
    case Zeichnungsnummer: return zeichnungsnummer;
    case Auftragsnummer: return auftragsnummer;
    case Kunde: return kunde;
    case Datum: return datum;
    case Aufspannung: return aufspannung;
    case Werkzeuge: return werkzeuge;
    case Laufzeit: return laufzeit;
    case Ersteller: return ersteller;
    case Bemerkungen: break;
    case FieldCount: break;
    }
    return bemerkungen;
}

QString RecordFields::label(Field field)
{
    static const char *const labels[FieldCount] = {
        "Dateiname:", "Bezeichnung:", "Zeichnungsnummern:", "Auftragsnummer:", "Kunde:", "Datum:",
        "Aufspannung:", "Werkzeuge:", "Laufzeit/Teil:", "Ersteller:", "Bemerkungen:"};
    return field >= 0 && field < FieldCount ? QString::fromUtf8(labels[field]) : QString();
}

QString RecordFields::column(Field field)
{
    static const char *const columns[FieldCount] = {
        "Dateiname", "Bezeichnung", "Zeichnungsnummer", "Auftragsnummer", "Kunde", "Datum",
        "Aufspannung", "Werkzeuge", "Laufzeit", "Ersteller", "Bemerkungen"};
    return field >= 0 && field < FieldCount ? QString::fromLatin1(columns[field]) : QString();
}

int RecordFields::typingLimit(Field field)
{
    switch (field) {
    // What fits the record sheet's heading lines.
    case Bezeichnung:
    case Zeichnungsnummer: return 200;
    case Kunde: return 50;
    // A one-line field takes what its widget lets one type.
    case Auftragsnummer:
    case Laufzeit:
    case Ersteller: return 32767;
    default: return 0;
    }
}

namespace {

// The first `length` code units, one less when that would split a character
// outside the basic plane.
QString leftPart(const QString &text, qsizetype length)
{
    if (length <= 0)
        return {};
    if (length >= text.size())
        return text;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

} // namespace

QString RecordFields::cutToLimit(Field field, const QString &stored)
{
    const int limit = typingLimit(field);
    // A multi-line field counts as shown, where a line break is one character.
    const bool multiLine = isMultiLine(field);
    const QString text = multiLine ? toShown(stored) : stored;
    if (limit == 0 || text.size() <= limit)
        return stored;
    const QString cut = leftPart(text, limit);
    return multiLine ? toStored(cut) : cut;
}

bool RecordFields::isMultiLine(Field field)
{
    switch (field) {
    case Bezeichnung:
    case Zeichnungsnummer:
    case Aufspannung:
    case Werkzeuge:
    case Bemerkungen: return true;
    default: return false;
    }
}

qsizetype RecordFields::shownLength(Field field, const QString &text)
{
    return isMultiLine(field) ? toShown(toStored(text)).size() : text.size();
}

qsizetype RecordFields::entryLimit(Field field, const QString &stored)
{
    const int limit = typingLimit(field);
    return limit == 0 ? 0 : qMax(qsizetype(limit), shownLength(field, stored));
}

RecordFields::Entry RecordFields::fitEntry(Field field, qsizetype limit, qsizetype kept, const QString &entered)
{
    // A multi-line widget makes one line break of CR LF, CR, LF and the
    // paragraph marks alike; counted as it will count them, a CR LF from
    // another program's clipboard is one character, not two.
    const QString text = isMultiLine(field) ? toShown(toStored(entered)) : entered;
    Entry entry;
    if (limit <= 0) {
        entry.text = text;
        return entry;
    }
    entry.text = leftPart(text, limit - kept);
    entry.leftOut = text.size() - entry.text.size();
    return entry;
}

QString RecordFields::leftOutText(Field field, qsizetype limit, qsizetype leftOut)
{
    QString name = label(field);
    name.chop(1); // the colon
    return name + QStringLiteral(" hat höchstens ") + QString::number(limit) + QStringLiteral(" Zeichen: ")
           + QString::number(leftOut)
           + (leftOut == 1 ? QStringLiteral(" Zeichen wurde nicht übernommen.")
                           : QStringLiteral(" Zeichen wurden nicht übernommen."));
}

QString RecordFields::trimMultiLine(const QString &text)
{
    // Blanks only: a leading tab or line break is the user's layout.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    QString out = text.mid(begin, end - begin);
    if (out.endsWith(QLatin1String("\r\n")))
        out.chop(2);
    return out;
}

QString RecordFields::toStored(const QString &shown)
{
    QString out = shown;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    out.replace(QChar::LineSeparator, QLatin1Char('\n'));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    out.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return out;
}

QString RecordFields::toShown(const QString &stored)
{
    QString out = stored;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return out;
}

} // namespace zep
