#include "catalogue/DirectoryScan.h"

#include "app/CatalogueNames.h"
#include "catalogue/EventPump.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <dirent.h>
#include <sys/stat.h>

namespace zep {

namespace {

enum class Kind { File, Directory, Other };

Kind kindOf(const QByteArray &dirPath, const dirent *entry)
{
    unsigned char type = entry->d_type;
    if (type == DT_REG)
        return Kind::File;
    if (type == DT_DIR)
        return Kind::Directory;
    if (type != DT_UNKNOWN && type != DT_LNK)
        return Kind::Other;
    struct stat info {};
    const QByteArray full = dirPath + entry->d_name;
    // A link to a directory is not followed: it could lead back up the tree.
    const int rc = type == DT_LNK ? ::stat(full.constData(), &info) : ::lstat(full.constData(), &info);
    if (rc != 0)
        return Kind::Other;
    if (S_ISREG(info.st_mode))
        return Kind::File;
    if (S_ISDIR(info.st_mode) && type != DT_LNK)
        return Kind::Directory;
    return Kind::Other;
}

class Walker {
public:
    Walker(EventPump &pump, ScanOutcome &out, qsizetype rootLength)
        : m_pump(pump), m_out(out), m_rootLength(rootLength)
    {
    }

    // `relative` is the stored form of the directory's place: "DREHEN\\".
    void walk(const QByteArray &dirPath, const QString &relative)
    {
        DIR *dir = ::opendir(dirPath.constData());
        if (!dir) {
            m_out.complete = false;
            if (relative.isEmpty())
                m_out.rootMissing = true;
            m_out.unreadable.append(QFile::decodeName(dirPath));
            return;
        }
        QList<std::pair<QByteArray, QString>> subdirectories;
        bool tooMany = false;
        while (const dirent *entry = ::readdir(dir)) {
            const char *name = entry->d_name;
            // Hidden entries (and "." and "..") start with a dot here.
            if (name[0] == '.')
                continue;
            const Kind kind = kindOf(dirPath, entry);
            if (kind == Kind::File) {
                ++m_out.filesSeen;
                addFile(relative, name, dirPath);
                m_pump.maybeRun();
            } else if (kind == Kind::Directory && !tooMany) {
                if (subdirectories.size() == DirectoryScan::kMaxSubdirectories) {
                    // The rest of this directory's files are still listed;
                    // none of its subdirectories is walked.
                    tooMany = true;
                    m_out.tooManyFolders.append(QFile::decodeName(dirPath));
                    continue;
                }
                const QByteArray bytes(name);
                QString decoded;
                if (!decodeName(bytes, decoded, dirPath, true))
                    continue;
                subdirectories.append(
                    {dirPath + bytes + '/', relative + CatalogueNames::upperKeepLength(decoded) + QLatin1Char('\\')});
            }
        }
        ::closedir(dir);
        if (tooMany)
            return;
        for (const auto &[path, rel] : subdirectories)
            walk(path, rel);
    }

    void finish()
    {
        // Two files that differ only in letter case share one stored name;
        // which of them a record means is left to the list that knows it.
        m_out.entries = m_names;
        m_out.clashes = QStringList(m_clashed.begin(), m_clashed.end());
        m_out.clashes.sort();
    }

private:
    bool decodeName(const QByteArray &bytes, QString &decoded, const QByteArray &dirPath, bool isDirectory)
    {
        decoded = QFile::decodeName(bytes);
        if (decoded.contains(QChar::ReplacementCharacter)) {
            if (const std::optional<QString> reading = LegacyFileNames::reading(bytes)) {
                m_out.legacyNames.append(
                    {dirPath, bytes, *reading, QFile::decodeName(dirPath.mid(m_rootLength)), isDirectory});
                return false;
            }
        }
        // A name that is no valid text here, or that the code page of the
        // stored list cannot hold, would be mangled in the catalogue.
        // A "\" would read as a level break, a '"' would end the quoted
        // value in the stored list, a CR or LF would split the name in the
        // list of new files and in the stored list.
        if (decoded.contains(QChar::ReplacementCharacter) || !CatalogueNames::isStorableFileName(decoded)) {
            m_out.unencodable.append(QFile::decodeName(dirPath + bytes));
            return false;
        }
        return true;
    }

    void addFile(const QString &relativeStored, const char *name, const QByteArray &dirPath)
    {
        QString stored;
        if (!asciiStoredName(name, stored)) {
            QString decoded;
            if (!decodeName(QByteArray(name), decoded, dirPath, false))
                return;
            stored = CatalogueNames::upperKeepLength(decoded);
        }
        stored.prepend(relativeStored);
        if (m_seen.contains(stored)) {
            m_clashed.insert(stored);
            return;
        }
        m_seen.insert(stored);
        m_names.append(stored);
    }

    // Most program names are plain ASCII: upper-cased byte by byte, without
    // decoding, which keeps a walk of thousands of files close to what the
    // file system itself costs.
    static bool asciiStoredName(const char *name, QString &stored)
    {
        char upper[256];
        qsizetype n = 0;
        for (; name[n]; ++n) {
            const unsigned char c = static_cast<unsigned char>(name[n]);
            if (c >= 0x80 || c < 0x20 || c == '\\' || c == '"' || n == qsizetype(sizeof upper))
                return false;
            upper[n] = (c >= 'a' && c <= 'z') ? char(c - 32) : char(c);
        }
        stored = QString::fromLatin1(upper, n);
        return true;
    }

    EventPump &m_pump;
    ScanOutcome &m_out;
    const qsizetype m_rootLength;
    QStringList m_names;
    QSet<QString> m_seen;
    QSet<QString> m_clashed;
};

} // namespace

ScanOutcome DirectoryScan::scan(const QString &root, EventPump &pump)
{
    ScanOutcome out;
    if (root.isEmpty())
        return out;
    const QByteArray rootPath = QFile::encodeName(CatalogueNames::ensureTrailingSeparator(root));
    Walker walker(pump, out, rootPath.size());
    walker.walk(rootPath, QString());
    walker.finish();
    return out;
}

QString DirectoryScan::tooManyFoldersText(const QString &path)
{
    return path + QStringLiteral("\r\rMehr als 300 Ordner im Verzeichnis! Problem!");
}

} // namespace zep
