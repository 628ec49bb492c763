#pragma once

#include <QString>
#include <functional>

namespace zep {

struct MainState;

// The set-up that runs when no monitored directory is stored yet.
class FirstStartSetup {
public:
    struct Hooks {
        std::function<void(const QString &)> status;
        // Nothing runs yet while these are open: no line is open, no timer armed.
        std::function<void()> openSettingsDialog; // manual set-up, modal
        std::function<void()> openWizard;         // automatic set-up, modal
    };

    enum class Outcome { Continue, EndProgram };
    using Done = std::function<void(Outcome)>;

    FirstStartSetup(MainState &state, Hooks hooks, QString driveRoot);

    // Asks its questions without waiting; `done` gets the outcome once the
    // last one has been answered. The start-up cannot go on before that:
    // everything after it needs the directories.
    void run(Done done);

    // On this system the "drive root" of the automatic set-up is the user's
    // home directory; the data and photo directories go there.
    static QString defaultDriveRoot();
    QString dataDirectory() const { return m_driveRoot + QStringLiteral("ZEP_Data/"); }
    QString photoDirectory() const { return m_driveRoot + QStringLiteral("ZEP_Foto/"); }

private:
    void runAutomatic(const Done &done);
    void createDirectories(const Done &done);
    // Once the catalogue is open and checked: the machine wizard, if wanted.
    void offerWizard(const Done &done);

    MainState &m_state;
    Hooks m_hooks;
    QString m_driveRoot;
};

} // namespace zep
