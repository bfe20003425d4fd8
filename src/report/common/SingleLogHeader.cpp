#include "SingleLogHeader.h"

#include "report/common/RowCells.h"

#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "selection/SelectionFilter.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Border.h"
#include "workbook/automation/Font.h"
#include "workbook/cells/CellAddress.h"

#include <QStringList>

#include <initializer_list>

namespace tannbuch {

namespace {

// Captions of columns A onwards by layout code; an empty list for unknown codes.
QStringList captions(int layoutCode, bool airDry)
{
    switch (layoutCode) {
    case 1:
    case 8:
        return {QStringLiteral("LOS"), QStringLiteral("StmNr"), QStringLiteral("HA"), QStringLiteral("HS"),
            QStringLiteral("GKL"), QStringLiteral("Stkl"), QStringLiteral("Länge"), QStringLiteral("DM"),
            QStringLiteral("Stück"), QStringLiteral("Kubatur")};
    case 5:
        return {QStringLiteral("LOS"), QStringLiteral("StmNr"), QStringLiteral("HA"), QStringLiteral("HS"),
            QStringLiteral("GKL"), QStringLiteral("Stkl"), QStringLiteral("G-Länge"), QStringLiteral("DDM"),
            QStringLiteral("Stück"), QStringLiteral("Kubatur")};
    case 2:
        return {QStringLiteral("LOS"), QStringLiteral("Stück"), QStringLiteral("HA"), QStringLiteral("HS"),
            QStringLiteral("GKL"), QStringLiteral("Lä-Holz"), QStringLiteral("Menge"), QStringLiteral("Einheit"),
            QStringLiteral("UFakt"), QStringLiteral("Kubatur")};
    case 3:
        return {QStringLiteral("LOS"), QStringLiteral("StmNr"), QStringLiteral("HA"), QStringLiteral("HS"),
            QStringLiteral("GKL"), QStringLiteral("STKL"), QStringLiteral("STK"), QStringLiteral("UFakt"),
            QStringLiteral("Kubatur")};
    case 4:
        return {QStringLiteral("LOS"), QStringLiteral("StmNr"), QStringLiteral("HA"), QStringLiteral("HS"),
            QStringLiteral("GKL"), QStringLiteral("STKL"), airDry ? QStringLiteral("LUTRO") : QStringLiteral("ATRO"),
            QStringLiteral("UFakt"), QStringLiteral("Kubatur")};
    case 6:
        return {QStringLiteral("LOS"), QStringLiteral("StmNr"), QStringLiteral("HA"), QStringLiteral("HS"),
            QStringLiteral("GKL"), QStringLiteral("Stkl"), QStringLiteral("Stück"), QStringLiteral("Kubatur")};
    case 7:
        return {QStringLiteral("LOS"), QStringLiteral("Stück"), QStringLiteral("HA"), QStringLiteral("HS"),
            QStringLiteral("GKL"), QStringLiteral("RM"), QStringLiteral("UFakt"), QStringLiteral("Kubatur"),
            QStringLiteral("KorrFkt"), QStringLiteral("Lä-Holz"), QStringLiteral(" ")};
    default:
        return {};
    }
}

// First and last column of the right-aligned stretch by layout code.
std::pair<char16_t, char16_t> rightAligned(int layoutCode)
{
    switch (layoutCode) {
    case 2:
        return {u'F', u'I'};
    case 3:
    case 4:
        return {u'G', u'I'};
    case 6:
        return {u'G', u'H'};
    case 7:
        return {u'F', u'K'};
    default:
        return {u'G', u'J'};
    }
}

QString cell(char16_t column, int row)
{
    return QString(QChar(column)) + QString::number(row);
}

} // namespace

void WriteSingleLogHeader(ReportRun &run, SheetCursor &cursor, int layoutCode, bool airDry)
{
    Application &xl = *run.xl;
    const int row = ++cursor.row;

    const QStringList texts = captions(layoutCode, airDry);
    if (!texts.isEmpty()) {
        for (int i = 0; i < texts.size(); ++i)
            xl.range(cell(char16_t(u'A' + i), row)).setValue(texts.at(i));
        const auto [first, last] = rightAligned(layoutCode);
        xl.range(cell(first, row) + u':' + cell(last, row)).select();
        xl.selection().setHorizontalAlignment(HAlign::Right);
    }

    // Column-list captions from K on; entries without a caption leave their
    // column blank and do not widen the ruled stretch.
    int captionCount = 0;
    const std::vector<ColumnEntry> &columns = run.settings->columnList;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].caption.isEmpty())
            continue;
        xl.cells(row, columnListColumn(i)).setValue(columns[i].caption);
        ++captionCount;
    }

    const QString address = cell(u'A', row) + u':' + CellAddress::cellName(row, columnListColumn(captionCount));
    xl.range(address).font().setBold(true);
    DrawHeaderRules(run, address);
    ++cursor.row;
}

namespace {

// Thin continuous lines in automatic colour on the given edges of the
// selected range; left, right, inside-vertical and diagonal lines cleared,
// in the order the rule procedures have always set them.
void drawRules(ReportRun &run, const QString &address, std::initializer_list<BorderEdge> ruled)
{
    Application &xl = *run.xl;
    xl.range(address).select();
    const Range selection = xl.selection();
    selection.borders(BorderEdge::DiagonalDown).setLineStyle(Xl::None);
    selection.borders(BorderEdge::DiagonalUp).setLineStyle(Xl::None);
    selection.borders(BorderEdge::Left).setLineStyle(Xl::None);
    for (BorderEdge edge : ruled) {
        const Border border = selection.borders(edge);
        border.setLineStyle(Xl::Continuous);
        border.setWeight(Xl::Thin);
        border.setColorIndex(Xl::ColorIndexAutomatic);
    }
    selection.borders(BorderEdge::Right).setLineStyle(Xl::None);
    selection.borders(BorderEdge::InsideVertical).setLineStyle(Xl::None);
}

} // namespace

void DrawHeaderRules(ReportRun &run, const QString &address)
{
    drawRules(run, address, {BorderEdge::Top, BorderEdge::Bottom});
}

void DrawTopRule(ReportRun &run, const QString &address)
{
    drawRules(run, address, {BorderEdge::Top});
}

} // namespace tannbuch
