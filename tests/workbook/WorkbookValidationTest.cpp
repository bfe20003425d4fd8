// The strict check the workbook tests run over saved files: a sound file
// passes, and each kind of fault planted into it is caught. Also the
// encoding of link targets, checked against the check's own URI grammar.

#include "XlsxTestHelpers.h"

#include "common/WorkbookValidation.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/Relationships.h"
#include "workbook/package/XlsxWriter.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace xlsxtest;

namespace {

std::vector<ZipEntry> savedEntries(const Workbook &wb)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Bericht.xlsx"_s);
    XlsxWriter::save(wb, path);
    return ZipArchive::read(path);
}

// A small report with every kind of part the check looks at: a sheet with a
// link, a break and a picture, shared strings, styles and properties.
std::vector<ZipEntry> soundPackage()
{
    Workbook wb;
    Worksheet &sheet = wb.addSheet(u"Tannbuch"_s);
    setText(sheet, 1, 1, u" Holzliste "_s);
    sheet.hyperlinksForWrite().push_back({{2, 1}, u"https://example.org/?X=1&Y=2"_s, QString(), u"Karte"_s, QString()});
    sheet.rowBreaksForWrite().insert(3);
    sheet.picturesForWrite().push_back({tinyPng(), u"png"_s, 0, 0, {2, 3}, QString()});
    wb.customProperties().insert(u"Liste"_s, u"4711"_s);
    return savedEntries(wb);
}

void edit(std::vector<ZipEntry> &entries, const QString &name, const std::function<void(QByteArray &)> &change)
{
    for (ZipEntry &e : entries) {
        if (e.name == name) {
            change(e.data);
            return;
        }
    }
    entries.push_back({name, QByteArray()});
    change(entries.back().data);
}

QByteArray manyElements(const char *element, int count, const std::function<QByteArray(int)> &one)
{
    QByteArray out = "<" + QByteArray(element) + ">";
    for (int i = 0; i < count; ++i)
        out += one(i);
    return out + "</" + QByteArray(element) + ">";
}

TEST(WorkbookValidationTest, ASoundFilePassesAndEachPlantedFaultIsCaught)
{
    const std::vector<ZipEntry> sound = soundPackage();
    const QStringList clean = workbookvalidation::problems(sound);
    EXPECT_TRUE(clean.isEmpty()) << clean.join(QLatin1Char('\n')).toStdString();

    const QString sheet = u"xl/worksheets/sheet1.xml"_s;
    const QString sheetRels = u"xl/worksheets/_rels/sheet1.xml.rels"_s;
    const auto replace = [](const char *from, QByteArray to) {
        return [from, to](QByteArray &xml) {
            ASSERT_TRUE(xml.contains(from)) << from;
            xml.replace(from, to);
        };
    };
    struct Fault
    {
        const char *what;
        QString part;
        std::function<void(QByteArray &)> change;
        const char *expected; // a piece of the message
    };
    const Fault faults[] = {
        {"unknown element in a sheet", sheet, replace("<sheetData>", "<sheetData><bogus/>"), "sheet1.xml"},
        {"elements out of order", sheet,
            replace("</sheetData>", "</sheetData><cols><col min=\"1\" max=\"1\" width=\"3\"/></cols>"), "sheet1.xml"},
        {"bad attribute value in the styles", u"xl/styles.xml"_s, replace("<fonts", "<fonts bogus=\"1\""),
            "styles.xml"},
        {"drawing that is no drawing", u"xl/drawings/drawing1.xml"_s, replace("<xdr:from>", "<xdr:bogus/><xdr:from>"),
            "drawing1.xml"},
        {"content types", u"[Content_Types].xml"_s, replace("<Default ", "<Fallback/><Default "), "Content_Types"},
        {"custom properties", u"docProps/custom.xml"_s, replace("<vt:lpwstr>", "<vt:i4>x</vt:i4><vt:lpwstr>"),
            "custom.xml"},
        {"blank in a link target", sheetRels, replace("https://example.org/?X=1", "https://example.org/?X= 1"), "URI"},
        {"umlaut in a link target", sheetRels, replace("?X=1", "?X=M\xc3\xbcller"), "URI"},
        {"second # in a link target", sheetRels, replace("?X=1", "#a#b"), "URI"},
        {"stray % in a link target", sheetRels, replace("?X=1", "?X=100%"), "URI"},
        {"too many hyperlinks", sheet,
            [](QByteArray &xml) {
                const qsizetype from = xml.indexOf("<hyperlinks>");
                const qsizetype to = xml.indexOf("</hyperlinks>") + qsizetype(std::strlen("</hyperlinks>"));
                ASSERT_GT(from, 0);
                xml.replace(from, to - from, manyElements("hyperlinks", SheetLimits::MaxHyperlinks + 1, [](int i) {
                    return "<hyperlink ref=\"A" + QByteArray::number(i + 1) + "\" location=\"'Tannbuch'!A1\"/>";
                }));
            },
            "Hyperlinks"},
        {"too many row breaks", sheet,
            [](QByteArray &xml) {
                const qsizetype from = xml.indexOf("<rowBreaks");
                const qsizetype to = xml.indexOf("</rowBreaks>") + qsizetype(std::strlen("</rowBreaks>"));
                ASSERT_GT(from, 0);
                xml.replace(from, to - from, manyElements("rowBreaks", SheetLimits::MaxRowBreaks + 1, [](int i) {
                    return "<brk id=\"" + QByteArray::number(i + 1) + "\" max=\"16383\" man=\"1\"/>";
                }));
            },
            "Zeilenumbr"},
    };
    for (const Fault &fault : faults) {
        SCOPED_TRACE(fault.what);
        std::vector<ZipEntry> entries = sound;
        edit(entries, fault.part, fault.change);
        const QStringList found = workbookvalidation::problems(entries);
        ASSERT_FALSE(found.isEmpty());
        EXPECT_TRUE(found.join(QLatin1Char('\n')).contains(QLatin1String(fault.expected)))
            << found.join(QLatin1Char('\n')).toStdString();
    }

    // What spreadsheet programs write and readers accept passes: xml:space
    // on a text (the sound file has one), content in an ignorable namespace
    // and alternate content.
    std::vector<ZipEntry> tolerated = sound;
    edit(tolerated, u"xl/sharedStrings.xml"_s,
        [](QByteArray &xml) { EXPECT_TRUE(xml.contains("xml:space=\"preserve\"")); });
    edit(tolerated, sheet,
        replace("<sheetData>",
            "<mc:AlternateContent xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
            "<mc:Choice Requires=\"x14\"><x14:bogus xmlns:x14=\"urn:x14\"/></mc:Choice><mc:Fallback/>"
            "</mc:AlternateContent><sheetData>"));
    EXPECT_TRUE(workbookvalidation::problems(tolerated).isEmpty())
        << workbookvalidation::problems(tolerated).join(QLatin1Char('\n')).toStdString();

    // Without the schemas the check fails rather than passing unchecked.
    EXPECT_FALSE(workbookvalidation::problems(sound, u"/nonexistent/ooxml-xsd"_s).isEmpty());
}

// Link targets as the file holds them: what the URI syntax does not allow is
// percent-encoded as UTF-8, a valid target stays byte for byte.
TEST(WorkbookValidationTest, LinkTargetsAreWrittenAsValidUris)
{
    const struct
    {
        QString address;
        QByteArray written;
    } cases[] = {
        // Nothing to encode: the map link of the report as it is.
        {u"https://geoportal.bayern.de/bayernatlas/?X=4468123.5&Y=5423456&zoom=10&lang=de&topic=ba"
         u"&bgLayer=atkis&catalogNodes=122&crosshair=marker"_s,
            "https://geoportal.bayern.de/bayernatlas/?X=4468123.5&Y=5423456&zoom=10&lang=de&topic=ba"
            "&bgLayer=atkis&catalogNodes=122&crosshair=marker"},
        {u"https://a.example/?X=4468123  &Y=  5423456"_s, "https://a.example/?X=4468123%20%20&Y=%20%205423456"},
        {u"https://a.example/?X=1#Abt#2"_s, "https://a.example/?X=1#Abt%232"},
        {u"https://a.example/?X=100%&Y=%20"_s, "https://a.example/?X=100%25&Y=%20"},
        {u"https://a.example/?X=\"Nord\"<1>"_s, "https://a.example/?X=%22Nord%22%3C1%3E"},
        {u"https://a.example/?Ort=Mühlhölzl"_s, "https://a.example/?Ort=M%C3%BChlh%C3%B6lzl"},
        {u"http://[::1]:80/a[1]{x}|\\^`"_s, "http://[::1]:80/a%5B1%5D%7Bx%7D%7C%5C%5E%60"},
        {u"47 11:30"_s, "47%2011%3A30"}, // no scheme: a colon in the first segment is data
        {u"mailto:forst@example.org?subject=Los 1"_s, "mailto:forst@example.org?subject=Los%201"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        const QByteArray written = Relationships::encodedUri(c.address);
        EXPECT_EQ(written, c.written);
        EXPECT_TRUE(workbookvalidation::isUriReference(QString::fromUtf8(written)));
        EXPECT_EQ(Relationships::encodedUri(QString::fromUtf8(written)), written); // encoding twice changes nothing
        EXPECT_EQ(workbookvalidation::isUriReference(c.address), written == c.address.toUtf8());
    }
}

} // namespace

} // namespace tannbuch
