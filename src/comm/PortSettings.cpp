#include "comm/PortSettings.h"

#include "app/SettingsStore.h"
#include "comm/ConversionCode.h"
#include "comm/EndCode.h"

namespace zep {

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

const QString kEinstellungen = QStringLiteral("Einstellungen");
const QString kComAnschluss = QStringLiteral("COM-Anschluß");
const QString kHandshaking = QStringLiteral("Handshaking");
const QString kAktiviert = QStringLiteral("Aktiviert");
const QString kMaschinenIndex = QStringLiteral("MaschinenIndex");
const QString kPuffer = QStringLiteral("Puffer");
const QString kEcrZu = QStringLiteral("ECRzu");
const QString kElfZu = QStringLiteral("ELFzu");
const QString kScrZu = QStringLiteral("SCRzu");
const QString kSlfZu = QStringLiteral("SLFzu");
const QString kExon = QStringLiteral("EXON");
const QString kSxon = QStringLiteral("SXON");
const QString kEndCode = QStringLiteral("EndCode");

// Opening leaves the port object's number alone when none is stored.
const QString kOpeningComAnschluss = QStringLiteral("0");

int readBounded(const SettingsStore &s, const QString &section, const QString &key, int def, int lo, int hi)
{
    const int v = s.readInt(section, key, def);
    return (v < lo || v > hi) ? def : v;
}

// A conversion code or flag: 0 when missing or not a code 0-255.
int readByte(const SettingsStore &s, const QString &section, const QString &key)
{
    return readBounded(s, section, key, 0, 0, 255);
}

} // namespace

QString PortSettings::section(int connection)
{
    return QStringLiteral("COM") + QString::number(connection) + QStringLiteral("Einstellungen");
}

QString PortSettings::comAnschlussKey()
{
    return kComAnschluss;
}

PortSettings PortSettings::load(const SettingsStore &s, int connection)
{
    const QString sec = section(connection);
    PortSettings p;
    p.einstellungen = s.read(sec, kEinstellungen, p.einstellungen);
    p.comAnschluss = readBounded(s, sec, kComAnschluss, p.comAnschluss, 1, 16);
    p.handshaking = readBounded(s, sec, kHandshaking, p.handshaking, 0, 3);
    p.aktiviert = s.read(sec, kAktiviert, kFalse).compare(kTrue, Qt::CaseInsensitive) == 0;
    p.maschinenIndex = s.readInt(sec, kMaschinenIndex, p.maschinenIndex);
    p.puffer = s.readInt(sec, kPuffer, p.puffer);
    p.ecrZu = readByte(s, sec, kEcrZu);
    p.elfZu = readByte(s, sec, kElfZu);
    p.scrZu = readByte(s, sec, kScrZu);
    p.slfZu = readByte(s, sec, kSlfZu);
    p.exon = readByte(s, sec, kExon);
    p.sxon = readByte(s, sec, kSxon);
    p.endCode = s.read(sec, kEndCode, p.endCode);
    return p;
}

PortSettings::Opening PortSettings::opening(const SettingsStore &s, int connection)
{
    const QString sec = section(connection);
    const PortSettings defaults;
    Opening o;
    o.einstellungen = s.read(sec, kEinstellungen, defaults.einstellungen);
    o.comAnschluss = s.read(sec, kComAnschluss, kOpeningComAnschluss);
    o.puffer = s.readInt(sec, kPuffer, defaults.puffer);
    o.handshaking = s.readInt(sec, kHandshaking, defaults.handshaking);
    return o;
}

void PortSettings::save(SettingsStore &s, int connection) const
{
    const QString sec = section(connection);
    s.write(sec, kEinstellungen, einstellungen);
    s.write(sec, kComAnschluss, QString::number(comAnschluss));
    s.write(sec, kHandshaking, QString::number(handshaking));
    s.write(sec, kAktiviert, aktiviert ? kTrue : kFalse);
    s.write(sec, kMaschinenIndex, QString::number(maschinenIndex));
    s.write(sec, kPuffer, QString::number(puffer));
    s.write(sec, kEcrZu, QString::number(ecrZu));
    s.write(sec, kElfZu, QString::number(elfZu));
    s.write(sec, kScrZu, QString::number(scrZu));
    s.write(sec, kSlfZu, QString::number(slfZu));
    s.write(sec, kExon, QString::number(exon));
    s.write(sec, kSxon, QString::number(sxon));
    s.write(sec, kEndCode, endCode);
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
