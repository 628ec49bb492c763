#include "catalogue/Presets.h"

#include "app/SettingsStore.h"

namespace zep {

QString Presets::text(const SettingsStore &settings, int n)
{
    if (n < 1 || n > 8)
        return {};
    return settings.read(QStringLiteral("Vorgaben"), QStringLiteral("F") + QString::number(n), QString());
}

void Presets::store(SettingsStore &settings, int n, const QString &text)
{
    if (n < 1 || n > kCount)
        return;
    settings.write(QStringLiteral("Vorgaben"), QStringLiteral("F") + QString::number(n), text);
}

} // namespace zep
