#include "db/JetDialect.h"

#include "db/SqlTokenizer.h"

#include <QStringList>

namespace zep {

namespace {

using Tokens = QList<SqlToken>;

QString upper(const SqlToken &t)
{
    return t.kind == SqlToken::Word ? t.text.toUpper() : QString();
}

bool isPunct(const SqlToken &t, char c)
{
    return t.kind == SqlToken::Punct && t.text == QLatin1Char(c);
}

// Index of the next token at or after `i` that is not blank, or -1.
qsizetype nextSig(const Tokens &t, qsizetype i)
{
    while (i >= 0 && i < t.size() && t.at(i).kind == SqlToken::Space)
        ++i;
    return i < t.size() ? i : -1;
}

// Erases tokens [from, to) and the blank run that follows them.
void eraseWithSpace(Tokens &t, qsizetype from, qsizetype to)
{
    if (to < t.size() && t.at(to).kind == SqlToken::Space)
        ++to;
    t.erase(t.begin() + from, t.begin() + to);
}

// Rewrites the column type at `i` (and a following "(n)") in place.
// Text columns compare without regard to letter case, as they always did;
// the NOCASE name is replaced on our connections by a Unicode-aware one,
// and a plain sqlite3 tool still opens the file with its own NOCASE.
void rewriteType(Tokens &t, qsizetype i)
{
    if (i < 0 || t.at(i).kind != SqlToken::Word)
        return;
    const QString type = upper(t.at(i));
    QString size;
    qsizetype end = i + 1;
    const qsizetype open = nextSig(t, i + 1);
    if (open > 0 && isPunct(t.at(open), '(')) {
        const qsizetype num = nextSig(t, open + 1);
        const qsizetype close = num > 0 ? nextSig(t, num + 1) : -1;
        if (num > 0 && t.at(num).kind == SqlToken::Number && close > 0 && isPunct(t.at(close), ')')) {
            size = t.at(num).text;
            end = close + 1;
        }
    }

    static const QStringList texts = {QStringLiteral("TEXT"), QStringLiteral("VARCHAR"), QStringLiteral("CHAR"),
                                      QStringLiteral("CHARACTER"), QStringLiteral("STRING"),
                                      QStringLiteral("NVARCHAR"), QStringLiteral("NCHAR"),
                                      QStringLiteral("ALPHANUMERIC")};
    static const QStringList memos = {QStringLiteral("MEMO"), QStringLiteral("LONGTEXT"), QStringLiteral("LONGCHAR"),
                                      QStringLiteral("NOTE"), QStringLiteral("NTEXT")};
    static const QStringList integers = {QStringLiteral("BYTE"), QStringLiteral("LONG"), QStringLiteral("INTEGER"),
                                         QStringLiteral("INT"), QStringLiteral("SHORT"), QStringLiteral("SMALLINT"),
                                         QStringLiteral("TINYINT"), QStringLiteral("INTEGER1"),
                                         QStringLiteral("INTEGER2"), QStringLiteral("INTEGER4"), QStringLiteral("BIT"),
                                         QStringLiteral("YESNO"), QStringLiteral("LOGICAL")};
    static const QStringList dates = {QStringLiteral("DATE"), QStringLiteral("DATETIME"), QStringLiteral("TIME"),
                                      QStringLiteral("TIMESTAMP")};
    static const QStringList reals = {QStringLiteral("DOUBLE"), QStringLiteral("FLOAT"), QStringLiteral("FLOAT8"),
                                      QStringLiteral("SINGLE"), QStringLiteral("FLOAT4"), QStringLiteral("REAL"),
                                      QStringLiteral("CURRENCY"), QStringLiteral("MONEY"), QStringLiteral("NUMERIC"),
                                      QStringLiteral("DECIMAL")};
    static const QStringList blobs = {QStringLiteral("BINARY"), QStringLiteral("VARBINARY"),
                                      QStringLiteral("LONGBINARY"), QStringLiteral("OLEOBJECT"),
                                      QStringLiteral("IMAGE"), QStringLiteral("GENERAL")};

    QString replacement;
    if (texts.contains(type))
        replacement = size.isEmpty() ? QStringLiteral("TEXT COLLATE NOCASE")
                                     : QStringLiteral("VARCHAR(%1) COLLATE NOCASE").arg(size);
    else if (memos.contains(type))
        replacement = QStringLiteral("TEXT COLLATE NOCASE");
    else if (type == QLatin1String("COUNTER") || type == QLatin1String("AUTOINCREMENT")
             || type == QLatin1String("IDENTITY"))
        // The counter is the row's own key, so a later "WITH PRIMARY" index
        // needs nothing more than uniqueness.
        replacement = QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    else if (integers.contains(type))
        replacement = QStringLiteral("INTEGER");
    else if (dates.contains(type))
        replacement = QStringLiteral("DATETIME");
    else if (reals.contains(type))
        replacement = QStringLiteral("REAL");
    else if (blobs.contains(type))
        replacement = QStringLiteral("BLOB");
    else
        return;

    t[i].text = replacement;
    t.erase(t.begin() + i + 1, t.begin() + end);
}

void rewriteCreateTable(Tokens &t, qsizetype from)
{
    int depth = 0;
    bool expectName = false;
    for (qsizetype i = from; i < t.size(); ++i) {
        const SqlToken &tok = t.at(i);
        if (isPunct(tok, '(')) {
            if (++depth == 1)
                expectName = true;
            continue;
        }
        if (isPunct(tok, ')')) {
            --depth;
            continue;
        }
        if (depth == 1 && isPunct(tok, ',')) {
            expectName = true;
            continue;
        }
        if (depth != 1 || !expectName || tok.kind == SqlToken::Space)
            continue;
        expectName = false;
        static const QStringList constraints = {QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"),
                                                QStringLiteral("UNIQUE"), QStringLiteral("FOREIGN"),
                                                QStringLiteral("CHECK")};
        if (constraints.contains(upper(tok)))
            continue;
        rewriteType(t, nextSig(t, i + 1));
    }
}

void rewriteAlterTable(Tokens &t, const QList<qsizetype> &sig)
{
    // ALTER TABLE name ADD [COLUMN] column type
    if (sig.size() < 6 || upper(t.at(sig[3])) != QLatin1String("ADD"))
        return;
    qsizetype k = 4;
    if (upper(t.at(sig[k])) == QLatin1String("COLUMN"))
        ++k;
    if (k + 1 < sig.size())
        rewriteType(t, sig[k + 1]);
}

void rewriteCreateIndex(Tokens &t, const QList<qsizetype> &sig, qsizetype createAt)
{
    qsizetype with = -1;
    int depth = 0;
    for (qsizetype k = 0; k < sig.size(); ++k) {
        const SqlToken &tok = t.at(sig[k]);
        if (isPunct(tok, '('))
            ++depth;
        else if (isPunct(tok, ')'))
            --depth;
        else if (depth == 0 && upper(tok) == QLatin1String("WITH"))
            with = k;
    }
    if (with < 0)
        return;
    bool primary = false;
    qsizetype end = sig.size();
    for (qsizetype k = with + 1; k < sig.size(); ++k) {
        if (isPunct(t.at(sig[k]), ';')) {
            end = k;
            break;
        }
        if (upper(t.at(sig[k])) == QLatin1String("PRIMARY"))
            primary = true;
    }
    // SQLite cannot give a table a primary key afterwards; the counter column
    // already is the key, so a unique index of the same name keeps the shape
    // (and the name that the schema check looks for).
    const qsizetype eraseFrom = sig[with] > 0 && t.at(sig[with] - 1).kind == SqlToken::Space ? sig[with] - 1
                                                                                              : sig[with];
    const qsizetype eraseTo = end < sig.size() ? sig[end] : t.size();
    t.erase(t.begin() + eraseFrom, t.begin() + eraseTo);
    if (primary && upper(t.at(sig[1])) == QLatin1String("INDEX"))
    {
        t.insert(createAt + 1, SqlToken{SqlToken::Word, QStringLiteral("UNIQUE")});
        t.insert(createAt + 1, SqlToken{SqlToken::Space, QStringLiteral(" ")});
    }
}

void rewriteStatement(Tokens &t)
{
    QList<qsizetype> sig;
    for (qsizetype i = 0; i < t.size(); ++i)
        if (t.at(i).kind != SqlToken::Space)
            sig.append(i);
    if (sig.size() < 3)
        return;
    const QString first = upper(t.at(sig[0]));
    const QString second = upper(t.at(sig[1]));
    if (first == QLatin1String("DELETE") && isPunct(t.at(sig[1]), '*')
        && upper(t.at(sig[2])) == QLatin1String("FROM")) {
        eraseWithSpace(t, sig[1], sig[1] + 1);
    } else if (first == QLatin1String("CREATE") && second == QLatin1String("TABLE")) {
        rewriteCreateTable(t, sig[2]);
    } else if (first == QLatin1String("ALTER") && second == QLatin1String("TABLE")) {
        rewriteAlterTable(t, sig);
    } else if (first == QLatin1String("CREATE")
               && (second == QLatin1String("INDEX") || second == QLatin1String("UNIQUE"))) {
        rewriteCreateIndex(t, sig, sig[0]);
    } else if (first == QLatin1String("DROP") && second == QLatin1String("INDEX") && sig.size() >= 5
               && upper(t.at(sig[3])) == QLatin1String("ON")) {
        // DROP INDEX name ON table: SQLite index names are global.
        const qsizetype to = sig.size() > 5 ? sig[5] : t.size();
        t.erase(t.begin() + sig[2] + 1, t.begin() + to);
    }
}

// "LIKE ?" (or "?N"): the bound value is a pattern in the old dialect too,
// so the user's search text can travel as a parameter and still use '*'.
// The value is converted when the statement runs (jet_pattern, installed
// with the text rules). An explicit ESCAPE after it means the caller
// already hands a converted pattern.
void rewriteBoundPattern(Tokens &t, qsizetype at)
{
    qsizetype end = at + 1;
    if (end < t.size() && t.at(end).kind == SqlToken::Number)
        ++end;
    const qsizetype after = nextSig(t, end);
    if (after >= 0 && upper(t.at(after)) == QLatin1String("ESCAPE"))
        return;
    QString marker;
    for (qsizetype k = at; k < end; ++k)
        marker += t.at(k).text;
    t.erase(t.begin() + at + 1, t.begin() + end);
    t[at] = {SqlToken::Word, QStringLiteral("jet_pattern(%1) ESCAPE '\\'").arg(marker)};
}

} // namespace

QString JetDialect::likePattern(const QString &jet, bool *needsEscape)
{
    static const QString escapeMe = QStringLiteral("%_\\#[");
    QString out;
    bool escaped = false;
    for (qsizetype i = 0; i < jet.size(); ++i) {
        const QChar c = jet.at(i);
        if (c == QLatin1Char('*')) {
            out += QLatin1Char('%');
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('_');
        } else if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\')) {
            out += QLatin1Char('\\') + QString(c);
            escaped = true;
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = jet.indexOf(QLatin1Char(']'), i + 2);
            if (close < 0) {
                out += QLatin1String("\\[");
                escaped = true;
            } else if (close == i + 2) {
                // [*], [?], [#], [[] ...: that one character, literally.
                const QChar lit = jet.at(i + 1);
                if (escapeMe.contains(lit)) {
                    out += QLatin1Char('\\');
                    escaped = true;
                }
                out += lit;
                i = close;
            } else {
                out += jet.mid(i, close - i + 1);
                i = close;
            }
        } else {
            out += c; // '#' stays: one digit for our like()
        }
    }
    if (needsEscape)
        *needsEscape = escaped;
    return out;
}

QString JetDialect::quote(const QString &text)
{
    return SqlTokenizer::quote(text);
}

QString JetDialect::toSqlite(const QString &jetSql)
{
    Tokens t = SqlTokenizer::tokenize(jetSql);
    rewriteStatement(t);

    QString previousWord;
    for (qsizetype i = 0; i < t.size(); ++i) {
        SqlToken &tok = t[i];
        if (tok.kind == SqlToken::Space)
            continue;
        if (!SqlTokenizer::isClosed(tok)) {
            // A stray apostrophe (user text put into a statement unquoted):
            // passed on as it stands so the engine reports the statement as
            // broken. Closing it here would turn "SET Kunde='x WHERE ..."
            // into a statement that writes every row.
            previousWord.clear();
            continue;
        }
        if (tok.kind == SqlToken::Bracket) {
            QString name = tok.text.mid(1, tok.text.size() - 2);
            name.replace(QLatin1Char('"'), QLatin1String("\"\""));
            tok = {SqlToken::Quoted, QLatin1Char('"') + name + QLatin1Char('"')};
        } else if (tok.kind == SqlToken::String || tok.kind == SqlToken::Quoted) {
            // Jet reads "..." as a text literal, not as a name.
            QString text = SqlTokenizer::unquote(tok.text);
            bool escape = false;
            if (previousWord == QLatin1String("LIKE"))
                text = likePattern(text, &escape);
            tok = {SqlToken::String, SqlTokenizer::quote(text)};
            if (escape)
                tok.text += QLatin1String(" ESCAPE '\\'");
        } else if (previousWord == QLatin1String("LIKE") && isPunct(tok, '?')) {
            rewriteBoundPattern(t, i);
        }
        previousWord = upper(tok);
    }
    return SqlTokenizer::join(t);
}

} // namespace zep
