#pragma once

#include "app/ErrorInfo.h"

#include <QByteArray>
#include <QDateTime>
#include <QVariant>

#include <optional>

struct sqlite3_stmt;

namespace zep {

// How values travel between Qt and the file. Dates are stored as
// "yyyy-MM-dd HH:mm:ss" text in local time: it sorts chronologically in
// ORDER BY, SQLite's own date functions read it, and it reads back as
// QDateTime from every column declared as a date.
class ValueCodec {
public:
    static void bind(sqlite3_stmt *statement, int index, const QVariant &value);
    static QVariant read(sqlite3_stmt *statement, int column, bool dateColumn);

    static bool isDateType(const QString &declaredType);
    static bool isIntegerType(const QString &declaredType);
    static bool isRealType(const QString &declaredType);

    static QString dateText(const QDateTime &value);
    static QDateTime parseStoredDate(const QString &text);

    // The value as the column takes it: text for a date or number column is
    // converted the way the old engine did (a date as "TT.MM.JJJJ" or ISO),
    // and refused with 3421 when it cannot be, instead of being stored as a
    // text no date comparison would find.
    static std::optional<QVariant> forColumn(const QVariant &value, const QString &column,
                                             const QString &declaredType, ErrorInfo *error);
};

} // namespace zep
