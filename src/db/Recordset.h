#pragma once

#include "app/ErrorInfo.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>

namespace zep {

class Connection;
class RowSource;

// Dynaset: updatable, shows other changes to its rows. Snapshot: read-only.
enum class RecordsetType { Dynaset, Snapshot };

// A record set in the style the handlers are written for: a current row,
// BOF/EOF, moves, find-first, Edit/AddNew + Update and LastModified.
// Moving, finding or closing while an Edit or AddNew is pending discards the
// pending values (as the old engine did): call update() first.
class Recordset {
public:
    Recordset(std::shared_ptr<Connection> connection, std::unique_ptr<RowSource> rows, RecordsetType type);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    bool eof() const;
    bool bof() const;
    int recordCount() const;
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();

    // NULL reads as an invalid QVariant; an unknown column too (with 3265).
    QVariant value(const QString &column) const;
    QStringList columns() const;
    bool isUpdatable() const;

    bool edit();
    bool addNew();
    // False (and lastError) for an unknown column, the counter column, or a
    // text that does not fit a date or number column.
    bool setValue(const QString &column, const QVariant &value);
    bool update();
    // addNew, every value, update: one new row, or none (and the error) when
    // any step fails.
    bool addRecord(const QList<std::pair<QString, QVariant>> &values);
    void cancelUpdate();
    bool isEditing() const { return m_mode != Mode::None; }

    // Condition in the old dialect: "Col=123", "Col='O''Brien'", And/Or...
    // Text compares as the column's collation does (letter case ignored).
    bool findFirst(const QString &jetCondition);
    // The safe form for user text: Col = value (NULL: Col IS NULL).
    bool findFirst(const QString &column, const QVariant &value);
    bool noMatch() const { return m_noMatch; }

    bool moveToLastModified();

    ErrorInfo lastError() const { return m_error; }
    bool isOpen() const;
    void close();

private:
    enum class Mode { None, Edit, AddNew };
    enum class Place { Bof, Row, Eof };

    bool usable() const;
    bool live() const;
    bool updateOnServer(const QList<int> &cols);
    // Open and updatable; sets 3420 or 3027 otherwise.
    bool mayChange() const;
    int columnIndex(const QString &column) const;
    const QVariantList *currentRow() const;
    void placeAt(const std::optional<qint64> &pos, Place otherwise);
    void step(bool forward);
    bool applyFind(const QString &sqliteCondition, const QVariantList &params);
    void fail(const ErrorInfo &error) const { m_error = error; }
    QString quotedColumn(int index) const;

    std::shared_ptr<Connection> m_connection;
    std::unique_ptr<RowSource> m_rows;
    RecordsetType m_type;
    QHash<QString, int> m_index; // lower-case name -> column

    Place m_place = Place::Bof;
    qint64 m_pos = 0;
    bool m_empty = false; // seen off an end with no rows at all
    mutable bool m_rowLoaded = false;
    mutable QVariantList m_row;

    Mode m_mode = Mode::None;
    QHash<int, QVariant> m_pending;
    qint64 m_lastModified = -1;
    bool m_noMatch = false;
    mutable ErrorInfo m_error;
};

} // namespace zep
