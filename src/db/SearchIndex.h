#pragma once

#include <QString>

namespace zep {

class Database;

// The catalogue's search index: a full-text table of trigrams over the five
// searched columns of DateiListe (Dateiname, Bezeichnung,
// Zeichnungsnummer, Auftragsnummer, Kunde), kept by triggers, so that any
// program that writes the file keeps it too; and an index on Dateiname for
// the directory check's look-up of a new file's name. The index only
// narrows the rows a search looks at: which of them match is still decided
// by the catalogue's own case-blind LIKE, so a search finds exactly what it
// would find without the index.
class SearchIndex {
public:
    static const QString &tableName();

    enum class State { Ready, Built, Unavailable };

    // Creates what is missing and rebuilds the full-text table when it is
    // damaged or does not match the records (written by a program without
    // the triggers). Unavailable when the file cannot be written: searches
    // then read every record.
    static State ensure(Database &database);

    // Whether searches can use the full-text table on this file.
    static bool present(Database &database);

    // The piece of a search term the full-text table can look for: the
    // longest run of at least three characters between the wildcards that
    // the table folds as the catalogue does. Empty when there is none; the
    // search then reads every record.
    static QString usablePiece(const QString &term);

    // `piece` as a full-text query: one quoted string, so that none of its
    // characters is read as query syntax.
    static QString matchQuery(const QString &piece);
};

} // namespace zep
