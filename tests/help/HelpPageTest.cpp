// The manual is read in a browser from wherever it was installed: every link
// inside it must land on a heading that exists, and every picture must travel
// with it in the help folder.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QString kHelpDir = QStringLiteral(ZEP_HELP_DIR);

QString helpPage()
{
    QFile file(kHelpDir + QStringLiteral("/ZEPHilfe.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList attributeValues(const QString &html, const QString &attribute)
{
    QStringList values;
    const QRegularExpression pattern(QStringLiteral("\\s") + attribute + QStringLiteral("\\s*=\\s*\"([^\"]*)\""));
    for (const QRegularExpressionMatch &match : pattern.globalMatch(html))
        values << match.captured(1);
    return values;
}

bool isExternal(const QString &reference)
{
    return reference.startsWith(QStringLiteral("http:")) || reference.startsWith(QStringLiteral("https:"))
           || reference.startsWith(QStringLiteral("mailto:"));
}

} // namespace

TEST(HelpPage, AnchorsAreUniqueAndEveryInternalLinkFindsOne)
{
    const QString html = helpPage();
    ASSERT_FALSE(html.isEmpty()) << "no help page in " << kHelpDir.toStdString();

    QSet<QString> anchors;
    for (const QString &id : attributeValues(html, QStringLiteral("id"))) {
        EXPECT_FALSE(anchors.contains(id)) << "anchor twice: " << id.toStdString();
        anchors.insert(id);
    }

    int internal = 0;
    for (const QString &href : attributeValues(html, QStringLiteral("href"))) {
        if (isExternal(href))
            continue;
        const qsizetype hash = href.indexOf(QLatin1Char('#'));
        const QString file = hash < 0 ? href : href.left(hash);
        if (!file.isEmpty()) {
            EXPECT_TRUE(QFileInfo::exists(kHelpDir + QLatin1Char('/') + file)) << "link to a missing file: "
                                                                               << href.toStdString();
            continue;
        }
        ++internal;
        EXPECT_TRUE(anchors.contains(href.mid(hash + 1))) << "link to a missing anchor: " << href.toStdString();
    }
    // A manual this long is read through its table of contents.
    EXPECT_GE(internal, 15);
}

TEST(HelpPage, EveryPictureIsInTheHelpFolderAndEveryPictureThereIsShown)
{
    const QString html = helpPage();
    ASSERT_FALSE(html.isEmpty());

    QSet<QString> shown;
    for (const QString &src : attributeValues(html, QStringLiteral("src"))) {
        EXPECT_FALSE(isExternal(src) || src.startsWith(QLatin1Char('/')))
            << "picture outside the help folder: " << src.toStdString();
        EXPECT_TRUE(QFileInfo(kHelpDir + QLatin1Char('/') + src).isFile())
            << "missing picture: " << src.toStdString();
        shown.insert(QDir::cleanPath(src));
    }
    EXPECT_FALSE(shown.isEmpty());

    const QRegularExpression img(QStringLiteral("<img\\b[^>]*>"));
    for (const QRegularExpressionMatch &match : img.globalMatch(html))
        EXPECT_TRUE(match.captured(0).contains(QRegularExpression(QStringLiteral("\\salt=\"[^\"]+\""))))
            << "picture without a description: " << match.captured(0).toStdString();

    // A picture nobody shows only makes the package bigger (and is usually
    // one that a renamed heading left behind).
    const QDir dir(kHelpDir);
    for (const QString &folder : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString &file : QDir(dir.filePath(folder)).entryList(QDir::Files))
            EXPECT_TRUE(shown.contains(folder + QLatin1Char('/') + file))
                << "picture not shown in the help: " << (folder + QLatin1Char('/') + file).toStdString();
    }
}
