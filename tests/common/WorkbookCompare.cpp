#include "WorkbookCompare.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"

#include <set>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace testsupport {

namespace {

QString cellText(const Workbook &book, const Cell *c)
{
    if (!c)
        return u"(none)"_s;
    const ResolvedStyle s = book.resolve(c->styleId);
    QString value = c->type == CellType::Text || c->type == CellType::Error
        ? QLatin1Char('"') + c->text + QLatin1Char('"')
        : QString::number(c->number, 'g', 17);
    if (c->type == CellType::Formula)
        value = c->formula + u" -> "_s
            + (c->cachedType == CellType::Text ? c->text : QString::number(c->number, 'g', 17));
    return u"type %1 %2 | %3 | %4 %5%6%7 | align %8 fill %9 wrap %10"_s.arg(int(c->type))
        .arg(c->type == CellType::Empty ? QString() : value, s.numberFormat, s.fontName)
        .arg(s.fontSize)
        .arg(s.bold ? u" bold"_s : QString(), s.italic ? u" italic"_s : QString())
        .arg(int(s.horizontalAlignment))
        .arg(s.fillColor)
        .arg(s.wrapText);
}

} // namespace

QStringList workbookDifferences(const Workbook &a, const Workbook &b, int limit)
{
    QStringList out;
    auto differ = [&](const QString &what) {
        if (out.size() < limit)
            out << what;
    };
    if (a.sheetCount() != b.sheetCount())
        differ(u"%1 sheets against %2"_s.arg(a.sheetCount()).arg(b.sheetCount()));
    for (int i = 0; i < std::min(a.sheetCount(), b.sheetCount()); ++i) {
        const Worksheet &sa = a.sheet(i);
        const Worksheet &sb = b.sheet(i);
        if (sa.name() != sb.name())
            differ(u"sheet %1: named %2 against %3"_s.arg(i + 1).arg(sa.name(), sb.name()));
        std::set<int> rows;
        for (const auto &[r, data] : sa.rows())
            rows.insert(r);
        for (const auto &[r, data] : sb.rows())
            rows.insert(r);
        for (int r : rows) {
            const RowData *ra = sa.row(r);
            const RowData *rb = sb.row(r);
            const double ha = ra ? ra->height : -1.0, hb = rb ? rb->height : -1.0;
            if (ha != hb)
                differ(u"%1 row %2: height %3 against %4"_s.arg(sa.name()).arg(r).arg(ha).arg(hb));
            std::set<int> columns;
            for (const RowData *row : {ra, rb}) {
                if (row) {
                    for (const Cell &c : row->cells)
                        columns.insert(c.column);
                }
            }
            for (int column : columns) {
                const QString ta = cellText(a, sa.cell(r, column));
                const QString tb = cellText(b, sb.cell(r, column));
                if (ta != tb)
                    differ(u"%1!%2: %3 against %4"_s.arg(sa.name(), CellAddress::cellName(r, column), ta, tb));
            }
        }
        if (sa.merges().size() != sb.merges().size())
            differ(u"%1: %2 merges against %3"_s.arg(sa.name()).arg(sa.merges().size()).arg(sb.merges().size()));
        if (sa.rowBreaks() != sb.rowBreaks())
            differ(u"%1: page breaks differ"_s.arg(sa.name()));
    }
    return out;
}

} // namespace testsupport

} // namespace tannbuch
