#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zep {

// Writes a program text to a file, bytes unchanged and nothing added (no
// line end, no byte-order mark). An existing file is replaced only once the
// new text is whole on disk; when writing fails it stays as it was. Returns
// the reason when it failed.
std::optional<QString> WriteTextFile(const QString &path, const QByteArray &text);
// The same for a file that must be new: one that exists, or that appears
// while the text is written, is never replaced (the reason is returned and
// the file is there afterwards).
std::optional<QString> WriteNewTextFile(const QString &path, const QByteArray &text);

} // namespace zep
