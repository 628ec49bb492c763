#include "catalogue/FileCopy.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace zep {

namespace {

// The copy grows in the target's own directory, so that the rename over the
// target cannot cross file systems. Its name starts with a dot: the directory
// walk passes over such names, so a copy left behind by a crash is never
// catalogued as a program.
bool openTemporary(const QString &target, QFile &file)
{
    const QFileInfo info(target);
    const QString prefix = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.');
    for (int attempt = 0; attempt < 16; ++attempt) {
        file.setFileName(prefix + QString::number(QRandomGenerator::global()->generate(), 36));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (file.error() != QFileDevice::OpenError || !QFile::exists(file.fileName()))
            return false;
    }
    return false;
}

} // namespace

std::optional<QString> copyReplacing(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    // A link is followed: its file gets the copy, the link stays.
    const QFileInfo targetInfo(target);
    const QString real = targetInfo.isSymLink() && targetInfo.exists() ? targetInfo.canonicalFilePath() : target;

    QFile out;
    if (!openTemporary(real, out))
        return out.errorString();
    auto fail = [&out](const QString &why) -> std::optional<QString> {
        out.close();
        out.remove();
        return why;
    };
    // A program that is replaced keeps who may read it.
    if (QFileInfo::exists(real))
        out.setPermissions(QFileInfo(real).permissions());

    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        // Read to the end the device itself reports: atEnd() is no end on a
        // pipe that is still being written.
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0)
            return fail(in.errorString());
        if (n == 0)
            break;
        if (out.write(chunk.constData(), n) != n)
            return fail(out.errorString());
    }
    // On disk before the rename: a crash then leaves the old program or the
    // whole new one, never an empty file under the program's name.
    if (!out.flush())
        return fail(out.errorString());
    if (::fsync(out.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    out.close();
    // POSIX rename replaces the target in one step; QFile::rename would
    // refuse an existing one.
    if (std::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(real).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    return std::nullopt;
}

} // namespace zep
