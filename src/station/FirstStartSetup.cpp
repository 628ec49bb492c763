#include "station/FirstStartSetup.h"

#include "app/Prompts.h"
#include "app/ProgramSettings.h"
#include "app/SettingsStore.h"
#include "station/DatabaseOpener.h"
#include "station/MainState.h"

#include <QDir>

namespace zep {

FirstStartSetup::FirstStartSetup(MainState &state, Hooks hooks, QString driveRoot)
    : m_state(state), m_hooks(std::move(hooks)), m_driveRoot(std::move(driveRoot))
{
    if (!m_driveRoot.endsWith(QLatin1Char('/')))
        m_driveRoot += QLatin1Char('/');
}

QString FirstStartSetup::defaultDriveRoot()
{
    return QDir::homePath() + QLatin1Char('/');
}

FirstStartSetup::Outcome FirstStartSetup::run()
{
    const PromptAnswer answer = m_state.prompts.message(
        QStringLiteral("Sie starten ZEP zum ersten mal.\r\rMöchten Sie die automatische Einrichtung wählen "
                       "oder\rmanuell Einrichten?\r\rMöchten Sie die automatische Einrichtung (empfohlen)?"),
        QStringLiteral("Erster Start!"), PromptIcon::Question, PromptButtons::YesNoCancel);
    switch (answer) {
    case PromptAnswer::Yes:
        return runAutomatic();
    case PromptAnswer::No:
        if (m_hooks.openSettingsDialog)
            m_hooks.openSettingsDialog();
        return Outcome::Continue;
    default:
        return Outcome::EndProgram;
    }
}

FirstStartSetup::Outcome FirstStartSetup::runAutomatic()
{
    const QString data = dataDirectory();
    const QString photo = photoDirectory();
    const PromptAnswer confirmed = m_state.prompts.message(
        QStringLiteral("ZEP legt für Sie nun folgende Ordner an:\r\r") + data + QStringLiteral("\r") + photo
            + QStringLiteral("\r\rMöchten Sie diese Einstellung so verwenden?"),
        QStringLiteral("Automatik"), PromptIcon::Question, PromptButtons::OkCancel);
    if (confirmed != PromptAnswer::Ok) {
        m_state.prompts.message(QStringLiteral("Starten Sie ZEP nun neu, um den Start-Dialog nochmals zu erhalten."),
                                QStringLiteral("ZEP"), PromptIcon::Information);
        return Outcome::EndProgram;
    }

    for (const QString &dir : {data, photo}) {
        if (!QDir(dir).exists() && !QDir().mkpath(dir)) {
            // Storing a directory that does not exist would make every later
            // scan fail; better to say so now and let the user start again.
            m_state.prompts.message(QStringLiteral("Der Ordner ") + dir
                                        + QStringLiteral(" konnte nicht angelegt werden. Bitte prüfen Sie die "
                                                         "Zugriffsrechte und starten Sie ZEP neu."),
                                    QStringLiteral("ZEP"), PromptIcon::Exclamation);
            return Outcome::EndProgram;
        }
    }
    ProgramSettings::verzeichnis.write(m_state.settings, data);
    ProgramSettings::fotoVerzeichnis.write(m_state.settings, photo);

    if (m_hooks.status)
        m_hooks.status(QStringLiteral("Öffne Datenbank für Assistent... (") + m_state.databasePath()
                       + QStringLiteral(")"));
    if (!openCatalogueDatabase(m_state))
        return Outcome::EndProgram;

    const PromptAnswer wizard = m_state.prompts.message(
        QStringLiteral("Nun startet der Maschinen-Assistent. Er hilft Ihnen dabei eine erste Maschine "
                       "anzulegen.\r\rTipp: Sie können den Assistenten später jederzeit aus\rdem Menupunkt "
                       "'Maschinenverwaltung' starten."),
        QStringLiteral("ZEP"), PromptIcon::Information, PromptButtons::OkCancel);
    if (wizard != PromptAnswer::Ok) {
        m_state.database.close();
        return Outcome::EndProgram;
    }
    if (m_hooks.openWizard)
        m_hooks.openWizard();
    // The regular load steps open the database again.
    m_state.database.close();
    return Outcome::Continue;
}

} // namespace zep
