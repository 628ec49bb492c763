#include "catalogue/DateCompletion.h"

#include <QRegularExpression>

namespace zep {

namespace {

// Only leading digits count; the first other character ends the number, and
// no digits at all read as 0 (so a sign or a blank never makes a part pass).
int leadingNumber(const QString &text)
{
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > 100000)
            break; // far outside every range checked; no overflow
    }
    return value;
}

bool isFullForm(const QString &s)
{
    return s.size() == 10 && s.at(2) == QLatin1Char('.') && s.at(5) == QLatin1Char('.');
}

// DD.MM.YYYY with a digit in each of the eight places.
bool isAllDigits(const QString &s)
{
    if (!isFullForm(s))
        return false;
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (s.at(i) < QLatin1Char('0') || s.at(i) > QLatin1Char('9'))
            return false;
    return true;
}

// Two-digit years below 50 belong to this century, the rest to the last one:
// programs are dated back to the 1950s at most.
QString centuryFor(const QString &yy)
{
    return (leadingNumber(yy) < 50 ? QStringLiteral("20") : QStringLiteral("19")) + yy;
}

// Day, month and year apart, as the shop writes them by hand: "1.2.03",
// "01-02-2003", "1/2/3". One or two digits for day and month; a year of one
// or two digits is a short year, four digits a full one. No value for any
// other text, which then goes the way of the fixed-width forms.
std::optional<QString> fromSeparatedParts(const QString &s)
{
    static const QRegularExpression parts(QStringLiteral(
        "^([0-9]{1,2}) *[./-] *([0-9]{1,2}) *[./-] *([0-9]{1,2}|[0-9]{4})$"));
    const QRegularExpressionMatch m = parts.match(s);
    if (!m.hasMatch())
        return std::nullopt;
    const QString year = m.captured(3).size() == 4 ? m.captured(3) : centuryFor(m.captured(3).rightJustified(2, '0'));
    return m.captured(1).rightJustified(2, '0') + QLatin1Char('.') + m.captured(2).rightJustified(2, '0')
           + QLatin1Char('.') + year;
}

} // namespace

QString DateCompletion::complete(const QString &typed)
{
    // Blanks around the date are no part of it (a paste brings them along).
    QString s = typed.trimmed();
    if (s.isEmpty())
        return s;
    if (const std::optional<QString> separated = fromSeparatedParts(s)) {
        s = *separated;
    } else if (s.size() == 6) {
        s = s.left(2) + QLatin1Char('.') + s.mid(2, 2) + QLatin1Char('.') + centuryFor(s.right(2));
    } else if (s.size() == 8) {
        s = s.left(2) + QLatin1Char('.') + s.mid(2, 2) + QLatin1Char('.') + s.right(4);
    } else if (!isFullForm(s)) {
        // No form to read it by: cut into columns it would come out garbled
        // ("1..??.????"), so it stays as typed, to be mended by the user.
        return s;
    }
    const int day = leadingNumber(s.left(2));
    if (day < 1 || day > 31)
        s = QStringLiteral("??.") + s.right(7);
    const int month = leadingNumber(s.mid(3, 2));
    if (month < 1 || month > 12)
        s = s.left(2) + QStringLiteral(".??.") + s.right(4);
    const int year = leadingNumber(s.right(4));
    if (year < 1900 || year > 2200)
        s = s.left(6) + QStringLiteral("????");
    // Each part in its range, yet no calendar day (31.02.2003): the day is
    // what does not fit its month.
    if (isAllDigits(s) && !toDate(s)->isValid())
        s = QStringLiteral("??") + s.mid(2);
    return s;
}

bool DateCompletion::hasMarks(const QString &completed)
{
    if (completed.isEmpty())
        return false;
    // Whatever is no date when the field is left would only be refused on
    // storing, after the user has moved on.
    const std::optional<QDate> date = toDate(completed);
    return completed.contains(QLatin1Char('?')) || !date || !date->isValid();
}

std::optional<QDate> DateCompletion::toDate(const QString &completed)
{
    if (completed.isEmpty())
        return std::nullopt;
    if (!isAllDigits(completed))
        return QDate();
    return QDate(completed.mid(6, 4).toInt(), completed.mid(3, 2).toInt(), completed.left(2).toInt());
}

QString DateCompletion::format(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

} // namespace zep
