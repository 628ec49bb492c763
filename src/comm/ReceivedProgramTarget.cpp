#include "comm/ReceivedProgramTarget.h"

#include "app/CatalogueNames.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace zep {

namespace {

using Verdict = ReceivedProgramTarget::Verdict;

ReceivedProgramTarget make(Verdict v, const QString &path = {})
{
    ReceivedProgramTarget t;
    t.verdict = v;
    t.path = path;
    return t;
}

QStringList levelsOf(const QString &typed)
{
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    return typed.split(separators);
}

// The typed name with "\" between levels and its case as typed, the form
// CatalogueNames finds real files for.
QString levelName(const QString &typed)
{
    return levelsOf(typed).join(QLatin1Char('\\'));
}

// The preset ".cnc" saved as it stands would be a hidden file that no scan
// ever finds: nothing in front of the extension counts as no name.
bool emptyBeforeExtension(const QString &fileName)
{
    const QString trimmed = fileName.trimmed();
    const qsizetype dot = trimmed.lastIndexOf(QLatin1Char('.'));
    return trimmed.isEmpty() || (dot >= 0 && trimmed.left(dot).trimmed().isEmpty());
}

} // namespace

ReceivedProgramTarget ReceivedProgramTarget::forNewFile(const QString &verzeichnis, const QString &typed)
{
    const QStringList levels = levelsOf(typed);
    if (typed.trimmed().isEmpty() || emptyBeforeExtension(levels.last()))
        return make(Verdict::Empty);
    for (const QString &level : levels) {
        if (level.isEmpty())
            return make(Verdict::Invalid);
        if (CatalogueNames::isHiddenName(level))
            return make(Verdict::Hidden);
        if (!CatalogueNames::isStorableFileName(level))
            return make(Verdict::Unstorable);
    }

    const CatalogueNames::Resolved existing = CatalogueNames::resolveStoredName(verzeichnis, levelName(typed));
    if (existing.ambiguous)
        return make(Verdict::Ambiguous);
    if (existing.found())
        return make(Verdict::Exists, existing.path);

    // Existing directory levels under their real case, the file as typed.
    const QString path = CatalogueNames::storedPathForNewFile(verzeichnis, levelName(typed));
    if (path.isEmpty())
        return make(Verdict::Ambiguous);
    const QFileInfo info(path);
    if (!QFileInfo(info.path()).isDir())
        return make(Verdict::NoDirectory);
    // A directory of that name would refuse the file anyway.
    if (info.exists())
        return make(Verdict::Exists, path);

    ReceivedProgramTarget t = make(Verdict::Ok, path);
    t.storedName = CatalogueNames::toStoredName(path.mid(CatalogueNames::ensureTrailingSeparator(verzeichnis).size()));
    return t;
}

ReceivedProgramTarget ReceivedProgramTarget::forUpdate(const QString &verzeichnis, const QString &name)
{
    if (name.trimmed().isEmpty())
        return make(Verdict::Empty);
    const CatalogueNames::Resolved existing = CatalogueNames::resolveStoredName(verzeichnis, levelName(name));
    if (existing.ambiguous)
        return make(Verdict::Ambiguous);
    if (!existing.found())
        return make(Verdict::Missing);
    ReceivedProgramTarget t = make(Verdict::Ok, existing.path);
    t.storedName = CatalogueNames::toStoredName(
        existing.path.mid(CatalogueNames::ensureTrailingSeparator(verzeichnis).size()));
    return t;
}

bool ReceivedProgramTarget::exists(const QString &verzeichnis, const QString &typed)
{
    if (typed.trimmed().isEmpty())
        return false;
    const CatalogueNames::Resolved existing = CatalogueNames::resolveStoredName(verzeichnis, levelName(typed));
    return existing.found() || existing.ambiguous;
}

bool ReceivedProgramTarget::canTakeOver(const QString &shownName)
{
    return shownName != noSelection();
}

bool ReceivedProgramTarget::canCompare(const QString &shownName)
{
    return shownName.size() >= 2;
}

} // namespace zep
