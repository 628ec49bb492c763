#pragma once

#include <QString>

namespace zep {

// What the record editor shows of one DateiListe row, as text. Line breaks
// in the multi-line fields are CR LF, as stored.
struct RecordFields {
    // The fields a user can point at in a message or mark.
    enum Field { Dateiname, Bezeichnung, Zeichnungsnummer, Auftragsnummer, Kunde, Datum, Aufspannung, Werkzeuge,
                 Laufzeit, Ersteller, Bemerkungen, FieldCount };

    QString dateiname;
    QString bezeichnung;
    QString zeichnungsnummer;
    QString auftragsnummer;
    QString kunde;
    QString datum; // "DD.MM.YYYY" or empty
    QString aufspannung;
    QString werkzeuge;
    QString laufzeit;
    QString ersteller;
    QString bemerkungen;
    long maschinenIndex = 0;

    QString &text(Field field);
    const QString &text(Field field) const { return const_cast<RecordFields *>(this)->text(field); }
    // The label the editor shows beside the field ("Kunde:").
    static QString label(Field field);
    // The DateiListe column behind the field.
    static QString column(Field field);

    bool operator==(const RecordFields &) const = default;

    // How many characters the user can type into the field (line breaks
    // counting one each); 0 for no limit. A paste keeps to it as well.
    static int typingLimit(Field field);
    // The stored text cut to the field's typing limit.
    static QString cutToLimit(Field field, const QString &stored);

    // The fields whose widget holds several lines.
    static bool isMultiLine(Field field);
    // How long a text is as the field counts it: in a multi-line field each
    // line break (CR LF, CR, LF, a paragraph mark) is one character.
    static qsizetype shownLength(Field field, const QString &text);
    // The most characters the user may leave in a field that shows `stored`:
    // its typing limit, or the stored text's length when that is longer
    // (it is shown whole, and editing it must not cut it). 0 for no limit.
    static qsizetype entryLimit(Field field, const QString &stored);
    // Text entering a field by any way (typed, pasted, dropped, a preset)
    // where `kept` characters stay besides it (a selection it replaces does
    // not stay): what of it fits under `limit`, in the field's own line
    // breaks ("\n" in a multi-line field), never half a character or half a
    // CR LF, and how much was left out, counted as the field counts.
    struct Entry {
        QString text;
        qsizetype leftOut = 0;
    };
    static Entry fitEntry(Field field, qsizetype limit, qsizetype kept, const QString &entered);
    // The hint after an entry was cut, for the editor's hint line.
    static QString leftOutText(Field field, qsizetype limit, qsizetype leftOut);

    // Leaving a multi-line field: blanks at both ends go, then one final
    // CR LF (a text typed with a last Enter keeps its other line breaks).
    static QString trimMultiLine(const QString &text);
    // The editor's widgets speak "\n"; the catalogue keeps CR LF.
    static QString toStored(const QString &shown);
    static QString toShown(const QString &stored);
};

} // namespace zep
