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

} // namespace zep
