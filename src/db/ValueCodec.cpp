#include "db/ValueCodec.h"

#include "db/JetErrors.h"

#include <QLocale>
#include <QStringList>

#include <sqlite3.h>

namespace zep {

namespace {
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
}

bool ValueCodec::isDateType(const QString &t)
{
    const QString u = t.toUpper();
    return u.contains(QLatin1String("DATE")) || u.contains(QLatin1String("TIME"));
}

bool ValueCodec::isIntegerType(const QString &t)
{
    return t.toUpper().contains(QLatin1String("INT"));
}

bool ValueCodec::isRealType(const QString &t)
{
    const QString u = t.toUpper();
    return u.contains(QLatin1String("REAL")) || u.contains(QLatin1String("FLOA")) || u.contains(QLatin1String("DOUB"));
}

QString ValueCodec::dateText(const QDateTime &value)
{
    return value.toLocalTime().toString(kDateFormat);
}

QDateTime ValueCodec::parseStoredDate(const QString &text)
{
    QString t = text.trimmed();
    if (t.size() == 10) {
        const QDate d = QDate::fromString(t, Qt::ISODate);
        return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
    }
    if (t.size() > 10 && t.at(10) == QLatin1Char(' '))
        t[10] = QLatin1Char('T');
    return QDateTime::fromString(t, Qt::ISODate);
}

void ValueCodec::bind(sqlite3_stmt *s, int i, const QVariant &v)
{
    if (!v.isValid() || v.isNull()) {
        // A null QString is still a text: Qt 6 does not call it null, and an
        // empty field must stay an empty text, not become NULL.
        if (v.typeId() == QMetaType::QString) {
            sqlite3_bind_text(s, i, "", 0, SQLITE_STATIC);
            return;
        }
        sqlite3_bind_null(s, i);
        return;
    }
    // A cleared date is no date at all: NULL, never an empty text that
    // would read back as a string and sort before every real date.
    if ((v.typeId() == QMetaType::QDateTime && !v.toDateTime().isValid())
        || (v.typeId() == QMetaType::QDate && !v.toDate().isValid())
        || (v.typeId() == QMetaType::QTime && !v.toTime().isValid())) {
        sqlite3_bind_null(s, i);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
        sqlite3_bind_int(s, i, v.toBool() ? 1 : 0);
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(s, i, v.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(s, i, v.toDouble());
        return;
    case QMetaType::QDateTime: {
        const QByteArray text = dateText(v.toDateTime()).toUtf8();
        sqlite3_bind_text(s, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDate: {
        const QByteArray text = dateText(QDateTime(v.toDate(), QTime(0, 0))).toUtf8();
        sqlite3_bind_text(s, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QTime: {
        const QByteArray text = v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
        sqlite3_bind_text(s, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QByteArray: {
        // Bytes stay bytes: program texts are never decoded.
        const QByteArray bytes = v.toByteArray();
        sqlite3_bind_blob(s, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray text = v.toString().toUtf8();
        sqlite3_bind_text(s, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

QVariant ValueCodec::read(sqlite3_stmt *s, int c, bool dateColumn)
{
    switch (sqlite3_column_type(s, c)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(s, c)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s, c));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(s, c));
        const QString value = QString::fromUtf8(text, sqlite3_column_bytes(s, c));
        if (dateColumn) {
            const QDateTime date = parseStoredDate(value);
            if (date.isValid())
                return date;
        }
        return value;
    }
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(s, c));
        return QByteArray(data, sqlite3_column_bytes(s, c));
    }
    default:
        return QVariant();
    }
}

std::optional<QVariant> ValueCodec::forColumn(const QVariant &value, const QString &column,
                                              const QString &declaredType, ErrorInfo *error)
{
    if (value.typeId() != QMetaType::QString)
        return value;
    const QString text = value.toString().trimmed();
    auto refuse = [&]() -> std::optional<QVariant> {
        if (error)
            *error = JetErrors::make(JetErrors::ConversionError, value.toString(), column);
        return std::nullopt;
    };
    if (isDateType(declaredType)) {
        const QDateTime stored = parseStoredDate(text);
        if (stored.isValid())
            return stored;
        static const QStringList formats = {QStringLiteral("d.M.yyyy H:mm:ss"), QStringLiteral("d.M.yyyy H:mm"),
                                            QStringLiteral("d.M.yyyy"), QStringLiteral("d.M.yy")};
        for (const QString &f : formats) {
            if (f.contains(QLatin1Char('H'))) {
                const QDateTime dt = QDateTime::fromString(text, f);
                if (dt.isValid())
                    return dt;
                continue;
            }
            QDate d = QDate::fromString(text, f);
            if (d.isValid() && f.endsWith(QLatin1String(".yy")) && d.year() < 1930)
                d = d.addYears(100); // two-digit years: 30..99 last century, 00..29 this one
            if (d.isValid())
                return QDateTime(d, QTime(0, 0));
        }
        return refuse();
    }
    if (isIntegerType(declaredType)) {
        bool ok = false;
        const qlonglong n = text.toLongLong(&ok);
        return ok ? std::optional<QVariant>(n) : refuse();
    }
    if (isRealType(declaredType)) {
        bool ok = false;
        double d = text.toDouble(&ok);
        if (!ok)
            d = QLocale(QLocale::German).toDouble(text, &ok);
        return ok ? std::optional<QVariant>(d) : refuse();
    }
    return value;
}

} // namespace zep
