#include "comm/DateiLesen.h"

#include "app/SystemError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace zep {

FileText DateiLesen(const QString &path)
{
    FileText result;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    QFile file(path);
    errno = 0;
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        const int errnum = errno;
        result.error = QStringLiteral("Die Datei '") + path + QStringLiteral("' kann nicht gelesen werden (")
                       + (info.isFile() ? SystemError::reason(file, errnum) : QStringLiteral("keine Datei"))
                       + QStringLiteral(")");
        return result;
    }
    errno = 0;
    result.text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        const int errnum = errno;
        result.error = QStringLiteral("Die Datei '") + path + QStringLiteral("' kann nicht gelesen werden (")
                       + SystemError::reason(file, errnum) + QStringLiteral(")");
        result.text.clear();
    }
    return result;
}

} // namespace zep
