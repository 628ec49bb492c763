#include "station/AccessCheck.h"

#include "app/SettingsStore.h"

namespace zep {

bool CheckAccess(const SettingsStore &settings, const std::function<bool(const QString &stored)> &askLogin)
{
    const QString stored = settings.read(QStringLiteral("Settings"), QStringLiteral("Passwort"), QString());
    if (stored.isEmpty())
        return true;
    return askLogin && askLogin(stored);
}

} // namespace zep
