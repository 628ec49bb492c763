#include "comm/LineChoices.h"

namespace zep::LineChoices {

namespace {

constexpr int kHandshakes = 4;
constexpr int kPorts = 16;

QString at(const QStringList &list, int position)
{
    return position >= 0 && position < list.size() ? list.at(position) : QString();
}

} // namespace

const QStringList &speeds()
{
    static const QStringList list{QStringLiteral("110"),    QStringLiteral("300"),    QStringLiteral("600"),
                                  QStringLiteral("1200"),   QStringLiteral("2400"),   QStringLiteral("4800"),
                                  QStringLiteral("9600"),   QStringLiteral("14400"),  QStringLiteral("19200"),
                                  QStringLiteral("28800"),  QStringLiteral("38400"),  QStringLiteral("56000"),
                                  QStringLiteral("57600"),  QStringLiteral("115200"), QStringLiteral("128000"),
                                  QStringLiteral("256000")};
    return list;
}

const QStringList &parities()
{
    static const QStringList list{QStringLiteral("Even"), QStringLiteral("Odd"), QStringLiteral("None"),
                                  QStringLiteral("Mark"), QStringLiteral("Space")};
    return list;
}

const QStringList &dataBits()
{
    static const QStringList list{QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                                  QStringLiteral("8")};
    return list;
}

const QStringList &stopBits()
{
    static const QStringList list{QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
    return list;
}

const QStringList &handshakes()
{
    static const QStringList list{QStringLiteral("Kein"), QStringLiteral("Xon/Xoff"), QStringLiteral("RTS"),
                                  QStringLiteral("Xon/RTS")};
    return list;
}

const QStringList &monitorHandshakes()
{
    static const QStringList list{QStringLiteral("Kein"), QStringLiteral("XON/XOFF"), QStringLiteral("RTS/CTS"),
                                  QStringLiteral("XON/RTS")};
    return list;
}

const QStringList &ports()
{
    static const QStringList list = [] {
        QStringList names;
        for (int n = 1; n <= kPorts; ++n)
            names << portName(n);
        return names;
    }();
    return list;
}

int speedPosition(const QString &speed)
{
    return int(speeds().indexOf(speed));
}

int parityPosition(QChar letter)
{
    if (letter.isNull())
        return -1;
    const QStringList &list = parities();
    for (int k = 0; k < list.size(); ++k)
        if (list.at(k).at(0) == letter)
            return k;
    return -1;
}

int dataBitsPosition(const QString &bits)
{
    return int(dataBits().indexOf(bits));
}

int stopBitsPosition(const QString &bits)
{
    return int(stopBits().indexOf(bits));
}

int handshakePosition(int handshake)
{
    return handshake >= 0 && handshake < kHandshakes ? handshake : -1;
}

int portPosition(int port)
{
    return port >= 1 && port <= kPorts ? port - 1 : -1;
}

QString speedAt(int position)
{
    return at(speeds(), position);
}

QChar parityAt(int position)
{
    const QString name = at(parities(), position);
    return name.isEmpty() ? QChar() : name.at(0);
}

QString dataBitsAt(int position)
{
    return at(dataBits(), position);
}

QString stopBitsAt(int position)
{
    return at(stopBits(), position);
}

int handshakeAt(int position)
{
    return position >= 0 && position < kHandshakes ? position : -1;
}

int portAt(int position)
{
    return position >= 0 && position < kPorts ? position + 1 : -1;
}

QString portName(int port)
{
    return QStringLiteral("Com") + QString::number(port);
}

int portNumber(const QString &name)
{
    // The number after "Com", as the wizard has always taken it.
    return name.mid(3).toInt();
}

} // namespace zep::LineChoices
