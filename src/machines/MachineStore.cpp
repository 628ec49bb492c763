#include "machines/MachineStore.h"

#include "app/Clock.h"
#include "comm/LineDefaults.h"
#include "db/Database.h"
#include "db/JetErrors.h"
#include "machines/MachineFieldRules.h"

namespace zep {

namespace {

const QString kNummer = QStringLiteral("Maschinennummer");

QString text(const Recordset &set, const char *column)
{
    return set.value(QLatin1String(column)).toString();
}

int number(const Recordset &set, const char *column)
{
    return set.value(QLatin1String(column)).toInt();
}

QString indexed(const char *column, int task)
{
    return QLatin1String(column) + QString::number(task + 1);
}

} // namespace

MachineStore::MachineStore(Database &database, const Clock &clock) : m_database(database), m_clock(clock) {}

MachineStore::Result MachineStore::list(QList<MachineListEntry> &entries)
{
    entries.clear();
    m_lastStatement = QStringLiteral("SELECT * FROM Maschinen");
    auto set = m_database.openRecordset(m_lastStatement, RecordsetType::Snapshot);
    if (!set)
        return m_database.lastError();
    for (; !set->eof(); set->moveNext()) {
        MachineListEntry entry;
        entry.maschinennummer = set->value(kNummer).toLongLong();
        entry.bezeichnung = text(*set, "Bezeichnung");
        entry.standort = text(*set, "Standort");
        entry.mitRS232 = number(*set, "MitRS232");
        entry.sonderzeichen = number(*set, "Sonderzeichen");
        entries.append(entry);
    }
    if (set->lastError().number != 0)
        return set->lastError();
    return std::nullopt;
}

MachineStore::Result MachineStore::load(long maschinennummer, MachineRecord &record)
{
    record = MachineRecord();
    m_lastStatement = QStringLiteral("SELECT * FROM Maschinen WHERE Maschinennummer=") + QString::number(maschinennummer);
    auto set = m_database.openRecordset(QStringLiteral("SELECT * FROM Maschinen WHERE Maschinennummer=?"),
                                        RecordsetType::Snapshot, {qlonglong(maschinennummer)});
    if (!set)
        return m_database.lastError();
    if (set->eof())
        return JetErrors::make(JetErrors::NoCurrentRecord);
    record.maschinennummer = maschinennummer;
    record.bezeichnung = text(*set, "Bezeichnung");
    record.standort = text(*set, "Standort");
    record.mitRS232 = number(*set, "MitRS232");
    record.sonderzeichen = number(*set, "Sonderzeichen");
    record.param1 = text(*set, "Param1");
    record.param2 = text(*set, "Param2");
    record.param3 = text(*set, "Param3");
    record.conversions.ecrZu = number(*set, "ECRzu");
    record.conversions.elfZu = number(*set, "ELFzu");
    record.conversions.scrZu = number(*set, "SCRzu");
    record.conversions.slfZu = number(*set, "SLFzu");
    record.conversions.exon = number(*set, "EXON");
    record.conversions.sxon = number(*set, "SXON");
    record.baudrate = text(*set, "Baudrate");
    record.comString = text(*set, "COMString");
    for (int task = 0; task < 3; ++task) {
        record.wartungsArt[task] = set->value(indexed("WartungsArt", task)).toInt();
        record.wartStart[task] = set->value(indexed("WartStart", task)).toDateTime();
        record.wartText[task] = set->value(indexed("WartText", task)).toString();
    }
    return std::nullopt;
}

MachineStore::Result MachineStore::storeCommunication(long maschinennummer, const CommunicationFields &f)
{
    QStringList columns{QStringLiteral("MitRS232"), QStringLiteral("Sonderzeichen")};
    QVariantList values{f.mitRS232 ? 1 : 0, f.sonderzeichen ? 1 : 0};
    if (f.sonderzeichen) {
        // A code that cannot be an end character is never stored: the column
        // keeps its last good value, which the port settings dialog copies.
        if (MachineFieldRules::isEndCharacterCode(f.code)) {
            columns << QStringLiteral("Param1");
            values << f.code;
        }
        columns << QStringLiteral("Param2") << QStringLiteral("Param3");
        values << MachineFieldRules::joinParam2(f.start, f.end)
               << (f.asciiCode ? QStringLiteral("A") : QStringLiteral("Z"));
    } else {
        columns << QStringLiteral("Param1") << QStringLiteral("Param2") << QStringLiteral("Param3");
        values << QString() << QString() << QString();
    }
    columns << QStringLiteral("ECRzu") << QStringLiteral("ELFzu") << QStringLiteral("SCRzu") << QStringLiteral("SLFzu")
            << QStringLiteral("EXON") << QStringLiteral("SXON") << QStringLiteral("Baudrate");
    const LineConversions &c = f.conversions;
    values << c.ecrZu << c.elfZu << c.scrZu << c.slfZu << (c.exon != 0 ? 1 : 0) << (c.sxon != 0 ? 1 : 0)
           << QString::number(f.line.speedPosition());
    if (LineSettings::isComString(f.line.comString())) {
        columns << QStringLiteral("COMString");
        values << f.line.comString();
    }
    return updateMachine(maschinennummer, columns, values);
}

MachineStore::Result MachineStore::storeMaintenance(long maschinennummer, const MaintenanceFields &f)
{
    QStringList columns;
    QVariantList values;
    for (int task = 0; task < 3; ++task) {
        columns << indexed("WartungsArt", task) << indexed("WartStart", task) << indexed("WartText", task);
        values << f.wartungsArt[task] << f.wartStart[task] << f.wartText[task];
    }
    return updateMachine(maschinennummer, columns, values);
}

MachineStore::Result MachineStore::storeBezeichnung(long maschinennummer, const QString &typed)
{
    return updateMachine(maschinennummer, {QStringLiteral("Bezeichnung")}, {MachineFieldRules::storedText(typed)});
}

MachineStore::Result MachineStore::storeStandort(long maschinennummer, const QString &typed)
{
    return updateMachine(maschinennummer, {QStringLiteral("Standort")}, {MachineFieldRules::storedText(typed)});
}

MachineStore::Result MachineStore::addMachine(long &created)
{
    created = 0;
    m_lastStatement = QStringLiteral("SELECT * FROM Maschinen");
    auto set = m_database.openRecordset(m_lastStatement);
    if (!set)
        return m_database.lastError();
    const QDateTime now = m_clock.now();
    namespace Manager = LineDefaults::Manager;
    const LineConversions conversions;
    const QList<std::pair<QString, QVariant>> values{
        {QStringLiteral("Bezeichnung"), QStringLiteral("neue Maschine")},
        {QStringLiteral("Standort"), QStringLiteral("neuer Standort")},
        {QStringLiteral("Sonderzeichen"), Manager::kSonderzeichen},
        {QStringLiteral("Param1"), QLatin1String(Manager::kParam1)},
        {QStringLiteral("Param2"), QLatin1String(Manager::kParam2)},
        {QStringLiteral("Param3"), QLatin1String(Manager::kParam3)},
        {QStringLiteral("ECRzu"), conversions.ecrZu},
        {QStringLiteral("ELFzu"), conversions.elfZu},
        {QStringLiteral("SCRzu"), conversions.scrZu},
        {QStringLiteral("SLFzu"), conversions.slfZu},
        {QStringLiteral("EXON"), conversions.exon},
        {QStringLiteral("SXON"), conversions.sxon},
        {QStringLiteral("Baudrate"), QString::number(Manager::kSpeedPosition)},
        {QStringLiteral("COMString"), QLatin1String(Manager::kComString)},
        {QStringLiteral("WartungsArt1"), 0},
        {QStringLiteral("WartungsArt2"), 0},
        {QStringLiteral("WartungsArt3"), 0},
        {QStringLiteral("WartStart1"), now},
        {QStringLiteral("WartStart2"), now},
        {QStringLiteral("WartStart3"), now},
        {QStringLiteral("WartText1"), QString()},
        {QStringLiteral("WartText2"), QString()},
        {QStringLiteral("WartText3"), QString()},
    };
    if (!set->addRecord(values))
        return set->lastError();
    // The row is stored; not finding it again is no reason to store a second.
    if (set->moveToLastModified())
        created = set->value(kNummer).toLongLong();
    return std::nullopt;
}

MachineStore::Result MachineStore::deleteMachine(long maschinennummer)
{
    if (!m_database.transaction())
        return m_database.lastError();
    const QVariantList n{qlonglong(maschinennummer)};
    Result error = execute(QStringLiteral("UPDATE DateiListe SET MaschinenIndex=0 WHERE MaschinenIndex=?"), n);
    if (!error)
        error = execute(QStringLiteral("DELETE * FROM Maschinen WHERE Maschinennummer=?"), n);
    if (error) {
        m_database.rollback();
        return error;
    }
    if (!m_database.commit()) {
        const ErrorInfo failed = m_database.lastError();
        m_database.rollback();
        return failed;
    }
    return std::nullopt;
}

MachineStore::Result MachineStore::updateMachine(long maschinennummer, const QStringList &columns,
                                                 QVariantList values)
{
    QStringList assignments;
    for (const QString &column : columns)
        assignments << column + QStringLiteral("=?");
    values << qlonglong(maschinennummer);
    if (Result error = execute(QStringLiteral("UPDATE Maschinen SET ") + assignments.join(QStringLiteral(", ")) +
                                   QStringLiteral(" WHERE Maschinennummer=?"),
                               values))
        return error;
    if (m_database.recordsAffected() == 0)
        return JetErrors::make(JetErrors::NoCurrentRecord);
    return std::nullopt;
}

MachineStore::Result MachineStore::execute(const QString &statement, const QVariantList &params)
{
    m_lastStatement = statement;
    if (!m_database.execute(statement, params))
        return m_database.lastError();
    return std::nullopt;
}

} // namespace zep
