#include "catalogue/FileRemoval.h"

#include "app/SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

namespace zep {

namespace {

const QString kMarker = QStringLiteral(".zepdel");
// Most file systems allow 255 bytes for a name; the hidden name must fit
// wherever the file's own name did.
constexpr qsizetype kNameBytes = 255;
constexpr qsizetype kSuffixBytes = 1 + 8 + 7; // "." + eight digits + ".zepdel"

// A name beside the file that starts with a dot, so that neither the
// directory walk nor the photo listing takes it for a program or a photo.
QString asidePath(const QString &path)
{
    const QFileInfo info(path);
    QString stem = QStringLiteral(".") + info.fileName();
    while (stem.size() > 1 && QFile::encodeName(stem).size() > kNameBytes - kSuffixBytes)
        stem.chop(1);
    constexpr quint64 kEightDigits = 2821109907456ULL; // 36^8
    const QString digits = QString::number(QRandomGenerator::global()->generate64() % kEightDigits, 36)
                               .rightJustified(8, QLatin1Char('0'));
    return info.absolutePath() + QLatin1Char('/') + stem + QLatin1Char('.') + digits + kMarker;
}

// rename(2): QFile::rename would copy and delete across disks, and it
// refuses nothing that a deletion would refuse.
int move(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return 0;
    return errno != 0 ? errno : EIO;
}

} // namespace

FileRemoval::~FileRemoval()
{
    restore();
}

std::optional<QString> FileRemoval::setAside(const QStringList &paths)
{
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            continue;
        QString aside = asidePath(path);
        while (QFileInfo(aside).exists() || QFileInfo(aside).isSymLink())
            aside = asidePath(path);
        if (const int errnum = move(path, aside)) {
            restore();
            return QStringLiteral("Die Datei '") + path + QStringLiteral("' kann nicht gelöscht werden: ")
                   + SystemError::reason(errnum) + QLatin1Char('.');
        }
        m_moved.append({path, aside});
    }
    return std::nullopt;
}

void FileRemoval::restore()
{
    // Last moved, first back.
    for (auto it = m_moved.crbegin(); it != m_moved.crend(); ++it)
        move(it->aside, it->path);
    m_moved.clear();
}

QStringList FileRemoval::finish()
{
    QStringList left;
    for (const Moved &m : m_moved)
        if (!QFile::remove(m.aside))
            left.append(m.path);
    m_moved.clear();
    return left;
}

} // namespace zep
