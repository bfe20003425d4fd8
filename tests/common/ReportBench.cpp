#include "ReportBench.h"

#include "QtPrinters.h"

#include "common/TdsMirror.h"
#include "common/TestSupport.h"
#include "common/WorkbookValidation.h"
#include "db/SqliteBackend.h"
#include "tds/TdsEndpoint.h"
#include "text/ReportLocale.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"

#include <gtest/gtest.h>

#include <set>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace reportbench {

namespace {

// A label for every text id the head block uses.
QString textRows()
{
    QString sql = s("INSERT INTO STRINGS VALUES (726, NULL, 'Liste:'), (1135, NULL, 'Lose:'),"
                    " (727, NULL, 'Listendatum:'), (729, NULL, 'Listenzusatztext:'), (6371, NULL, 'Kopfzusatztext:'),"
                    " (716, NULL, 'Haushaltsjahr:'), (717, NULL, 'Forstbetrieb:'), (722, NULL, 'Eigentum:'),"
                    " (5008, NULL, 'Verkaufsart:'), (41, 'Käufer:', 'Rechnungsempfänger:'), (3074, NULL, 'Abnehmer:'),"
                    " (3075, NULL, 'Spediteur:'), (3076, NULL, 'Rolle 3:'), (700, NULL, 'Waggon:'),"
                    " (701, NULL, 'Bemerkung:'), (388, NULL, 'Waldort'), (1148, NULL, 'Abt.'),"
                    " (4788, NULL, 'Koordinate 1:'), (4789, NULL, 'Koordinate 2:'), (5945, NULL, 'Polter')");
    for (int n = 1; n <= 15; ++n)
        sql += u", (%1, NULL, 'Text %2:')"_s.arg(1368 + n).arg(n);
    for (int n = 1; n <= 10; ++n)
        sql += u", (%1, NULL, 'Zahl %2:')"_s.arg(1368 - n).arg(n);
    for (int n = 1; n <= 5; ++n) {
        sql += u", (%1, NULL, 'Datum %2:')"_s.arg(1357 - n).arg(n);
        sql += u", (%1, NULL, 'Zusatztext %2:')"_s.arg(4782 + n).arg(n);
    }
    return sql + u";\n"_s;
}

QString shown(const QVariant &v)
{
    if (!v.isValid())
        return u"(empty)"_s;
    if (v.typeId() == QMetaType::QString)
        return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    return v.toString() + u" (number)"_s;
}

} // namespace

Cells line(int row, const QString &label, const QString &value)
{
    const QString r = QString::number(row);
    return {reportbench::label(u"A"_s + r, label), text(u"D"_s + r, value)};
}

Cells more(int row, const QString &value)
{
    return {text(u"D"_s + QString::number(row), value)};
}

Cells operator+(Cells a, const Cells &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void expectCells(Workbook &book, Worksheet &sheet, const Cells &expected, int lastRow)
{
    std::set<QString> seen;
    for (const CellCheck &c : expected) {
        seen.insert(c.address);
        const Range cell(book, sheet, c.address);
        const QVariant got = cell.rawValue();
        // Head-line values must be text, never numbers.
        const bool ok = c.value.isEmpty() ? !got.isValid() || got.toString().isEmpty()
                                          : got.typeId() == QMetaType::QString && got.toString() == c.value;
        if (!ok)
            ADD_FAILURE() << "cell " << qPrintable(c.address) << ": expected "
                          << qPrintable(shown(c.value.isEmpty() ? QVariant() : QVariant(c.value))) << ", got "
                          << qPrintable(shown(got));
        if (c.bold >= 0 && cell.font().bold() != bool(c.bold))
            ADD_FAILURE() << "cell " << qPrintable(c.address) << ": expected " << (c.bold ? "bold" : "not bold")
                          << ", got the opposite";
        if (c.size > 0 && cell.font().size() != c.size)
            ADD_FAILURE() << "cell " << qPrintable(c.address) << ": expected font size " << c.size << ", got "
                          << cell.font().size();
        if (!c.format.isNull() && cell.numberFormat() != c.format)
            ADD_FAILURE() << "cell " << qPrintable(c.address) << ": expected number format \"" << qPrintable(c.format)
                          << "\", got \"" << qPrintable(cell.numberFormat()) << '"';
    }
    for (int row = 1; row <= lastRow; ++row) {
        for (int column = 1; column <= 10; ++column) {
            const Range cell(book, sheet, RangeRef{row, column, row, column});
            const QVariant got = cell.rawValue();
            if (!seen.count(cell.address()) && got.isValid() && !got.toString().isEmpty())
                ADD_FAILURE() << "cell " << qPrintable(cell.address()) << ": expected (empty), got "
                              << qPrintable(shown(got));
        }
    }
}

Bench::Bench(const QString &rows, const QString &schemaChanges)
{
    ReportLocale::setLocale(QLocale(QLocale::German, QLocale::Germany));
    const QString path = dir.filePath(u"head.sqlite"_s);
    testsupport::createSqliteDatabase(path, testsupport::schemaSql() + schemaChanges + textRows() + rows);
    if (testsupport::overTds()) {
        auto mirror = std::make_unique<testsupport::MirrorBackend>(path);
        m_mirror = mirror.get();
        db.open(std::move(mirror));
        // The wire is compared with the journal in order; look-ups sent ahead
        // would go first (PrefetchReportTest covers them over the endpoint).
        db.setPrefetchEnabled(false);
    } else
        db.open(std::make_unique<SqliteBackend>(path));
    db.journal().setRecording(true);
    xl.setLocale(ReportLocale::locale());
    xl.addWorkbook();
    run.db = &db;
    run.xl = &xl;
    run.settings = &settings;
    selection.filter = u"LOGS.LISTE = '4711'"_s;
    selection.listNumber = u"4711"_s;
    cursor.row = StartRow;
}

Bench::~Bench()
{
    if (m_mirror) {
        // What went over the wire last is what the journal holds (a test
        // may have cleared it on the way).
        const QStringList &journal = db.journal().statements();
        const QStringList sent = m_mirror->endpoint().batches();
        EXPECT_EQ(sent.mid(std::max<qsizetype>(0, sent.size() - journal.size())), journal);
    }
    ReportLocale::setLocale(QLocale::c()); // back to the program's own rule
}

QStringList Bench::statements() const
{
    QStringList out;
    for (const QString &sql : db.journal().statements()) {
        if (!sql.startsWith(QLatin1String("SELECT * FROM STRINGS ")))
            out << sql;
    }
    return out;
}

Workbook &Bench::book()
{
    return xl.activeWorkbook().workbook();
}

Worksheet &Bench::sheet()
{
    return xl.activeSheet().worksheet();
}

std::unique_ptr<Workbook> Bench::saved()
{
    const QString path = dir.filePath(u"report.xlsx"_s);
    XlsxWriter::save(book(), path);
    workbookvalidation::expectValid(path);
    return XlsxReader::load(path);
}

SavedSheet::SavedSheet(std::unique_ptr<Workbook> book)
    : m_book(std::move(book))
{
    m_book->setLocale(QLocale::c()); // numbers read back as 0.85, not 0,85
}

SavedSheet::~SavedSheet() = default;

Worksheet &SavedSheet::sheet() const
{
    return m_book->sheet(m_book->activeSheetIndex());
}

Range SavedSheet::range(const QString &address) const
{
    return Range(*m_book, sheet(), address);
}

QVariant SavedSheet::raw(const QString &address) const
{
    return range(address).rawValue();
}

QString SavedSheet::text(const QString &address) const
{
    return range(address).value();
}

bool SavedSheet::bold(const QString &address) const
{
    return range(address).font().bold();
}

QString SavedSheet::format(const QString &address) const
{
    return range(address).numberFormat();
}

QString SavedSheet::row(int row, int lastColumn) const
{
    QStringList texts;
    for (int column = 1; column <= lastColumn; ++column)
        texts << Range(*m_book, sheet(), RangeRef{row, column, row, column}).value();
    return texts.join(QLatin1Char('|'));
}

} // namespace reportbench

} // namespace tannbuch
