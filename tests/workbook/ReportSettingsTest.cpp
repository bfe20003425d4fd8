#include "report/ReportSettings.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace tannbuch {

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
    EXPECT_EQ(s.lAdressformat, QStringLiteral("2"));
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
    EXPECT_TRUE(s.columnList[0].expression.isEmpty());
    EXPECT_EQ(s.columnList[1].caption, QStringLiteral("ZUSATZTEXT 1"));
    EXPECT_EQ(s.columnList[1].expression, QStringLiteral("LOGS.ZUSTEXT1"));
    EXPECT_EQ(s.columnList[2].expression, QStringLiteral("ISNULL(LOGS.RINDE_WERT,0)"));
    EXPECT_EQ(s.columnList[3].expression, QStringLiteral("LOGS_RECH.A3_PREIS"));
    EXPECT_EQ(s.columnList[4].expression, QStringLiteral("TL.EINGANGS_DATUM"));
    EXPECT_EQ(s.columnList[5].expression, QStringLiteral("ENTRINDUNG"));
    EXPECT_EQ(s.columnList[6].expression, QStringLiteral("LOGS.ZUSTEXT1"));
    EXPECT_TRUE(s.columnList[7].expression.isEmpty());

    EXPECT_EQ(ColumnExpression(QStringLiteral("KKLASSE")), QStringLiteral("LOGS.KKLASSE"));
    EXPECT_EQ(ColumnExpression(QStringLiteral("LISTENART")), QStringLiteral("LISTENART"));
    EXPECT_EQ(ColumnExpression(QStringLiteral("R_PREIS")), QStringLiteral("LOGS_RECH.R_PREIS"));
    EXPECT_EQ(ColumnExpression(QStringLiteral("TL.DOES_NOT_EXIST")), QString());
}

TEST(ReportSettings, HeaderLinesReadTheIniFile)
{
    ReportSettings s;
    QStringList asked;
    const IniValueReader ini = [&](const QString &key) {
        asked << key;
        return QStringLiteral("Forstbetrieb ") + key;
    };
    ApplySetting(s, QStringLiteral("INI.HEADERLINE2"), QStringLiteral("C3"), ini);
    ApplySetting(s, QStringLiteral("INI.HEADERPICTURE1"), QStringLiteral("H1"), ini);
    ApplySetting(s, QStringLiteral("INI.HEADERLINE9"), QStringLiteral("C9"), ini);
    EXPECT_EQ(asked, QStringList({QStringLiteral("Headerline2"), QStringLiteral("Headerpicture1")}));
    EXPECT_EQ(s.headerLines[2].text, QStringLiteral("Forstbetrieb Headerline2"));
    EXPECT_EQ(s.headerLines[2].cell, QStringLiteral("C3"));
    EXPECT_EQ(s.headerPicture.cell, QStringLiteral("H1"));
}

} // namespace tannbuch
