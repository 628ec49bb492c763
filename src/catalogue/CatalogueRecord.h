#pragma once

#include "app/ErrorInfo.h"
#include "catalogue/RecordFields.h"
#include "catalogue/RecordRow.h"

#include <optional>

namespace zep {

class Database;

// One DateiListe row as the record editor reads and writes it.
class CatalogueRecord {
public:
    struct Loaded {
        bool found = false;
        RecordFields fields;
        ErrorInfo error; // number 0 when the row was read (or simply is not there)
    };
    static Loaded load(Database &database, long dateiIndex);

    struct Written {
        bool ok = false;
        // The field to mark when the fault lies in one (the date); FieldCount
        // for a failed store.
        RecordFields::Field field = RecordFields::FieldCount;
        ErrorInfo error;
        // The record is no longer there: deleted while it was being edited.
        bool gone = false;
    };
    // Writes the descriptive fields and, when given, the machine. The file
    // name is left alone: only the rename changes it, together with the file
    // and the photos. An empty date is stored as no date; a date that is no
    // calendar day stores nothing at all.
    static Written DatensatzSchreiben(Database &database, long dateiIndex, const RecordFields &fields,
                                      std::optional<long> machine);

    // Where the edits of a record deleted meanwhile can go. While its file
    // is still in the monitored directory they can become the file's record
    // again: the record the file has been given since, or a new one.
    struct Vanished {
        enum class File { There, Gone, Twins };
        File file = File::Gone;
        long dateiIndex = 0; // There: the file's record made since; 0 for none
        // What happened, for the user; a Yes/No question when the file is there.
        QString text;
        QString title;
    };
    static Vanished vanished(Database &database, const QString &verzeichnis, const QString &storedName);

    struct Kept {
        Written written;
        long dateiIndex = 0; // the record that holds the edits now
    };
    // Stores the edits as the record of the file `storedName`: into
    // `dateiIndex` when the file has one, else into a new record.
    static Kept keepAsRecordOf(Database &database, const QString &storedName, long dateiIndex,
                               const RecordFields &fields, std::optional<long> machine);

    // The machine answer "Yes, remove it" is stored at once.
    static std::optional<ErrorInfo> setMachine(Database &database, long dateiIndex, long machine);

    // The main list's line for the written record.
    static RecordRow listRow(long dateiIndex, const RecordFields &fields, long machine, const QString &machineText);
};

} // namespace zep
