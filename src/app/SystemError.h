#pragma once

#include "app/ErrorInfo.h"

#include <QString>

class QFileDevice;

namespace zep {

// The system's file errors in the shop's words. Every message about a file
// operation that failed is made here, so that the user reads German and
// the path concerned, never the C library's English text or a bare number:
// "Auf dem Datenträger ist kein Platz mehr frei: '/media/usb/P1.NC'".
//
// The number is the errno the failed call left. Read it at once after the
// call (set errno to 0 before a QFile call: Qt fails some calls, such as
// opening a folder, without a system error).
class SystemError {
public:
    // The reason alone, for messages that name the path themselves.
    static QString reason(int errnum);
    // The same after a failed QFile operation: Qt's own text only when the
    // failure left no errno.
    static QString reason(const QFileDevice &file, int errnum);

    // The reason and the path, in the form "reason: 'path'". For a missing
    // file whose folder is missing too, the first folder that is missing is
    // named instead ("Der Ordner existiert nicht: '/home/x/ZEP_Foto'"): that
    // is what has to be put right.
    static QString describe(int errnum, const QString &path);

    // The same after a failed QFile operation: Qt's own text only when the
    // failure left no errno.
    static QString describe(const QFileDevice &file, int errnum, const QString &path);

    // For the error reports. The number is the one the callers' reports have
    // always used; it is not shown, because the words say it all.
    static ErrorInfo info(long number, int errnum, const QString &path);
    static ErrorInfo info(long number, const QString &description);
};

} // namespace zep
