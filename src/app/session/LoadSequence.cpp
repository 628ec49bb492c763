#include "app/session/LoadSequence.h"

#include "app/SettingsStore.h"
#include "app/session/DatabaseOpener.h"
#include "app/session/MainState.h"

namespace zep {

LoadSequence::LoadSequence(MainState &state, Hooks hooks, QString driveRoot)
    : m_state(state), m_hooks(std::move(hooks)), m_driveRoot(std::move(driveRoot))
{
}

LoadSequence::Outcome LoadSequence::run()
{
    m_state.readMonitoredDirectory();
    if (m_state.verzeichnis.isEmpty()) {
        FirstStartSetup setup(m_state, {m_hooks.status, m_hooks.openSettingsDialog, m_hooks.openWizard},
                              m_driveRoot);
        if (setup.run() == FirstStartSetup::Outcome::EndProgram)
            return Outcome::EndProgram;
        m_state.readMonitoredDirectory();
        call(m_hooks.getFileListe);
    }

    m_state.readCurrentValues();
    call(m_hooks.restoreGeometry);
    call(m_hooks.restoreColumns);

    status(QStringLiteral("Lese aktuelle FileListe..."));
    call(m_hooks.loadFileListe);

    if (m_hooks.armTimer)
        m_hooks.armTimer(m_state.intervall);

    status(QStringLiteral("Öffne Datenbank... (") + m_state.databasePath() + QStringLiteral(")"));
    if (!openCatalogueDatabase(m_state))
        return Outcome::EndProgram;

    status(QStringLiteral("Setze Window-Defaults..."));
    call(m_hooks.writeHeadings);

    status(QStringLiteral("Initialisiere Comm-Verbindungen..."));
    call(m_hooks.setComm);

    status(QStringLiteral("Maschinen eintragen..."));
    call(m_hooks.showMaschinen);

    status(QStringLiteral("Bereit"));
    m_finished = true;
    call(m_hooks.checkWartungen);
    return Outcome::Ready;
}

} // namespace zep
