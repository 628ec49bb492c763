#include "editor/ProgramWords.h"

namespace zep {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The length of a number (sign, digits, one decimal point) at `at`, or 0.
qsizetype numberAt(QStringView line, qsizetype at)
{
    qsizetype i = at;
    if (i < line.size() && (line[i] == QLatin1Char('-') || line[i] == QLatin1Char('+')))
        ++i;
    bool digits = false;
    bool point = false;
    while (i < line.size()) {
        if (isDigit(line[i])) {
            digits = true;
        } else if (line[i] == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
        ++i;
    }
    return digits ? i - at : 0;
}

} // namespace

QList<ProgramWords::Word> ProgramWords::classify(QStringView line)
{
    QList<Word> words;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        const QChar c = line[i];
        if (c == QLatin1Char('(')) {
            const qsizetype close = line.indexOf(QLatin1Char(')'), i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            words.append({i, end - i, Kind::Comment});
            i = end;
            continue;
        }
        if (c == QLatin1Char(';')) {
            words.append({i, n - i, Kind::Comment});
            break;
        }
        const QChar up = c.toUpper();
        const bool letterBefore = i > 0 && line[i - 1].isLetter();
        if (up >= QLatin1Char('A') && up <= QLatin1Char('Z') && !letterBefore) {
            const qsizetype number = numberAt(line, i + 1);
            if (number > 0) {
                Kind kind = Kind::Address;
                switch (up.toLatin1()) {
                case 'N': kind = Kind::BlockNumber; break;
                case 'G': kind = Kind::GCode; break;
                case 'M': kind = Kind::MCode; break;
                case 'X': case 'Y': case 'Z': case 'A': case 'B': case 'C':
                case 'U': case 'V': case 'W': case 'I': case 'J': case 'K': case 'R':
                    kind = Kind::Axis;
                    break;
                default: break;
                }
                words.append({i, number + 1, kind});
                i += number + 1;
                continue;
            }
        }
        ++i;
    }
    return words;
}

} // namespace zep
