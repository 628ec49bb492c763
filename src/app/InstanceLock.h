#pragma once

#include <QLockFile>
#include <QString>

namespace zep {

// One ZEP per program directory: two would share CNCPRG.mdb, FileListe.dat
// and the serial ports. The lock is "ZEP.lock" in the program directory and
// is held until this object goes away.
class InstanceLock {
public:
    explicit InstanceLock(const QString &programDir);

    // False when another running ZEP holds the lock, or the lock file cannot
    // be written. A lock left behind by a process that has died is taken over.
    bool tryLock();
    void unlock();
    bool isLocked() const { return m_lock.isLocked(); }

    QLockFile::LockError error() const { return m_lock.error(); }
    // The holder's process id, or 0 when it cannot be read.
    qint64 holderPid() const;
    QString filePath() const { return m_path; }

private:
    QString m_path;
    QLockFile m_lock;
};

} // namespace zep
