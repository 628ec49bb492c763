#include "catalogue/FileCopy.h"

#include "app/AtomicFileWriter.h"

#include <QFile>

namespace zep {

std::optional<QString> copyReplacing(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    AtomicFileWriter out;
    if (auto error = out.open(target))
        return error;
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        // Read to the end the device itself reports: atEnd() is no end on a
        // pipe that is still being written.
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0)
            return in.errorString(); // the writer takes its temporary file away
        if (n == 0)
            break;
        if (auto error = out.write(chunk.constData(), n))
            return error;
    }
    return out.commit();
}

} // namespace zep
