#include "catalogue/FileListFile.h"

#include "app/AtomicFileWriter.h"
#include "app/CodePage1252.h"
#include "app/SystemError.h"

#include <QFile>

namespace zep {

namespace {

void appendValue(QByteArray &out, const QString &value)
{
    out += '"';
    out += CodePage1252::encode(value);
    out += "\"\r\n";
}

// One line "text" without its CR LF; false when the line is not one value.
bool parseValue(const QByteArray &line, QString &value)
{
    if (line.size() < 2 || !line.startsWith('"') || !line.endsWith('"'))
        return false;
    const QByteArray inner = line.mid(1, line.size() - 2);
    if (inner.contains('"') || inner.contains('\0') || inner.contains('\r') || inner.contains('\n'))
        return false;
    value = CodePage1252::decode(inner);
    return true;
}

} // namespace

QByteArray FileListFile::encode(const QString &directory, const QStringList &entries)
{
    QByteArray out;
    out.reserve(int(entries.size()) * 24 + directory.size() + 4);
    appendValue(out, directory);
    for (const QString &entry : entries)
        appendValue(out, entry);
    return out;
}

FileListFile::Contents FileListFile::read(const QString &path)
{
    Contents contents;
    QFile file(path);
    if (!file.exists())
        return contents;
    contents.state = State::Unreadable;
    if (!file.open(QIODevice::ReadOnly))
        return contents;
    const QByteArray bytes = file.readAll();
    // Every line, the last one too, ends with CR LF; a file cut off in the
    // middle of a line is not trusted.
    if (bytes.isEmpty() || !bytes.endsWith("\r\n"))
        return contents;
    QStringList values;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const qsizetype end = bytes.indexOf("\r\n", pos);
        QString value;
        if (!parseValue(bytes.mid(pos, end - pos), value))
            return contents;
        values.append(value);
        pos = end + 2;
    }
    contents.state = State::Read;
    contents.directory = values.takeFirst();
    contents.entries = values;
    return contents;
}

std::optional<ErrorInfo> FileListFile::write(const QString &path, const QString &directory, const QStringList &entries)
{
    AtomicFileWriter file;
    if (const auto why = file.open(path))
        return SystemError::info(75, *why);
    if (const auto why = file.write(encode(directory, entries)))
        return SystemError::info(61, *why);
    if (const auto why = file.commit())
        return SystemError::info(61, *why);
    return std::nullopt;
}

} // namespace zep
