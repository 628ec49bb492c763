#include "station/AccessCheck.h"

#include "app/ProgramSettings.h"

namespace zep {

bool CheckAccess(const SettingsStore &settings, const std::function<bool(const QString &stored)> &askLogin)
{
    const QString stored = ProgramSettings::passwort.read(settings);
    if (stored.isEmpty())
        return true;
    return askLogin && askLogin(stored);
}

} // namespace zep
