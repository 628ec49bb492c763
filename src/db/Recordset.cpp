#include "db/Recordset.h"

#include "db/Connection.h"
#include "db/JetDialect.h"
#include "db/JetErrors.h"
#include "db/RowSource.h"
#include "db/ValueCodec.h"

#include <sqlite3.h>

#include <algorithm>

namespace zep {

Recordset::Recordset(std::shared_ptr<Connection> connection, std::unique_ptr<RowSource> rows, RecordsetType type)
    : m_connection(std::move(connection)), m_rows(std::move(rows)), m_type(type)
{
    const QStringList names = m_rows->columns();
    for (int i = 0; i < names.size(); ++i)
        m_index.insert(names.at(i).toLower(), i);
    placeAt(m_rows->first(), Place::Eof);
}

Recordset::~Recordset() = default;

bool Recordset::isOpen() const
{
    return m_rows != nullptr && (m_connection != nullptr || m_rows->writesItself());
}

// The file's connection, or the server's that the rows hold themselves.
bool Recordset::live() const
{
    return isOpen() && (m_connection ? m_connection->isOpen() : m_rows->connectionOpen());
}

void Recordset::close()
{
    m_rows.reset();
    m_connection.reset();
    m_mode = Mode::None;
    m_pending.clear();
    m_row.clear();
}

bool Recordset::usable() const
{
    if (!live()) {
        fail(JetErrors::make(JetErrors::ObjectClosed));
        return false;
    }
    return true;
}

// A record set whose database was closed is at both ends: every move fails
// then, and a "until EOF, move next" loop must end instead of spinning.
bool Recordset::eof() const
{
    return !live() || m_place == Place::Eof || (m_place == Place::Bof && m_empty);
}

bool Recordset::bof() const
{
    return !live() || m_place == Place::Bof || (m_place == Place::Eof && m_empty);
}

int Recordset::recordCount() const
{
    return usable() ? m_rows->count() : 0;
}

void Recordset::placeAt(const std::optional<qint64> &pos, Place otherwise)
{
    m_mode = Mode::None;
    m_pending.clear();
    m_rowLoaded = false;
    if (pos) {
        m_place = Place::Row;
        m_pos = *pos;
    } else {
        m_place = otherwise;
        if (m_rows->error().number != 0) {
            fail(m_rows->error());
            m_empty = true;
        } else {
            // Off either end: both ends at once when there are no rows at all.
            m_empty = !m_rows->first().has_value();
        }
    }
}

void Recordset::moveFirst()
{
    if (usable())
        placeAt(m_rows->first(), Place::Eof);
}

void Recordset::moveLast()
{
    if (usable())
        placeAt(m_rows->last(), Place::Bof);
}

void Recordset::moveNext()
{
    step(true);
}

void Recordset::movePrevious()
{
    step(false);
}

// One row on; from the far end there is no row to leave (3021), from the
// near end the first row in that direction.
void Recordset::step(bool forward)
{
    if (!usable())
        return;
    const Place farEnd = forward ? Place::Eof : Place::Bof;
    if (m_place == farEnd) {
        fail(JetErrors::make(JetErrors::NoCurrentRecord));
        return;
    }
    const Place nearEnd = forward ? Place::Bof : Place::Eof;
    std::optional<qint64> pos;
    if (m_place == nearEnd)
        pos = forward ? m_rows->first() : m_rows->last();
    else
        pos = forward ? m_rows->next(m_pos) : m_rows->previous(m_pos);
    placeAt(pos, farEnd);
}

QStringList Recordset::columns() const
{
    return m_rows ? m_rows->columns() : QStringList();
}

bool Recordset::isUpdatable() const
{
    return m_rows && m_type == RecordsetType::Dynaset && !m_rows->table().isEmpty();
}

int Recordset::columnIndex(const QString &column) const
{
    const int i = m_index.value(column.toLower(), -1);
    if (i < 0)
        fail(JetErrors::make(JetErrors::UnknownField, column));
    return i;
}

QString Recordset::quotedColumn(int index) const
{
    QString name = m_rows->columns().at(index);
    name.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

const QVariantList *Recordset::currentRow() const
{
    if (m_place != Place::Row) {
        fail(JetErrors::make(JetErrors::NoCurrentRecord));
        return nullptr;
    }
    if (!m_rowLoaded) {
        if (!m_rows->fetch(m_pos, m_row)) {
            fail(m_rows->error());
            return nullptr;
        }
        m_rowLoaded = true;
    }
    return &m_row;
}

QVariant Recordset::value(const QString &column) const
{
    if (!usable())
        return {};
    const int i = columnIndex(column);
    if (i < 0)
        return {};
    if (m_mode != Mode::None && m_pending.contains(i))
        return m_pending.value(i);
    if (m_mode == Mode::AddNew)
        return {};
    const QVariantList *row = currentRow();
    return row && i < row->size() ? row->at(i) : QVariant();
}

bool Recordset::mayChange() const
{
    if (!usable())
        return false;
    if (!isUpdatable()) {
        fail(JetErrors::make(JetErrors::ReadOnlyRecordset));
        return false;
    }
    return true;
}

bool Recordset::edit()
{
    if (!mayChange() || !currentRow())
        return false;
    m_mode = Mode::Edit;
    m_pending.clear();
    return true;
}

bool Recordset::addNew()
{
    if (!mayChange())
        return false;
    m_mode = Mode::AddNew;
    m_pending.clear();
    return true;
}

bool Recordset::setValue(const QString &column, const QVariant &value)
{
    if (!usable())
        return false;
    if (m_mode == Mode::None) {
        fail(JetErrors::make(JetErrors::UpdateWithoutEdit));
        return false;
    }
    const int i = columnIndex(column);
    if (i < 0)
        return false;
    if (i == m_rows->counterColumn()) {
        fail(JetErrors::make(JetErrors::CounterNotWritable, m_rows->columns().at(i)));
        return false;
    }
    ErrorInfo error;
    const std::optional<QVariant> stored =
        ValueCodec::forColumn(value, m_rows->columns().at(i), m_rows->declaredTypes().value(i), &error);
    if (!stored) {
        fail(error);
        return false;
    }
    m_pending.insert(i, *stored);
    return true;
}

void Recordset::cancelUpdate()
{
    m_mode = Mode::None;
    m_pending.clear();
}

bool Recordset::addRecord(const QList<std::pair<QString, QVariant>> &values)
{
    if (!addNew())
        return false;
    for (const auto &[column, value] : values) {
        if (!setValue(column, value)) {
            const ErrorInfo error = m_error;
            cancelUpdate();
            m_error = error;
            return false;
        }
    }
    return update();
}

bool Recordset::update()
{
    if (!usable())
        return false;
    if (m_mode == Mode::None) {
        fail(JetErrors::make(JetErrors::UpdateWithoutEdit));
        return false;
    }
    QList<int> cols = m_pending.keys();
    std::sort(cols.begin(), cols.end());
    if (m_rows->writesItself())
        return updateOnServer(cols);
    QVariantList params;
    QStringList names;
    for (int c : cols) {
        names.append(quotedColumn(c));
        params.append(m_pending.value(c));
    }
    const QString table = QStringLiteral("\"%1\"").arg(QString(m_rows->table()).replace(QLatin1Char('"'),
                                                                                          QLatin1String("\"\"")));
    QString sql;
    qint64 rowid = -1;
    if (m_mode == Mode::Edit) {
        if (cols.isEmpty()) {
            m_mode = Mode::None;
            return true;
        }
        rowid = m_rows->rowid(m_pos);
        sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(table, names.join(QLatin1String(" = ?, ")));
        params.append(rowid);
    } else if (cols.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
    } else {
        QStringList marks;
        for (qsizetype k = 0; k < cols.size(); ++k)
            marks.append(QStringLiteral("?"));
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(QLatin1String(", ")),
                                                                     marks.join(QLatin1String(", ")));
    }

    // A failed store keeps the pending values, so the caller can retry.
    ErrorInfo error;
    Connection::StatementPtr s = m_connection->prepare(sql, params, &error);
    if (!s || !m_connection->runToEnd(s.get(), &error)) {
        fail(error);
        return false;
    }
    if (m_mode == Mode::Edit && sqlite3_changes(m_connection->handle()) == 0) {
        // The row is gone: later reads must say so, not show what it held.
        m_rowLoaded = false;
        m_row.clear();
        fail(JetErrors::make(JetErrors::RecordDeleted));
        return false;
    }
    if (m_mode == Mode::AddNew) {
        rowid = sqlite3_last_insert_rowid(m_connection->handle());
        m_rows->added(rowid);
    }
    m_lastModified = rowid;
    m_mode = Mode::None;
    m_pending.clear();
    m_rowLoaded = false;
    return true;
}

bool Recordset::updateOnServer(const QList<int> &cols)
{
    if (m_mode == Mode::Edit && cols.isEmpty()) {
        m_mode = Mode::None;
        return true;
    }
    QVariantList values;
    for (int c : cols)
        values.append(m_pending.value(c));
    const std::optional<qint64> key = m_rows->write(m_mode == Mode::Edit ? m_rows->rowid(m_pos) : -1, cols, values);
    if (!key) {
        if (m_rows->error().number == JetErrors::RecordDeleted) {
            m_rowLoaded = false;
            m_row.clear();
        }
        fail(m_rows->error());
        return false;
    }
    if (m_mode == Mode::AddNew)
        m_rows->added(*key);
    m_lastModified = *key;
    m_mode = Mode::None;
    m_pending.clear();
    m_rowLoaded = false;
    return true;
}

bool Recordset::moveToLastModified()
{
    if (!usable())
        return false;
    if (m_lastModified < 0) {
        fail(JetErrors::make(JetErrors::NoCurrentRecord));
        return false;
    }
    const std::optional<qint64> pos = m_rows->locate(m_lastModified);
    if (!pos) {
        fail(m_rows->error().number ? m_rows->error() : JetErrors::make(JetErrors::RecordDeleted));
        return false;
    }
    placeAt(pos, Place::Eof);
    return true;
}

bool Recordset::applyFind(const QString &condition, const QVariantList &params)
{
    if (!usable())
        return false;
    m_rows->clearError();
    const std::optional<qint64> pos = m_rows->find(condition, params);
    if (m_rows->error().number != 0) {
        fail(m_rows->error());
        m_noMatch = true;
        return false;
    }
    m_noMatch = !pos;
    if (pos)
        placeAt(pos, Place::Eof);
    return pos.has_value();
}

bool Recordset::findFirst(const QString &jetCondition)
{
    return applyFind(JetDialect::toSqlite(jetCondition), {});
}

bool Recordset::findFirst(const QString &column, const QVariant &value)
{
    if (!usable())
        return false;
    const int i = columnIndex(column);
    if (i < 0) {
        m_noMatch = true;
        return false;
    }
    if (!value.isValid())
        return applyFind(quotedColumn(i) + QLatin1String(" IS NULL"), {});
    return applyFind(quotedColumn(i) + QLatin1String(" = ?"), {value});
}

} // namespace zep
