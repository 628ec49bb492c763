#include "station/FirstStartSetup.h"

#include "app/Prompts.h"
#include "app/ProgramSettings.h"
#include "app/SettingsStore.h"
#include "station/DatabaseOpener.h"
#include "station/MainState.h"

#include <QDir>
#include <memory>

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

void FirstStartSetup::run(Done done)
{
    // The set-up carries itself through its questions; the caller's copy may go.
    const auto self = std::make_shared<FirstStartSetup>(*this);
    // Nobody at the PC: nothing is set up behind the shop's back.
    m_state.prompts.ask(
        {QStringLiteral("Sie starten ZEP zum ersten mal.\r\rMöchten Sie die automatische Einrichtung wählen "
                        "oder\rmanuell Einrichten?\r\rMöchten Sie die automatische Einrichtung (empfohlen)?"),
         QStringLiteral("Erster Start!"), PromptIcon::Question, PromptButtons::YesNoCancel, PromptAnswer::Cancel},
        [self, done = std::move(done)](PromptAnswer answer) {
            switch (answer) {
            case PromptAnswer::Yes:
                return self->runAutomatic(done);
            case PromptAnswer::No:
                if (self->m_hooks.openSettingsDialog)
                    self->m_hooks.openSettingsDialog();
                return done(Outcome::Continue);
            default:
                return done(Outcome::EndProgram);
            }
        });
}

void FirstStartSetup::runAutomatic(const Done &done)
{
    const auto self = std::make_shared<FirstStartSetup>(*this);
    const QString data = dataDirectory();
    const QString photo = photoDirectory();
    m_state.prompts.ask(
        {QStringLiteral("ZEP legt für Sie nun folgende Ordner an:\r\r") + data + QStringLiteral("\r") + photo
             + QStringLiteral("\r\rMöchten Sie diese Einstellung so verwenden?"),
         QStringLiteral("Automatik"), PromptIcon::Question, PromptButtons::OkCancel, PromptAnswer::Cancel},
        [self, done](PromptAnswer answer) {
            if (answer != PromptAnswer::Ok) {
                // The program ends once the hint has been read.
                return self->m_state.prompts.ask(
                    {QStringLiteral("Starten Sie ZEP nun neu, um den Start-Dialog nochmals zu erhalten."),
                     QStringLiteral("ZEP"), PromptIcon::Information},
                    [done](PromptAnswer) { done(Outcome::EndProgram); });
            }
            self->createDirectories(done);
        });
}

void FirstStartSetup::createDirectories(const Done &done)
{
    for (const QString &dir : {dataDirectory(), photoDirectory()}) {
        if (!QDir(dir).exists() && !QDir().mkpath(dir)) {
            // Storing a directory that does not exist would make every later
            // scan fail; better to say so now and let the user start again.
            m_state.prompts.ask({QStringLiteral("Der Ordner ") + dir
                                     + QStringLiteral(" konnte nicht angelegt werden. Bitte prüfen Sie die "
                                                      "Zugriffsrechte und starten Sie ZEP neu."),
                                 QStringLiteral("ZEP"), PromptIcon::Exclamation},
                                [done](PromptAnswer) { done(Outcome::EndProgram); });
            return;
        }
    }
    ProgramSettings::verzeichnis.write(m_state.settings, dataDirectory());
    ProgramSettings::fotoVerzeichnis.write(m_state.settings, photoDirectory());

    if (m_hooks.status)
        m_hooks.status(QStringLiteral("Öffne Datenbank für Assistent... (") + m_state.shownCatalogue()
                       + QStringLiteral(")"));
    const auto self = std::make_shared<FirstStartSetup>(*this);
    openCatalogueDatabase(
        m_state, [self, done] { self->offerWizard(done); }, [done] { done(Outcome::EndProgram); });
}

void FirstStartSetup::offerWizard(const Done &done)
{
    const auto self = std::make_shared<FirstStartSetup>(*this);
    m_state.prompts.ask(
        {QStringLiteral("Nun startet der Maschinen-Assistent. Er hilft Ihnen dabei eine erste Maschine "
                        "anzulegen.\r\rTipp: Sie können den Assistenten später jederzeit aus\rdem Menupunkt "
                        "'Maschinenverwaltung' starten."),
         QStringLiteral("ZEP"), PromptIcon::Information, PromptButtons::OkCancel, PromptAnswer::Cancel},
        [self, done](PromptAnswer answer) {
            if (answer != PromptAnswer::Ok) {
                self->m_state.database.close();
                return done(Outcome::EndProgram);
            }
            if (self->m_hooks.openWizard)
                self->m_hooks.openWizard();
            // The regular load steps open the database again.
            self->m_state.database.close();
            done(Outcome::Continue);
        });
}

} // namespace zep
