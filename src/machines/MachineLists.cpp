#include "machines/MachineLists.h"

#include "comm/ConversionCode.h"

#include <QHash>

namespace zep::MachineLists {

const QList<Conversion> &conversions()
{
    static const QList<Conversion> list = [] {
        QList<Conversion> entries;
        for (const int code : {0, 255, 13, 10, 254})
            entries.append({ConversionCode::name(code), code});
        return entries;
    }();
    return list;
}

int GetComboIdx(int ascCode)
{
    const QList<Conversion> &list = conversions();
    for (int i = 0; i < list.size(); ++i)
        if (list[i].code == ascCode)
            return i;
    return 0;
}

const QStringList &intervals()
{
    static const QStringList list{QStringLiteral("kein"),      QStringLiteral("täglich"),
                                  QStringLiteral("wöchentlich"), QStringLiteral("monatlich"),
                                  QStringLiteral("vierteljährlich"), QStringLiteral("jährlich")};
    return list;
}

QString dueWindowIntervalName(int position)
{
    // The due window has its own short name for the quarter.
    if (position == 4)
        return QStringLiteral("quartal");
    return position >= 1 && position <= 5 ? intervals().at(position) : QString();
}

int intervalDays(int position)
{
    static constexpr int days[] = {0, 1, 7, 30, 91, 365};
    return position >= 1 && position <= 5 ? days[position] : 0;
}

QString endCharacterName(const QString &fieldText)
{
    if (fieldText == QLatin1String("0"))
        return QStringLiteral("NULL");
    bool ok = false;
    const double value = fieldText.trimmed().toDouble(&ok);
    if (!ok || value != qint64(value))
        return {};
    static const QHash<qint64, QString> names{{8, QStringLiteral("BACK")},  {9, QStringLiteral("TAB")},
                                              {10, QStringLiteral("LF")},   {11, QStringLiteral("VTAB")},
                                              {12, QStringLiteral("FF")},   {26, QStringLiteral("EOF")},
                                              {27, QStringLiteral("ESC")},  {255, QStringLiteral("ASC255")},
                                              {1310, QStringLiteral("CRLF")}};
    return names.value(qint64(value));
}

QString rs232Text(bool mitRs232, bool sonderzeichen)
{
    if (!mitRs232)
        return QStringLiteral("Nein");
    return QStringLiteral("Ja: ") + (sonderzeichen ? QStringLiteral("Sonderzeichen") : QStringLiteral("Timeout"));
}

} // namespace zep::MachineLists
