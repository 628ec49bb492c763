#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace zep {

// The record editor's date field: what the user typed in short form
// (DDMMYY, DDMMYYYY, or day, month and year apart with ".", "-" or "/",
// "1.2.03") is completed to DD.MM.YYYY, and every part that cannot be a day,
// month or year is replaced by "?" so the user sees which one.
class DateCompletion {
public:
    // The completed text, blanks around it dropped; empty stays empty.
    static QString complete(const QString &typed);
    // The completed text is no date (a "?" in it, or a text no completion
    // could read): the field is marked and keeps the focus.
    static bool hasMarks(const QString &completed);
    // The date a completed text stands for. No value for an empty text (the
    // record then has no date); an invalid QDate for a text that is no real
    // calendar day (31.02.2003, marked parts).
    static std::optional<QDate> toDate(const QString &completed);
    static QString format(const QDate &date);
};

} // namespace zep
