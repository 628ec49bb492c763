#pragma once

#include <QByteArray>
#include <QString>

namespace zep {

// A whole program file, bytes unchanged. A missing or empty file gives the
// empty text, as its callers expect (they check for the file first); a file
// that is there but cannot be read is an error, never an empty program.
struct FileText {
    QByteArray text;
    QString error; // empty when read (or missing)

    bool ok() const { return error.isEmpty(); }
};

FileText DateiLesen(const QString &path);

} // namespace zep
