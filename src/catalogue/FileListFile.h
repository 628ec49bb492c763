#pragma once

#include "app/ErrorInfo.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zep {

// FileListe.dat: the monitored directory on the first line, then one stored
// name per line, each value in double quotes and ended by CR LF, in the
// 8-bit code page. Other installations read and write this file, so its
// shape stays exactly so.
class FileListFile {
public:
    enum class State { Read, Missing, Unreadable };

    struct Contents {
        State state = State::Missing;
        QString directory;
        QStringList entries;
    };

    // Unreadable covers a truncated file, a line that is not one quoted
    // value, and binary content: the caller rebuilds the list then.
    static Contents read(const QString &path);

    // Writes a new file beside the old one and renames it over it, so a
    // crash or a full disk leaves the old list whole.
    static std::optional<ErrorInfo> write(const QString &path, const QString &directory, const QStringList &entries);

    static QByteArray encode(const QString &directory, const QStringList &entries);
};

} // namespace zep
