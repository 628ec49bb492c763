#include "app/IniSettingsStore.h"

#include "app/AtomicFileWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>
#include <sys/stat.h>

namespace zep {

namespace {

QString settingsKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

QString asText(const QVariant &value)
{
    // An unquoted hand-edited value with a comma comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace

QString IniSettingsStore::defaultFileName()
{
    // The same file QSettings(IniFormat, UserScope, "ZEP") uses. It is worked
    // out here because QSettings fixes its user path once per process and
    // would not follow a changed XDG_CONFIG_HOME.
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                           + QStringLiteral("/ZEP.ini"));
}

IniSettingsStore::IniSettingsStore()
    : IniSettingsStore(defaultFileName())
{
}

IniSettingsStore::IniSettingsStore(const QString &iniPath)
    : m_path(iniPath), m_nativePath(QFile::encodeName(iniPath))
{
}

IniSettingsStore::FileStamp IniSettingsStore::currentStamp() const
{
    // One system call: every settings read looks here, and a machine sending
    // makes many reads a second.
    FileStamp stamp;
    struct stat st {};
    if (::stat(m_nativePath.constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = st.st_size;
    // A file replaced by renaming another over it may keep size and
    // modification time; its inode and change time still move.
    stamp.inode = st.st_ino;
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

namespace {

// QSettings parses and writes the INI format for us, but it keeps every file
// it has seen in a process-wide cache: a value whose write failed stays
// there and would be read back as stored, and a same-size edit within the
// file time's granularity is not noticed. So it only ever works on a
// private copy under a name never used again, and the real file is read and
// replaced here.
class IniScratch {
public:
    explicit IniScratch(const QByteArray &contents)
    {
        if (!m_dir.isValid())
            return;
        QFile file(fileName());
        m_ok = file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
    }

    bool isValid() const { return m_ok; }
    QString fileName() const { return m_dir.filePath(QStringLiteral("ZEP.ini")); }

    QByteArray contents() const
    {
        QFile file(fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};

// The file's bytes; empty when it does not exist. False when it exists but
// cannot be read.
bool readWhole(const QString &path, QByteArray &bytes)
{
    bytes.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

void IniSettingsStore::refresh() const
{
    const FileStamp stamp = currentStamp();
    if (m_parsed && !m_racy && stamp == m_stamp)
        return;
    QHash<QString, QString> values;
    QByteArray bytes;
    const bool readable = readWhole(m_path, bytes);
    if (m_parsed && readable && stamp.exists == m_stamp.exists && bytes == m_text) {
        // Only the times said it might have changed; the text says it has
        // not. Parsing is what costs, not looking.
        m_stamp = stamp;
        m_racy = racy(stamp);
        return;
    }
    m_text = readable ? bytes : QByteArray();
    if (readable && !bytes.isEmpty()) {
        const IniScratch scratch(bytes);
        const QSettings settings(scratch.fileName(), QSettings::IniFormat);
        const QStringList keys = settings.allKeys();
        for (const QString &key : keys)
            values.insert(key, asText(settings.value(key)));
    }
    m_values = std::move(values);
    m_stamp = stamp;
    m_parsed = true;
    ++m_parseCount;
    // File times move in steps (a clock tick on most disks, two seconds on
    // some), so a second change made soon after the one just parsed may
    // leave size and times as they were. Until the file is older than one
    // step, every read reads it again (and parses it only when its text
    // changed). A time with no milliseconds at all is taken for a disk that
    // keeps whole seconds.
    m_racy = racy(stamp);
}

bool IniSettingsStore::racy(const FileStamp &stamp)
{
    const qint64 modifiedMs = stamp.modifiedNs / 1000000;
    const qint64 step = modifiedMs % 1000 == 0 ? kRacyCoarseMs : kRacyFineMs;
    return stamp.exists && QDateTime::currentMSecsSinceEpoch() - modifiedMs < step;
}

QString IniSettingsStore::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    refresh();
    const auto it = m_values.constFind(settingsKey(section, key));
    return it == m_values.cend() ? defaultValue : *it;
}

void IniSettingsStore::write(const QString &section, const QString &key, const QString &value)
{
    m_lastWriteStatus = writeThrough(settingsKey(section, key), value);
    // The next read takes the file as it now lies on disk: a failed write
    // must not look stored, and a hand edit made since the last read is
    // part of the file now.
    m_parsed = false;
}

QSettings::Status IniSettingsStore::writeThrough(const QString &fullKey, const QString &value)
{
    const QFileInfo target(m_path);
    if (!QDir().mkpath(target.absolutePath()))
        return QSettings::AccessError;
    // The same lock QSettings takes, so a second instance writing at the same
    // moment is not lost.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.tryLock(kLockWaitMs);

    QByteArray before;
    if (!readWhole(m_path, before))
        return QSettings::AccessError;
    const IniScratch scratch(before);
    if (!scratch.isValid())
        return QSettings::AccessError;
    {
        QSettings settings(scratch.fileName(), QSettings::IniFormat);
        if (settings.status() != QSettings::NoError)
            return settings.status();
        settings.setValue(fullKey, value);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return settings.status();
    }
    AtomicFileWriter out;
    if (out.open(m_path) || out.write(scratch.contents()) || out.commit())
        return QSettings::AccessError;
    return QSettings::NoError;
}

} // namespace zep
