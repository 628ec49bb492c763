#include "app/QtTranslation.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    // The windows as the user sees them: Qt's own texts in German.
    const zep::QtTranslation qtGerman;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
