#include "app/CatalogueNames.h"

#include "app/CodePage1252.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>

namespace zep {

namespace {

// Stored levels, or an empty list when a level is empty, "." or "..".
QStringList storedLevels(const QString &storedName)
{
    const QStringList levels = storedName.split(QLatin1Char('\\'));
    for (const QString &level : levels)
        if (level.isEmpty() || level == QLatin1String(".") || level == QLatin1String(".."))
            return {};
    return levels;
}

// Real entries of dir whose names equal level ignoring case.
QStringList matchingEntries(const QString &dir, const QString &level, bool wantDirectory)
{
    QStringList names;
    const QString wanted = CatalogueNames::upperKeepLength(level);
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir() != wantDirectory)
            continue;
        if (CatalogueNames::upperKeepLength(info.fileName()) == wanted)
            names << info.fileName();
    }
    names.sort();
    return names;
}

// Collects up to two real paths for levels[index..] below dir.
void collect(const QString &dir, const QStringList &levels, qsizetype index, QStringList &found)
{
    const bool last = index == levels.size() - 1;
    for (const QString &name : matchingEntries(dir, levels.at(index), !last)) {
        if (found.size() > 1)
            return;
        const QString path = dir + name;
        if (last)
            found << path;
        else
            collect(path + QLatin1Char('/'), levels, index + 1, found);
    }
}

} // namespace

QString CatalogueNames::upperKeepLength(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const char32_t upper = QChar::toUpper(QChar::surrogateToUcs4(c, text.at(i + 1)));
            if (QChar::requiresSurrogates(upper)) {
                result += QChar(QChar::highSurrogate(upper));
                result += QChar(QChar::lowSurrogate(upper));
            } else {
                result += text.mid(i, 2);
            }
            ++i;
            continue;
        }
        // QChar::toUpper is the one-to-one mapping; QString::toUpper would
        // turn "ß" into "SS" and shift every later position.
        const char32_t upper = QChar::toUpper(char32_t(c.unicode()));
        result += QChar::requiresSurrogates(upper) ? c : QChar(char16_t(upper));
    }
    return result;
}

bool CatalogueNames::sameIgnoringCase(const QString &a, const QString &b)
{
    return a.size() == b.size() && upperKeepLength(a) == upperKeepLength(b);
}

bool CatalogueNames::isStorableFileName(const QString &name)
{
    if (!CodePage1252::canEncode(name))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c == QLatin1Char('\\') || c == QLatin1Char('"'))
            return false;
    return true;
}

bool CatalogueNames::isHiddenName(const QString &name)
{
    return name.startsWith(QLatin1Char('.'));
}

QString CatalogueNames::hiddenNameText(const QString &typed)
{
    return QStringLiteral("Der Name '") + typed
           + QStringLiteral("' beginnt mit einem Punkt. Eine solche Datei ist versteckt und würde im überwachten "
                            "Verzeichnis nie erkannt.");
}

QString CatalogueNames::toStoredName(const QString &relativeNativePath)
{
    QString name = relativeNativePath;
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return upperKeepLength(name);
}

QString CatalogueNames::ensureTrailingSeparator(const QString &dir)
{
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/')))
        return dir;
    return dir + QLatin1Char('/');
}

CatalogueNames::Resolved CatalogueNames::resolveStoredName(const QString &baseDir, const QString &storedName)
{
    Resolved result;
    result.shown = shownPath(baseDir, storedName);
    const QStringList levels = storedLevels(storedName);
    if (levels.isEmpty() || baseDir.isEmpty())
        return result;
    QStringList found;
    collect(ensureTrailingSeparator(baseDir), levels, 0, found);
    if (found.size() == 1)
        result.path = found.front();
    result.ambiguous = found.size() > 1;
    return result;
}

QString CatalogueNames::shownPath(const QString &baseDir, const QString &storedName)
{
    return ensureTrailingSeparator(baseDir) + QString(storedName).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString CatalogueNames::twinsText(const QString &storedName)
{
    return QStringLiteral("Die Datei ") + storedName
           + QStringLiteral(" gibt es im Überwachungsverzeichnis mehrfach, nur in Groß-/Kleinschreibung verschieden. "
                            "Bitte zuerst eine davon umbenennen.");
}

QString CatalogueNames::storedPathForNewFile(const QString &baseDir, const QString &storedName)
{
    const QStringList levels = storedLevels(storedName);
    if (levels.isEmpty() || baseDir.isEmpty())
        return {};

    QString path = ensureTrailingSeparator(baseDir);
    bool existing = QFileInfo(path).isDir();
    for (qsizetype i = 0; i < levels.size(); ++i) {
        const bool last = i == levels.size() - 1;
        const QString &level = levels.at(i);
        if (existing) {
            const QStringList names = matchingEntries(path, level, !last);
            if (names.size() > 1)
                return {};
            if (names.size() == 1) {
                path += names.front() + (last ? QString() : QStringLiteral("/"));
                continue;
            }
            existing = false;
        }
        path += level + (last ? QString() : QStringLiteral("/"));
    }
    return path;
}

} // namespace zep
