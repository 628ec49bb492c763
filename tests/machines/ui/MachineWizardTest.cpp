#include "../MachinesFixture.h"

#include "comm/PortSettings.h"
#include "machines/MachinesService.h"
#include "machines/ui/MachineWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace zep::test {
namespace {

struct MachineWizardTest : MachinesFixture {
    MachinesService service{database, settings, prompts, clock};
    std::unique_ptr<MachineWizard> open()
    {
        auto w = std::make_unique<MachineWizard>(service, settings, prompts, clock);
        w->show();
        return w;
    }
    template <typename T> static T *child(MachineWizard &w, const char *name)
    {
        T *found = w.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(MachineWizard &w, const char *name) { QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton); }
    static QString heading(MachineWizard &w) { return child<QLabel>(w, "heading")->text(); }
    int machines()
    {
        return database.openRecordset("SELECT count(*) AS n FROM Maschinen", RecordsetType::Snapshot)->value("n").toInt();
    }
};

TEST_F(MachineWizardTest, StartPageIsRememberedAndPageTwoIsSkippedBothWaysWithoutTheLine)
{
    auto w = open();
    EXPECT_EQ(w->page(), MachineWizard::StartPage);
    child<QCheckBox>(*w, "hideStart")->setChecked(true);
    click(*w, "start");
    EXPECT_EQ(settings.read("Settings", "HideWizSide1"), "1");
    EXPECT_EQ(w->page(), MachineWizard::DataPage);
    EXPECT_EQ(heading(*w), "Maschinendaten angeben");
    EXPECT_FALSE(child<QPushButton>(*w, "back")->isEnabled());

    child<QLineEdit>(*w, "bezeichnung")->setText("Drehbank");
    click(*w, "next");
    EXPECT_EQ(w->page(), MachineWizard::MaintenancePage);
    EXPECT_EQ(heading(*w), "Maschinenwartung");
    click(*w, "back");
    EXPECT_EQ(w->page(), MachineWizard::DataPage);
    child<QCheckBox>(*w, "rs232")->setChecked(true);
    click(*w, "next");
    EXPECT_EQ(w->page(), MachineWizard::ConnectionPage);
    EXPECT_EQ(heading(*w), "Verbindungsparameter");
    click(*w, "next");
    click(*w, "back");
    EXPECT_EQ(w->page(), MachineWizard::ConnectionPage);

    // Opened again: straight to the machine's data; cancel writes nothing.
    auto again = open();
    EXPECT_EQ(again->page(), MachineWizard::DataPage);
    click(*again, "cancel");
    EXPECT_EQ(machines(), 0);
}

TEST_F(MachineWizardTest, ABlankDesignationIsRefusedAndSurroundingBlanksAreKept)
{
    settings.write("Settings", "HideWizSide1", "1");
    auto w = open();
    child<QLineEdit>(*w, "bezeichnung")->setText("   ");
    click(*w, "next");
    EXPECT_EQ(w->page(), MachineWizard::DataPage);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Sie müssen eine Bezeichnung für diese Maschine eingeben!");
    EXPECT_EQ(prompts.asked()[0].title, "Bezeichnung?");

    prompts.clear();
    child<QLineEdit>(*w, "bezeichnung")->setText(" Müller's Fräse ");
    click(*w, "next");
    prompts.queueAnswer(PromptAnswer::No);
    click(*w, "next");
    EXPECT_EQ(prompts.asked()[0].text,
              "Alle Informationen sind gesammelt.\r\rSoll der Assistent die neue Maschine >> Müller's Fräse << jetzt "
              "anlegen?");
    EXPECT_EQ(prompts.asked()[0].title, "ZEP-Assistent");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(machines(), 0);

    prompts.clear();
    prompts.queueAnswer(PromptAnswer::Yes);
    click(*w, "next");
    EXPECT_EQ(prompts.titles(), QStringList({"ZEP-Assistent", "ZEP"}));
    EXPECT_EQ(prompts.asked()[1].text, "Die Maschine wurde angelegt!");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(column(w->result().machine, "Bezeichnung").toString(), " Müller's Fräse ");
}

TEST_F(MachineWizardTest, TheLineChosenIsBoundToTheFirstInactiveConnection)
{
    PortSettings busy;
    busy.aktiviert = true;
    busy.comAnschluss = 1;
    busy.save(settings, 0);
    settings.write("Settings", "HideWizSide1", "1");
    auto w = open();
    auto *ports = child<QComboBox>(*w, "port");
    EXPECT_EQ(ports->itemText(0), "Com2");
    EXPECT_EQ(child<QComboBox>(*w, "speed")->currentText(), "9600");
    child<QLineEdit>(*w, "bezeichnung")->setText("Fräse");
    child<QCheckBox>(*w, "rs232")->setChecked(true);
    click(*w, "next");
    ports->setCurrentText("Com3");
    click(*w, "next");
    child<QComboBox>(*w, "interval")->setCurrentIndex(2);
    prompts.queueAnswer(PromptAnswer::Yes);
    click(*w, "next");
    const PortSettings bound = PortSettings::load(settings, 1);
    EXPECT_TRUE(bound.aktiviert);
    EXPECT_EQ(bound.comAnschluss, 3);
    EXPECT_EQ(bound.line.text(), "9600,N,8,1");
    EXPECT_EQ(bound.endCode, "<ST>");
    EXPECT_EQ(bound.maschinenIndex, w->result().machine);
    EXPECT_EQ(column(w->result().machine, "WartungsArt1").toInt(), 2);
}

TEST_F(MachineWizardTest, AFailedInsertKeepsTheWizardOpenWithWhatWasTyped)
{
    settings.write("Settings", "HideWizSide1", "1");
    ASSERT_TRUE(database.execute("DROP TABLE Maschinen"));
    auto w = open();
    child<QLineEdit>(*w, "bezeichnung")->setText("Fräse");
    click(*w, "next");
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Cancel);
    click(*w, "next");
    ASSERT_EQ(prompts.asked().size(), 3);
    EXPECT_EQ(prompts.asked()[2].text, "Die Maschine wurde nicht angelegt! Es wurde nichts gespeichert.");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->page(), MachineWizard::MaintenancePage);
    EXPECT_EQ(w->choices().bezeichnung, "Fräse");
}

} // namespace
} // namespace zep::test
