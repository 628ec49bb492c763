#include "comm/LineSettings.h"

#include "comm/LineChoices.h"

#include <QRegularExpression>
#include <QStringList>

namespace zep {

namespace {

const QChar kComma = QLatin1Char(',');

// A stored text laid out as "…,parity,data bits,stop bits" is read from its
// end: x = 2 when it holds a "." (stop bits "1.5"), positions count from 1.
struct FromTheEnd {
    explicit FromTheEnd(const QString &text)
        : s(text), x(text.contains(QLatin1Char('.')) ? 2 : 0), len(int(text.size()))
    {
    }
    QChar at(int pos) const { return pos >= 1 && pos <= len ? s.at(pos - 1) : QChar(); }
    QChar parity() const { return at(len - 4 - x).toUpper(); }
    QString dataBits() const
    {
        const QChar d = at(len - 2 - x);
        return d.isNull() ? QString() : QString(d);
    }
    QString stopBits() const { return s.right(qMin(len, 1 + x)); }
    QString front() const { return s.left(qMax(0, len - 6 - x)); }

    const QString &s;
    int x;
    int len;
};

QString joined(const QStringList &parts, QChar parity, int parityAt)
{
    QString t;
    for (int k = 0; k < parts.size(); ++k) {
        if (k > 0)
            t += kComma;
        if (k == parityAt) {
            // A line without parity has none to write; a null character
            // must never reach the store.
            if (!parity.isNull())
                t += parity;
            continue;
        }
        t += parts.at(k);
    }
    return t;
}

} // namespace

LineSettings::LineSettings(QString speed, QChar parity, QString dataBits, QString stopBits, int handshake)
    : m_speed(std::move(speed)), m_parity(parity), m_dataBits(std::move(dataBits)), m_stopBits(std::move(stopBits)),
      m_handshake(handshake), m_readFrom(ReadFrom::Parts), m_read()
{
}

LineSettings LineSettings::fromText(const QString &text, int handshake)
{
    const FromTheEnd end(text);
    LineSettings r(end.front(), end.parity(), end.dataBits(), end.stopBits(), handshake);
    r.m_readFrom = ReadFrom::Text;
    r.m_read = text.isNull() ? QLatin1String("") : text;
    return r;
}

std::optional<LineSettings> LineSettings::parse(const QString &text, int handshake)
{
    const QStringList parts = text.trimmed().split(kComma);
    if (parts.size() != 4)
        return std::nullopt;
    const QString speed = parts[0].trimmed();
    bool ok = false;
    const long baud = speed.toLong(&ok);
    if (!ok || baud <= 0)
        return std::nullopt;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("EONMS").contains(parity))
        return std::nullopt;
    const QString dataBits = parts[2].trimmed();
    const int bits = dataBits.toInt(&ok);
    if (!ok || bits < 4 || bits > 8)
        return std::nullopt;
    const QString stopBits = parts[3].trimmed();
    if (LineChoices::stopBitsPosition(stopBits) < 0)
        return std::nullopt;
    return LineSettings(speed, parity.at(0), dataBits, stopBits, handshake);
}

LineSettings LineSettings::fromMachine(int speedPosition, const QString &comString)
{
    // The record holds no speed in COMString; a speed in front gives the
    // text the layout of a settings text, which is read from its end.
    const QString laidOut = QStringLiteral("2400,") + comString;
    const FromTheEnd end(laidOut);
    // In "8,N,1" the data bits stand where a settings text has its parity,
    // and the parity where it has its data bits.
    const QChar parity = end.at(end.len - 2 - end.x).toUpper();
    const QChar dataBits = end.at(end.len - 4 - end.x);
    const QString stopBits = laidOut.right(1 + end.x);

    LineSettings r;
    r.m_readFrom = ReadFrom::ComString;
    r.m_read = comString.isNull() ? QLatin1String("") : comString;
    r.m_speed = LineChoices::speedAt(speedPosition);
    if (LineChoices::parityPosition(parity) >= 0)
        r.m_parity = parity;
    if (!dataBits.isNull() && LineChoices::dataBitsPosition(QString(dataBits)) >= 0)
        r.m_dataBits = QString(dataBits);
    if (LineChoices::stopBitsPosition(stopBits) >= 0)
        r.m_stopBits = stopBits;
    return r;
}

bool LineSettings::isComString(const QString &text)
{
    static const QRegularExpression format(QStringLiteral("^[5-8],[NEOMSneoms],(1|1\\.5|2)$"));
    return format.match(text).hasMatch();
}

LineSettings LineSettings::takingOver(const LineSettings &machine) const
{
    return LineSettings(machine.m_speed.isEmpty() ? m_speed : machine.m_speed,
                        machine.m_parity.isNull() ? m_parity : machine.m_parity,
                        machine.m_dataBits.isEmpty() ? m_dataBits : machine.m_dataBits,
                        machine.m_stopBits.isEmpty() ? m_stopBits : machine.m_stopBits, m_handshake);
}

QString LineSettings::text() const
{
    if (m_readFrom == ReadFrom::Text)
        return m_read;
    return joined({m_speed, QString(), m_dataBits, m_stopBits}, m_parity, 1);
}

QString LineSettings::comString() const
{
    if (m_readFrom == ReadFrom::ComString)
        return m_read;
    return joined({m_dataBits, QString(), m_stopBits}, m_parity, 1);
}

int LineSettings::speedPosition() const
{
    return LineChoices::speedPosition(m_speed);
}

bool LineSettings::operator==(const LineSettings &other) const
{
    return m_speed == other.m_speed && m_parity == other.m_parity && m_dataBits == other.m_dataBits &&
           m_stopBits == other.m_stopBits && m_handshake == other.m_handshake && text() == other.text() &&
           comString() == other.comString();
}

} // namespace zep
