#include "app/InstanceLock.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;

namespace {

void makeOld(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
}

} // namespace

TEST(InstanceLock, SecondInstanceOnTheSameDirectoryIsRefused)
{
    TestEnvironment env;
    InstanceLock first(env.programDir());
    ASSERT_TRUE(first.tryLock());
    EXPECT_TRUE(QFileInfo::exists(env.programDir() + "ZEP.lock"));

    InstanceLock second(env.programDir());
    EXPECT_FALSE(second.tryLock());
    EXPECT_EQ(second.error(), QLockFile::LockFailedError);
    EXPECT_EQ(second.holderPid(), QCoreApplication::applicationPid());

    first.unlock();
    EXPECT_TRUE(second.tryLock());
}

TEST(InstanceLock, ALongRunningInstanceKeepsItsLock)
{
    // An old lock file is no reason to take over while its holder runs.
    TestEnvironment env;
    InstanceLock first(env.programDir());
    ASSERT_TRUE(first.tryLock());
    makeOld(first.filePath());
    EXPECT_FALSE(InstanceLock(env.programDir()).tryLock());
}

TEST(InstanceLock, OtherDirectoriesAreIndependent)
{
    TestEnvironment env;
    InstanceLock first(env.programDir());
    InstanceLock other(env.root());
    EXPECT_TRUE(first.tryLock());
    EXPECT_TRUE(other.tryLock());
}

TEST(InstanceLock, StaleLockOfADeadProcessIsTakenOver)
{
    TestEnvironment env;
    // A pid above any kernel's pid_max is never running.
    const QString path = env.writeFile("program/ZEP.lock", "99999999\nzep\n\n");
    InstanceLock lock(env.programDir());
    ASSERT_TRUE(lock.tryLock());
    EXPECT_EQ(lock.holderPid(), QCoreApplication::applicationPid());
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST(InstanceLock, UnreadableLockFileIsTakenOverOnlyWhenOld)
{
    TestEnvironment env;
    const QString path = env.writeFile("program/ZEP.lock", "");
    EXPECT_FALSE(InstanceLock(env.programDir()).tryLock()) << "may be a lock being written right now";
    makeOld(path);
    InstanceLock lock(env.programDir());
    EXPECT_TRUE(lock.tryLock());
}

TEST(InstanceLock, MissingDirectoryFailsWithoutCreatingIt)
{
    TestEnvironment env;
    InstanceLock lock(env.root() + "missing/");
    EXPECT_FALSE(lock.tryLock());
    EXPECT_NE(lock.error(), QLockFile::NoError);
    EXPECT_FALSE(QFileInfo::exists(env.root() + "missing"));
}
