#include "db/ServerAddress.h"

#include "db/Database.h"

#include <QRegularExpression>

#include <libpq-fe.h>

namespace zep {

namespace {

const QString kExample = QStringLiteral("postgresql://zep@server/zep");

struct ParsedOptions {
    explicit ParsedOptions(const QString &address)
    {
        char *message = nullptr;
        options = PQconninfoParse(address.toUtf8().constData(), &message);
        if (message) {
            error = QString::fromUtf8(message).trimmed();
            PQfreemem(message);
        }
    }
    ~ParsedOptions() { PQconninfoFree(options); }
    ParsedOptions(const ParsedOptions &) = delete;
    ParsedOptions &operator=(const ParsedOptions &) = delete;

    QString value(const char *keyword) const
    {
        for (PQconninfoOption *o = options; o && o->keyword; ++o)
            if (qstrcmp(o->keyword, keyword) == 0)
                return o->val ? QString::fromUtf8(o->val) : QString();
        return {};
    }

    PQconninfoOption *options = nullptr;
    QString error;
};

} // namespace

std::optional<QString> ServerAddress::problem(const QString &setting)
{
    const QString address = setting.trimmed();
    if (address.isEmpty())
        return std::nullopt;
    if (!Database::isServerAddress(address))
        return QStringLiteral("Die Datenbank \"") + shown(address)
               + QStringLiteral("\" ist keine gültige Angabe. Lassen Sie das Feld leer (Datenbank CNCPRG.mdb im "
                                "Programmverzeichnis) oder geben Sie die Adresse eines PostgreSQL-Servers an, z. B. ")
               + kExample + QLatin1Char('.');
    const ParsedOptions parsed(address);
    if (!parsed.options)
        return QStringLiteral("Die Server-Adresse \"") + shown(address) + QStringLiteral("\" ist ungültig")
               + (parsed.error.isEmpty() ? QString() : QStringLiteral(": ") + parsed.error)
               + QStringLiteral(".\r\rBeispiel: ") + kExample;
    // libpq reads a port only when it connects; a typing error is better
    // told now than as an unreachable server later.
    const QString ports = parsed.value("port");
    for (const QString &port : ports.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool number = false;
        const int value = port.toInt(&number);
        if (!number || value < 1 || value > 65535)
            return QStringLiteral("Die Server-Adresse \"") + shown(address)
                   + QStringLiteral("\" ist ungültig: \"") + port
                   + QStringLiteral("\" ist keine Portnummer.\r\rBeispiel: ") + kExample;
    }
    if (!parsed.value("password").isEmpty())
        return QStringLiteral("Die Server-Adresse enthält ein Passwort. Passwörter gehören nicht in die "
                              "Einstellungen (ZEP.ini ist für jeden lesbar): tragen Sie es in ~/.pgpass, in die "
                              "Dienst-Datei von PostgreSQL (pg_service.conf) oder in PGPASSWORD ein.");
    if (parsed.value("dbname").isEmpty())
        return QStringLiteral("In der Server-Adresse \"") + shown(address)
               + QStringLiteral("\" fehlt der Name der Datenbank (nach dem letzten \"/\"), z. B. ") + kExample
               + QLatin1Char('.');
    return std::nullopt;
}

QString ServerAddress::shown(const QString &address)
{
    QString s = address.trimmed();
    // user:password@ in front of the host, and a password= option.
    static const QRegularExpression userPassword(QStringLiteral("^([A-Za-z]+://[^@/?]*?):[^@/?]*@"));
    s.replace(userPassword, QStringLiteral("\\1@"));
    static const QRegularExpression passwordOption(QStringLiteral("([?&])password=[^&]*&?"),
                                                   QRegularExpression::CaseInsensitiveOption);
    s.replace(passwordOption, QStringLiteral("\\1"));
    if (s.endsWith(QLatin1Char('?')) || s.endsWith(QLatin1Char('&')))
        s.chop(1);
    return s;
}

} // namespace zep
