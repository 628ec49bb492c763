#include "UiFixture.h"

#include "station/StationSettings.h"
#include "station/ui/SettingsDialog.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

struct SettingsDialogTest : ::testing::Test, SessionFixture {
    SettingsDialogTest()
    {
        storeDirectories();
        settings.write("Settings", "Intervall", "7");
        settings.write("Settings", "Passwort", "alt");
        state->verzeichnis = settings.read("Settings", "Verzeichnis");
        dialog = std::make_unique<SettingsDialog>(nullptr, service, prompts);
        dialog->show();
    }
    QLineEdit *f(int n) { return dialog->field(n); }
    StationSettings service{*state};
    std::unique_ptr<SettingsDialog> dialog;
};

} // namespace

TEST_F(SettingsDialogTest, OpensWithTheStoredValues)
{
    EXPECT_EQ(f(1)->text(), env.root() + "data/");
    EXPECT_EQ(f(2)->text(), "7");
    EXPECT_EQ(f(3)->text(), env.root() + "foto/");
    EXPECT_EQ(f(4)->text(), "80");
    EXPECT_EQ(f(7)->text(), "alt");
    EXPECT_EQ(f(8)->text(), "alt");
}

TEST_F(SettingsDialogTest, IntervalZeroBecomesFiveWithABeep)
{
    f(2)->setText("0");
    dialog->leaveIntervalField();
    EXPECT_EQ(f(2)->text(), "5");
    EXPECT_EQ(prompts.beeps(), 1);
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(SettingsDialogTest, IntervalAboveSixtyWarnsAndIsSaved)
{
    f(2)->setText("120");
    dialog->leaveIntervalField();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Intervall?");
    dialog->pressApply();
    EXPECT_EQ(settings.read("Settings", "Intervall"), "120");
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, QualityFiveIsRefusedAndNothingIsSaved)
{
    f(4)->setText("5");
    f(2)->setText("9");
    dialog->pressApply();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Bitte zwischen 10% (schlecht) und 99% (sehr gut) wählen.");
    EXPECT_EQ(prompts.asked()[0].title, "JPG-Qualität");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(settings.read("Settings", "Intervall"), "7");
    EXPECT_TRUE(f(4)->styleSheet().contains("255, 255, 0"));
}

TEST_F(SettingsDialogTest, EqualDirectoriesIgnoringCaseAreRefused)
{
    f(1)->setText(env.root() + "A/");
    f(3)->setText(env.root() + "a/");
    dialog->pressApply();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{"Das Fotoverzeichnis darf nicht identisch mit dem Überwachungsverzeichnis sein!"});
    EXPECT_EQ(settings.read("Settings", "Verzeichnis"), env.root() + "data/");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, PhotosInsideTheMonitoredTreeAreRefused)
{
    f(3)->setText(env.root() + "data/Fotos/");
    dialog->pressApply();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "HINWEIS!");
    EXPECT_EQ(settings.read("Settings", "FotoVerzeichnis"), env.root() + "foto/");
}

TEST_F(SettingsDialogTest, PasswordMismatchSavesNothing)
{
    f(7)->setText("Neu");
    f(8)->setText("neu");
    f(2)->setText("9");
    dialog->pressApply();
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Passwörter nicht Identisch!"});
    EXPECT_EQ(prompts.asked()[0].title, "Achtung!");
    EXPECT_EQ(settings.read("Settings", "Passwort"), "alt");
    EXPECT_EQ(settings.read("Settings", "Intervall"), "7");
}

TEST_F(SettingsDialogTest, SavesEveryFieldAndAppendsTheSeparator)
{
    f(1)->setText(env.root() + "Programme");
    dialog->leaveDirectoryField(1);
    f(6)->setText(env.root() + "sicherung");
    dialog->leaveDirectoryField(6);
    f(5)->setText("/usr/local/bin/dnc-server");
    f(7)->setText("Fräse");
    f(8)->setText("Fräse");
    dialog->pressApply();
    EXPECT_EQ(settings.read("Settings", "Verzeichnis"), env.root() + "Programme/");
    EXPECT_EQ(settings.read("Settings", "BackupDir"), env.root() + "sicherung/");
    EXPECT_EQ(settings.read("Settings", "StartProgram"), "/usr/local/bin/dnc-server");
    EXPECT_EQ(settings.read("Settings", "Passwort"), "Fräse");
    EXPECT_EQ(state->verzeichnis, env.root() + "Programme/");
}

TEST_F(SettingsDialogTest, BrowsingFillsTheFieldAndCancelKeepsIt)
{
    prompts.queuePath(env.root() + "gewählt");
    dialog->browseDirectory(3);
    EXPECT_EQ(f(3)->text(), env.root() + "gewählt/");
    EXPECT_EQ(prompts.asked().last().title, "Foto-Verzeichnis wählen...");
    dialog->browseDirectory(3); // cancelled
    EXPECT_EQ(f(3)->text(), env.root() + "gewählt/");
}

TEST(SettingsDialogFirstStart, CannotBeLeftWithoutTwoValidDirectories)
{
    SessionFixture fx;
    StationSettings service(*fx.state);
    SettingsDialog dialog(nullptr, service, fx.prompts);
    dialog.show();
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(fx.prompts.messageTexts(),
              QStringList{"Sie müssen JETZT ein gültiges Überwachungsverzeichnis und ein gültiges Fotoverzeichnis "
                          "auswählen!"});
    dialog.field(1)->setText(fx.env.root() + "p/");
    dialog.field(3)->setText(fx.env.root() + "f/");
    dialog.pressApply();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(fx.settings.read("Settings", "Verzeichnis"), fx.env.root() + "p/");
}
