#include "catalogue/ProgramRename.h"

#include "app/CatalogueNames.h"
#include "app/SystemError.h"
#include "db/Database.h"
#include "photos/PhotoFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace zep {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

ProgramRename::ProgramRename(Context context, long dateiIndex, QString oldStoredName, QString typed)
    : m_ctx(std::move(context)), m_index(dateiIndex), m_oldStored(std::move(oldStoredName)),
      m_typed(std::move(typed).trimmed().replace(QLatin1Char('/'), QLatin1Char('\\')))
{
    m_newStored = CatalogueNames::upperKeepLength(m_typed);
}

ProgramRename::Check ProgramRename::check()
{
    m_moves.clear();
    if (CatalogueNames::sameIgnoringCase(m_oldStored, m_newStored))
        return Check::Unchanged;
    const QString newPath = CatalogueNames::storedPathForNewFile(m_ctx.verzeichnis, m_typed);
    if (newPath.isEmpty())
        return Check::Invalid;
    for (const QString &level : m_typed.split(QLatin1Char('\\'))) {
        if (!CatalogueNames::isStorableFileName(level))
            return Check::Invalid;
        if (CatalogueNames::isHiddenName(level))
            return Check::Hidden;
    }
    const CatalogueNames::Resolved existing = CatalogueNames::resolveStoredName(m_ctx.verzeichnis, m_newStored);
    if (existing.found() || existing.ambiguous || QFileInfo::exists(newPath) || otherRecordHasName())
        return Check::NameTaken;
    const CatalogueNames::Resolved source = CatalogueNames::resolveStoredName(m_ctx.verzeichnis, m_oldStored);
    if (!source.found())
        return Check::SourceMissing;
    plan(source.path, newPath);
    return Check::Ready;
}

bool ProgramRename::otherRecordHasName()
{
    // A record whose file has gone still owns its name: two records for one
    // name would be two sets of photos for one key.
    auto set = m_ctx.database.openRecordset(QStringLiteral("SELECT * FROM DateiListe WHERE Dateiname=?"),
                                            RecordsetType::Snapshot, {m_newStored});
    for (; set && !set->eof(); set->moveNext())
        if (set->value(QStringLiteral("DateiIndex")).toLongLong() != m_index)
            return true;
    return false;
}

void ProgramRename::plan(const QString &oldPath, const QString &newPath)
{
    m_moves.append({oldPath, newPath});
    const QString oldKey = PhotoFiles::photoKey(m_oldStored);
    const QString newKey = PhotoFiles::photoKey(m_newStored);
    // Only the key is exchanged, the number and the extension stay: a key
    // that also occurs inside the rest of the name is never touched.
    const qsizetype keyEnd = QStringLiteral("Foto_").size() + oldKey.size();
    for (const QString &photo : PhotoFiles::find(m_ctx.fotoVerzeichnis, m_oldStored)) {
        const QFileInfo info(photo);
        m_moves.append({photo, info.dir().filePath(QStringLiteral("Foto_") + newKey + info.fileName().mid(keyEnd))});
    }
}

std::optional<ErrorInfo> ProgramRename::run()
{
    QList<Move> done;
    auto putBack = [&](const QString &reason) -> ErrorInfo {
        QStringList stuck;
        for (auto it = done.crbegin(); it != done.crend(); ++it)
            if (!QFile::rename(it->to, it->from))
                stuck << shown(it->to) + QStringLiteral(" -> ") + shown(it->from);
        QString text = reason;
        if (stuck.isEmpty())
            text += QStringLiteral(" Datei, Fotos und Datensatz sind unverändert.");
        else
            text += QStringLiteral(" Diese Dateien konnten nicht zurückbenannt werden, bitte von Hand umbenennen: ")
                    + stuck.join(QStringLiteral(", "));
        return {75, text};
    };
    for (const Move &move : std::as_const(m_moves)) {
        // QFile::rename never replaces an existing file: a photo left over
        // under the new name stops the rename instead of being lost.
        QFile file(move.from);
        errno = 0;
        if (!file.rename(move.to)) {
            // Qt refuses a taken name itself, before any system call.
            const int errnum = QFileInfo::exists(move.to) ? EEXIST : errno;
            return putBack(QStringLiteral("Die Datei ") + shown(move.from) + QStringLiteral(" konnte nicht in ")
                           + shown(move.to) + QStringLiteral(" umbenannt werden (")
                           + SystemError::reason(file, errnum) + QStringLiteral(")."));
        }
        done.append(move);
    }
    Database &db = m_ctx.database;
    db.setLastStatement(QStringLiteral("UPDATE DateiListe SET Dateiname='") + m_newStored
                        + QStringLiteral("' WHERE DateiIndex=") + QString::number(m_index));
    if (!db.execute(QStringLiteral("UPDATE DateiListe SET Dateiname=? WHERE DateiIndex=?"),
                    {m_newStored, qlonglong(m_index)}))
        return putBack(QStringLiteral("Der neue Name konnte nicht gespeichert werden (") + db.lastError().description
                       + QStringLiteral(")."));
    if (db.recordsAffected() != 1)
        return putBack(QStringLiteral("Der Datensatz ") + QString::number(m_index)
                       + QStringLiteral(" ist nicht mehr vorhanden."));
    return std::nullopt;
}

} // namespace zep
