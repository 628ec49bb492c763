#include "db/SqlTokenizer.h"

namespace zep {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Index just past a quoted run that starts at `from` with `quote`; a doubled
// quote stands for one. An unterminated run takes the rest of the text, and
// the engine then reports the statement as broken.
qsizetype endOfQuoted(const QString &sql, qsizetype from, QChar quote)
{
    qsizetype i = from + 1;
    while (i < sql.size()) {
        if (sql.at(i) == quote) {
            if (i + 1 < sql.size() && sql.at(i + 1) == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

} // namespace

QList<SqlToken> SqlTokenizer::tokenize(const QString &sql)
{
    QList<SqlToken> tokens;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        qsizetype end = i + 1;
        SqlToken::Kind kind = SqlToken::Punct;
        if (c.isSpace()) {
            kind = SqlToken::Space;
            while (end < sql.size() && sql.at(end).isSpace())
                ++end;
        } else if (c == QLatin1Char('\'')) {
            kind = SqlToken::String;
            end = endOfQuoted(sql, i, c);
        } else if (c == QLatin1Char('"')) {
            kind = SqlToken::Quoted;
            end = endOfQuoted(sql, i, c);
        } else if (c == QLatin1Char('[')) {
            kind = SqlToken::Bracket;
            const qsizetype close = sql.indexOf(QLatin1Char(']'), i + 1);
            end = close < 0 ? sql.size() : close + 1;
        } else if (isWordStart(c)) {
            kind = SqlToken::Word;
            while (end < sql.size() && isWordPart(sql.at(end)))
                ++end;
        } else if (c.isDigit()) {
            kind = SqlToken::Number;
            while (end < sql.size() && (sql.at(end).isDigit() || sql.at(end) == QLatin1Char('.')))
                ++end;
        }
        tokens.append({kind, sql.mid(i, end - i)});
        i = end;
    }
    return tokens;
}

QString SqlTokenizer::join(const QList<SqlToken> &tokens)
{
    QString out;
    for (const SqlToken &t : tokens)
        out += t.text;
    return out;
}

QString SqlTokenizer::unquote(const QString &literal)
{
    if (literal.size() < 2)
        return QString();
    const QChar q = literal.front();
    QString inner = literal.mid(1, literal.endsWith(q) ? literal.size() - 2 : literal.size() - 1);
    inner.replace(QString(2, q), QString(q));
    return inner;
}

bool SqlTokenizer::isClosed(const SqlToken &token)
{
    const QString &t = token.text;
    if (token.kind == SqlToken::Bracket)
        return t.size() >= 2 && t.endsWith(QLatin1Char(']'));
    if (token.kind != SqlToken::String && token.kind != SqlToken::Quoted)
        return true;
    // The run is closed when its last character is a quote that is not one
    // half of a doubled quote.
    const QChar q = t.front();
    for (qsizetype i = 1; i < t.size(); ++i) {
        if (t.at(i) != q)
            continue;
        if (i + 1 < t.size() && t.at(i + 1) == q) {
            ++i;
            continue;
        }
        return i + 1 == t.size();
    }
    return false;
}

QString SqlTokenizer::quote(const QString &text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

} // namespace zep
