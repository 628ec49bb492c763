#include "app/AtomicFileWriter.h"

#include "app/SystemError.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace zep {

namespace {

// Most file systems allow 255 bytes for one name; the hidden name must not
// fail where the target's own name would fit.
constexpr qsizetype kNameBytes = 255;
constexpr int kRandomDigits = 13; // a 64-bit number in base 36
const QString kMarker = QStringLiteral(".zeptmp");
constexpr qsizetype kSuffixBytes = 1 + kRandomDigits + 7; // "." + digits + ".zeptmp"

// The temporary file grows in the target's own directory, so that the rename
// over the target cannot cross file systems. Its name starts with a dot: the
// directory walk passes over such names, so a file left behind by a crash is
// never catalogued as a program. The fixed-width number and the marker at the
// end make the name ours alone; a clean-up after a crash can then tell it
// from a user's hidden files such as an editor's ".name.swp".
bool openTemporary(const QString &target, QFile &file, int &errnum)
{
    const QFileInfo info(target);
    QString stem = QStringLiteral(".") + info.fileName();
    while (stem.size() > 1 && QFile::encodeName(stem).size() > kNameBytes - kSuffixBytes)
        stem.chop(1);
    const QString prefix = info.absolutePath() + QLatin1Char('/') + stem + QLatin1Char('.');
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString digits = QString::number(QRandomGenerator::global()->generate64(), 36)
                                   .rightJustified(kRandomDigits, QLatin1Char('0'));
        file.setFileName(prefix + digits + kMarker);
        errno = 0;
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        errnum = errno;
        if (file.error() != QFileDevice::OpenError || !QFile::exists(file.fileName()))
            return false;
    }
    return false;
}

} // namespace

void AtomicFileWriter::syncEntry(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool AtomicFileWriter::isTemporaryName(const QString &fileName)
{
    // "." + at least one character of the target's name + "." + the digits + the marker.
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("\\..+\\.[0-9a-z]{%1}\\.zeptmp").arg(kRandomDigits)),
        QRegularExpression::DotMatchesEverythingOption);
    return pattern.match(fileName).hasMatch();
}

AtomicFileWriter::~AtomicFileWriter()
{
    cancel();
}

std::optional<QString> AtomicFileWriter::open(const QString &target)
{
    cancel();
    const QFileInfo info(target);
    m_target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : target;
    int errnum = 0;
    if (!openTemporary(m_target, m_file, errnum)) {
        // Nothing of ours to remove: the name that failed may be another's.
        // The reason names the target: the hidden name is none of the user's.
        const QString why = SystemError::describe(m_file, errnum, m_target);
        m_file.setFileName(QString());
        return why;
    }
    // A program that is replaced keeps who may read it.
    if (QFileInfo::exists(m_target))
        m_file.setPermissions(QFileInfo(m_target).permissions());
    return std::nullopt;
}

std::optional<QString> AtomicFileWriter::write(const char *data, qint64 size)
{
    if (!m_file.isOpen())
        return QStringLiteral("Die Datei ist nicht geöffnet");
    errno = 0;
    if (size > 0 && m_file.write(data, size) != size)
        return fail(errno);
    return std::nullopt;
}

std::optional<QString> AtomicFileWriter::flushAndClose()
{
    if (!m_file.isOpen())
        return QStringLiteral("Die Datei ist nicht geöffnet");
    // On disk before the rename: a crash then leaves the old program or the
    // whole new one, never an empty file under the program's name.
    errno = 0;
    if (!m_file.flush())
        return fail(errno);
    if (::fsync(m_file.handle()) != 0)
        return fail(errno);
    errno = 0;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return fail(errno);
    return std::nullopt;
}

std::optional<QString> AtomicFileWriter::commit()
{
    if (auto error = flushAndClose())
        return error;
    // POSIX rename replaces the target in one step; QFile::rename would
    // refuse an existing one.
    if (std::rename(QFile::encodeName(m_file.fileName()).constData(), QFile::encodeName(m_target).constData()) != 0)
        return fail(errno);
    // The rename itself on disk: without it a power cut right after a save
    // can bring back the old program.
    syncEntry(m_target);
    m_file.setFileName(QString());
    return std::nullopt;
}

std::optional<QString> AtomicFileWriter::commitNew()
{
    if (auto error = flushAndClose())
        return error;
    const QByteArray temporary = QFile::encodeName(m_file.fileName());
    const QByteArray target = QFile::encodeName(m_target);
    // A hard link is made only where no entry of that name exists, in one
    // step; a rename would replace a file another writer put there meanwhile.
    if (::link(temporary.constData(), target.constData()) == 0) {
        ::unlink(temporary.constData());
        syncEntry(m_target);
        m_file.setFileName(QString());
        return std::nullopt;
    }
    const int linkError = errno;
    // Some network and FAT file systems have no hard links: there only the
    // look just before the rename guards the existing file.
    const bool noLinks = linkError == EPERM || linkError == EOPNOTSUPP || linkError == ENOTSUP
                         || linkError == EXDEV || linkError == EMLINK || linkError == ENOSYS;
    if (!noLinks || QFileInfo::exists(m_target) || QFileInfo(m_target).isSymLink())
        return fail(noLinks ? EEXIST : linkError);
    if (std::rename(temporary.constData(), target.constData()) != 0)
        return fail(errno);
    syncEntry(m_target);
    m_file.setFileName(QString());
    return std::nullopt;
}

void AtomicFileWriter::cancel()
{
    const QString temporary = m_file.fileName();
    if (m_file.isOpen())
        m_file.close();
    if (!temporary.isEmpty())
        QFile::remove(temporary);
    m_file.setFileName(QString());
}

std::optional<QString> AtomicFileWriter::fail(int errnum)
{
    // Told before the temporary file goes: Qt's text of the failed call is
    // the fallback when the call left no errno.
    const QString why = SystemError::describe(m_file, errnum, m_target);
    cancel();
    return why;
}

} // namespace zep
