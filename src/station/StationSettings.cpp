#include "station/StationSettings.h"

#include "app/ProgramSettings.h"
#include "app/SettingsStore.h"
#include "db/ServerAddress.h"
#include "station/MainState.h"

namespace zep {

SettingsDraft StationSettings::draft()
{
    m_state.readCurrentValues();
    SettingsDraft d;
    d.verzeichnis = m_state.verzeichnis;
    d.intervall = QString::number(m_state.intervall);
    d.fotoVerzeichnis = m_state.fotoVerzeichnis;
    d.jpgQualitaet = QString::number(m_state.jpgQualitaet);
    d.startProgram = ProgramSettings::startProgram.read(m_state.settings);
    d.backupDir = ProgramSettings::backupDir.read(m_state.settings);
    d.passwort = ProgramSettings::passwort.read(m_state.settings);
    d.passwortWiederholung = d.passwort;
    d.datenbank = ProgramSettings::datenbank.read(m_state.settings);
    return d;
}

StationSettings::Applied StationSettings::apply(SettingsDraft draft)
{
    Applied result;
    auto told = [&result](const SettingsRules::Check &check) {
        if (!check.text.isEmpty() || check.beep)
            result.checks.append(check);
        return check.ok;
    };

    draft.verzeichnis = SettingsRules::normaliseDirectory(draft.verzeichnis);
    draft.fotoVerzeichnis = SettingsRules::normaliseDirectory(draft.fotoVerzeichnis);
    draft.backupDir = SettingsRules::normaliseDirectory(draft.backupDir);
    // An interval no timer can run with becomes the default, as on leaving
    // the field; a long one was warned about there and stays.
    const SettingsRules::Check interval = SettingsRules::checkInterval(draft.intervall);
    if (interval.replacement) {
        draft.intervall = *interval.replacement;
        told(interval);
    }
    result.draft = draft;

    const SettingsRules::Check quality = SettingsRules::checkJpgQuality(draft.jpgQualitaet);
    if (!told(quality)) {
        result.qualityRefused = true;
        return result;
    }
    if (!told(SettingsRules::checkSave(draft.passwort, draft.passwortWiederholung, draft.verzeichnis,
                                       draft.fotoVerzeichnis)))
        return result;
    if (!told(SettingsRules::checkBackupDir(draft.backupDir,
                                            {m_state.programDir, draft.verzeichnis, draft.fotoVerzeichnis})))
        return result;

    draft.datenbank = draft.datenbank.trimmed();
    result.draft.datenbank = draft.datenbank;
    if (const std::optional<QString> problem = ServerAddress::problem(draft.datenbank)) {
        told({false, *problem, QStringLiteral("Datenbank-Einstellung ungültig!"), PromptIcon::Exclamation});
        result.databaseRefused = true;
        return result;
    }
    // Switching the catalogue under open editors, sessions and a running
    // directory check would mix two catalogues; a new start takes it cleanly.
    if (draft.datenbank != ProgramSettings::datenbank.read(m_state.settings).trimmed())
        told({true, databaseChangedText(), QStringLiteral("ZEP"), PromptIcon::Information});

    // Taken as the program's current values only once they are valid and
    // stored: the program never monitors a directory it has not saved.
    SettingsStore &s = m_state.settings;
    ProgramSettings::verzeichnis.write(s, draft.verzeichnis);
    ProgramSettings::fotoVerzeichnis.write(s, draft.fotoVerzeichnis);
    ProgramSettings::intervall.writeText(s, draft.intervall);
    ProgramSettings::jpgQualitaet.writeText(s, draft.jpgQualitaet);
    ProgramSettings::passwort.write(s, draft.passwort);
    ProgramSettings::startProgram.write(s, draft.startProgram);
    ProgramSettings::backupDir.write(s, draft.backupDir);
    ProgramSettings::datenbank.write(s, draft.datenbank);
    m_state.verzeichnis = draft.verzeichnis;
    m_state.readCurrentValues();
    result.applied = true;
    return result;
}

SettingsRules::Check StationSettings::closeCheck() const
{
    return SettingsRules::checkClose(m_state.verzeichnis, m_state.fotoVerzeichnis);
}

QString StationSettings::databaseChangedText()
{
    return QStringLiteral("Die Datenbank-Einstellung wurde gespeichert. Sie gilt ab dem nächsten Start von ZEP; "
                          "bis dahin arbeitet ZEP mit der bisherigen Datenbank weiter.");
}

} // namespace zep
