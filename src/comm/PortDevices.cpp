#include "comm/PortDevices.h"

#include "comm/LineAddress.h"

namespace zep {

QString PortDevices::section()
{
    return QStringLiteral("Schnittstellen");
}

TextSetting PortDevices::devicePathKey(int number)
{
    // COM1 is the first on-board port, as on the machines the shop had before.
    return TextSetting(section(), QStringLiteral("COM") + QString::number(number),
                       QStringLiteral("/dev/ttyS") + QString::number(number - 1));
}

QString PortDevices::devicePath(const SettingsStore &store, int number)
{
    return devicePathKey(number).read(store);
}

void PortDevices::setDevicePath(SettingsStore &store, int number, const QString &path)
{
    devicePathKey(number).write(store, path);
}

QString PortDevices::deviceError(const QString &device)
{
    QString error;
    LineAddress::parse(device, &error);
    return error;
}

} // namespace zep
