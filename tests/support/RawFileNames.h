#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zep::test {

// Files and folders under names that are no UTF-8 ("P\xe4.NC", as an old DOS
// or Windows program wrote them), made through their bytes: Qt would write
// a replacement character instead.
inline QByteArray rawPath(const QString &dir, const QByteArray &relative)
{
    return QFile::encodeName(dir) + relative;
}

// Creates the missing folders of `relative` below dir; returns the full byte path.
inline QByteArray writeRawFile(const QString &dir, const QByteArray &relative, const QByteArray &contents)
{
    const QByteArray path = rawPath(dir, relative);
    for (qsizetype at = path.indexOf('/', 1); at > 0; at = path.indexOf('/', at + 1))
        ::mkdir(path.left(at).constData(), 0755);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return {};
    const bool written = ::write(fd, contents.constData(), size_t(contents.size())) == contents.size();
    ::close(fd);
    return written ? path : QByteArray();
}

inline bool rawExists(const QByteArray &path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

inline QByteArray readRawFile(const QByteArray &path)
{
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

// Removes a tree by the bytes of its names when it goes: QTemporaryDir
// cannot remove a name that is no UTF-8 and would leave it in /tmp.
class RawTreeRemover {
public:
    explicit RawTreeRemover(const QString &dir) : m_dir(QFile::encodeName(dir)) {}
    ~RawTreeRemover()
    {
        ::nftw(
            m_dir.constData(),
            [](const char *path, const struct stat *, int, FTW *) {
                std::remove(path);
                return 0;
            },
            16,
            FTW_DEPTH | FTW_PHYS);
    }
    RawTreeRemover(const RawTreeRemover &) = delete;
    RawTreeRemover &operator=(const RawTreeRemover &) = delete;

private:
    QByteArray m_dir;
};

} // namespace zep::test
