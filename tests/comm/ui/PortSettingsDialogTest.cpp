#include "app/IniSettingsStore.h"
#include "app/ScriptedPrompts.h"
#include "comm/ui/PortSettingsDialog.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "machines/CatalogueMachineLines.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>

using namespace zep;

namespace {
struct Dialog {
    Dialog() : settings(env.iniFile()) {}
    std::unique_ptr<PortSettingsDialog> open(Database *db = nullptr)
    {
        if (db)
            machines.emplace(*db);
        return std::make_unique<PortSettingsDialog>(settings, prompts, db ? &*machines : nullptr, [this] { ++setComms; },
                                                    &statusLine);
    }
    test::TestEnvironment env;
    IniSettingsStore settings;
    ScriptedPrompts prompts;
    std::optional<CatalogueMachineLines> machines;
    int setComms = 0;
    StatusLine statusLine;
};
} // namespace

TEST(PortSettingsDialog, FreshStoreShowsDefaults)
{
    Dialog d;
    auto w = d.open();
    EXPECT_EQ(w->windowTitle(), "Kommunikations-Einstellungen");
    EXPECT_EQ(w->tabs()->count(), 5);
    EXPECT_EQ(w->speedList()->currentText(), "9600");
    EXPECT_EQ(w->parityList()->currentText(), "None");
    EXPECT_EQ(w->portList()->currentText(), "Com1");
    EXPECT_EQ(w->bufferList()->currentText(), "256");
    EXPECT_EQ(w->flowControl()->checkedId(), 2);
    EXPECT_FALSE(w->activeBox()->isChecked());
    EXPECT_EQ(w->devicePath()->text(), "/dev/ttyS0");
    EXPECT_TRUE(w->summary()->text().startsWith("Endzeichen: ASC(26)"));
    EXPECT_EQ(w->machineList()->currentText(), "keine Zuordnung");
}

TEST(PortSettingsDialog, StopBitsOneAndAHalfAreShownAndEditsRebuildTheLine)
{
    Dialog d;
    d.settings.write("COM1Einstellungen", "Einstellungen", "9600,E,7,1.5");
    auto w = d.open();
    w->tabs()->setCurrentIndex(1);
    EXPECT_EQ(w->speedList()->currentText(), "9600");
    EXPECT_EQ(w->parityList()->currentText(), "Even");
    EXPECT_EQ(w->dataBitsList()->currentText(), "7");
    EXPECT_EQ(w->stopBitsList()->currentText(), "1.5");
    w->speedList()->setCurrentText("115200");
    w->parityList()->setCurrentText("Odd");
    EXPECT_EQ(w->workingCopy(1).line.text(), "115200,O,7,1.5");
    EXPECT_EQ(d.settings.read("COM1Einstellungen", "Einstellungen"), "9600,E,7,1.5"); // nothing written yet
}

TEST(PortSettingsDialog, GoingFromTabToTabShowsEachConnectionWithoutChangingAny)
{
    Dialog d;
    d.settings.write("COM1Einstellungen", "Einstellungen", "19200,O,7,2");
    d.settings.write("COM1Einstellungen", "COM-Anschluß", "4");
    d.settings.write("COM1Einstellungen", "Puffer", "1024");
    d.settings.write("COM1Einstellungen", "Aktiviert", "True");
    d.settings.write("COM2Einstellungen", "Einstellungen", "4800,E,8,1.5");
    d.settings.write("COM2Einstellungen", "COM-Anschluß", "16");
    auto w = d.open();
    std::array<PortSettings, 5> before;
    for (int i = 0; i < 5; ++i)
        before[i] = w->workingCopy(i);
    for (const int tab : {1, 0, 2, 1, 4, 2, 0}) {
        w->tabs()->setCurrentIndex(tab);
        const PortSettings &shown = w->workingCopy(tab);
        EXPECT_EQ(w->speedList()->currentText(), shown.line.speed()) << tab;
        EXPECT_EQ(w->portList()->currentText(), "Com" + QString::number(shown.comAnschluss)) << tab;
        EXPECT_EQ(w->bufferList()->currentText(), QString::number(shown.puffer)) << tab;
        EXPECT_EQ(w->activeBox()->isChecked(), shown.aktiviert) << tab;
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(w->workingCopy(i).line.text(), before[i].line.text()) << i;
        EXPECT_EQ(w->workingCopy(i).comAnschluss, before[i].comAnschluss) << i;
        EXPECT_EQ(w->workingCopy(i).puffer, before[i].puffer) << i;
        EXPECT_EQ(w->workingCopy(i).aktiviert, before[i].aktiviert) << i;
    }
    EXPECT_EQ(w->workingCopy(1).line.text(), "19200,O,7,2");
    EXPECT_EQ(w->workingCopy(2).line.text(), "4800,E,8,1.5");
    // What the user changes afterwards still counts, on the tab shown.
    w->tabs()->setCurrentIndex(1);
    w->speedList()->setCurrentText("9600");
    w->bufferList()->setCurrentText("64");
    w->activeBox()->setChecked(false);
    EXPECT_EQ(w->workingCopy(1).line.text(), "9600,O,7,2");
    EXPECT_EQ(w->workingCopy(1).puffer, 64);
    EXPECT_FALSE(w->workingCopy(1).aktiviert);
    EXPECT_EQ(w->workingCopy(2).line.text(), "4800,E,8,1.5");
}

TEST(PortSettingsDialog, ActiveConnectionsWithoutMachineAreRefusedNamingTheLast)
{
    Dialog d;
    auto w = d.open();
    w->tabs()->setCurrentIndex(1);
    w->activeBox()->setChecked(true);
    w->tabs()->setCurrentIndex(3);
    w->activeBox()->setChecked(true);
    EXPECT_FALSE(w->save());
    ASSERT_EQ(d.prompts.asked().size(), 1);
    EXPECT_EQ(d.prompts.asked()[0].text, "Um Maschinenverbindung 4 aktivieren zu können benötigt\rsie eine Maschinenzuordnung!");
    EXPECT_EQ(d.prompts.asked()[0].title, "Maschine?");
    EXPECT_EQ(d.settings.read("COM1Einstellungen", "Aktiviert", "unset"), "unset");
    EXPECT_EQ(d.setComms, 0);
}

TEST(PortSettingsDialog, MachineDefaultsAreTakenOverAndSavedWithTheDevicePath)
{
    Dialog d;
    const QString dbPath = d.env.programDir() + "CNCPRG.mdb";
    QDir().mkpath(d.env.programDir());
    ASSERT_TRUE(createFreshDatabase(dbPath));
    Database db;
    ASSERT_TRUE(db.open(dbPath));
    ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung, Standort, Sonderzeichen, Param1, Param2, Param3, "
                           "ECRzu, ELFzu, SCRzu, SLFzu, EXON, SXON, Baudrate, COMString) VALUES "
                           "(?, ?, 1, '26', '%||M30', 'Z', 254, 255, 0, 13, 1, 0, '6', '7,E,2')",
                           {QString("Fräse D'Ärger"), QString("Halle 2")}));
    auto w = d.open(&db);
    ASSERT_EQ(w->machineList()->count(), 2);
    EXPECT_EQ(w->machineList()->itemText(1), "Fräse D'Ärger / Halle 2");

    QTest::mouseClick(w->takeOverButton(), Qt::LeftButton); // "keine Zuordnung": only a beep
    EXPECT_EQ(d.prompts.beeps(), 1);

    w->machineList()->setCurrentIndex(1);
    w->activeBox()->setChecked(true);
    QTest::mouseClick(w->takeOverButton(), Qt::LeftButton);
    const PortSettings &p = w->workingCopy(0);
    EXPECT_EQ(p.line.text(), "9600,E,7,2");
    EXPECT_EQ(p.endCode, "<SZ>%||M30");
    EXPECT_EQ(p.conversions.ecrZu, 254);
    EXPECT_EQ(p.conversions.exon, 1);
    EXPECT_TRUE(w->summary()->text().contains("CR zu CRLF\nLF zu löschen"));
    EXPECT_TRUE(w->summary()->text().endsWith("Nullfilter: AUS!"));

    w->portList()->setCurrentIndex(2);
    EXPECT_EQ(w->devicePath()->text(), "/dev/ttyS2");
    w->devicePath()->setText("/dev/ttyUSB0");
    Q_EMIT w->devicePath()->textEdited("/dev/ttyUSB0");
    ASSERT_TRUE(w->save());
    EXPECT_EQ(d.setComms, 1);
    EXPECT_EQ(d.settings.read("COM0Einstellungen", "Aktiviert"), "True");
    EXPECT_EQ(d.settings.read("COM0Einstellungen", "COM-Anschluß"), "3");
    EXPECT_EQ(d.settings.read("COM0Einstellungen", "EndCode"), "<SZ>%||M30");
    EXPECT_EQ(d.settings.read("Schnittstellen", "COM3"), "/dev/ttyUSB0");
    d.statusLine.show("Kommunikations-Einstellungen");
    w->reject();
    EXPECT_EQ(d.statusLine.text(), "Bereit");
}

TEST(PortSettingsDialog, MissingMachineLeavesTheWorkingCopy)
{
    Dialog d;
    auto w = d.open();
    w->SetMachineDefaults(42);
    EXPECT_EQ(d.prompts.messageTexts(), QStringList{"Datenbank konnte Maschine nichtmehr finden! (SetMachineDefaults)"});
    EXPECT_EQ(w->workingCopy(0).endCode, "<SA>26");
}


TEST(PortSettingsDialog, ANetworkAddressIsStoredAndAMalformedOneIsRefusedWithItsReason)
{
    Dialog d;
    auto w = d.open();
    struct Case {
        const char *device;
        const char *reason; // empty: stored
    };
    const Case cases[] = {
        {"tcp://maschine7", "die Portnummer fehlt"},
        {"rfc2217://:4001", "der Rechner fehlt"},
        {"udp://10.0.0.5:4001", "unbekannte Art"},
        {"rfc2217://10.0.0.5:4001", ""},
        {"tcp://drehbank.halle:2001", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.device);
        d.prompts.clear();
        w->devicePath()->setText(c.device);
        Q_EMIT w->devicePath()->textEdited(c.device);
        if (*c.reason) {
            EXPECT_FALSE(w->save());
            ASSERT_EQ(d.prompts.asked().size(), 1);
            EXPECT_EQ(d.prompts.asked()[0].title, "Gerät?");
            EXPECT_TRUE(d.prompts.asked()[0].text.startsWith(QString("Das Gerät von Com1 ist ungültig:\rUngültige "
                                                                     "Netzwerkadresse \"") + c.device))
                << d.prompts.asked()[0].text;
            EXPECT_TRUE(d.prompts.asked()[0].text.contains(QString::fromUtf8(c.reason)));
            // Nothing stored, nothing reopened.
            EXPECT_EQ(d.settings.read("Schnittstellen", "COM1"), "");
            EXPECT_EQ(d.setComms, 0);
        } else {
            EXPECT_TRUE(w->save());
            EXPECT_TRUE(d.prompts.asked().isEmpty());
            EXPECT_EQ(d.settings.read("Schnittstellen", "COM1"), c.device);
        }
    }
}

TEST(PortSettingsDialog, TheOptionsForWorkWithoutTheWalkToThePcAreKeptPerConnection)
{
    Dialog d;
    {
        auto w = d.open();
        EXPECT_FALSE(w->autoSaveBox()->isChecked());
        EXPECT_FALSE(w->requestsBox()->isChecked());
        EXPECT_EQ(w->autoExtensionEdit()->text(), ".NC");
        EXPECT_EQ(w->requestWaitBox()->value(), 5);
        EXPECT_EQ(w->requestWordsEdit()->text(), "ANFORDERUNG,SENDE");
        w->tabs()->setCurrentIndex(2);
        w->autoSaveBox()->setChecked(true);
        QTest::keyClicks(w->autoFolderEdit(), "Maschine3");
        w->requestsBox()->setChecked(true);
        w->requestWaitBox()->setValue(8);
        // Another tab shows its own values, and coming back shows the edits.
        w->tabs()->setCurrentIndex(0);
        EXPECT_FALSE(w->autoSaveBox()->isChecked());
        EXPECT_EQ(w->autoFolderEdit()->text(), "");
        w->tabs()->setCurrentIndex(2);
        EXPECT_TRUE(w->autoSaveBox()->isChecked());
        EXPECT_EQ(w->autoFolderEdit()->text(), "Maschine3");
        ASSERT_TRUE(w->save());
    }
    EXPECT_EQ(d.settings.read("COM2Einstellungen", "AutoSpeichern"), "True");
    EXPECT_EQ(d.settings.read("COM2Einstellungen", "AutoOrdner"), "Maschine3");
    EXPECT_EQ(d.settings.read("COM2Einstellungen", "Anforderungen"), "True");
    EXPECT_EQ(d.settings.read("COM2Einstellungen", "AnforderungWartezeit"), "8");
    // Untouched groups get no new keys.
    EXPECT_EQ(d.settings.read("COM0Einstellungen", "AutoSpeichern", "unset"), "unset");

    // A folder that leaves the monitored directory is refused with its reason.
    auto w = d.open();
    w->tabs()->setCurrentIndex(1);
    QTest::keyClicks(w->autoFolderEdit(), "..\\raus");
    EXPECT_FALSE(w->save());
    ASSERT_EQ(d.prompts.asked().size(), 1);
    EXPECT_EQ(d.prompts.asked()[0].text,
              "Maschinenverbindung 2: Der Ordner '..\\raus' ist kein gültiger Ordner im überwachten Verzeichnis.");
    EXPECT_EQ(d.settings.read("COM1Einstellungen", "AutoOrdner", "unset"), "unset");
}
