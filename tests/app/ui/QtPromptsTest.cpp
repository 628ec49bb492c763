#include "support/TestEnvironment.h"

#include "app/QtTranslation.h"
#include "app/ui/QtPrompts.h"
#include "support/QStringPrinter.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <gtest/gtest.h>
#include <vector>

using namespace zep;
using namespace zep::test;

TEST(QtPrompts, QtsStandardButtonsSpeakGerman)
{
    QtTranslation german;
    ASSERT_TRUE(german.loaded());
    QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Yes)->text(), "&Ja");
    EXPECT_EQ(buttons.button(QDialogButtonBox::No)->text(), "&Nein");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "Abbrechen");
    QMessageBox box(QMessageBox::Warning, "ZEP", "Text", QMessageBox::Save | QMessageBox::Discard);
    EXPECT_EQ(box.button(QMessageBox::Save)->text(), "Speichern");
    EXPECT_EQ(box.button(QMessageBox::Discard)->text(), "Verwerfen");
}

TEST(QtPrompts, ALongPathWrapsInsideTheScreenAndIsShownWhole)
{
    const QString path = "/home/werkstatt/ZEP_Data/" + QString("Unterordner_mit_langem_Namen/").repeated(9)
                         + "xxxxxxx_P1.CNC";
    ASSERT_EQ(path.size(), 300);
    // A stored name of the catalogue: Qt by itself breaks a line neither
    // after a backslash nor after "_".
    const QString stored = QString("DREHEN_ABTEILUNG_NORD\\").repeated(4) + "WELLE_MIT_LANGEM_NAMEN_2026_03.NC";
    const QString name = QString(120, 'B') + ".NC"; // not a single separator
    for (const QString &longWord : {path, stored, name}) {
        SCOPED_TRACE(longWord.left(20).toStdString());
        std::unique_ptr<QMessageBox> box = QtPrompts::messageBox(
            "Die Datei\r" + longWord + "\rkonnte nicht geöffnet werden.", "Fehler", PromptIcon::Exclamation,
            PromptButtons::Ok, nullptr);
        box->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
        const QRect screen = box->screen()->availableGeometry();
        EXPECT_LE(box->frameGeometry().width(), screen.width());

        const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(QString(label->text()).remove(QChar(0x200B)), "Die Datei\n" + longWord + "\nkonnte nicht geöffnet werden.");
        // Every line fits the label, and the label the box: nothing is cut off.
        const QRect room = label->contentsRect();
        const QRect needed =
            label->fontMetrics().boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, label->text());
        EXPECT_LE(needed.width(), room.width());
        EXPECT_LE(needed.height(), room.height());
        EXPECT_LE(label->geometry().right(), box->contentsRect().right());
    }
}

namespace {

QMessageBox *openBox()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            return box;
    return nullptr;
}

} // namespace

TEST(QtPrompts, AQuestionReturnsAtOnceAndItsAnswerComesWhenClicked)
{
    QtPrompts prompts;
    std::optional<PromptAnswer> answer;
    prompts.ask({"Datei überschreiben?", "ZEP", PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::No},
                [&](PromptAnswer a) { answer = a; });
    QMessageBox *box = openBox();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(answer.has_value());
    // While the box waits, timers run in the program's own loop, not in one of
    // the box's.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    QTest::qWait(50);
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(answer.has_value());
    EXPECT_FALSE(box->isModal());
    box->button(QMessageBox::Yes)->click();
    QTest::qWait(10);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, PromptAnswer::Yes);
}

TEST(QtPrompts, AQuestionWhoseBoxGoesWithItsWindowIsAnsweredCautiously)
{
    auto owner = std::make_unique<QWidget>();
    QtPrompts prompts(owner.get());
    std::optional<PromptAnswer> answer;
    prompts.ask({"Löschen?", "ZEP", PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::No},
                [&](PromptAnswer a) { answer = a; });
    ASSERT_NE(openBox(), nullptr);
    owner.reset();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, PromptAnswer::No);
}

namespace {

struct Proposed {
    QString folder;
    QString file;
};

// Opens the real save dialog, reads where it stands and what it proposes,
// and cancels it.
Proposed proposedBySaveDialog(const QString &startDir, const QString &suggestedName)
{
    Proposed seen;
    QTimer::singleShot(0, [&seen] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen.folder = dialog->directory().absolutePath();
        seen.file = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    QtPrompts prompts;
    EXPECT_TRUE(prompts.saveFile("als PDF speichern", "PDF-Dateien (*.pdf)|*.pdf", startDir, suggestedName).isEmpty());
    return seen;
}

} // namespace

TEST(QtPrompts, TheSaveDialogProposesTheNameInsideTheStartFolderWithOrWithoutItsSlash)
{
    TestEnvironment env;
    const QString home = QDir::cleanPath(env.root() + "home");
    QDir().mkpath(home);
    for (const QString &start : {home, home + "/"}) {
        const Proposed seen = proposedBySaveDialog(start, "RX009.CNC.pdf");
        EXPECT_EQ(seen.folder, home) << start.toStdString();
        EXPECT_EQ(seen.file, home + "/RX009.CNC.pdf") << start.toStdString();
    }
}

TEST(QtPrompts, AnInputBoxReturnsAtOnceAndItsTextComesWhenConfirmed)
{
    QtPrompts prompts;
    std::vector<std::optional<QString>> answers;
    prompts.askText("Aufnahme speichern unter:", "Speichern...", "CNC.txt",
                    [&](std::optional<QString> text) { answers.push_back(text); });
    QInputDialog *box = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *input = qobject_cast<QInputDialog *>(w); input && input->isVisible())
            box = input;
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->windowTitle(), "Speichern...");
    EXPECT_EQ(box->textValue(), "CNC.txt");
    EXPECT_TRUE(answers.empty());
    box->setTextValue("F.txt");
    box->accept();
    QTest::qWait(10);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], QString("F.txt"));

    // Cancelled: no text, and the handler runs once only.
    prompts.askText("Name?", {}, {}, [&](std::optional<QString> text) { answers.push_back(text); });
    box = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *input = qobject_cast<QInputDialog *>(w); input && input->isVisible())
            box = input;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "ZEP");
    box->reject();
    QTest::qWait(10);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_FALSE(answers[1].has_value());
}
