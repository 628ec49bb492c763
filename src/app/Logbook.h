#pragma once

#include "app/ErrorInfo.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace zep {

class Clock;

// Logbuch.txt in the program directory: one dated line per event the callers
// choose to record (record deletions). Never read, truncated or rotated.
class Logbook {
public:
    Logbook(const QString &programDir, const Clock &clock);

    // Appends one line and closes the file again. The file is created when
    // it is missing. A failure is handed back for the caller's own error
    // report; a line that could not be written whole is taken back out.
    std::optional<ErrorInfo> LogbuchSchreiben(const QString &text);

    // "05.12.2026/14:33 - text", without the line end. Line breaks inside
    // the text become blanks so that one event stays one line.
    static QString line(const QDateTime &time, const QString &text);

    QString filePath() const { return m_path; }

private:
    QString m_path;
    const Clock &m_clock;
};

} // namespace zep
