// The template checker over templates with one planted mistake each: every
// mistake is found at its sheet, row and cell, and nothing else is.

#include "report/TemplateCheck.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxWriter.h"
#include "workbook/package/ZipArchive.h"

#include <QFile>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

struct SheetRow
{
    int row;
    QString key;
    QVariant value;
};

struct Planted
{
    const char *what;
    std::vector<SheetRow> rows; // settings rows besides StartZeile in row 2
    QString sheet; // where the finding is
    int row;
    QString cell;
    QString word; // a word of its text
    QVariant startZeile = 8;
    QString ini = {}; // ini lines read before the common ones ("%DIR%": the test's folder)
    QString sheets = u"TE"_s; // T report sheet, E settings sheet, in file order
    const char *part = nullptr; // a text replaced in one part of the saved file
    QByteArray from = {};
    QByteArray to = {};
    int findings = 1;
};

void put(Worksheet &sheet, int row, int column, const QVariant &value)
{
    Cell &cell = sheet.cellForWrite(row, column);
    if (value.typeId() == QMetaType::Int) {
        cell.type = CellType::Number;
        cell.number = value.toDouble();
    } else {
        cell.type = CellType::Text;
        cell.text = value.toString();
    }
}

QString writeTemplate(const QTemporaryDir &dir, const Planted &p)
{
    Workbook wb;
    for (const QChar sheet : p.sheets) {
        if (sheet == u'T') {
            put(wb.addSheet(u"Tannbuch"_s), 1, 1, u"Holzliste"_s);
        } else {
            Worksheet &settings = wb.addSheet(u"Einstellungen"_s);
            put(settings, 2, 1, u"StartZeile"_s);
            put(settings, 2, 2, p.startZeile);
            for (const SheetRow &r : p.rows) {
                put(settings, r.row, 1, r.key);
                put(settings, r.row, 2, r.value);
            }
        }
    }
    const QString path = dir.filePath(QString::fromUtf8(p.what) + u".xltx"_s);
    XlsxWriter::Options options;
    options.kind = XlsxWriter::FileKind::Template;
    XlsxWriter::save(wb, path, options);
    if (!p.part)
        return path;
    std::vector<ZipEntry> entries = ZipArchive::read(path);
    for (ZipEntry &e : entries) {
        if (e.name == QLatin1StringView(p.part)) {
            EXPECT_TRUE(e.data.contains(p.from)) << p.what;
            e.data.replace(p.from, p.to);
        }
    }
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ZipArchive::write(entries));
    return path;
}

const QByteArray NoNames = "</sheets>";
QByteArray printName(const char *name, const char *reference)
{
    return "</sheets><definedNames><definedName name=\"_xlnm." + QByteArray(name) + "\" localSheetId=\"0\">" + reference
        + "</definedName></definedNames>";
}

} // namespace

TEST(TemplateCheck, FindsEachPlantedMistakeAtItsCell)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile logo(dir.filePath(u"logo.png"_s));
    ASSERT_TRUE(logo.open(QIODevice::WriteOnly));
    logo.write(QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAA"
                                      "AABJRU5ErkJggg=="));
    logo.close();
    QFile big(dir.filePath(u"gross.png"_s));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(21) * 1024 * 1024));
    big.close();

    const Planted cases[] = {
        {"unknown", {{3, u"lEinzelm"_s, 1}}, u"Einstellungen"_s, 3, u"A3"_s, u"„lEinzeln“"_s},
        {"switch", {{3, u"lKopfFuss"_s, u"true"_s}}, u"Einstellungen"_s, 3, u"B3"_s, u"nur mit 1"_s},
        {"trailing", {{3, u"LetztenTage"_s, u"12abc"_s}}, u"Einstellungen"_s, 3, u"B3"_s, u"als 12"_s},
        {"range", {{3, u"nZoom"_s, 70000}}, u"Einstellungen"_s, 3, u"B3"_s, u"-32768 bis 32767"_s},
        {"sort", {{3, u"EinzSort"_s, 7}}, u"Einstellungen"_s, 3, u"B3"_s, u"1 bis 6"_s},
        {"twice", {{3, u"lStatistik"_s, 1}, {4, u"LSTATISTIK"_s, 0}}, u"Einstellungen"_s, 4, u"A4"_s, u"Zeile 3"_s},
        {"below", {{103, u"lGesamt"_s, 1}}, u"Einstellungen"_s, 103, u"A103"_s, u"2 bis 101"_s},
        {"column", {{3, u"TL.FOO"_s, u"Feld"_s}}, u"Einstellungen"_s, 3, u"A3"_s, u"Spalte „TL.FOO“"_s},
        {"column2", {{3, u"LOGS.KKLASSE"_s, u"Kl."_s}}, u"Einstellungen"_s, 3, u"A3"_s, u"„KKLASSE“"_s},
        {"iniline", {{3, u"ini.headerline2"_s, u"C3"_s}}, u"Einstellungen"_s, 3, u"B3"_s, u"Headerline2"_s},
        {"target", {{3, u"ini.headerline1"_s, u"oben links"_s}}, u"Einstellungen"_s, 3, u"B3"_s,
            u"keine Zelladresse"_s},
        {"nopicture", {{3, u"ini.headerpicture1"_s, u"H1"_s}}, u"Einstellungen"_s, 3, u"B3"_s, u"fehlt.png"_s, 8,
            u"Headerpicture1=%DIR%/fehlt.png\n"_s},
        {"bigpicture", {{3, u"ini.headerpicture1"_s, u"H1"_s}}, u"Einstellungen"_s, 3, u"B3"_s, u"größer als"_s, 8,
            u"Headerpicture1=%DIR%/gross.png\n"_s},
        {"reversed", {{3, u"KopfKopieStart"_s, 5}, {4, u"KopfKopieEnd"_s, 3}}, u"Einstellungen"_s, 3, u"B3"_s,
            u"vertauscht"_s},
        {"outside", {{3, u"KopfKopieEnd"_s, 2000000}}, u"Einstellungen"_s, 3, u"B3"_s, u"außerhalb des Blatts"_s},
        // Also the head copy's default, rows 1 to StartZeile - 1, is then empty.
        {"startrow", {}, u"Einstellungen"_s, 2, u"B2"_s, u"Tannbuch!A1"_s, 1, QString(), u"TE"_s, nullptr, {}, {}, 2},
        {"order", {}, u"Tannbuch"_s, 0, QString(), u"nicht das erste"_s, 8, QString(), u"ET"_s},
        {"nosettings", {}, QString(), 0, QString(), u"„Einstellungen“"_s, 8, QString(), u"T"_s, nullptr, {}, {}, 2},
        {"noreport", {}, QString(), 0, QString(), u"„Tannbuch“"_s, 8, QString(), u"E"_s},
        {"area", {}, u"Tannbuch"_s, 0, QString(), u"Druckbereich"_s, 8, QString(), u"TE"_s, "xl/workbook.xml", NoNames,
            printName("Print_Area", "'Einstellungen'!$A$1:$B$3")},
        {"titles", {}, u"Tannbuch"_s, 0, QString(), u"Drucktitel"_s, 8, QString(), u"TE"_s, "xl/workbook.xml", NoNames,
            printName("Print_Titles", "Tannbuch!#REF!")},
        {"font", {}, QString(), 0, QString(), u"„Gibtsnicht Grotesk“"_s, 8, QString(), u"TE"_s, "xl/styles.xml",
            "Calibri", "Gibtsnicht Grotesk"},
    };
    for (const Planted &p : cases) {
        SCOPED_TRACE(p.what);
        const QString iniText = QString(p.ini).replace(u"%DIR%"_s, dir.path()) + u"Headerline1=Betrieb\n"_s
            + u"Headerpicture1="_s + logo.fileName() + u'\n';
        TemplateCheckIni ini;
        ini.read = [iniText](const QString &key) {
            for (const QString &line : iniText.split(u'\n')) {
                if (line.section(u'=', 0, 0).compare(key, Qt::CaseInsensitive) == 0)
                    return line.section(u'=', 1);
            }
            return QString();
        };
        const TemplateCheck check = CheckTemplate(writeTemplate(dir, p), ini);
        ASSERT_TRUE(check.readable) << check.failure.toStdString();
        QString all;
        for (const TemplateFinding &f : check.findings)
            all += FindingLine(f) + u'\n';
        ASSERT_EQ(int(check.findings.size()), p.findings) << all.toStdString();
        const auto f = std::find_if(check.findings.begin(), check.findings.end(),
            [&p](const TemplateFinding &x) { return x.sheet == p.sheet && x.row == p.row && x.cell == p.cell; });
        ASSERT_NE(f, check.findings.end()) << all.toStdString();
        EXPECT_TRUE(f->text.contains(p.word)) << all.toStdString();
    }
}

// A file that is no workbook is not readable; the reader says why.
TEST(TemplateCheck, AFileThatIsNoWorkbookIsUnreadable)
{
    QTemporaryDir dir;
    QFile text(dir.filePath(u"Tannbuch.xltx"_s));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("keine Arbeitsmappe");
    text.close();
    const TemplateCheck check = CheckTemplate(text.fileName());
    EXPECT_FALSE(check.readable);
    EXPECT_TRUE(check.needsAttention());
    EXPECT_TRUE(check.failure.contains(u"Tannbuch.xltx"_s)) << check.failure.toStdString();
}

} // namespace tannbuch
