#include "station/MainState.h"

#include "app/SettingsRules.h"
#include "app/SettingsStore.h"

namespace zep {

namespace {
const QString kSettings = QStringLiteral("Settings");
}

void MainState::readMonitoredDirectory()
{
    verzeichnis = settings.read(kSettings, QStringLiteral("Verzeichnis"), QString());
}

void MainState::readCurrentValues()
{
    fotoVerzeichnis = settings.read(kSettings, QStringLiteral("FotoVerzeichnis"), QString());
    intervall = SettingsRules::effectiveInterval(settings);
    jpgQualitaet = SettingsRules::effectiveJpgQuality(settings);
}

} // namespace zep
