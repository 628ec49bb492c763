#pragma once

#include "app/SettingKey.h"

#include <QString>

namespace zep {

class SettingsStore;

// Section "Schnittstellen": the device behind each port number COM1..COM16.
// This is the only place that names the section and its keys.
class PortDevices {
public:
    static QString section();
    // Key "COM<number>"; the fallback is /dev/ttyS(number-1).
    static TextSetting devicePathKey(int number);

    // The device path of port `number` (1-16); /dev/ttyS(number-1) unless
    // another one was stored.
    static QString devicePath(const SettingsStore &store, int number);
    static void setDevicePath(SettingsStore &store, int number, const QString &path);
    // Why `device` can not be a port's device (a malformed network address
    // "tcp://HOST:PORT" or "rfc2217://HOST:PORT"), in German; empty when it can.
    static QString deviceError(const QString &device);
};

} // namespace zep
