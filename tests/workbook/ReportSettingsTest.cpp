#include "report/ReportSettings.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

QString noIni(const QString &)
{
    return QString();
}

void apply(ReportSettings &s, const char *key, const char *value)
{
    // Rows arrive trimmed and in upper case from the settings sheet.
    ApplySetting(s, QString::fromUtf8(key).trimmed().toUpper(), QString::fromUtf8(value).trimmed().toUpper(), noIni);
}

} // namespace

TEST(ReportSettings, ConvertsNumbersAndSwitches)
{
    ReportSettings s;
    apply(s, "StartZeile", "12abc");
    EXPECT_EQ(s.StartZeile, 12);
    apply(s, "KopfKopieEnd", "abc");
    EXPECT_EQ(s.KopfKopieEnd, 0);
    apply(s, "SpaltenBreite", "10.5");
    EXPECT_EQ(s.SpaltenBreite, 10) << "halves round to even";
    apply(s, "LetztenTage", "11.5");
    EXPECT_EQ(s.LetztenTage, 12);
    apply(s, "nZoom", "-3");
    EXPECT_EQ(s.nZoom, -3);
    apply(s, "nZoom", "70000");
    EXPECT_EQ(s.nZoom, -3) << "a value beyond 16 bits keeps the old one";
    apply(s, "einzsort", "4");
    EXPECT_EQ(s.EinzSort, 4);

    for (const char *off : {"X", "true", "01", "", "2"}) {
        apply(s, "lKopfFuss", "1");
        apply(s, "lKopfFuss", off);
        EXPECT_FALSE(s.lKopfFuss) << off;
    }
    apply(s, "lHöhen", "1");
    EXPECT_TRUE(s.lHoehen);
    apply(s, "lReltable(10)", "1");
    EXPECT_TRUE(s.lReltable[10]);
    apply(s, "lAdresse(0)", "1");
    EXPECT_TRUE(s.lAdresse[0]);
    apply(s, "lAdressformat", "2");
    EXPECT_EQ(s.lAdressformat, u"2"_s);
    // The later row wins.
    apply(s, "StartZeile", "8");
    EXPECT_EQ(s.StartZeile, 8);
}

TEST(ReportSettings, CollectsTheColumnListInSheetOrder)
{
    ReportSettings s;
    s.resetForNewWorkbook();
    EXPECT_EQ(s.columnListUpperBound(), 1);

    apply(s, "Zustext1", "Zusatztext 1");
    apply(s, "RINDE_WERT", "Rinde");
    apply(s, "a3_preis", "Preis 3");
    apply(s, "TL.EINGANGS_DATUM", "Eingang");
    apply(s, "ENTRINDUNG", "Entr.");
    apply(s, "Zustext1", "Nochmal");
    apply(s, "", "");
    apply(s, "UNBEKANNT", "x");

    ASSERT_EQ(s.columnListUpperBound(), 7);
    EXPECT_EQ(s.columnList[1].caption, u"ZUSATZTEXT 1"_s);
    const QStringList expressions = {QString(), u"LOGS.ZUSTEXT1"_s, u"ISNULL(LOGS.RINDE_WERT,0)"_s,
        u"LOGS_RECH.A3_PREIS"_s, u"TL.EINGANGS_DATUM"_s, u"ENTRINDUNG"_s, u"LOGS.ZUSTEXT1"_s, QString()};
    for (int i = 0; i < expressions.size(); ++i)
        EXPECT_EQ(s.columnList[size_t(i)].expression, expressions[i]) << "entry " << i;
    EXPECT_EQ(ColumnExpression(u"TL.DOES_NOT_EXIST"_s), QString());
}

TEST(ReportSettings, HeaderLinesReadTheIniFile)
{
    ReportSettings s;
    QStringList asked;
    const IniValueReader ini = [&](const QString &key) {
        asked << key;
        return u"Forstbetrieb "_s + key;
    };
    ApplySetting(s, u"INI.HEADERLINE2"_s, u"C3"_s, ini);
    ApplySetting(s, u"INI.HEADERPICTURE1"_s, u"H1"_s, ini);
    ApplySetting(s, u"INI.HEADERLINE9"_s, u"C9"_s, ini);
    EXPECT_EQ(asked, QStringList({u"Headerline2"_s, u"Headerpicture1"_s}));
    EXPECT_EQ(s.headerLines[2].text, u"Forstbetrieb Headerline2"_s);
    EXPECT_EQ(s.headerLines[2].cell, u"C3"_s);
    EXPECT_EQ(s.headerPicture.cell, u"H1"_s);
}

} // namespace tannbuch
