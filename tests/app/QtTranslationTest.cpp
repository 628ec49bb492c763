#include "app/QtTranslation.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;

namespace {

QString qtText(const char *context, const char *text)
{
    return QCoreApplication::translate(context, text);
}

} // namespace

TEST(QtTranslation, QtsOwnTextsAreGermanWhileLoadedAndStayEnglishWithoutTheFile)
{
    ASSERT_EQ(qtText("QPlatformTheme", "Cancel"), "Cancel");
    {
        // A system without the translations package: ZEP starts, in English.
        TestEnvironment env;
        QtTranslation missing(env.root());
        EXPECT_FALSE(missing.loaded());
        EXPECT_EQ(qtText("QPlatformTheme", "Cancel"), "Cancel");
    }
    {
        QtTranslation german;
        ASSERT_TRUE(german.loaded()) << QtTranslation::defaultDirectory().toStdString();
        EXPECT_EQ(qtText("QPlatformTheme", "Cancel"), "Abbrechen");
        EXPECT_EQ(qtText("QPlatformTheme", "&Yes"), "&Ja");
        EXPECT_EQ(qtText("QPlatformTheme", "&No"), "&Nein");
        // The file dialog's question before it overwrites a file.
        EXPECT_NE(qtText("QFileDialog", "%1 already exists.\nDo you want to replace it?"),
                  "%1 already exists.\nDo you want to replace it?");
    }
    EXPECT_EQ(qtText("QPlatformTheme", "Cancel"), "Cancel");
}
