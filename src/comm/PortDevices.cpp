#include "comm/PortDevices.h"

#include "app/SettingsStore.h"

namespace zep {

namespace {

QString key(int number)
{
    return QStringLiteral("COM") + QString::number(number);
}

} // namespace

QString PortDevices::section()
{
    return QStringLiteral("Schnittstellen");
}

QString PortDevices::devicePath(const SettingsStore &store, int number)
{
    // COM1 is the first on-board port, as on the machines the shop had before.
    return store.read(section(), key(number), QStringLiteral("/dev/ttyS") + QString::number(number - 1));
}

void PortDevices::setDevicePath(SettingsStore &store, int number, const QString &path)
{
    store.write(section(), key(number), path);
}

} // namespace zep
