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
    };
    // Writes the descriptive fields and, when given, the machine. The file
    // name is left alone: only the rename changes it, together with the file
    // and the photos. An empty date is stored as no date; a date that is no
    // calendar day stores nothing at all.
    static Written DatensatzSchreiben(Database &database, long dateiIndex, const RecordFields &fields,
                                      std::optional<long> machine);

    // The machine answer "Yes, remove it" is stored at once.
    static std::optional<ErrorInfo> setMachine(Database &database, long dateiIndex, long machine);

    // The main list's line for the written record.
    static RecordRow listRow(long dateiIndex, const RecordFields &fields, long machine, const QString &machineText);
};

} // namespace zep
