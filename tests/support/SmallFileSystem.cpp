#include "support/SmallFileSystem.h"

#include <QDir>
#include <QProcess>

namespace zep::test {

SmallFileSystem::SmallFileSystem(const QString &mountPoint, const QString &size)
    : m_mountPoint(mountPoint)
{
    QDir().mkpath(mountPoint);
    m_mounted =
        QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", mountPoint}) == 0;
}

SmallFileSystem::~SmallFileSystem()
{
    if (m_mounted)
        QProcess::execute("umount", {m_mountPoint});
}

bool SmallFileSystem::makeReadOnly()
{
    return QProcess::execute("mount", {"-o", "remount,ro", m_mountPoint}) == 0;
}

} // namespace zep::test
