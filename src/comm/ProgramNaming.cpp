#include "comm/ProgramNaming.h"

#include "app/CatalogueNames.h"
#include "app/CodePage1252.h"

#include <QRegularExpression>

namespace zep {

namespace {

// A subprogram at the end of a main program carries its own O number; only
// the head of the text names the program.
constexpr int kHeadLines = 20;

QString head(const QByteArray &text)
{
    qsizetype end = 0;
    for (int line = 0; line < kHeadLines && end < text.size(); ++line) {
        const qsizetype next = text.indexOf('\n', end);
        end = next < 0 ? text.size() : next + 1;
    }
    return CodePage1252::decode(text.left(end));
}

// The catalogue's form of a name, or nothing when it could not keep it.
std::optional<QString> catalogued(const QString &base, const QString &extension)
{
    if (base.isEmpty())
        return std::nullopt;
    const QString name = CatalogueNames::upperKeepLength(base + extension);
    if (CatalogueNames::isHiddenName(name) || !CatalogueNames::isStorableFileName(name))
        return std::nullopt;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char(':') || c == QLatin1Char('*') || c == QLatin1Char('?')
            || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('|') || c.isSpace()
            // The bytes the code page leaves undefined read as C1 controls;
            // written out they would make a name nobody can type.
            || c.category() == QChar::Other_Control)
            return std::nullopt;
    return name;
}

} // namespace

std::optional<QString> ProgramNaming::firstComment(const QByteArray &text)
{
    const qsizetype open = text.indexOf('(');
    if (open < 0)
        return std::nullopt;
    const qsizetype close = text.indexOf(')', open + 1);
    const qsizetype lineEnd = text.indexOf('\n', open + 1);
    // A comment never spans lines; an unclosed one names nothing.
    if (close < 0 || (lineEnd >= 0 && lineEnd < close))
        return std::nullopt;
    return CodePage1252::decode(text.mid(open + 1, close - open - 1)).trimmed();
}

ProgramNaming::Name ProgramNaming::nameFor(const QByteArray &text, const QString &extension, int maschinenNummer,
                                           const QDateTime &now)
{
    const QString top = head(text);

    static const QRegularExpression oNumber(QStringLiteral("(?m)^[ \\t]*O(\\d+)(?![0-9A-Za-z_])"));
    if (const auto m = oNumber.match(top); m.hasMatch())
        if (const auto name = catalogued(QStringLiteral("O") + m.captured(1), extension))
            return {*name, Rule::ONumber};

    if (const auto comment = firstComment(text)) {
        static const QRegularExpression oneWord(QStringLiteral("^\\S+$"));
        if (oneWord.match(*comment).hasMatch())
            if (const auto name = catalogued(*comment, extension))
                return {*name, Rule::Comment};
    }

    static const QRegularExpression beginPgm(QStringLiteral("(?m)^[ \\t]*\\d*[ \\t]*BEGIN PGM[ \\t]+(\\S+)"));
    if (const auto m = beginPgm.match(top); m.hasMatch())
        if (const auto name = catalogued(m.captured(1), QStringLiteral(".H")))
            return {*name, Rule::BeginPgm};

    static const QRegularExpression mpf(QStringLiteral("%_N_(\\S+)_MPF"));
    if (const auto m = mpf.match(top); m.hasMatch())
        if (const auto name = catalogued(m.captured(1), QStringLiteral(".MPF")))
            return {*name, Rule::MpfHeader};

    return {QStringLiteral("Maschine") + QString::number(maschinenNummer) + QLatin1Char('_')
                + now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + CatalogueNames::upperKeepLength(extension),
            Rule::Fallback};
}

QString ProgramNaming::numbered(const QString &fileName, int k)
{
    if (k <= 1)
        return fileName;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString suffix = QLatin1Char('_') + QString::number(k);
    return dot > 0 ? fileName.left(dot) + suffix + fileName.mid(dot) : fileName + suffix;
}

} // namespace zep
