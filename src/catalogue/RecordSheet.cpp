#include "catalogue/RecordSheet.h"

namespace zep {

QString RecordSheet::Line::text() const
{
    QString out;
    for (const Run &run : runs)
        out += run.text;
    return out;
}

QList<RecordSheet::Line> RecordSheet::lines(const RecordFields &fields, const QString &machineText)
{
    QList<Line> out;
    // Bold and underline stay in force until changed, as on the printer.
    int size = 20;
    bool bold = true;
    bool underline = false;
    auto run = [&](const QString &text) { return Run{text, size, bold, underline}; };
    auto line = [&](const QString &text) { out.append(Line{{run(text)}, false}); };
    auto rule = [&](QChar c, int count) { out.append(Line{{run(QString(count, c))}, true}); };
    // One line per line of the text; an empty text still prints its line.
    auto value = [&](const QString &text) {
        QString flat = text;
        flat.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString &part : flat.split(QLatin1Char('\n')))
            line(part);
    };
    auto block = [&](const QString &label, const QString &text) {
        bold = true;
        underline = true;
        line(label);
        bold = false;
        underline = false;
        value(text);
        line(QStringLiteral(" "));
    };

    Line header;
    header.runs.append(run(fields.dateiname));
    size = 10;
    bold = false;
    header.runs.append(run(QStringLiteral("     Maschine: ") + machineText));
    out.append(header);
    line(QStringLiteral(" "));
    bold = true;
    size = 12;
    rule(QLatin1Char('='), 80);
    size = 16;
    value(fields.bezeichnung);
    size = 12;
    rule(QLatin1Char('='), 80);
    block(QStringLiteral("Zeichnungsnummern:"), fields.zeichnungsnummer);
    block(QStringLiteral("Auftragsnummer:"), fields.auftragsnummer);
    block(QStringLiteral("Kunde:"), fields.kunde);
    block(QStringLiteral("Datum:"), fields.datum);
    bold = true;
    rule(QLatin1Char('='), 80);
    bold = false;
    block(QStringLiteral("Laufzeit je Teil:"), fields.laufzeit);
    block(QStringLiteral("Aufspannung:"), fields.aufspannung);
    block(QStringLiteral("Werkzeuge:"), fields.werkzeuge);
    block(QStringLiteral("Ersteller:"), fields.ersteller);
    rule(QLatin1Char('-'), 140);
    block(QStringLiteral("Bemerkungen:"), fields.bemerkungen);
    return out;
}

} // namespace zep
