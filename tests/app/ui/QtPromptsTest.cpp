#include "support/TestEnvironment.h"

#include "app/ui/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

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
