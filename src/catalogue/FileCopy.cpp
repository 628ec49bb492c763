#include "catalogue/FileCopy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zep {

std::optional<QString> copyReplacing(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    QByteArray chunk;
    while (!in.atEnd()) {
        chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            return in.errorString();
        }
        if (out.write(chunk) != chunk.size()) {
            const QString why = out.errorString();
            out.cancelWriting();
            return why;
        }
    }
    if (!out.commit())
        return out.errorString();
    return std::nullopt;
}

} // namespace zep
