// A workbook built through the model, saved, and read back by this reader and
// by an independent one (openpyxl): values, formats, sheet features, and the
// texts that must never corrupt the file.

#include "XlsxTestHelpers.h"

#include "common/WorkbookCompare.h"
#include "common/WorkbookValidation.h"

#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/formula/FormulaEvaluator.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <limits>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace xlsxtest;

namespace {

// A text with embedded NUL characters, taken whole.
template <size_t N> QString fromLiteral(const char16_t (&text)[N])
{
    return QString::fromUtf16(text, qsizetype(N - 1));
}

// A report-like workbook: head, a boxed table with formats and a formula,
// a merge, links, breaks, widths and heights.
std::unique_ptr<Workbook> sampleWorkbook()
{
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
    wb->addSheet(u"Einstellungen"_s);
    CellStyle title;
    title.bold = true;
    title.fontSize = 14;
    CellStyle volume;
    volume.numberFormat = u"0.000"_s;
    volume.horizontalAlignment = HAlign::Right;
    CellStyle boxed;
    for (int e = EdgeLeft; e <= EdgeBottom; ++e)
        boxed.borders[size_t(e)] = BorderLine{Xl::Continuous, Xl::Thin, Xl::ColorIndexAutomatic};
    boxed.borders[EdgeBottom] = BorderLine{Xl::Continuous, Xl::Medium, 3};
    CellStyle text;
    text.numberFormat = u"@"_s;
    CellStyle quoted;
    quoted.quotePrefix = true;

    setText(sheet, 1, 1, u"Holzliste 4711 – Fichte/Tanne"_s, wb->styles().intern(title));
    setNumber(sheet, 3, 2, 12.3456, wb->styles().intern(volume));
    setNumber(sheet, 3, 3, 0.1 + 0.2);
    setNumber(sheet, 3, 4, -1e-7);
    setText(sheet, 4, 1, u"001"_s, wb->styles().intern(text));
    setText(sheet, 4, 2, u"0,95"_s, wb->styles().intern(quoted));
    Cell &b = sheet.cellForWrite(4, 3);
    b.type = CellType::Boolean;
    b.number = 1;
    Cell &f = sheet.cellForWrite(5, 2);
    f.type = CellType::Formula;
    f.formula = u"=B3/ C3"_s;
    f.cachedType = CellType::Number;
    f.number = 12.3456 / 0.30000000000000004;
    setText(sheet, 6, 1, QString(), wb->styles().intern(boxed));
    sheet.cellForWrite(6, 2).styleId = wb->styles().intern(boxed); // a styled empty cell
    sheet.mergesForWrite().push_back({7, 1, 7, 4});
    setText(sheet, 8, 1, u"Karte"_s);
    sheet.hyperlinksForWrite().push_back(
        {{8, 1}, u"https://karte.example/?lat=48.1&lon=11.5"_s, QString(), u"Karte"_s, u"Polter zeigen"_s});
    sheet.hyperlinksForWrite().push_back({{9, 1}, QString(), u"Einstellungen!A1"_s, QString(), QString()});
    sheet.rowBreaksForWrite() = {20, 40};
    sheet.columnsForWrite()[1] = ColumnData{22.5, true, false, 0};
    sheet.columnsForWrite()[2] = ColumnData{11, true, false, 0};
    sheet.columnsForWrite()[3] = ColumnData{11, true, false, 0};
    sheet.rowForWrite(1).height = 21.75;
    sheet.rowForWrite(1).customHeight = true;
    return wb;
}

class XlsxRoundTripTest : public ::testing::Test
{
protected:
    QString saved(const Workbook &wb)
    {
        const QString path = dir.filePath(u"Bericht.xlsx"_s);
        XlsxWriter::save(wb, path);
        workbookvalidation::expectValid(path);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(XlsxRoundTripTest, OwnReaderGetsBackWhatWasWritten)
{
    const auto wb = sampleWorkbook();
    const auto back = XlsxReader::load(saved(*wb));
    // Values (0.1 + 0.2 in its shortest form too), formulas with their
    // results, number formats, fonts, alignments, heights, merges, breaks.
    EXPECT_EQ(testsupport::workbookDifferences(*wb, *back), QStringList());
    const Worksheet &s = back->sheet(0);
    EXPECT_TRUE(back->resolve(s.cell(4, 2)->styleId).quotePrefix);
    const ResolvedStyle boxed = back->resolve(s.cell(6, 2)->styleId);
    EXPECT_EQ(boxed.borders[EdgeTop].lineStyle, Xl::Continuous);
    EXPECT_EQ(boxed.borders[EdgeBottom].weight, Xl::Medium);
    EXPECT_EQ(boxed.borders[EdgeBottom].colorIndex, 3);
    EXPECT_EQ(s.merges(), std::vector<RangeRef>({{7, 1, 7, 4}}));
    ASSERT_EQ(s.hyperlinks().size(), 2u);
    EXPECT_EQ(s.hyperlinks()[0].address, u"https://karte.example/?lat=48.1&lon=11.5"_s);
    EXPECT_EQ(s.hyperlinks()[0].tooltip, u"Polter zeigen"_s);
    EXPECT_EQ(s.hyperlinks()[1].location, u"Einstellungen!A1"_s);
    EXPECT_DOUBLE_EQ(s.columns().at(1).width, 22.5);
    EXPECT_TRUE(s.row(1)->customHeight);
}

// Database texts may hold anything: control characters, a literal escape
// form, a leading "=", markup characters, characters beyond the basic plane.
TEST_F(XlsxRoundTripTest, HostileTextsStayTextAndKeepTheFileValid)
{
    const QList<QString> texts
        = {u"Zeile1\nZeile2\tTab\rCR"_s, fromLiteral(u"Steuer\u0001\u0008\u001Fzeichen\u0000Ende"), u"=SUMME(A1:A3)"_s,
            u"=1+1"_s, u"_x0041_ bleibt _x0041_"_s, u"<b>&amp; \"quoted\" 'single'</b>"_s,
            u"  führende und folgende Leerzeichen  "_s, fromLiteral(u"Baum \U0001F332 und \uFFFE")};
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
    for (int i = 0; i < texts.size(); ++i)
        setText(sheet, i + 1, 1, texts[i]);
    const QString path = saved(*wb);

    const auto back = XlsxReader::load(path);
    for (int i = 0; i < texts.size(); ++i) {
        const Cell *c = back->sheet(0).cell(i + 1, 1);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->type, CellType::Text) << i;
        EXPECT_EQ(c->text, texts[i]) << i;
    }
    if (!haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl fehlt";
    const QJsonObject r = verify(path, {u"Tannbuch:A3,A6,A7"_s});
    for (int i : {2, 5, 6}) {
        const QJsonObject c = cellOf(r, u"Tannbuch"_s, u"A%1"_s.arg(i + 1));
        EXPECT_EQ(c.value(u"type"_s).toString(), u"s"_s) << i;
        EXPECT_EQ(c.value(u"value"_s).toString(), texts[i]) << i;
    }
}

// An infinite or undefined number has no written form; the cell becomes the
// error value instead of text that would break the file.
TEST_F(XlsxRoundTripTest, NonFiniteNumbersDoNotCorruptTheFile)
{
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
    setNumber(sheet, 1, 1, std::numeric_limits<double>::quiet_NaN());
    setNumber(sheet, 1, 2, std::numeric_limits<double>::infinity());
    setNumber(sheet, 1, 3, 5);
    const QString path = saved(*wb);
    const QByteArray xml = part(path, u"xl/worksheets/sheet1.xml"_s);
    EXPECT_FALSE(xml.contains("nan"));
    EXPECT_FALSE(xml.contains("inf"));
    EXPECT_TRUE(xml.contains("<c r=\"A1\" t=\"e\"><v>#NUM!</v></c>"));
    EXPECT_EQ(XlsxReader::load(path)->sheet(0).cell(1, 3)->number, 5.0);
}

// A formula that fails keeps an error value as its result, and an error
// value stays one through saving and loading; a text that reads like an
// error stays text.
TEST_F(XlsxRoundTripTest, ErrorValuesAreSavedAndReadAsErrors)
{
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
    setNumber(sheet, 1, 1, 12.5);
    Cell &quotient = sheet.cellForWrite(1, 2);
    quotient.type = CellType::Formula;
    quotient.formula = u"=A1/A2"_s;
    Cell &error = sheet.cellForWrite(1, 3);
    error.type = CellType::Error;
    error.text = u"#N/A"_s;
    setText(sheet, 1, 4, u"#DIV/0!"_s);
    FormulaEvaluator::recalculate(sheet);
    ASSERT_EQ(sheet.cell(1, 2)->cachedType, CellType::Error);
    EXPECT_EQ(sheet.cell(1, 2)->text, u"#DIV/0!"_s);

    const QString path = saved(*wb);
    const QByteArray xml = part(path, u"xl/worksheets/sheet1.xml"_s);
    EXPECT_TRUE(xml.contains("<c r=\"B1\" t=\"e\"><f>A1/A2</f><v>#DIV/0!</v></c>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<c r=\"C1\" t=\"e\"><v>#N/A</v></c>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<c r=\"D1\" t=\"s\">")) << xml.constData();

    const auto back = XlsxReader::load(path);
    const Worksheet &read = back->sheet(0);
    EXPECT_EQ(read.cell(1, 2)->type, CellType::Formula);
    EXPECT_EQ(read.cell(1, 2)->cachedType, CellType::Error);
    EXPECT_EQ(read.cell(1, 2)->text, u"#DIV/0!"_s);
    EXPECT_EQ(read.cell(1, 3)->type, CellType::Error);
    EXPECT_EQ(read.cell(1, 3)->text, u"#N/A"_s);
    EXPECT_EQ(read.cell(1, 4)->type, CellType::Text);

    if (!haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl fehlt";
    const QJsonObject r = verify(path, {u"Tannbuch:B1,C1,D1"_s});
    const auto cell = [&](const char *a, const char *key) {
        return cellOf(r, u"Tannbuch"_s, QString::fromLatin1(a)).value(QLatin1StringView(key));
    };
    EXPECT_EQ(cell("B1", "cached").toString(), u"#DIV/0!"_s);
    EXPECT_EQ(cell("C1", "type").toString(), u"e"_s);
    EXPECT_EQ(cell("C1", "value").toString(), u"#N/A"_s);
    EXPECT_EQ(cell("D1", "type").toString(), u"s"_s);
}

// The same logo on every lot, on several sheets: one image part, one
// relationship to it from each drawing.
TEST_F(XlsxRoundTripTest, APictureInsertedManyTimesIsStoredOnce)
{
    auto wb = std::make_unique<Workbook>();
    const QByteArray other
        = QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7"); // a one-pixel GIF
    for (const QString &name : {u"Los 1"_s, u"Los 2"_s}) {
        Worksheet &sheet = wb->addSheet(name);
        for (int lot = 0; lot < 3; ++lot) {
            QByteArray logo = tinyPng();
            logo.detach(); // each insert reads the file anew
            sheet.picturesForWrite().push_back({logo, u"png"_s, 0, 0, {lot * 10 + 1, 1}, QString()});
        }
        sheet.picturesForWrite().push_back({other, u"gif"_s, 0, 0, {40, 1}, QString()});
    }
    const QString path = saved(*wb);
    const QStringList media = partNames(path).filter(u"xl/media/"_s);
    EXPECT_EQ(media.size(), 2) << media.join(QLatin1Char(' ')).toStdString();
    for (const char *rels : {"xl/drawings/_rels/drawing1.xml.rels", "xl/drawings/_rels/drawing2.xml.rels"}) {
        const QByteArray xml = part(path, QString::fromLatin1(rels));
        EXPECT_EQ(xml.count("/image\""), 2) << xml.constData();
        EXPECT_EQ(xml.count("media/image1.png"), 1) << xml.constData();
    }
    EXPECT_EQ(part(path, u"xl/drawings/drawing2.xml"_s).count("<xdr:pic>"), 4);
}

// Map links whose coordinates hold blanks, umlauts, quotes, "%" or a second
// "#": the file holds a valid URI; the cell keeps the text it shows.
TEST_F(XlsxRoundTripTest, LinkAddressesAreWrittenAsValidUris)
{
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
    const QString address = u"https://a.example/atlas/?X= 4468123 &Y=\"Mühle\" 5%#Abt#2"_s;
    sheet.hyperlinksForWrite().push_back({{1, 1}, address, QString(), u"Link zu ..."_s, QString()});
    const QString path = saved(*wb);
    EXPECT_TRUE(
        part(path, u"xl/worksheets/_rels/sheet1.xml.rels"_s)
            .contains("Target=\"https://a.example/atlas/?X=%204468123%20&amp;Y=%22M%C3%BChle%22%205%25#Abt%232\""));
    const auto back = XlsxReader::load(path);
    ASSERT_EQ(back->sheet(0).hyperlinks().size(), 1u);
    EXPECT_EQ(QUrl::fromPercentEncoding(back->sheet(0).hyperlinks()[0].address.toUtf8()), address);
}

// Hyperlinks and manual row breaks beyond what a sheet holds are dropped, the
// first ones by their rows kept, with one warning naming the limit and the
// first row dropped; every row is still written.
TEST(XlsxLimitsTest, LinksAndBreaksBeyondTheLimitAreDroppedWithOneWarning)
{
    for (bool links : {true, false}) {
        SCOPED_TRACE(links ? "hyperlinks" : "row breaks");
        auto wb = std::make_unique<Workbook>();
        Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
        const int limit = links ? SheetLimits::MaxHyperlinks : SheetLimits::MaxRowBreaks;
        const int rows = limit + 20;
        for (int row = rows; row >= 1; --row) { // added from the last: the order of rows decides
            setText(sheet, row, 1, u"Los %1"_s.arg(row));
            if (links)
                sheet.hyperlinksForWrite().push_back(
                    {{row, 1}, u"https://a.example/?r=%1"_s.arg(row), QString(), QString(), QString()});
            else if (row > 1)
                sheet.rowBreaksForWrite().insert(row);
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Grenzen.xlsx"_s);
        XlsxWriter::save(*wb, path);
        workbookvalidation::expectValid(path);
        const QByteArray xml = part(path, u"xl/worksheets/sheet1.xml"_s);
        EXPECT_EQ(xml.count(links ? "<hyperlink " : "<brk "), limit);
        const QString dropped = links ? u"<hyperlink ref=\"A%1\""_s.arg(limit + 1) : u"<brk id=\"%1\""_s.arg(limit + 1);
        EXPECT_FALSE(xml.contains(dropped.toLatin1())) << dropped.toStdString();
        EXPECT_TRUE(xml.contains(u"<row r=\"%1\">"_s.arg(rows).toLatin1()));
        const int firstDropped = links ? limit + 1 : limit + 2;
        ASSERT_EQ(wb->warnings().size(), 1);
        EXPECT_TRUE(wb->warnings().front().contains(QString::number(limit))) << wb->warnings().front().toStdString();
        EXPECT_TRUE(wb->warnings().front().contains(u"Zeile %1"_s.arg(firstDropped)))
            << wb->warnings().front().toStdString();
        XlsxWriter::save(*wb, path); // saving again does not repeat the warning
        EXPECT_EQ(wb->warnings().size(), 1);
    }
}

TEST(XlsxLimitsTest, OverlongTextIsCutToWhatACellHolds)
{
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
    setText(sheet, 1, 1, QString(SheetLimits::MaxTextLength + 100, QLatin1Char('x')));
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lang.xlsx"_s);
    XlsxWriter::save(*wb, path);
    EXPECT_EQ(XlsxReader::load(path)->sheet(0).cell(1, 1)->text.size(), SheetLimits::MaxTextLength);
}

} // namespace

} // namespace tannbuch
