#include "station/MainState.h"

#include "app/ProgramSettings.h"
#include "app/SettingsRules.h"
#include "app/SettingsStore.h"
#include "db/ServerAddress.h"

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

void MainState::readCatalogueSetting()
{
    catalogueSetting = ProgramSettings::datenbank.read(settings).trimmed();
}

bool MainState::catalogueOnServer() const
{
    return Database::isServerAddress(catalogueSetting);
}

QString MainState::shownCatalogue() const
{
    if (catalogueOnServer())
        return ServerAddress::shown(catalogueSetting);
    return databasePath();
}

} // namespace zep
