#pragma once

#include <QString>

namespace zep {

class Database;

// The orders the main list sorts DateiListe by, as the engines compute them,
// and the indexes that serve them: the list reads a screen of records in
// any of these orders without sorting the whole catalogue. Each key is the
// text the list shows, folded as the list has always compared it (letter
// case ignored, umlauts included, empty and missing alike); equal keys go
// by DateiIndex, the order records were added in.
class ListOrder {
public:
    enum Key { Dateiname, Bezeichnung, Zeichnungsnummer, Auftragsnummer, Kunde, Datum, DateiIndex, MaschinenIndex };
    static constexpr int kKeys = MaschinenIndex + 1;
    // Characters of a text that order it on the server.
    static constexpr int kServerKeyLength = 500;

    // The key as an expression over DateiListe's columns, in the engine's
    // own words; the very text the index was made from, so that the engine
    // sees that the index serves it.
    static QString expression(Key key, bool server);
    // "Datum" lists the newest first; every other key A to Z.
    static bool newestFirst(Key key) { return key == Datum; }

    // Makes the indexes that are missing. False when one cannot be made (a
    // file that cannot be written, a role without the right): the list
    // still works then, sorting as the engine can.
    static bool ensureIndexes(Database &database);
    static QString indexName(Key key);
};

} // namespace zep
