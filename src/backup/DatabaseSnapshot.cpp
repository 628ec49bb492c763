#include "backup/DatabaseSnapshot.h"

#include <QFile>
#include <QThread>

#include <sqlite3.h>

namespace zep {

namespace {

// Closes a handle however it was left.
struct Handle {
    sqlite3 *db = nullptr;
    ~Handle() { sqlite3_close_v2(db); }
};

QString engineText(sqlite3 *db, int rc)
{
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

} // namespace

bool snapshotDatabase(const QString &source, const QString &target, QString *error)
{
    Handle from;
    Handle to;
    // Read-only, and never creating: a missing catalogue is an error, not an
    // empty file in the backup.
    int rc = sqlite3_open_v2(QFile::encodeName(source).constData(), &from.db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        *error = engineText(from.db, rc);
        return false;
    }
    rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &to.db,
                         SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        *error = engineText(to.db, rc);
        return false;
    }
    sqlite3_backup *backup = sqlite3_backup_init(to.db, "main", from.db, "main");
    if (!backup) {
        *error = engineText(to.db, SQLITE_ERROR);
        return false;
    }
    // One step copies every page under one read lock. While the program
    // writes, the step reports busy: wait a little and try again, for up to
    // a minute.
    for (int attempt = 0; attempt < 1200; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        QThread::msleep(50);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        *error = QString::fromUtf8(sqlite3_errstr(rc));
        return false;
    }
    return true;
}

} // namespace zep
