#include "station/MainState.h"

#include "app/ProgramSettings.h"
#include "app/SettingsRules.h"
#include "app/SettingsStore.h"

namespace zep {

void MainState::readMonitoredDirectory()
{
    verzeichnis = ProgramSettings::verzeichnis.read(settings);
}

void MainState::readCurrentValues()
{
    fotoVerzeichnis = ProgramSettings::fotoVerzeichnis.read(settings);
    intervall = SettingsRules::effectiveInterval(settings);
    jpgQualitaet = SettingsRules::effectiveJpgQuality(settings);
}

} // namespace zep
