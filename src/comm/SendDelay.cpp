#include "comm/SendDelay.h"

#include "app/ProgramSettings.h"
#include "app/SettingsStore.h"

#include <cmath>

namespace zep {

SendDelay::Choice SendDelay::stored(const SettingsStore &settings)
{
    return {ProgramSettings::sendWithDelay.read(settings), ProgramSettings::zeitversatz.read(settings)};
}

double SendDelay::seconds(const QString &field)
{
    bool ok = false;
    const double value = field.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

std::optional<double> SendDelay::take(SettingsStore &settings, const Choice &choice)
{
    ProgramSettings::sendWithDelay.write(settings, choice.delayed);
    if (!choice.delayed)
        return std::nullopt;
    const double value = seconds(choice.field);
    // Stored as read, so the next dialog shows what was counted down.
    ProgramSettings::zeitversatz.write(settings, QString::number(value));
    return value;
}

} // namespace zep
