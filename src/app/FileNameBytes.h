#pragma once

#include <QByteArray>
#include <QString>

namespace zep {

// File names as their bytes lie on disk. Qt reads every name as UTF-8 and
// turns bytes that are no UTF-8 into "�", so a file whose name old DOS or
// Windows software wrote in Windows-1252 ("P\xe4.NC") can no longer be
// opened through the name Qt gives it. Whatever has to reach such a file
// keeps its bytes; these give the text a person reads for them.
class FileNameBytes {
public:
    static bool isUtf8(const QByteArray &name);

    // The name as the program that wrote it meant it: UTF-8 when it is, else
    // its Windows-1252 reading ("P\xe4.NC" -> "Pä.NC").
    static QString readable(const QByteArray &name);

    // The same for a path, level by level: a directory written by a new
    // program may hold a file written by an old one.
    static QString readablePath(const QByteArray &path);
};

} // namespace zep
