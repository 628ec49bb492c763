#include "editor/DebuggerSettings.h"

#include "app/SettingsStore.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace zep {

namespace {
const QString kHandshake = QStringLiteral("Handshake");
const QString kComPort = QStringLiteral("COMPort");
const QString kComString = QStringLiteral("COMString");
const QString kHexViewer = QStringLiteral("HexViewer");
} // namespace

QString DebuggerSettings::section()
{
    return QStringLiteral("Debugger");
}

int DebuggerSettings::handshake(const SettingsStore &store)
{
    const int value = store.readInt(section(), kHandshake, 2);
    return value >= 0 && value <= 3 ? value : 2;
}

int DebuggerSettings::comPort(const SettingsStore &store)
{
    const int value = store.readInt(section(), kComPort, 1);
    return value >= 1 && value <= 16 ? value : 1;
}

QString DebuggerSettings::comString(const SettingsStore &store)
{
    return store.read(section(), kComString, QStringLiteral("2400,N,8,1"));
}

void DebuggerSettings::save(SettingsStore &store, int handshake, int comPort, const QString &comString)
{
    store.write(section(), kHandshake, QString::number(handshake));
    store.write(section(), kComPort, QString::number(comPort));
    store.write(section(), kComString, comString);
}

QString DebuggerSettings::hexViewer(const SettingsStore &store)
{
    return store.read(section(), kHexViewer, QString());
}

void DebuggerSettings::setHexViewer(SettingsStore &store, const QString &program)
{
    store.write(section(), kHexViewer, program);
}

const QStringList &DebuggerSettings::knownHexViewers()
{
    static const QStringList viewers{QStringLiteral("okteta"), QStringLiteral("ghex"), QStringLiteral("bless"),
                                     QStringLiteral("wxHexEditor")};
    return viewers;
}

QString DebuggerSettings::findHexViewer(const SettingsStore &store)
{
    const QString stored = hexViewer(store).trimmed();
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
