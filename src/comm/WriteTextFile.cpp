#include "comm/WriteTextFile.h"

#include "app/AtomicFileWriter.h"

namespace zep {

std::optional<QString> WriteTextFile(const QString &path, const QByteArray &text)
{
    AtomicFileWriter out;
    if (auto error = out.open(path))
        return error;
    if (auto error = out.write(text))
        return error;
    return out.commit();
}

std::optional<QString> WriteNewTextFile(const QString &path, const QByteArray &text)
{
    AtomicFileWriter out;
    if (auto error = out.open(path))
        return error;
    if (auto error = out.write(text))
        return error;
    return out.commitNew();
}

} // namespace zep
