#include "comm/DateiLesen.h"

#include <QFile>
#include <QFileInfo>

namespace zep {

FileText DateiLesen(const QString &path)
{
    FileText result;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Die Datei '") + path + QStringLiteral("' kann nicht gelesen werden (")
                       + (info.isFile() ? file.errorString() : QStringLiteral("keine Datei")) + QStringLiteral(")");
        return result;
    }
    result.text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Die Datei '") + path + QStringLiteral("' kann nicht gelesen werden (")
                       + file.errorString() + QStringLiteral(")");
        result.text.clear();
    }
    return result;
}

} // namespace zep
