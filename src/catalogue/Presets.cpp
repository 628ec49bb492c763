#include "catalogue/Presets.h"

#include "app/SettingsStore.h"

namespace zep {

QString Presets::text(const SettingsStore &settings, int n)
{
    if (n < 1 || n > 8)
        return {};
    return settings.read(QStringLiteral("Vorgaben"), QStringLiteral("F") + QString::number(n), QString());
}

} // namespace zep
