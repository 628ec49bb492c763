#include "app/FileCopy.h"

#include "app/AtomicFileWriter.h"
#include "app/SystemError.h"

#include <QFile>

#include <cerrno>

namespace zep {

std::optional<QString> copyReplacing(const QString &source, const QString &target)
{
    QFile in(source);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly))
        return SystemError::describe(in, errno, source);
    AtomicFileWriter out;
    if (auto error = out.open(target))
        return error;
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        // Read to the end the device itself reports: atEnd() is no end on a
        // pipe that is still being written.
        errno = 0;
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0)
            return SystemError::describe(in, errno, source); // the writer takes its temporary file away
        if (n == 0)
            break;
        if (auto error = out.write(chunk.constData(), n))
            return error;
    }
    return out.commit();
}

} // namespace zep
