#include "comm/MachineRequest.h"

#include "app/CatalogueNames.h"
#include "app/CodePage1252.h"
#include "comm/ProgramNaming.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace zep {

namespace {

// The files of the monitored directory, with their catalogue names; the
// same files the directory check sees (no hidden ones), and none that a
// link leads outside of it.
struct Program {
    QString path;
    QString storedName;
};

QList<Program> programsIn(const QString &verzeichnis)
{
    QList<Program> programs;
    const QString base = CatalogueNames::ensureTrailingSeparator(verzeichnis);
    const QString root = QFileInfo(base).canonicalFilePath();
    if (base.isEmpty() || root.isEmpty())
        return programs;
    QDirIterator it(base, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(base.size());
        bool hidden = false;
        for (const QString &level : relative.split(QLatin1Char('/')))
            hidden = hidden || CatalogueNames::isHiddenName(level);
        const QString real = QFileInfo(path).canonicalFilePath();
        if (hidden || !real.startsWith(root + QLatin1Char('/')))
            continue;
        programs.append({path, CatalogueNames::toStoredName(relative)});
    }
    std::sort(programs.begin(), programs.end(),
              [](const Program &a, const Program &b) { return a.storedName < b.storedName; });
    return programs;
}

QString withoutExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype level = name.lastIndexOf(QLatin1Char('\\'));
    return dot > level + 1 ? name.left(dot) : name;
}

QString lastLevel(const QString &name)
{
    return name.mid(name.lastIndexOf(QLatin1Char('\\')) + 1);
}

QByteArray answer(const QString &comment)
{
    return QByteArray("%\r\n(") + CodePage1252::encode(comment) + QByteArray(")\r\nM30\r\n%\r\n");
}

// The O number of a program file's head, as its automatic name takes it.
std::optional<qulonglong> oNumberOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const ProgramNaming::Name name =
        ProgramNaming::nameFor(file.read(4096), QString(), 0, QDateTime());
    if (name.rule != ProgramNaming::Rule::ONumber)
        return std::nullopt;
    bool ok = false;
    const qulonglong n = name.fileName.mid(1).toULongLong(&ok);
    return ok ? std::optional<qulonglong>(n) : std::nullopt;
}

} // namespace

std::optional<MachineRequest> MachineRequest::parse(const QByteArray &text, const QStringList &keywords)
{
    const std::optional<QString> comment = ProgramNaming::firstComment(text);
    if (!comment)
        return std::nullopt;
    const qsizetype space = comment->indexOf(QRegularExpression(QStringLiteral("\\s")));
    const QString word = CatalogueNames::upperKeepLength(space < 0 ? *comment : comment->left(space));
    const QString rest = space < 0 ? QString() : comment->mid(space).trimmed();
    if (word == QLatin1String("LISTE"))
        return MachineRequest{Kind::List, rest};
    if (keywords.contains(word) && !rest.isEmpty())
        return MachineRequest{Kind::Send, rest};
    return std::nullopt;
}

bool MachineRequest::refusedName(const QString &name)
{
    if (name.contains(QLatin1String("..")) || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1Char(':')))
        return true;
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return true;
    return false;
}

MachineRequest::Lookup MachineRequest::find(const QString &verzeichnis, const QString &name)
{
    Lookup lookup;
    const QString wanted = CatalogueNames::upperKeepLength(name.trimmed());
    if (wanted.isEmpty() || refusedName(wanted))
        return lookup;
    const QList<Program> programs = programsIn(verzeichnis);
    // The whole name first: "WELLE.NC" must not be ambiguous beside "WELLE.H"
    // just because both answer to "WELLE".
    for (const Program &p : programs)
        if (p.storedName == wanted || lastLevel(p.storedName) == wanted)
            lookup.paths << p.path;
    if (lookup.paths.isEmpty())
        for (const Program &p : programs)
            if (withoutExtension(p.storedName) == wanted || withoutExtension(lastLevel(p.storedName)) == wanted)
                lookup.paths << p.path;
    if (!lookup.paths.isEmpty())
        return lookup;
    static const QRegularExpression oNumber(QStringLiteral("^O?(\\d+)$"));
    const QRegularExpressionMatch m = oNumber.match(wanted);
    if (!m.hasMatch())
        return lookup;
    const qulonglong number = m.captured(1).toULongLong();
    for (const Program &p : programs)
        if (oNumberOf(p.path) == number)
            lookup.paths << p.path;
    return lookup;
}

QByteArray MachineRequest::listing(const QString &verzeichnis, const QString &pattern,
                                   const std::function<QString(const QString &)> &bezeichnung)
{
    const QString wanted = CatalogueNames::upperKeepLength(pattern.trimmed());
    const bool wildcard = wanted.contains(QLatin1Char('*')) || wanted.contains(QLatin1Char('?'));
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(wanted));
    QByteArray out("%\r\n");
    int listed = 0;
    for (const Program &p : programsIn(verzeichnis)) {
        const bool fits = wanted.isEmpty()
                          || (wildcard ? match.match(p.storedName).hasMatch() || match.match(lastLevel(p.storedName)).hasMatch()
                                       : p.storedName.contains(wanted));
        if (!fits)
            continue;
        if (listed == kMostListed)
            break;
        // A name with a bracket would end the comment early on the control.
        QString shown = p.storedName;
        if (bezeichnung) {
            QString text = bezeichnung(p.storedName).trimmed();
            text.replace(QLatin1String("\r\n"), QLatin1String(" / ")).replace(QLatin1Char('\r'), QLatin1Char(' '));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            if (!text.isEmpty())
                shown += QStringLiteral(" - ") + text;
        }
        shown.replace(QLatin1Char('('), QLatin1Char('[')).replace(QLatin1Char(')'), QLatin1Char(']'));
        for (QChar &c : shown)
            if (c.category() == QChar::Other_Control)
                c = QLatin1Char(' ');
        out += "(" + CodePage1252::encode(shown) + ")\r\n";
        ++listed;
    }
    if (listed == 0)
        out += "(KEINE DATEIEN)\r\n";
    out += "M30\r\n%\r\n";
    return out;
}

QByteArray MachineRequest::notFound(const QString &name)
{
    return answer(QStringLiteral("NICHT GEFUNDEN ") + name);
}

QByteArray MachineRequest::ambiguousAnswer(const QString &name, int files)
{
    return answer(QStringLiteral("MEHRDEUTIG ") + name + QStringLiteral(": ") + QString::number(files)
                  + QStringLiteral(" Dateien"));
}

QByteArray MachineRequest::refusedAnswer()
{
    return answer(QStringLiteral("NAME NICHT ERLAUBT"));
}

} // namespace zep
