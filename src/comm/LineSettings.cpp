#include "comm/LineSettings.h"

#include <QStringList>

namespace zep {

LineSettings LineSettings::split(const QString &s)
{
    LineSettings r;
    const int x = s.contains(QLatin1Char('.')) ? 2 : 0;
    const int len = s.size();
    // Positions count from 1 as the text is laid out.
    auto at = [&](int pos) { return (pos >= 1 && pos <= len) ? s.at(pos - 1) : QChar(); };
    r.baud = s.left(qMax(0, len - 6 - x));
    r.parity = at(len - 4 - x).toUpper();
    const QChar d = at(len - 2 - x);
    r.dataBits = d.isNull() ? QString() : QString(d);
    r.stopBits = s.right(qMin(len, 1 + x));
    return r;
}

std::optional<LineSettings> LineSettings::parse(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    LineSettings r;
    r.baud = parts[0].trimmed();
    bool ok = false;
    const long baud = r.baud.toLong(&ok);
    if (!ok || baud <= 0)
        return std::nullopt;
    const QString p = parts[1].trimmed().toUpper();
    if (p.size() != 1 || !QStringLiteral("EONMS").contains(p))
        return std::nullopt;
    r.parity = p.at(0);
    r.dataBits = parts[2].trimmed();
    const int bits = r.dataBits.toInt(&ok);
    if (!ok || bits < 4 || bits > 8)
        return std::nullopt;
    r.stopBits = parts[3].trimmed();
    if (r.stopBits != QLatin1String("1") && r.stopBits != QLatin1String("1.5") && r.stopBits != QLatin1String("2"))
        return std::nullopt;
    return r;
}

QString LineSettings::join() const
{
    return baud + QLatin1Char(',') + parity + QLatin1Char(',') + dataBits + QLatin1Char(',') + stopBits;
}

LineSettings LineSettings::fromMachine(int speedPosition, const QString &comString, const LineSettings &current)
{
    // The record holds no speed in COMString; a dummy one in front gives the
    // text the layout of a settings text, which is read from its end.
    const QString s = QStringLiteral("2400,") + comString;
    const int x = s.contains(QLatin1Char('.')) ? 2 : 0;
    const int len = s.size();
    auto at = [&](int pos) { return (pos >= 1 && pos <= len) ? QString(s.at(pos - 1)) : QString(); };

    LineSettings r = current;
    if (speedPosition >= 0 && speedPosition < speedChoices().size())
        r.baud = speedChoices().at(speedPosition);
    const QString parity = at(len - 2 - x).toUpper();
    for (const QString &name : parityChoices())
        if (name.left(1) == parity)
            r.parity = name.at(0);
    const QString dataBits = at(len - 4 - x);
    if (dataBitChoices().contains(dataBits))
        r.dataBits = dataBits;
    const QString stopBits = s.right(1 + x);
    if (stopBitChoices().contains(stopBits))
        r.stopBits = stopBits;
    return r;
}

const QStringList &LineSettings::speedChoices()
{
    static const QStringList list{QStringLiteral("110"),    QStringLiteral("300"),    QStringLiteral("600"),
                                  QStringLiteral("1200"),   QStringLiteral("2400"),   QStringLiteral("4800"),
                                  QStringLiteral("9600"),   QStringLiteral("14400"),  QStringLiteral("19200"),
                                  QStringLiteral("28800"),  QStringLiteral("38400"),  QStringLiteral("56000"),
                                  QStringLiteral("57600"),  QStringLiteral("115200"), QStringLiteral("128000"),
                                  QStringLiteral("256000")};
    return list;
}

const QStringList &LineSettings::parityChoices()
{
    static const QStringList list{QStringLiteral("Even"), QStringLiteral("Odd"), QStringLiteral("None"),
                                  QStringLiteral("Mark"), QStringLiteral("Space")};
    return list;
}

const QStringList &LineSettings::dataBitChoices()
{
    static const QStringList list{QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                                  QStringLiteral("8")};
    return list;
}

const QStringList &LineSettings::stopBitChoices()
{
    static const QStringList list{QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
    return list;
}

} // namespace zep
