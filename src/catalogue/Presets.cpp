#include "catalogue/Presets.h"

namespace zep {

TextSetting Presets::key(int n)
{
    return TextSetting(QStringLiteral("Vorgaben"), QStringLiteral("F") + QString::number(n));
}

QString Presets::text(const SettingsStore &settings, int n)
{
    if (n < 1 || n > kCount)
        return {};
    return key(n).read(settings);
}

void Presets::store(SettingsStore &settings, int n, const QString &text)
{
    if (n < 1 || n > kCount)
        return;
    key(n).write(settings, text);
}

} // namespace zep
