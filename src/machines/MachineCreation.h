#pragma once

#include <QString>
#include <QStringList>

namespace zep {

class Clock;
class Database;
class Prompts;
class SettingsStore;

// What the machine wizard collected.
struct WizardChoices {
    QString bezeichnung;
    QString standort;
    bool rs232 = false;
    QString port = QStringLiteral("Com1"); // "Com" + number
    int speed = 6;                         // position in the speed list
    QString dataBits = QStringLiteral("8");
    int parity = 2; // "Even", "Odd", "None", "Mark", "Space"
    QString stopBits = QStringLiteral("1");
    int handshaking = 0;
    int interval = 0;
    QString note;
};

class MachineCreation {
public:
    // "Com" + p for every port 1-16 that no active connection uses.
    static QStringList freePorts(const SettingsStore &settings);
    // The first connection (0-4) not active, or -1.
    static int firstInactiveConnection(const SettingsStore &settings);
    // "8,N,1" as the machine record stores it.
    static QString comString(const WizardChoices &choices);
    // "9600,N,8,1" as the port settings store it.
    static QString lineSettings(const WizardChoices &choices);

    enum class Outcome {
        Created,       // the record and, where asked for, its connection
        CreatedWithErrors, // the record is stored, a later step gave up
        NotCreated,    // the record could not be stored
    };
    struct Result {
        Outcome outcome = Outcome::NotCreated;
        long machine = 0;
        int connection = -1; // bound connection, -1 when none
    };

    // Writes the machine record and binds it to the first inactive
    // connection. Errors are reported naming frmWizard.CreateMachine, with a
    // retry of the failed step.
    static Result CreateMachine(Database &database, SettingsStore &settings, Prompts &prompts, const Clock &clock,
                                const WizardChoices &choices);

    static QString noFreeConnectionText();
};

} // namespace zep
