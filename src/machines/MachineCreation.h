#pragma once

#include <functional>

#include "comm/LineChoices.h"
#include "comm/LineDefaults.h"
#include "comm/LineSettings.h"

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
    QString port = LineChoices::portName(1); // "Com" + number
    // Speed, parity, data bits, stop bits and flow control as chosen.
    LineSettings line = LineDefaults::Wizard::line();
    int interval = 0;
    QString note;
};

class MachineCreation {
public:
    // "Com" + p for every port 1-16 that no active connection uses.
    static QStringList freePorts(const SettingsStore &settings);
    // The first connection (0-4) not active, or -1.
    static int firstInactiveConnection(const SettingsStore &settings);
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
    // retry of the failed step. Nothing waits for an answer: `done` gets the
    // result once the record is settled. The database, settings and clock
    // must outlive the conversation.
    static void CreateMachine(Database &database, SettingsStore &settings, Prompts &prompts, const Clock &clock,
                              const WizardChoices &choices, std::function<void(const Result &)> done);

    static QString noFreeConnectionText();

private:
    // The connection the new machine is bound to, -1 when none is free.
    static int bindConnection(SettingsStore &settings, Prompts &prompts, const WizardChoices &c, long machine);
};

} // namespace zep
