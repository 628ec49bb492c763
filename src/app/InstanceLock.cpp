#include "app/InstanceLock.h"

#include <QDateTime>
#include <QFileInfo>

namespace zep {

namespace {

QString lockPath(const QString &programDir)
{
    return programDir + (programDir.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/"))
           + QStringLiteral("ZEP.lock");
}

// A lock file nobody can read (cut short by a crash or a full disk) names no
// process that could be asked; once it is this old it is no longer one being
// written at this moment.
constexpr qint64 kUnreadableLockAgeSecs = 5;

} // namespace

InstanceLock::InstanceLock(const QString &programDir)
    : m_path(lockPath(programDir)), m_lock(m_path)
{
    // ZEP runs for days. With an age limit QLockFile calls the lock of a
    // running instance stale after 30 seconds, and only the native file lock
    // (missing on some network file systems) would still keep it; here only
    // a dead holder makes a lock stale.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::tryLock()
{
    if (m_lock.tryLock(0))
        return true;
    if (m_lock.error() != QLockFile::LockFailedError)
        return false;

    qint64 pid = 0;
    QString host;
    QString app;
    if (m_lock.getLockInfo(&pid, &host, &app))
        return false;
    const QDateTime modified = QFileInfo(m_path).lastModified();
    if (!modified.isValid() || modified.secsTo(QDateTime::currentDateTime()) < kUnreadableLockAgeSecs)
        return false;
    // removeStaleLockFile() refuses a file that a live process still holds
    // its native lock on, so a running instance cannot lose its lock here.
    if (!m_lock.removeStaleLockFile())
        return false;
    return m_lock.tryLock(0);
}

void InstanceLock::unlock()
{
    m_lock.unlock();
}

qint64 InstanceLock::holderPid() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    return m_lock.getLockInfo(&pid, &host, &app) ? pid : 0;
}

} // namespace zep
