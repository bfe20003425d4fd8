#include "CellClipboard.h"

#include "workbook/cells/SheetCells.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/formula/FormulaEvaluator.h"
#include "workbook/formula/FormulaReferences.h"

#include <algorithm>

namespace tannbuch {

CellClipboard CellClipboard::copy(const Workbook &book, const Worksheet &sheet, const RangeRef &range)
{
    CellClipboard clip;
    clip.m_valid = true;
    clip.m_source = range;
    clip.m_wholeRows = range.firstColumn == 1 && range.lastColumn == SheetLimits::MaxColumns;
    clip.m_wholeColumns = range.firstRow == 1 && range.lastRow == SheetLimits::MaxRows;
    const auto keepStyle = [&](quint32 id) {
        if (id != 0 && !clip.m_styles.contains(id))
            clip.m_styles.insert(id, book.styles().style(id));
    };

    const auto &rows = sheet.rows();
    for (auto it = rows.lower_bound(range.firstRow); it != rows.end() && it->first <= range.lastRow; ++it) {
        const RowData &source = it->second;
        RowData copied;
        if (clip.m_wholeRows) {
            copied = source;
        } else {
            const auto [lo, hi] = SheetCells::span(source, range.firstColumn, range.lastColumn);
            copied.cells.assign(source.cells.begin() + qsizetype(lo), source.cells.begin() + qsizetype(hi));
        }
        keepStyle(copied.styleId);
        for (const Cell &c : copied.cells)
            keepStyle(c.styleId);
        if (clip.m_wholeRows || !copied.cells.empty())
            clip.m_rows.emplace(it->first, std::move(copied));
    }
    if (clip.m_wholeColumns) {
        const auto &columns = sheet.columns();
        for (auto it = columns.lower_bound(range.firstColumn); it != columns.end() && it->first <= range.lastColumn;
             ++it) {
            clip.m_columns.emplace(it->first, it->second);
            keepStyle(it->second.styleId);
        }
    }
    for (const RangeRef &m : sheet.merges()) {
        if (m.firstRow >= range.firstRow && m.lastRow <= range.lastRow && m.firstColumn >= range.firstColumn
            && m.lastColumn <= range.lastColumn)
            clip.m_merges.push_back(m);
    }
    for (const Hyperlink &h : sheet.hyperlinks()) {
        if (range.contains(h.anchor.row, h.anchor.column))
            clip.m_hyperlinks.push_back(h);
    }
    for (const Picture &p : sheet.pictures()) {
        if (range.contains(p.anchor.row, p.anchor.column))
            clip.m_pictures.push_back(p);
    }
    return clip;
}

// The copied styles as the target workbook knows them: each is interned
// there on first use, so a paste into another workbook keeps the formats.
class CellClipboard::PastedStyles
{
public:
    PastedStyles(Workbook &book, const QHash<quint32, CellStyle> &copied)
        : m_book(book)
        , m_copied(copied)
    { }

    quint32 idFor(quint32 sourceId)
    {
        if (sourceId == 0)
            return 0;
        const auto found = m_ids.constFind(sourceId);
        if (found != m_ids.constEnd())
            return *found;
        const quint32 interned = m_book.styles().intern(m_copied.value(sourceId));
        m_ids.insert(sourceId, interned);
        return interned;
    }

private:
    Workbook &m_book;
    const QHash<quint32, CellStyle> &m_copied;
    QHash<quint32, quint32> m_ids;
};

namespace {

// Removes what the target range held: whole rows, or the cells of its columns.
void clearTarget(std::map<int, RowData> &rows, const RangeRef &target, bool wholeRows)
{
    if (wholeRows) {
        rows.erase(rows.lower_bound(target.firstRow), rows.upper_bound(target.lastRow));
        return;
    }
    for (auto it = rows.lower_bound(target.firstRow); it != rows.end() && it->first <= target.lastRow; ++it) {
        auto &cells = it->second.cells;
        const auto [lo, hi] = SheetCells::span(it->second, target.firstColumn, target.lastColumn);
        cells.erase(cells.begin() + qsizetype(lo), cells.begin() + qsizetype(hi));
    }
}

// Results of the pasted formulas, now that every cell is in place; all are
// computed before the first is stored.
void evaluatePastedFormulas(Worksheet &sheet, const std::vector<CellRef> &formulas)
{
    if (formulas.empty())
        return;
    FormulaEvaluator evaluator(sheet);
    std::vector<FormulaEvaluator::Result> results;
    results.reserve(formulas.size());
    for (const CellRef &f : formulas)
        results.push_back(evaluator.cellValue(f.row, f.column));
    for (size_t i = 0; i < formulas.size(); ++i)
        FormulaEvaluator::storeResult(sheet.cellForWrite(formulas[i].row, formulas[i].column), results[i]);
}

} // namespace

RangeRef CellClipboard::paste(Workbook &book, Worksheet &sheet, const CellRef &at) const
{
    const RangeRef target = targetAt(at);
    PastedStyles styles(book, m_styles);
    const std::vector<CellRef> formulas = pasteRows(sheet, target, styles);
    if (m_wholeColumns)
        pasteColumns(sheet, target, styles);
    pasteMerges(sheet, target);
    pasteHyperlinks(sheet, target);
    pastePictures(sheet, target);
    evaluatePastedFormulas(sheet, formulas);
    return target;
}

RangeRef CellClipboard::targetAt(const CellRef &at) const
{
    if (!m_valid)
        throw WorkbookError(QStringLiteral("Es wurde nichts kopiert, das eingefügt werden könnte."));
    if (m_wholeRows && at.column != 1)
        throw WorkbookError(QStringLiteral("Ganze Zeilen können nur in Spalte A eingefügt werden."));
    if (m_wholeColumns && at.row != 1)
        throw WorkbookError(QStringLiteral("Ganze Spalten können nur in Zeile 1 eingefügt werden."));
    const qint64 lastRow = qint64(at.row) + m_source.rowCount() - 1;
    const qint64 lastColumn = qint64(at.column) + m_source.columnCount() - 1;
    if (at.row < 1 || at.column < 1 || lastRow > SheetLimits::MaxRows || lastColumn > SheetLimits::MaxColumns)
        throw WorkbookError(
            QStringLiteral("Der kopierte Bereich passt an dieser Stelle nicht mehr auf das Tabellenblatt."));
    return RangeRef{at.row, at.column, int(lastRow), int(lastColumn)};
}

std::vector<CellRef> CellClipboard::pasteRows(Worksheet &sheet, const RangeRef &target, PastedStyles &styles) const
{
    const int rowOffset = target.firstRow - m_source.firstRow;
    const int columnOffset = target.firstColumn - m_source.firstColumn;
    auto &rows = sheet.rowsForWrite(target.firstRow);
    clearTarget(rows, target, m_wholeRows);

    std::vector<CellRef> formulas;
    for (const auto &[sourceRow, copied] : m_rows) {
        const int rowNumber = sourceRow + rowOffset;
        RowData &data = rows[rowNumber];
        if (m_wholeRows) {
            data.height = copied.height;
            data.customHeight = copied.customHeight;
            data.hidden = copied.hidden;
            data.styleId = styles.idFor(copied.styleId);
        }
        std::vector<Cell> cells;
        cells.reserve(copied.cells.size());
        for (const Cell &source : copied.cells) {
            Cell c = source;
            c.column = source.column + columnOffset;
            c.styleId = styles.idFor(source.styleId);
            if (c.type == CellType::Formula) {
                if (rowOffset != 0 || columnOffset != 0)
                    c.formula = FormulaReferences::shift(source.formula, rowOffset, columnOffset);
                formulas.push_back({rowNumber, c.column});
            }
            cells.push_back(std::move(c));
        }
        const auto [lo, hi] = SheetCells::span(data, target.firstColumn, target.lastColumn);
        Q_UNUSED(hi);
        data.cells.insert(data.cells.begin() + qsizetype(lo), std::make_move_iterator(cells.begin()),
            std::make_move_iterator(cells.end()));
        if (SheetCells::isBlankRow(data))
            rows.erase(rowNumber);
    }
    return formulas;
}

void CellClipboard::pasteColumns(Worksheet &sheet, const RangeRef &target, PastedStyles &styles) const
{
    const int columnOffset = target.firstColumn - m_source.firstColumn;
    auto &columns = sheet.columnsForWrite();
    for (const auto &[sourceColumn, data] : m_columns) {
        ColumnData c = data;
        c.styleId = styles.idFor(data.styleId);
        columns[sourceColumn + columnOffset] = c;
    }
}

// Merges that touched the target give way to the copied ones.
void CellClipboard::pasteMerges(Worksheet &sheet, const RangeRef &target) const
{
    int firstMergeRow = target.firstRow;
    for (const RangeRef &m : sheet.merges()) {
        if (m.intersects(target))
            firstMergeRow = std::min(firstMergeRow, m.firstRow);
    }
    auto &merges = sheet.mergesForWrite(firstMergeRow);
    merges.erase(std::remove_if(merges.begin(), merges.end(), [&](const RangeRef &m) { return m.intersects(target); }),
        merges.end());
    const int rowOffset = target.firstRow - m_source.firstRow;
    const int columnOffset = target.firstColumn - m_source.firstColumn;
    for (RangeRef m : m_merges) {
        m.firstRow += rowOffset;
        m.lastRow += rowOffset;
        m.firstColumn += columnOffset;
        m.lastColumn += columnOffset;
        merges.push_back(m);
    }
}

// Hyperlinks anchored in the target give way to the copied ones.
void CellClipboard::pasteHyperlinks(Worksheet &sheet, const RangeRef &target) const
{
    if (m_hyperlinks.empty() && sheet.hyperlinks().empty())
        return;
    auto &links = sheet.hyperlinksForWrite();
    links.erase(std::remove_if(links.begin(), links.end(),
                    [&](const Hyperlink &h) { return target.contains(h.anchor.row, h.anchor.column); }),
        links.end());
    for (Hyperlink h : m_hyperlinks) {
        h.anchor.row += target.firstRow - m_source.firstRow;
        h.anchor.column += target.firstColumn - m_source.firstColumn;
        links.push_back(h);
    }
}

// Pictures float above the cells, so the copies join those already there,
// each under a name of its own.
void CellClipboard::pastePictures(Worksheet &sheet, const RangeRef &target) const
{
    if (m_pictures.empty())
        return;
    auto &pictures = sheet.picturesForWrite();
    for (Picture p : m_pictures) {
        p.anchor.row += target.firstRow - m_source.firstRow;
        p.anchor.column += target.firstColumn - m_source.firstColumn;
        p.name = QStringLiteral("Bild %1").arg(pictures.size() + 1);
        pictures.push_back(p);
    }
}

} // namespace tannbuch
