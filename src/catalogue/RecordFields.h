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

    // Leaving a multi-line field: blanks at both ends go, then one final
    // CR LF (a text typed with a last Enter keeps its other line breaks).
    static QString trimMultiLine(const QString &text);
    // The editor's widgets speak "\n"; the catalogue keeps CR LF.
    static QString toStored(const QString &shown);
    static QString toShown(const QString &stored);
};

} // namespace zep
