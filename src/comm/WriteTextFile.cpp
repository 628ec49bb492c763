#include "comm/WriteTextFile.h"

#include "app/AtomicFileWriter.h"

namespace zep {

namespace {

// `replace` false: the file must not exist yet, and one that does is left
// as it is.
std::optional<QString> writeWhole(const QString &path, const QByteArray &text, bool replace)
{
    AtomicFileWriter out;
    if (auto error = out.open(path))
        return error;
    if (auto error = out.write(text))
        return error;
    return replace ? out.commit() : out.commitNew();
}

} // namespace

std::optional<QString> WriteTextFile(const QString &path, const QByteArray &text)
{
    return writeWhole(path, text, true);
}

std::optional<QString> WriteNewTextFile(const QString &path, const QByteArray &text)
{
    return writeWhole(path, text, false);
}

} // namespace zep
