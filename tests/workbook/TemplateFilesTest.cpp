// Finding the templates in the template folder by "Tannbuch*.xlt".

#include "workbook/package/TemplateFiles.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

namespace {

TEST(TemplateFilesTest, ThreeLetterExtensionAlsoMatchesLongerOnes)
{
    const QString pattern = QStringLiteral("Tannbuch*.xlt");
    for (const char *name : {"Tannbuch.xlt", "Tannbuch.xltx", "Tannbuch.xltm", "Tannbuch_Losweise.xltx",
             "TANNBUCH_GROSS.XLTX", "tannbuch-klein.Xlt"})
        EXPECT_TRUE(TemplateFiles::matches(QString::fromUtf8(name), pattern)) << name;
    for (const char *name : {"Tannbuch.xlsx", "Tannbuch.xls", "Tannbuch.xl", "Tannbuch", "Vorlage.xltx",
             "XTannbuch.xltx", "Tannbuch.xltx.bak"})
        EXPECT_FALSE(TemplateFiles::matches(QString::fromUtf8(name), pattern)) << name;
    EXPECT_TRUE(TemplateFiles::matches(QStringLiteral("Liste1.xltx"), QStringLiteral("Liste?.xlt")));
    EXPECT_FALSE(TemplateFiles::matches(QStringLiteral("Liste12.xltx"), QStringLiteral("Liste?.xlt")));
    // An extension pattern with a wildcard follows the plain rules.
    EXPECT_TRUE(TemplateFiles::matches(QStringLiteral("a.xltx"), QStringLiteral("*.xl*")));
}

TEST(TemplateFilesTest, ListsMatchingFilesInNameOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *name : {"Tannbuch_Zuletzt.xltx", "tannbuch_b.xltm", "Tannbuch.xlt", "Tannbuch_A.xltx",
             "Tannbuch.xlsx", "Andere.xltx", "Tannbuch_Notiz.txt"})
        ASSERT_TRUE(testsupport::writeFile(dir.filePath(QString::fromUtf8(name)), QByteArray()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Tannbuch_Ordner.xlt")));
    EXPECT_EQ(TemplateFiles::list(dir.path()),
        QStringList({QStringLiteral("Tannbuch.xlt"), QStringLiteral("Tannbuch_A.xltx"),
            QStringLiteral("tannbuch_b.xltm"), QStringLiteral("Tannbuch_Zuletzt.xltx")}));
}

TEST(TemplateFilesTest, MissingFolderGivesNothing)
{
    EXPECT_TRUE(TemplateFiles::list(QStringLiteral("/gibt/es/nicht")).isEmpty());
    EXPECT_TRUE(TemplateFiles::list(QString()).isEmpty());
}

} // namespace

} // namespace tannbuch
