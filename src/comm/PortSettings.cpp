#include "comm/PortSettings.h"

#include "app/SettingsStore.h"
#include "comm/ConversionCode.h"
#include "comm/EndCode.h"

namespace zep {

namespace {
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

int readBounded(const SettingsStore &s, const QString &section, const QString &key, int def, int lo, int hi)
{
    const int v = s.readInt(section, key, def);
    return (v < lo || v > hi) ? def : v;
}
} // namespace

QString PortSettings::section(int connection)
{
    return QStringLiteral("COM") + QString::number(connection) + QStringLiteral("Einstellungen");
}

int PortSettings::readByte(const SettingsStore &store, int connection, const QString &key)
{
    return readBounded(store, section(connection), key, 0, 0, 255);
}

PortSettings PortSettings::load(const SettingsStore &s, int connection)
{
    const QString sec = section(connection);
    PortSettings p;
    p.einstellungen = s.read(sec, QStringLiteral("Einstellungen"), p.einstellungen);
    p.comAnschluss = readBounded(s, sec, QStringLiteral("COM-Anschluß"), 1, 1, 16);
    p.handshaking = readBounded(s, sec, QStringLiteral("Handshaking"), 2, 0, 3);
    p.aktiviert = s.read(sec, QStringLiteral("Aktiviert"), kFalse).compare(kTrue, Qt::CaseInsensitive) == 0;
    p.maschinenIndex = s.readInt(sec, QStringLiteral("MaschinenIndex"), 0);
    p.puffer = s.readInt(sec, QStringLiteral("Puffer"), 256);
    p.ecrZu = readBounded(s, sec, QStringLiteral("ECRzu"), 0, 0, 255);
    p.elfZu = readBounded(s, sec, QStringLiteral("ELFzu"), 0, 0, 255);
    p.scrZu = readBounded(s, sec, QStringLiteral("SCRzu"), 0, 0, 255);
    p.slfZu = readBounded(s, sec, QStringLiteral("SLFzu"), 0, 0, 255);
    p.exon = readBounded(s, sec, QStringLiteral("EXON"), 0, 0, 255);
    p.sxon = readBounded(s, sec, QStringLiteral("SXON"), 0, 0, 255);
    p.endCode = s.read(sec, QStringLiteral("EndCode"), p.endCode);
    return p;
}

void PortSettings::save(SettingsStore &s, int connection) const
{
    const QString sec = section(connection);
    s.write(sec, QStringLiteral("Einstellungen"), einstellungen);
    s.write(sec, QStringLiteral("COM-Anschluß"), QString::number(comAnschluss));
    s.write(sec, QStringLiteral("Handshaking"), QString::number(handshaking));
    s.write(sec, QStringLiteral("Aktiviert"), aktiviert ? kTrue : kFalse);
    s.write(sec, QStringLiteral("MaschinenIndex"), QString::number(maschinenIndex));
    s.write(sec, QStringLiteral("Puffer"), QString::number(puffer));
    s.write(sec, QStringLiteral("ECRzu"), QString::number(ecrZu));
    s.write(sec, QStringLiteral("ELFzu"), QString::number(elfZu));
    s.write(sec, QStringLiteral("SCRzu"), QString::number(scrZu));
    s.write(sec, QStringLiteral("SLFzu"), QString::number(slfZu));
    s.write(sec, QStringLiteral("EXON"), QString::number(exon));
    s.write(sec, QStringLiteral("SXON"), QString::number(sxon));
    s.write(sec, QStringLiteral("EndCode"), endCode);
}

QString PortSettings::summary() const
{
    const QString cr = QStringLiteral("\r");
    QString t;
    const EndCode code = EndCode::parse(endCode);
    switch (code.kind()) {
    case EndCode::Kind::Timeout:
        t += QStringLiteral("Ende durch Timeout") + cr;
        break;
    case EndCode::Kind::Character: {
        // The code the reception uses; an out-of-range number as written, so
        // it is shown, not hidden.
        QString digits = QString::number(code.character());
        if (code.character() < 0) {
            digits.clear();
            for (const QChar c : endCode.mid(4).trimmed()) {
                if (!c.isDigit())
                    break;
                digits += c;
            }
        }
        t += QStringLiteral("Endzeichen: ASC(") + digits + QStringLiteral(")") + cr;
        break;
    }
    case EndCode::Kind::Strings: {
        const QString rest = endCode.mid(4);
        const int sep = rest.indexOf(QStringLiteral("||"));
        const QString start = sep >= 0 ? rest.left(sep) : rest;
        const QString end = sep >= 0 ? rest.mid(sep + 2) : QString();
        t += QStringLiteral("Startzeichen: ") + start + cr + QStringLiteral("Endzeichen: ") + end + cr;
        break;
    }
    case EndCode::Kind::Other:
        break;
    }
    t += cr + QStringLiteral("Empfang:") + cr + QStringLiteral("CR zu ") + ConversionCode::name(ecrZu) + cr +
         QStringLiteral("LF zu ") + ConversionCode::name(elfZu) + cr;
    t += cr + QStringLiteral("Senden:") + cr + QStringLiteral("CR zu ") + ConversionCode::name(scrZu) + cr +
         QStringLiteral("LF zu ") + ConversionCode::name(slfZu) + cr;
    if (exon == 1)
        t += cr + QStringLiteral("Nullfilter: AUS!");
    return t;
}

QString PortSettings::endCodeFromMachine(int sonderzeichen, const QString &param1, const QString &param2,
                                         const QString &param3)
{
    if (sonderzeichen != 1)
        return QStringLiteral("<ST>");
    if (param3 == QLatin1String("A"))
        return QStringLiteral("<SA>") + param1;
    return QStringLiteral("<SZ>") + param2;
}

} // namespace zep
