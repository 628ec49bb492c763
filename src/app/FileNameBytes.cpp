#include "app/FileNameBytes.h"

#include "app/CodePage1252.h"

#include <QList>
#include <QStringDecoder>

namespace zep {

bool FileNameBytes::isUtf8(const QByteArray &name)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(name);
    return !decoder.hasError();
}

QString FileNameBytes::readable(const QByteArray &name)
{
    return isUtf8(name) ? QString::fromUtf8(name) : CodePage1252::decode(name);
}

QString FileNameBytes::readablePath(const QByteArray &path)
{
    if (isUtf8(path))
        return QString::fromUtf8(path);
    QStringList levels;
    for (const QByteArray &level : path.split('/'))
        levels.append(readable(level));
    return levels.join(QLatin1Char('/'));
}

} // namespace zep
