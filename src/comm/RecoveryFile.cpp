#include "comm/RecoveryFile.h"

#include "app/Clock.h"
#include "app/SystemError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace zep {

RecoveryFile RecoveryFile::write(const QString &programDir, const QString &prefix, int machineNumber,
                                 const Clock &clock, const QByteArray &text)
{
    const QString stamp = clock.now().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    const QString base = programDir + prefix + QString::number(machineNumber) + QLatin1Char('_') + stamp;
    QString path = base + QStringLiteral(".txt");
    for (int k = 2; QFileInfo::exists(path); ++k)
        path = base + QLatin1Char('_') + QString::number(k) + QStringLiteral(".txt");
    QFile file(path);
    RecoveryFile result;
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        result.error = SystemError::describe(file, errno, path);
    } else {
        errno = 0;
        if (file.write(text) != text.size() || !file.flush())
            result.error = SystemError::describe(file, errno, path);
    }
    file.close();
    if (!result.error.isEmpty())
        QFile::remove(path);
    else
        result.path = path;
    return result;
}

} // namespace zep
