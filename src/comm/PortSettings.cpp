#include "comm/PortSettings.h"

#include "app/SettingsStore.h"
#include "comm/ConversionCode.h"
#include "comm/EndCode.h"

namespace zep {

namespace {

NumberSetting byteKey(const QString &section, const char *key)
{
    // A conversion code or flag: 0 when missing or not a byte.
    return NumberSetting(section, QLatin1String(key), 0, 0, 255);
}

} // namespace

PortSettings::Keys::Keys(int connection) : Keys(section(connection)) {}

PortSettings::Keys::Keys(const QString &section)
    : einstellungen(section, QStringLiteral("Einstellungen"), QLatin1String(LineDefaults::PortGroup::kLine)),
      comAnschluss(section, QStringLiteral("COM-Anschluß"), LineDefaults::PortGroup::kComPort, 1, 16),
      handshaking(section, QStringLiteral("Handshaking"), LineDefaults::PortGroup::kHandshake, 0, 3),
      aktiviert(section, QStringLiteral("Aktiviert"), false, FlagSetting::Form::TrueFalse),
      maschinenIndex(section, QStringLiteral("MaschinenIndex"), 0),
      puffer(section, QStringLiteral("Puffer"), LineDefaults::PortGroup::kBuffer), ecrZu(byteKey(section, "ECRzu")),
      elfZu(byteKey(section, "ELFzu")), scrZu(byteKey(section, "SCRzu")), slfZu(byteKey(section, "SLFzu")),
      exon(byteKey(section, "EXON")), sxon(byteKey(section, "SXON")),
      endCode(section, QStringLiteral("EndCode"), QLatin1String(LineDefaults::PortGroup::kEndCode))
{
}

QString PortSettings::section(int connection)
{
    return QStringLiteral("COM") + QString::number(connection) + QStringLiteral("Einstellungen");
}

QString PortSettings::comAnschlussKey()
{
    return Keys(0).comAnschluss.key();
}

PortSettings PortSettings::load(const SettingsStore &s, int connection)
{
    const Keys keys(connection);
    PortSettings p;
    p.line = LineSettings::fromText(keys.einstellungen.read(s), keys.handshaking.read(s));
    p.comAnschluss = keys.comAnschluss.read(s);
    p.aktiviert = keys.aktiviert.read(s);
    p.maschinenIndex = keys.maschinenIndex.read(s);
    p.puffer = keys.puffer.read(s);
    p.conversions.ecrZu = keys.ecrZu.read(s);
    p.conversions.elfZu = keys.elfZu.read(s);
    p.conversions.scrZu = keys.scrZu.read(s);
    p.conversions.slfZu = keys.slfZu.read(s);
    p.conversions.exon = keys.exon.read(s);
    p.conversions.sxon = keys.sxon.read(s);
    p.endCode = keys.endCode.read(s);
    return p;
}

PortSettings PortSettings::opening(const SettingsStore &s, int connection)
{
    const Keys keys(connection);
    PortSettings p = load(s, connection);
    p.line.setHandshake(keys.handshaking.readUnbounded(s));
    p.comAnschluss = openingComAnschluss(s, connection).trimmed().toInt();
    return p;
}

QString PortSettings::openingComAnschluss(const SettingsStore &s, int connection)
{
    return Keys(connection).comAnschluss.readText(s, QLatin1String(LineDefaults::Opening::kComPort));
}

void PortSettings::save(SettingsStore &s, int connection) const
{
    const Keys keys(connection);
    keys.einstellungen.write(s, line.text());
    keys.comAnschluss.write(s, comAnschluss);
    keys.handshaking.write(s, line.handshake());
    keys.aktiviert.write(s, aktiviert);
    keys.maschinenIndex.write(s, maschinenIndex);
    keys.puffer.write(s, puffer);
    keys.ecrZu.write(s, conversions.ecrZu);
    keys.elfZu.write(s, conversions.elfZu);
    keys.scrZu.write(s, conversions.scrZu);
    keys.slfZu.write(s, conversions.slfZu);
    keys.exon.write(s, conversions.exon);
    keys.sxon.write(s, conversions.sxon);
    keys.endCode.write(s, endCode);
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
    t += cr + QStringLiteral("Empfang:") + cr + QStringLiteral("CR zu ") + ConversionCode::name(conversions.ecrZu) + cr +
         QStringLiteral("LF zu ") + ConversionCode::name(conversions.elfZu) + cr;
    t += cr + QStringLiteral("Senden:") + cr + QStringLiteral("CR zu ") + ConversionCode::name(conversions.scrZu) + cr +
         QStringLiteral("LF zu ") + ConversionCode::name(conversions.slfZu) + cr;
    if (conversions.exon == 1)
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
