#include "catalogue/DateCompletion.h"

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

} // namespace

QString DateCompletion::complete(const QString &typed)
{
    QString s = typed;
    if (s.isEmpty())
        return s;
    if (!isFullForm(s)) {
        // Two-digit years below 50 belong to this century, the rest to the
        // last one: programs are dated back to the 1950s at most.
        const QString yy = s.right(2);
        const QString century = (leadingNumber(yy) < 50 ? QStringLiteral("20") : QStringLiteral("19")) + yy;
        if (s.size() == 6)
            s = s.left(2) + QLatin1Char('.') + s.mid(2, 2) + QLatin1Char('.') + century;
        if (s.size() == 8)
            s = s.left(2) + QLatin1Char('.') + s.mid(2, 2) + QLatin1Char('.') + s.right(4);
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
    return s;
}

bool DateCompletion::hasMarks(const QString &completed)
{
    return completed.contains(QLatin1Char('?'));
}

std::optional<QDate> DateCompletion::toDate(const QString &completed)
{
    if (completed.isEmpty())
        return std::nullopt;
    if (!isFullForm(completed) || hasMarks(completed))
        return QDate();
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!completed.at(i).isDigit() || completed.at(i).unicode() > '9')
            return QDate();
    return QDate(completed.mid(6, 4).toInt(), completed.mid(3, 2).toInt(), completed.left(2).toInt());
}

QString DateCompletion::format(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

} // namespace zep
