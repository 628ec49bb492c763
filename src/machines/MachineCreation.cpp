#include "machines/MachineCreation.h"

#include "app/Clock.h"
#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "app/SettingsStore.h"
#include "comm/PortSettings.h"
#include "db/Database.h"
#include "machines/MachineLists.h"

#include <QSet>

#include <memory>

namespace zep {

namespace {
const QString kPlace = QStringLiteral("Aufgetreten in frmWizard.CreateMachine");
}

QStringList MachineCreation::freePorts(const SettingsStore &settings)
{
    QSet<int> used;
    for (int i = 0; i < 5; ++i) {
        const PortSettings p = PortSettings::load(settings, i);
        if (p.aktiviert)
            used.insert(p.comAnschluss);
    }
    QStringList ports;
    for (int p = 1; p <= 16; ++p)
        if (!used.contains(p))
            ports.append(LineChoices::portName(p));
    return ports;
}

int MachineCreation::firstInactiveConnection(const SettingsStore &settings)
{
    for (int i = 0; i < 5; ++i)
        if (!PortSettings::load(settings, i).aktiviert)
            return i;
    return -1;
}

QString MachineCreation::noFreeConnectionText()
{
    return QStringLiteral("Die Kommunikationseinstellungen können nicht vorgenommen werden, da alle verfügbaren "
                          "Verbindungen bereits aktiviert sind!\r\rDie Maschine wurde jedoch korrekt angelegt. Die "
                          "Verbindung müssen Sie nun manuell konfigurieren.");
}

void MachineCreation::CreateMachine(Database &database, SettingsStore &settings, Prompts &prompts,
                                    const Clock &clock, const WizardChoices &c,
                                    std::function<void(const Result &)> done)
{
    struct Insert {
        long machine = 0;
        // Set once the row is stored: a retry then only looks for its
        // number, and never stores the machine twice.
        bool stored = false;
    };
    auto state = std::make_shared<Insert>();
    // The database and the clock outlive the conversation, as its caller
    // promises.
    auto insert = [state, &database, &clock, c]() -> std::optional<ErrorInfo> {
        long &machine = state->machine;
        bool &stored = state->stored;
        auto set = database.openRecordset(QStringLiteral("SELECT * FROM Maschinen"));
        if (!set)
            return database.lastError();
        if (stored) {
            set->moveLast();
            if (set->eof())
                return set->lastError();
            machine = set->value(QStringLiteral("Maschinennummer")).toLongLong();
            return std::nullopt;
        }
        const QDateTime now = clock.now();
        const LineConversions conversions;
        const QList<std::pair<QString, QVariant>> values{
            {QStringLiteral("Bezeichnung"), c.bezeichnung},
            {QStringLiteral("Standort"), c.standort},
            {QStringLiteral("ECRzu"), conversions.ecrZu},
            {QStringLiteral("ELFzu"), conversions.elfZu},
            {QStringLiteral("SCRzu"), conversions.scrZu},
            {QStringLiteral("SLFzu"), conversions.slfZu},
            {QStringLiteral("Baudrate"), QString::number(c.line.speedPosition())},
            {QStringLiteral("COMString"), c.line.comString()},
            {QStringLiteral("Sonderzeichen"), 0},
            {QStringLiteral("Param1"), QString()},
            {QStringLiteral("Param2"), QString()},
            {QStringLiteral("Param3"), QString()},
            {QStringLiteral("EXON"), conversions.exon},
            {QStringLiteral("SXON"), conversions.sxon},
            {QStringLiteral("WartungsArt1"), c.interval},
            {QStringLiteral("WartungsArt2"), 0},
            {QStringLiteral("WartungsArt3"), 0},
            {QStringLiteral("WartStart1"), now},
            {QStringLiteral("WartStart2"), now},
            {QStringLiteral("WartStart3"), now},
            {QStringLiteral("WartText1"), c.note},
            {QStringLiteral("WartText2"), QString()},
            {QStringLiteral("WartText3"), QString()},
            {QStringLiteral("MitRS232"), c.rs232 ? 1 : 0},
        };
        if (!set->addRecord(values))
            return set->lastError();
        stored = true;
        if (!set->moveToLastModified())
            return set->lastError();
        machine = set->value(QStringLiteral("Maschinennummer")).toLongLong();
        return std::nullopt;
    };
    SettingsStore *store = &settings;
    retryUntilDone(prompts, kPlace, insert, [state, store, &prompts, c, done](bool inserted) {
        Result result;
        // Nothing is bound to a machine that was never stored, and the
        // wizard must not report it as created.
        if (!inserted) {
            result.outcome = state->stored ? Outcome::CreatedWithErrors : Outcome::NotCreated;
            return done(result);
        }
        result.machine = state->machine;
        result.outcome = Outcome::Created;
        if (c.rs232)
            result.connection = bindConnection(*store, prompts, c, state->machine);
        done(result);
    });
}

int MachineCreation::bindConnection(SettingsStore &settings, Prompts &prompts, const WizardChoices &c, long machine)
{
    const int connection = firstInactiveConnection(settings);
    if (connection < 0) {
        prompts.ask({noFreeConnectionText(), QStringLiteral("Maschinenverbindungen"), PromptIcon::Critical});
        return -1;
    }
    // Every key of the group is written, so nothing of the connection's
    // earlier use remains.
    PortSettings port;
    port.line = c.line;
    port.comAnschluss = LineChoices::portNumber(c.port);
    port.maschinenIndex = int(machine);
    port.puffer = LineDefaults::Wizard::kBuffer;
    port.endCode = QLatin1String(LineDefaults::Wizard::kEndCode);
    port.conversions = LineConversions();
    port.aktiviert = true;
    port.save(settings, connection);
    return connection;
}

} // namespace zep
