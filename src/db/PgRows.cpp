#include "db/PgRows.h"

#include "db/CatalogueSchema.h"
#include "db/JetDialect.h"
#include "db/JetErrors.h"
#include "db/PgConnection.h"
#include "db/SqlTokenizer.h"
#include "db/ValueCodec.h"

#include <QHash>
#include <QSet>

#include <libpq-fe.h>

namespace zep {

namespace {

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

bool hasOrder(const QString &tail)
{
    QString previous;
    for (const SqlToken &token : SqlTokenizer::tokenize(tail)) {
        if (token.kind != SqlToken::Word)
            continue;
        const QString word = token.text.toUpper();
        if ((previous == QLatin1String("ORDER") && word == QLatin1String("BY")) || word == QLatin1String("LIMIT")
            || word == QLatin1String("GROUP") || word == QLatin1String("UNION"))
            return true;
        previous = word;
    }
    return false;
}

// A find condition comes in the form written for SQLite ("col" = ?, LIKE
// with '\' escapes): names as the server keeps them, $n parameters, ILIKE.
QString serverCondition(const QString &condition)
{
    QList<SqlToken> t = SqlTokenizer::tokenize(condition);
    int n = 0;
    for (SqlToken &tok : t) {
        if (tok.kind == SqlToken::Quoted)
            tok.text = tok.text.toLower();
        else if (tok.kind == SqlToken::Punct && tok.text == QLatin1String("?"))
            tok.text = QStringLiteral("$%1").arg(++n);
        else if (tok.kind == SqlToken::Word && tok.text.toUpper() == QLatin1String("LIKE"))
            tok.text = QStringLiteral("ILIKE");
    }
    return SqlTokenizer::join(t);
}

QString spelled(const QString &name)
{
    return CatalogueSchema::spelling(name);
}

} // namespace

PgRows::PgRows(std::shared_ptr<PgConnection> connection, const QString &table, const QString &tail,
               const QString &sql, const QVariantList &params, const QList<int> &patternParams, bool snapshot)
    : m_connection(std::move(connection)), m_table(table.toLower()), m_snapshot(snapshot)
{
    if (!m_table.isEmpty() && !readColumns())
        return;
    if (!m_table.isEmpty() && m_counter >= 0) {
        const QString ordered = hasOrder(tail) ? tail : tail + QStringLiteral(" ORDER BY ") + quotedColumn(m_counter);
        if (m_snapshot) {
            // A snapshot keeps what it read, whatever changes afterwards.
            m_connection->runResult({QStringLiteral("SELECT * FROM %1 %2").arg(quotedTable(), ordered), patternParams},
                                    params, &m_error, [&](const pg_result *r) { readAll(r); });
            for (const QVariantList &row : std::as_const(m_rows))
                m_keys.append(row.at(m_counter).toLongLong());
            return;
        }
        m_connection->run({QStringLiteral("SELECT %1 FROM %2 %3").arg(quotedColumn(m_counter), quotedTable(), ordered),
                           patternParams},
                          params, &m_error, nullptr,
                          [&](const pg_result *r, int row) { m_keys.append(QByteArray(PQgetvalue(r, row, 0)).toLongLong()); });
        return;
    }
    const QString statement =
        m_table.isEmpty() ? sql : QStringLiteral("SELECT * FROM %1 %2").arg(quotedTable(), tail);
    m_connection->runResult({statement, patternParams}, params, &m_error, [&](const pg_result *r) {
        if (m_columns.isEmpty())
            for (int c = 0; c < PQnfields(r); ++c) {
                m_columns.append(spelled(QString::fromUtf8(PQfname(r, c))));
                m_types.append(QString());
            }
        readAll(r);
    });
}

void PgRows::readAll(const pg_result *r)
{
    for (int row = 0; row < PQntuples(r); ++row) {
        QVariantList values;
        for (int c = 0; c < PQnfields(r); ++c)
            values.append(valueOf(r, row, c));
        m_rows.append(values);
    }
}

bool PgRows::readColumns()
{
    m_connection->run({QStringLiteral("SELECT column_name, udt_name, is_identity FROM information_schema.columns "
                                      "WHERE table_schema = current_schema() AND table_name = $1 "
                                      "ORDER BY ordinal_position"),
                       {}},
                      {m_table}, &m_error, nullptr, [&](const pg_result *r, int row) {
                          m_columns.append(spelled(QString::fromUtf8(PQgetvalue(r, row, 0))));
                          m_types.append(QString::fromUtf8(PQgetvalue(r, row, 1)));
                          if (qstrcmp(PQgetvalue(r, row, 2), "YES") == 0)
                              m_counter = int(m_columns.size()) - 1;
                      });
    if (m_error.number != 0)
        return false;
    if (m_columns.isEmpty()) {
        m_error = JetErrors::make(JetErrors::MissingObject, spelled(m_table));
        return false;
    }
    return true;
}

QString PgRows::quotedTable() const
{
    return quoted(m_table);
}

QString PgRows::quotedColumn(int i) const
{
    return quoted(m_columns.at(i).toLower());
}

QVariant PgRows::valueOf(const pg_result *r, int row, int c) const
{
    if (PQgetisnull(r, row, c))
        return {};
    const QByteArray text(PQgetvalue(r, row, c), PQgetlength(r, row, c));
    switch (PQftype(r, c)) {
    case 20: // int8
    case 21: // int2
    case 23: // int4
        return text.toLongLong();
    case 700: // float4
    case 701: // float8
    case 1700: // numeric
        return text.toDouble();
    case 1082: // date
    case 1114: // timestamp
    case 1184: // timestamptz
        return ValueCodec::parseStoredDate(QString::fromLatin1(text));
    case 17: { // bytea
        size_t n = 0;
        unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(text.constData()), &n);
        const QByteArray out(reinterpret_cast<const char *>(bytes), qsizetype(n));
        PQfreemem(bytes);
        return out;
    }
    default:
        return QString::fromUtf8(text);
    }
}

std::optional<qint64> PgRows::at(qint64 pos) const
{
    if (pos < 0 || pos >= size())
        return std::nullopt;
    return pos;
}

qint64 PgRows::rowid(qint64 pos) const
{
    if (m_counter < 0)
        return pos;
    return pos >= 0 && pos < m_keys.size() ? m_keys.at(pos) : -1;
}

bool PgRows::connectionOpen() const
{
    return m_connection->isUsable();
}

bool PgRows::fetch(qint64 pos, QVariantList &values)
{
    clearError();
    if (!at(pos)) {
        m_error = JetErrors::make(JetErrors::NoCurrentRecord);
        return false;
    }
    if (m_counter < 0 || m_snapshot) {
        values = m_rows.at(pos);
        return true;
    }
    bool found = false;
    m_connection->runResult({QStringLiteral("SELECT * FROM %1 WHERE %2 = $1").arg(quotedTable(), quotedColumn(m_counter)), {}},
                            {m_keys.at(pos)}, &m_error, [&](const pg_result *r) {
                                if (PQntuples(r) == 0)
                                    return;
                                found = true;
                                values.clear();
                                for (int c = 0; c < PQnfields(r); ++c)
                                    values.append(valueOf(r, 0, c));
                            });
    if (!found && m_error.number == 0)
        m_error = JetErrors::make(JetErrors::RecordDeleted);
    return found;
}

std::optional<qint64> PgRows::added(qint64 key)
{
    m_keys.append(key);
    return m_keys.size() - 1;
}

std::optional<qint64> PgRows::locate(qint64 key)
{
    for (qsizetype i = m_keys.size() - 1; i >= 0; --i)
        if (m_keys.at(i) == key)
            return i;
    return std::nullopt;
}

std::optional<qint64> PgRows::find(const QString &condition, const QVariantList &params)
{
    clearError();
    if (m_counter < 0) {
        m_error = JetErrors::make(JetErrors::NotSupported,
                                  QStringLiteral(" (Suchen nur in Datensatzgruppen auf einer Tabelle)"));
        return std::nullopt;
    }
    QSet<qint64> wanted;
    if (!m_connection->run({QStringLiteral("SELECT %1 FROM %2 WHERE (%3)")
                                .arg(quotedColumn(m_counter), quotedTable(), serverCondition(condition)),
                            {}},
                           params, &m_error, nullptr,
                           [&](const pg_result *r, int row) { wanted.insert(QByteArray(PQgetvalue(r, row, 0)).toLongLong()); }))
        return std::nullopt;
    for (qsizetype i = 0; i < m_keys.size(); ++i)
        if (wanted.contains(m_keys.at(i)))
            return i;
    return std::nullopt;
}

std::optional<qint64> PgRows::write(qint64 key, const QList<int> &columns, const QVariantList &values)
{
    clearError();
    QStringList names, marks;
    for (int c : columns) {
        names.append(quotedColumn(c));
        marks.append(QStringLiteral("$%1").arg(marks.size() + 1));
    }
    QVariantList params = values;
    QString sql;
    if (key >= 0) {
        QStringList sets;
        for (qsizetype k = 0; k < names.size(); ++k)
            sets.append(names.at(k) + QStringLiteral(" = ") + marks.at(k));
        params.append(key);
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = $%4")
                  .arg(quotedTable(), sets.join(QLatin1String(", ")), quotedColumn(m_counter))
                  .arg(params.size());
    } else if (names.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING %2").arg(quotedTable(), quotedColumn(m_counter));
    } else {
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
                  .arg(quotedTable(), names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")),
                       quotedColumn(m_counter));
    }
    int affected = 0;
    qint64 stored = key;
    if (!m_connection->run({sql, {}}, params, &m_error, &affected, [&](const pg_result *r, int row) {
            stored = QByteArray(PQgetvalue(r, row, 0)).toLongLong();
        }))
        return std::nullopt;
    if (key >= 0 && affected == 0) {
        m_error = JetErrors::make(JetErrors::RecordDeleted);
        return std::nullopt;
    }
    return stored;
}

} // namespace zep
