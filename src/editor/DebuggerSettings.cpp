#include "editor/DebuggerSettings.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace zep {

LineSettings DebuggerSettings::line(const SettingsStore &store)
{
    return LineSettings::fromText(comString.read(store), handshake.read(store));
}

void DebuggerSettings::save(SettingsStore &store, const LineSettings &line, int port)
{
    handshake.write(store, line.handshake());
    comPort.write(store, port);
    comString.write(store, line.text());
}

const QStringList &DebuggerSettings::knownHexViewers()
{
    static const QStringList viewers{QStringLiteral("okteta"), QStringLiteral("ghex"), QStringLiteral("bless"),
                                     QStringLiteral("wxHexEditor")};
    return viewers;
}

QString DebuggerSettings::findHexViewer(const SettingsStore &store)
{
    const QString stored = hexViewer.read(store).trimmed();
    if (!stored.isEmpty()) {
        const QFileInfo info(stored);
        if (info.isAbsolute())
            return info.isFile() && info.isExecutable() ? stored : QString();
        return QStandardPaths::findExecutable(stored);
    }
    for (const QString &name : knownHexViewers()) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace zep
