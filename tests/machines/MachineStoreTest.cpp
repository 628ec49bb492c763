#include "MachineFixture.h"

#include "machines/MachineStore.h"

namespace zep::test {
namespace {

struct MachineStoreTest : MachineFixture {
    MachineStore store{db, clock};

    CommunicationFields sendsWithCharacter(const QString &code = "26")
    {
        CommunicationFields f;
        f.mitRS232 = true;
        f.code = code;
        f.start = "^2^";
        f.end = "^3^";
        f.line = LineSettings::fromMachine(4, "8,N,1");
        return f;
    }
};

TEST_F(MachineStoreTest, NewMachineHasTheManagersValuesAndLeavesMitRS232ToTheDatabase)
{
    long n = 0;
    ASSERT_FALSE(store.addMachine(n));
    ASSERT_NE(n, 0);
    EXPECT_TRUE(column(n, "MitRS232").isNull());

    MachineRecord r;
    ASSERT_FALSE(store.load(n, r));
    EXPECT_EQ(r.bezeichnung, "neue Maschine");
    EXPECT_EQ(r.standort, "neuer Standort");
    EXPECT_EQ(r.sonderzeichen, 1);
    EXPECT_EQ(r.param1, "26");
    EXPECT_EQ(r.param2, "^2^||^3^");
    EXPECT_EQ(r.param3, "A");
    EXPECT_EQ(r.baudrate, "4");
    EXPECT_EQ(r.comString, "8,N,1");
    for (int task = 0; task < 3; ++task) {
        EXPECT_EQ(r.wartungsArt[task], 0);
        EXPECT_EQ(r.wartStart[task], clock.now());
        EXPECT_EQ(r.wartText[task], "");
    }

    QList<MachineListEntry> entries;
    ASSERT_FALSE(store.list(entries));
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].maschinennummer, n);
    EXPECT_EQ(entries[0].mitRS232, 0);
}

TEST_F(MachineStoreTest, DesignationAndLocationAreStoredAsTypedWithOneBlank)
{
    const long n = insertMachine("alt", "alt");
    ASSERT_FALSE(store.storeBezeichnung(n, "Drehbank 1"));
    ASSERT_FALSE(store.storeStandort(n, "Müller's Halle \"Süd\""));
    EXPECT_EQ(column(n, "Bezeichnung").toString(), "Drehbank 1 ");
    EXPECT_EQ(column(n, "Standort").toString(), "Müller's Halle \"Süd\" ");

    // The longest text the field takes still fits with its blank; a full
    // column written by other means keeps every character.
    ASSERT_FALSE(store.storeBezeichnung(n, QString(254, 'x')));
    EXPECT_EQ(column(n, "Bezeichnung").toString(), QString(254, 'x') + " ");
    ASSERT_FALSE(store.storeBezeichnung(n, QString(255, 'y')));
    EXPECT_EQ(column(n, "Bezeichnung").toString(), QString(255, 'y'));
}

TEST_F(MachineStoreTest, CommunicationFieldsFollowTheEndMode)
{
    const long n = insertMachine("Fräse");
    CommunicationFields f = sendsWithCharacter();
    f.conversions.ecrZu = 254;
    f.conversions.elfZu = 255;
    f.conversions.scrZu = 13;
    f.conversions.slfZu = 10;
    f.conversions.exon = 1;
    f.line = LineSettings::fromMachine(13, "7,E,2");
    ASSERT_FALSE(store.storeCommunication(n, f));
    MachineRecord r;
    ASSERT_FALSE(store.load(n, r));
    EXPECT_EQ(r.mitRS232, 1);
    EXPECT_EQ(r.sonderzeichen, 1);
    EXPECT_EQ(r.param1, "26");
    EXPECT_EQ(r.param2, "^2^||^3^");
    EXPECT_EQ(r.param3, "A");
    const LineConversions &c = r.conversions;
    EXPECT_EQ((std::array<int, 4>{c.ecrZu, c.elfZu, c.scrZu, c.slfZu}), (std::array<int, 4>{254, 255, 13, 10}));
    EXPECT_EQ(c.exon, 1);
    EXPECT_EQ(c.sxon, 0);
    EXPECT_EQ(r.baudrate, "13");
    EXPECT_EQ(r.comString, "7,E,2");

    // Start and end strings; an empty end still gets its separator.
    f.asciiCode = false;
    f.start = "%";
    f.end = "";
    ASSERT_FALSE(store.storeCommunication(n, f));
    EXPECT_EQ(column(n, "Param2").toString(), "%||");
    EXPECT_EQ(column(n, "Param3").toString(), "Z");

    // Time-out: the three parameters are emptied, whatever the fields hold.
    f.sonderzeichen = false;
    f.code = "1310";
    ASSERT_FALSE(store.storeCommunication(n, f));
    for (const char *p : {"Param1", "Param2", "Param3"})
        EXPECT_EQ(column(n, p).toString(), "") << p;
    EXPECT_EQ(column(n, "Sonderzeichen").toInt(), 0);
}

TEST_F(MachineStoreTest, CodesThatAreNoSingleCharacterAndMalformedComStringsAreNeverStored)
{
    const long n = insertMachine("Fräse", "Halle 1", "Sonderzeichen, Param1, Param3, COMString",
                                 {1, "26", "A", "8,N,1"});
    for (const QString code : {"1310", "256", "-1", "abc", "", " 26", "26.0", "2 6"}) {
        CommunicationFields f = sendsWithCharacter(code);
        f.line = LineSettings::fromMachine(6, code); // none of these is a Com-String either
        ASSERT_FALSE(store.storeCommunication(n, f));
        EXPECT_EQ(column(n, "Param1").toString(), "26") << code;
        EXPECT_EQ(column(n, "COMString").toString(), "8,N,1") << code;
        EXPECT_EQ(column(n, "Baudrate").toString(), "6") << "the other fields are stored";
    }
    for (const QString code : {"0", "00", "255", "13"}) {
        ASSERT_FALSE(store.storeCommunication(n, sendsWithCharacter(code)));
        EXPECT_EQ(column(n, "Param1").toString(), code);
    }
    for (const QString comString : {"7,E,2", "8,n,1.5", "5,S,1"}) {
        CommunicationFields f = sendsWithCharacter();
        f.line = LineSettings::fromMachine(4, comString);
        ASSERT_FALSE(store.storeCommunication(n, f));
        EXPECT_EQ(column(n, "COMString").toString(), comString);
    }
}

TEST_F(MachineStoreTest, WritesReachOnlyTheNamedMachineAndNeverADeletedOne)
{
    const long a = insertMachine("A");
    const long b = insertMachine("B", "Halle 2", "Param1, WartText1", {"27", "B-Notiz"});
    MaintenanceFields m;
    m.wartungsArt = {3, 0, 5};
    m.wartStart = {clock.now(), clock.now().addDays(-1), clock.now().addDays(-2)};
    m.wartText = {"Öl wechseln", "", "Späne"};
    ASSERT_FALSE(store.storeMaintenance(a, m));
    ASSERT_FALSE(store.storeBezeichnung(a, "A2"));
    EXPECT_EQ(column(a, "WartText1").toString(), "Öl wechseln");
    EXPECT_EQ(column(a, "WartStart2").toDateTime(), clock.now().addDays(-1));
    EXPECT_EQ(column(a, "WartungsArt3").toInt(), 5);
    EXPECT_EQ(column(b, "Bezeichnung").toString(), "B");
    EXPECT_EQ(column(b, "WartText1").toString(), "B-Notiz");
    EXPECT_EQ(column(b, "Param1").toString(), "27");

    ASSERT_FALSE(store.deleteMachine(a));
    const auto error = store.storeCommunication(a, sendsWithCharacter());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, 3021);
    EXPECT_TRUE(store.storeBezeichnung(a, "X"));
    EXPECT_TRUE(store.storeMaintenance(a, m));
    EXPECT_EQ(machineCount(), 1);
    EXPECT_EQ(column(b, "Param1").toString(), "27");
    MachineRecord r;
    EXPECT_TRUE(store.load(a, r));
}

TEST_F(MachineStoreTest, DeletingAMachineClearsTheReferenceOfItsCatalogueRecordsOnly)
{
    const long a = insertMachine("A");
    const long b = insertMachine("B");
    for (const auto &[name, machine] : {std::pair{"P1.NC", a}, {"P2.NC", b}, {"P3.NC", a}, {"P4.NC", 0L}})
        ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, MaschinenIndex) VALUES (?, ?)",
                               {QString(name), qlonglong(machine)}))
            << db.lastError().description;
    ASSERT_FALSE(store.deleteMachine(a));

    auto set = db.openRecordset("SELECT * FROM DateiListe ORDER BY Dateiname", RecordsetType::Snapshot);
    ASSERT_TRUE(set);
    QStringList seen;
    for (; !set->eof(); set->moveNext())
        seen << set->value("Dateiname").toString() + "=" + set->value("MaschinenIndex").toString();
    EXPECT_EQ(seen, (QStringList{"P1.NC=0", "P2.NC=" + QString::number(b), "P3.NC=0", "P4.NC=0"}));
    QList<MachineListEntry> entries;
    ASSERT_FALSE(store.list(entries));
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].maschinennummer, b);
}

TEST_F(MachineStoreTest, ADeleteThatFailsLeavesTheCatalogueReferencesAsTheyWere)
{
    const long a = insertMachine("A");
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, MaschinenIndex) VALUES ('P1.NC', ?)", {qlonglong(a)}));
    ASSERT_TRUE(db.execute("CREATE TRIGGER KeinLoeschen BEFORE DELETE ON Maschinen BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"))
        << db.lastError().description;
    EXPECT_TRUE(store.deleteMachine(a));
    auto set = db.openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    ASSERT_TRUE(set && !set->eof());
    EXPECT_EQ(set->value("MaschinenIndex").toLongLong(), a);
    EXPECT_EQ(machineCount(), 1);
}

TEST_F(MachineStoreTest, ARowOfNullsListsAndLoadsAsEmptyTextsAndZeros)
{
    ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung) VALUES (NULL)")) << db.lastError().description;
    QList<MachineListEntry> entries;
    ASSERT_FALSE(store.list(entries));
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].bezeichnung, "");
    EXPECT_EQ(entries[0].standort, "");
    EXPECT_EQ(entries[0].mitRS232, 0);

    MachineRecord r;
    ASSERT_FALSE(store.load(entries[0].maschinennummer, r));
    EXPECT_EQ(r.param2, "");
    EXPECT_EQ(r.baudrate, "");
    EXPECT_EQ(r.conversions.ecrZu, 0);
    EXPECT_FALSE(r.wartStart[0].isValid());
    EXPECT_EQ(r.wartText[2], "");
}

TEST_F(MachineStoreTest, ADatabaseWithoutTheTableIsReportedNotListedAsEmpty)
{
    ASSERT_TRUE(db.execute("DROP TABLE Maschinen"));
    QList<MachineListEntry> entries;
    const auto error = store.list(entries);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, 3078);
    long n = 0;
    EXPECT_TRUE(store.addMachine(n));
}

} // namespace
} // namespace zep::test
