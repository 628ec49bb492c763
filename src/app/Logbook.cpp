#include "app/Logbook.h"

#include "app/Clock.h"
#include "app/CodePage1252.h"
#include "app/SystemError.h"

#include <QFile>

#include <cerrno>

namespace zep {

namespace {

// The run-time error numbers the callers' reports show for these cases.
constexpr long kPathFileAccessError = 75;
constexpr long kDiskFull = 61;

ErrorInfo fileError(long number, const QString &what, const QFile &file, int errnum)
{
    return SystemError::info(number, what + QStringLiteral(". ") + SystemError::describe(file, errnum, file.fileName()));
}

} // namespace

Logbook::Logbook(const QString &programDir, const Clock &clock)
    : m_path(programDir + (programDir.endsWith(QLatin1Char('/')) || programDir.isEmpty() ? QString() : QStringLiteral("/"))
             + QStringLiteral("Logbuch.txt")),
      m_clock(clock)
{
}

QString Logbook::line(const QDateTime &time, const QString &text)
{
    QString oneLine = text;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return time.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char('/') + time.toString(QStringLiteral("HH:mm"))
           + QStringLiteral(" - ") + oneLine;
}

std::optional<ErrorInfo> Logbook::LogbuchSchreiben(const QString &text)
{
    const QByteArray bytes = CodePage1252::encode(line(m_clock.now(), text)) + "\r\n";

    // Unbuffered, so that a full disk shows in write() and not only later,
    // when the data would leave Qt's buffer at close.
    QFile file(m_path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        const int errnum = errno;
        return fileError(kPathFileAccessError, QStringLiteral("Das Logbuch kann nicht geöffnet werden"), file, errnum);
    }

    const bool seekable = !file.isSequential();
    const qint64 sizeBefore = seekable ? file.size() : 0;
    errno = 0;
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        const int errnum = errno;
        const ErrorInfo error =
            fileError(kDiskFull, QStringLiteral("Das Logbuch kann nicht geschrieben werden"), file, errnum);
        // Half a line would glue itself to the next event's line.
        if (written > 0 && seekable)
            file.resize(sizeBefore);
        file.close();
        return error;
    }
    errno = 0;
    file.close();
    const int errnum = errno;
    if (file.error() != QFileDevice::NoError)
        return fileError(kDiskFull, QStringLiteral("Das Logbuch kann nicht geschrieben werden"), file, errnum);
    return std::nullopt;
}

} // namespace zep
