// Finding the templates in the template folder by "Tannbuch*.xlt".

#include "workbook/package/TemplateFiles.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

TEST(TemplateFilesTest, ThreeLetterExtensionAlsoMatchesLongerOnes)
{
    const QString pattern = u"Tannbuch*.xlt"_s;
    for (const char *name : {"Tannbuch.xlt", "Tannbuch.xltx", "Tannbuch.xltm", "Tannbuch_Losweise.xltx",
             "TANNBUCH_GROSS.XLTX", "tannbuch-klein.Xlt"})
        EXPECT_TRUE(TemplateFiles::matches(QString::fromUtf8(name), pattern)) << name;
    for (const char *name : {"Tannbuch.xlsx", "Tannbuch.xls", "Tannbuch.xl", "Tannbuch", "Vorlage.xltx",
             "XTannbuch.xltx", "Tannbuch.xltx.bak"})
        EXPECT_FALSE(TemplateFiles::matches(QString::fromUtf8(name), pattern)) << name;
    EXPECT_TRUE(TemplateFiles::matches(u"Liste1.xltx"_s, u"Liste?.xlt"_s));
    EXPECT_FALSE(TemplateFiles::matches(u"Liste12.xltx"_s, u"Liste?.xlt"_s));
    // An extension pattern with a wildcard follows the plain rules.
    EXPECT_TRUE(TemplateFiles::matches(u"a.xltx"_s, u"*.xl*"_s));
}

TEST(TemplateFilesTest, ListsMatchingFilesInNameOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *name : {"Tannbuch_Zuletzt.xltx", "tannbuch_b.xltm", "Tannbuch.xlt", "Tannbuch_A.xltx",
             "Tannbuch.xlsx", "Andere.xltx", "Tannbuch_Notiz.txt"})
        ASSERT_TRUE(testsupport::writeFile(dir.filePath(QString::fromUtf8(name)), QByteArray()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"Tannbuch_Ordner.xlt"_s));
    EXPECT_EQ(TemplateFiles::list(dir.path()),
        QStringList({u"Tannbuch.xlt"_s, u"Tannbuch_A.xltx"_s, u"tannbuch_b.xltm"_s, u"Tannbuch_Zuletzt.xltx"_s}));
    // A missing folder gives nothing.
    EXPECT_TRUE(TemplateFiles::list(u"/gibt/es/nicht"_s).isEmpty());
    EXPECT_TRUE(TemplateFiles::list(QString()).isEmpty());
}

} // namespace

} // namespace tannbuch
