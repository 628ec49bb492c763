#pragma once

#include "app/ErrorInfo.h"

#include <QList>
#include <QString>
#include <optional>

namespace zep {

class Database;

// Renaming a catalogued program: the file in the monitored directory, its
// photos and the record's Dateiname move together or not at all.
class ProgramRename {
public:
    struct Context {
        Database &database;
        QString verzeichnis;     // ends with "/"
        QString fotoVerzeichnis; // ends with "/"
    };
    enum class Check {
        Unchanged,     // the same name but for letter case: nothing to do
        Invalid,       // no name a file (or FileListe.dat) could carry
        Hidden,        // a level starts with "."; the catalogue would lose the file
        NameTaken,     // a file, or another record, has the name already
        SourceMissing, // the program file is gone
        Ready
    };
    struct Move {
        QString from;
        QString to;
    };

    // `typed` is the name as the user wrote it, "\" between levels.
    ProgramRename(Context context, long dateiIndex, QString oldStoredName, QString typed);

    Check check();
    // After check() said Ready: moves the program file, then each photo (by
    // its exact name "Foto_" + key + "_" + number + "."), then stores the new
    // name. When a step fails, what was moved goes back and the reason comes
    // back; file, photos and record then are as before.
    std::optional<ErrorInfo> run();

    QString oldStoredName() const { return m_oldStored; }
    QString newStoredName() const { return m_newStored; }
    const QList<Move> &moves() const { return m_moves; }

private:
    bool otherRecordHasName();
    void plan(const QString &oldPath, const QString &newPath);

    Context m_ctx;
    long m_index;
    QString m_oldStored;
    QString m_typed;
    QString m_newStored;
    QList<Move> m_moves; // program file first, then the photos
};

} // namespace zep
