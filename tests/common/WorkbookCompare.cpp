#include "WorkbookCompare.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"

#include <set>

namespace tannbuch {

namespace testsupport {

namespace {

QString cellText(const Workbook &book, const Cell *c)
{
    if (!c)
        return QStringLiteral("(none)");
    const ResolvedStyle s = book.resolve(c->styleId);
    QString value = c->type == CellType::Text || c->type == CellType::Error
        ? QLatin1Char('"') + c->text + QLatin1Char('"')
        : QString::number(c->number, 'g', 17);
    if (c->type == CellType::Formula)
        value = c->formula + QStringLiteral(" -> ")
            + (c->cachedType == CellType::Text ? c->text : QString::number(c->number, 'g', 17));
    return QStringLiteral("type %1 %2 | %3 | %4 %5%6%7 | align %8 fill %9 wrap %10")
        .arg(int(c->type))
        .arg(c->type == CellType::Empty ? QString() : value, s.numberFormat, s.fontName)
        .arg(s.fontSize)
        .arg(s.bold ? QStringLiteral(" bold") : QString(), s.italic ? QStringLiteral(" italic") : QString())
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
        differ(QStringLiteral("%1 sheets against %2").arg(a.sheetCount()).arg(b.sheetCount()));
    for (int i = 0; i < std::min(a.sheetCount(), b.sheetCount()); ++i) {
        const Worksheet &sa = a.sheet(i);
        const Worksheet &sb = b.sheet(i);
        if (sa.name() != sb.name())
            differ(QStringLiteral("sheet %1: named %2 against %3").arg(i + 1).arg(sa.name(), sb.name()));
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
                differ(QStringLiteral("%1 row %2: height %3 against %4").arg(sa.name()).arg(r).arg(ha).arg(hb));
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
                    differ(QStringLiteral("%1!%2: %3 against %4")
                               .arg(sa.name(), CellAddress::cellName(r, column), ta, tb));
            }
        }
        if (sa.merges().size() != sb.merges().size())
            differ(QStringLiteral("%1: %2 merges against %3")
                       .arg(sa.name())
                       .arg(sa.merges().size())
                       .arg(sb.merges().size()));
        if (sa.rowBreaks() != sb.rowBreaks())
            differ(QStringLiteral("%1: page breaks differ").arg(sa.name()));
    }
    return out;
}

} // namespace testsupport

} // namespace tannbuch
