#include "comm/LineAddress.h"

#include <QRegularExpression>

namespace zep {

namespace {
QString forms()
{
    return QStringLiteral("Erlaubt sind ein Gerät (z. B. /dev/ttyS0), tcp://HOST:PORT und rfc2217://HOST:PORT.");
}
} // namespace

QString LineAddress::hostAndPort() const
{
    const QString h = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return h + QLatin1Char(':') + QString::number(port);
}

LineAddress LineAddress::parse(const QString &text, QString *error)
{
    error->clear();
    LineAddress a;
    const QString t = text.trimmed();
    const int sep = t.indexOf(QLatin1String("://"));
    if (sep < 0) {
        a.path = text;
        return a;
    }
    const QString scheme = t.left(sep).toLower();
    const QString rest = t.mid(sep + 3);
    const QString bad = QStringLiteral("Ungültige Netzwerkadresse \"") + t + QStringLiteral("\": ");
    if (scheme == QLatin1String("tcp"))
        a.kind = Kind::RawTcp;
    else if (scheme == QLatin1String("rfc2217"))
        a.kind = Kind::Rfc2217;
    else {
        *error = bad + QStringLiteral("unbekannte Art \"") + t.left(sep) + QStringLiteral("://\". ") + forms();
        return a;
    }
    // HOST is a name, an IPv4 address or an IPv6 address in brackets.
    static const QRegularExpression form(QStringLiteral(R"(^(?:\[([0-9A-Fa-f:.]+)\]|([A-Za-z0-9._-]+)):([0-9]{1,5})$)"));
    const auto m = form.match(rest);
    if (!m.hasMatch()) {
        if (rest.isEmpty() || rest.startsWith(QLatin1Char(':')))
            *error = bad + QStringLiteral("der Rechner fehlt. ") + forms();
        else if (!rest.contains(QLatin1Char(':')) || rest.endsWith(QLatin1Char(':')) || rest.endsWith(QLatin1Char(']')))
            *error = bad + QStringLiteral("die Portnummer fehlt. ") + forms();
        else
            *error = bad + QStringLiteral("Rechner oder Portnummer ungültig. ") + forms();
        return a;
    }
    const int port = m.captured(3).toInt();
    if (port < 1 || port > 65535) {
        *error = bad + QStringLiteral("die Portnummer muss zwischen 1 und 65535 liegen.");
        return a;
    }
    a.host = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    a.port = quint16(port);
    return a;
}

} // namespace zep
