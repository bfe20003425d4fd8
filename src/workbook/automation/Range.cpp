#include "Range.h"

#include "text/NumberFormatter.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Border.h"
#include "workbook/automation/Font.h"
#include "workbook/cells/CellValueConversion.h"
#include "workbook/cells/ColumnAutoFit.h"
#include "workbook/cells/ColumnWidth.h"
#include "workbook/cells/SheetCells.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/StyleEditor.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/XlConstants.h"
#include "workbook/editing/CellClipboard.h"
#include "workbook/editing/CellShift.h"
#include "workbook/formula/FormulaEvaluator.h"
#include "workbook/formula/FormulaReferences.h"

#include <QHash>

#include <cmath>
#include <optional>

namespace tannbuch {

namespace {

constexpr int MaxNumberFormatLength = 255;

void clearValue(Cell &cell)
{
    cell.type = CellType::Empty;
    cell.cachedType = CellType::Empty;
    cell.number = 0.0;
    cell.text.clear();
    cell.formula.clear();
}

// Derived styles, each computed once per operation.
class StyleDeriver
{
public:
    explicit StyleDeriver(Workbook &book)
        : m_book(book)
    { }

    quint32 withQuotePrefix(quint32 id, bool quotePrefix)
    {
        if (m_book.styles().style(id).quotePrefix == quotePrefix)
            return id;
        auto &cache = quotePrefix ? m_quoteOn : m_quoteOff;
        const auto it = cache.constFind(id);
        if (it != cache.constEnd())
            return *it;
        CellStyle style = m_book.styles().style(id);
        style.quotePrefix = quotePrefix;
        const quint32 derived = m_book.styles().intern(style);
        cache.insert(id, derived);
        return derived;
    }

    quint32 withNumberFormat(quint32 id, const QString &format)
    {
        const auto it = m_format.constFind(id);
        if (it != m_format.constEnd())
            return *it;
        CellStyle style = m_book.styles().style(id);
        style.numberFormat = format;
        const quint32 derived = m_book.styles().intern(style);
        m_format.insert(id, derived);
        return derived;
    }

private:
    Workbook &m_book;
    QHash<quint32, quint32> m_quoteOn;
    QHash<quint32, quint32> m_quoteOff;
    QHash<quint32, quint32> m_format;
};

// Writes one value into many cells: the value is converted once for cells
// formatted as text and once for the others.
class ValueWriter
{
public:
    ValueWriter(Workbook &book, Worksheet &sheet, const QVariant &value)
        : m_book(book)
        , m_sheet(sheet)
        , m_value(value)
        , m_styles(book)
    {
        // Converting first surfaces a refused value before any cell changes.
        m_plain = CellValueConversion::convert(value, false, book.locale());
    }

    bool clears() const { return m_plain->type == CellType::Empty; }

    void write(Cell &cell, int row)
    {
        const bool textFormat = SheetCells::isTextFormat(m_book, cell.styleId);
        if (textFormat && !m_text)
            m_text = CellValueConversion::convert(m_value, true, m_book.locale());
        const CellValueConversion::Converted &c = textFormat ? *m_text : *m_plain;
        cell.type = c.type;
        cell.cachedType = CellType::Empty;
        cell.number = c.number;
        cell.text = m_book.texts().intern(c.text);
        cell.formula.clear();
        cell.styleId = m_styles.withQuotePrefix(cell.styleId, c.quotePrefix);
        if (!c.dateFormat.isEmpty()
            && SheetCells::numberFormat(m_book, cell.styleId).compare(QLatin1String("General"), Qt::CaseInsensitive)
                == 0)
            cell.styleId = m_styles.withNumberFormat(cell.styleId, c.dateFormat);
        if (c.truncated)
            warnTextCut(CellAddress::cellName(row, cell.column));
    }

private:
    // One warning per sheet names the first cell whose text was cut.
    void warnTextCut(const QString &cellName)
    {
        const QString sheetPart = QStringLiteral("Im Blatt \"%1\" wurden Texte").arg(m_sheet.name());
        for (const QString &w : m_book.warnings()) {
            if (w.startsWith(sheetPart))
                return;
        }
        m_book.addWarning(sheetPart
            + QStringLiteral(" mit mehr als %1 Zeichen gekürzt (zuerst in Zelle %2).")
                  .arg(SheetLimits::MaxTextLength)
                  .arg(cellName));
    }

    Workbook &m_book;
    Worksheet &m_sheet;
    const QVariant &m_value;
    StyleDeriver m_styles;
    std::optional<CellValueConversion::Converted> m_plain;
    std::optional<CellValueConversion::Converted> m_text;
};

// Unbalanced brackets or quotes would make the saved file unreadable.
bool isWellFormedFormula(const QString &formula)
{
    if (formula.size() < 2 || !formula.startsWith(QLatin1Char('=')))
        return false;
    int depth = 0;
    QChar quote;
    for (qsizetype i = 1; i < formula.size(); ++i) {
        const QChar c = formula[i];
        if (!quote.isNull()) {
            if (c == quote) {
                if (i + 1 < formula.size() && formula[i + 1] == quote)
                    ++i; // doubled quote inside the quotes
                else
                    quote = QChar();
            }
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = c;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth < 0)
            return false;
    }
    return depth == 0 && quote.isNull();
}

// The value of a cell as formulas compute it now, or as the cell holds it.
struct CellReading
{
    const Cell *cell = nullptr;
    FormulaEvaluator::Result result; // for formulas
};

CellReading readCell(const Worksheet &sheet, int row, int column)
{
    CellReading r;
    r.cell = sheet.cell(row, column);
    if (r.cell && r.cell->type == CellType::Formula)
        r.result = FormulaEvaluator(sheet).cellValue(row, column);
    return r;
}

} // namespace

Range::Range(Workbook &book, Worksheet &sheet, const RangeRef &ref, Application *app)
    : m_book(&book)
    , m_sheet(&sheet)
    , m_ref(ref)
    , m_app(app)
{
    if (ref.firstRow < 1 || ref.firstColumn < 1 || ref.lastRow > SheetLimits::MaxRows
        || ref.lastColumn > SheetLimits::MaxColumns || ref.firstRow > ref.lastRow || ref.firstColumn > ref.lastColumn)
        throw WorkbookError(QStringLiteral("Der Bereich Zeile %1 bis %2, Spalte %3 bis %4 liegt außerhalb des "
                                           "Tabellenblatts.")
                                .arg(ref.firstRow)
                                .arg(ref.lastRow)
                                .arg(ref.firstColumn)
                                .arg(ref.lastColumn));
}

Range::Range(Workbook &book, Worksheet &sheet, QStringView address, Application *app)
    : Range(book, sheet, CellAddress::parse(address), app)
{ }

QString Range::address() const
{
    return CellAddress::rangeName(m_ref);
}

bool Range::isWholeColumns() const
{
    return m_ref.firstRow == 1 && m_ref.lastRow == SheetLimits::MaxRows;
}

bool Range::isWholeRows() const
{
    return m_ref.firstColumn == 1 && m_ref.lastColumn == SheetLimits::MaxColumns;
}

Range Range::entireRow() const
{
    return Range(*m_book, *m_sheet, RangeRef{m_ref.firstRow, 1, m_ref.lastRow, SheetLimits::MaxColumns}, m_app);
}

Range Range::entireColumn() const
{
    return Range(*m_book, *m_sheet, RangeRef{1, m_ref.firstColumn, SheetLimits::MaxRows, m_ref.lastColumn}, m_app);
}

Range Range::cells(int row, int column) const
{
    const qint64 r = qint64(m_ref.firstRow) + row - 1;
    const qint64 c = qint64(m_ref.firstColumn) + column - 1;
    if (r < 1 || c < 1 || r > SheetLimits::MaxRows || c > SheetLimits::MaxColumns)
        throw WorkbookError(
            QStringLiteral("Die Zelle Zeile %1, Spalte %2 liegt außerhalb des Tabellenblatts.").arg(r).arg(c));
    return Range(*m_book, *m_sheet, RangeRef{int(r), int(c), int(r), int(c)}, m_app);
}

Application &Range::requireApplication(const QString &operation) const
{
    if (!m_app)
        throw WorkbookError(QStringLiteral("%1 ist nur in einer Arbeitsmappe der Anwendung möglich.").arg(operation));
    return *m_app;
}

void Range::select() const
{
    Application &app = requireApplication(QStringLiteral("Auswählen"));
    if (!app.isActiveSheet(*m_sheet))
        throw WorkbookError(QStringLiteral("Zellen des Blatts \"%1\" können nur ausgewählt werden, wenn das Blatt "
                                           "aktiv ist.")
                                .arg(m_sheet->name()));
    SheetSelection &selection = app.selectionOf(*m_sheet);
    selection.range = m_ref;
    selection.activeCell = {m_ref.firstRow, m_ref.firstColumn};
}

void Range::activate() const
{
    Application &app = requireApplication(QStringLiteral("Aktivieren"));
    SheetSelection &selection = app.selectionOf(*m_sheet);
    if (app.isActiveSheet(*m_sheet) && selection.range.contains(m_ref.firstRow, m_ref.firstColumn)
        && selection.range.contains(m_ref.lastRow, m_ref.lastColumn)) {
        selection.activeCell = {m_ref.firstRow, m_ref.firstColumn};
        return;
    }
    select();
}

void Range::setValue(const QVariant &value) const
{
    ValueWriter writer(*m_book, *m_sheet, value);
    if (writer.clears()) {
        auto &rows = m_sheet->rowsForWrite(m_ref.firstRow);
        for (auto it = rows.lower_bound(m_ref.firstRow); it != rows.end() && it->first <= m_ref.lastRow; ++it) {
            const auto [lo, hi] = SheetCells::span(it->second, m_ref.firstColumn, m_ref.lastColumn);
            for (size_t i = lo; i < hi; ++i)
                clearValue(it->second.cells[i]);
        }
        return;
    }
    if (m_ref.isSingleCell()) {
        RowData &row = SheetCells::rowForWrite(*m_sheet, m_ref.firstRow);
        writer.write(SheetCells::cellInRow(*m_sheet, row, m_ref.firstColumn), m_ref.firstRow);
        return;
    }
    for (int r = m_ref.firstRow; r <= m_ref.lastRow; ++r) {
        RowData &row = SheetCells::rowForWrite(*m_sheet, r);
        const auto [lo, hi] = SheetCells::fillRow(*m_sheet, row, m_ref.firstColumn, m_ref.lastColumn);
        for (size_t i = lo; i < hi; ++i)
            writer.write(row.cells[i], r);
    }
}

void Range::setFormula(const QString &formula) const
{
    if (!formula.startsWith(QLatin1Char('='))) {
        setValue(formula);
        return;
    }
    if (!isWellFormedFormula(formula))
        throw WorkbookError(QStringLiteral("Die Formel \"%1\" ist ungültig.").arg(formula));
    StyleDeriver styles(*m_book);
    for (int r = m_ref.firstRow; r <= m_ref.lastRow; ++r) {
        for (int c = m_ref.firstColumn; c <= m_ref.lastColumn; ++c) {
            const int rowOffset = r - m_ref.firstRow;
            const int columnOffset = c - m_ref.firstColumn;
            const QString text = rowOffset == 0 && columnOffset == 0
                ? formula
                : FormulaReferences::shift(formula, rowOffset, columnOffset);
            RowData &row = SheetCells::rowForWrite(*m_sheet, r);
            Cell &cell = SheetCells::cellInRow(*m_sheet, row, c);
            clearValue(cell);
            cell.type = CellType::Formula;
            cell.formula = text;
            cell.styleId = styles.withQuotePrefix(cell.styleId, false);
            FormulaEvaluator::storeResult(cell, FormulaEvaluator(*m_sheet).evaluate(text));
        }
    }
}

QString Range::value() const
{
    const CellReading r = readCell(*m_sheet, m_ref.firstRow, m_ref.firstColumn);
    if (!r.cell)
        return QString();
    if (r.cell->type == CellType::Formula) {
        if (r.result.kind == FormulaEvaluator::Result::Kind::Number)
            return NumberFormatter(m_book->locale()).plain(r.result.number);
        if (r.result.kind == FormulaEvaluator::Result::Kind::Error)
            return r.result.error;
    }
    return CellValueConversion::toText(*r.cell, m_book->locale());
}

QVariant Range::rawValue() const
{
    const CellReading r = readCell(*m_sheet, m_ref.firstRow, m_ref.firstColumn);
    if (!r.cell)
        return QVariant();
    if (r.cell->type == CellType::Formula) {
        if (r.result.kind == FormulaEvaluator::Result::Kind::Number)
            return r.result.number;
        if (r.result.kind == FormulaEvaluator::Result::Kind::Error)
            return r.result.error;
    }
    return CellValueConversion::toVariant(*r.cell);
}

QString Range::text() const
{
    const CellReading r = readCell(*m_sheet, m_ref.firstRow, m_ref.firstColumn);
    if (!r.cell)
        return QString();
    const QString &format = SheetCells::numberFormat(*m_book, r.cell->styleId);
    const NumberFormatter formatter(m_book->locale());
    if (r.cell->type == CellType::Formula) {
        if (r.result.kind == FormulaEvaluator::Result::Kind::Number)
            return formatter.format(r.result.number, format);
        if (r.result.kind == FormulaEvaluator::Result::Kind::Error)
            return r.result.error;
    }
    const CellType type = r.cell->type == CellType::Formula ? r.cell->cachedType : r.cell->type;
    switch (type) {
    case CellType::Number:
        return formatter.format(r.cell->number, format);
    case CellType::Boolean:
        return CellValueConversion::booleanText(r.cell->number != 0.0, m_book->locale());
    case CellType::Text:
        return formatter.formatText(r.cell->text, format);
    case CellType::Error:
        return r.cell->text;
    default:
        return QString();
    }
}

QString Range::formula() const
{
    const Cell *c = m_sheet->cell(m_ref.firstRow, m_ref.firstColumn);
    if (c && c->type == CellType::Formula)
        return c->formula;
    return c ? CellValueConversion::toText(*c, m_book->locale()) : QString();
}

void Range::setNumberFormat(const QString &format) const
{
    if (format.size() > MaxNumberFormatLength)
        throw WorkbookError(QStringLiteral("Das Zahlenformat \"%1\" ist zu lang.").arg(format.left(40)));
    const QString code = format.isEmpty() ? QStringLiteral("General") : format;
    StyleEditor(*m_book, *m_sheet).apply(m_ref, [&code](CellStyle &s, unsigned) { s.numberFormat = code; });
}

QString Range::numberFormat() const
{
    return SheetCells::numberFormat(*m_book, SheetCells::effectiveStyle(*m_sheet, m_ref.firstRow, m_ref.firstColumn));
}

Font Range::font() const
{
    return Font(*this);
}

void Range::setHorizontalAlignment(HAlign alignment) const
{
    switch (alignment) {
    case HAlign::General:
    case HAlign::Left:
    case HAlign::Center:
    case HAlign::Right:
        break;
    default:
        throw WorkbookError(QStringLiteral("Unbekannte horizontale Ausrichtung %1.").arg(int(alignment)));
    }
    StyleEditor(*m_book, *m_sheet).apply(m_ref, [alignment](CellStyle &s, unsigned) {
        s.horizontalAlignment = alignment;
    });
}

HAlign Range::horizontalAlignment() const
{
    return m_book->resolve(SheetCells::effectiveStyle(*m_sheet, m_ref.firstRow, m_ref.firstColumn)).horizontalAlignment;
}

Border Range::borders(BorderEdge edge) const
{
    return Border(*this, edge);
}

void Range::merge() const
{
    if (m_ref.isSingleCell())
        return;
    // Merged areas that overlap the range become part of the new one.
    RangeRef area = m_ref;
    for (bool grown = true; grown;) {
        grown = false;
        for (const RangeRef &m : m_sheet->merges()) {
            if (!m.intersects(area))
                continue;
            const RangeRef joined{std::min(area.firstRow, m.firstRow), std::min(area.firstColumn, m.firstColumn),
                std::max(area.lastRow, m.lastRow), std::max(area.lastColumn, m.lastColumn)};
            if (!(joined == area)) {
                area = joined;
                grown = true;
            }
        }
    }
    // The merges replaced lie inside the grown area.
    auto &merges = m_sheet->mergesForWrite(area.firstRow);
    merges.erase(std::remove_if(merges.begin(), merges.end(), [&](const RangeRef &m) { return m.intersects(area); }),
        merges.end());
    merges.push_back(area);

    auto &rows = m_sheet->rowsForWrite(area.firstRow);
    for (auto it = rows.lower_bound(area.firstRow); it != rows.end() && it->first <= area.lastRow; ++it) {
        const auto [lo, hi] = SheetCells::span(it->second, area.firstColumn, area.lastColumn);
        for (size_t i = lo; i < hi; ++i) {
            Cell &c = it->second.cells[i];
            if (it->first != area.firstRow || c.column != area.firstColumn)
                clearValue(c);
        }
    }
}

void Range::unMerge() const
{
    int firstRow = m_ref.firstRow;
    for (const RangeRef &m : m_sheet->merges()) {
        if (m.intersects(m_ref))
            firstRow = std::min(firstRow, m.firstRow);
    }
    auto &merges = m_sheet->mergesForWrite(firstRow);
    merges.erase(std::remove_if(merges.begin(), merges.end(), [&](const RangeRef &m) { return m.intersects(m_ref); }),
        merges.end());
}

bool Range::mergeCells() const
{
    for (const RangeRef &m : m_sheet->merges()) {
        if (m.contains(m_ref.firstRow, m_ref.firstColumn))
            return true;
    }
    return false;
}

void Range::setColumnWidth(double width) const
{
    if (!std::isfinite(width) || width < 0.0 || width > SheetLimits::MaxColumnWidth)
        throw WorkbookError(QStringLiteral("Die Spaltenbreite %1 liegt nicht zwischen 0 und %2.")
                                .arg(width)
                                .arg(SheetLimits::MaxColumnWidth));
    auto &columns = m_sheet->columnsForWrite();
    for (int c = m_ref.firstColumn; c <= m_ref.lastColumn; ++c) {
        ColumnData &data = columns[c];
        data.width = ColumnWidth::toStored(width);
        data.customWidth = true;
        data.hidden = width == 0.0;
    }
}

double Range::columnWidth() const
{
    const auto &columns = m_sheet->columns();
    const auto it = columns.find(m_ref.firstColumn);
    return it == columns.end() ? -1.0 : ColumnWidth::toCharacters(it->second.width);
}

void Range::autoFit() const
{
    ColumnAutoFit::fit(*m_book, *m_sheet, m_ref);
}

void Range::copy() const
{
    requireApplication(QStringLiteral("Kopieren")).setClipboard(CellClipboard::copy(*m_book, *m_sheet, m_ref));
}

void Range::deleteCells(int shift) const
{
    if (shift != Xl::Up)
        throw WorkbookError(QStringLiteral("Beim Löschen von Zellen können nur die Zellen darunter nachrücken."));
    CellShift::deleteShiftUp(*m_book, *m_sheet, m_ref);
}

void Range::setPageBreak(int pageBreak) const
{
    if (pageBreak == Xl::PageBreakNone) {
        if (m_sheet->rowBreaks().count(m_ref.firstRow))
            m_sheet->rowBreaksForWrite().erase(m_ref.firstRow);
        return;
    }
    if (pageBreak != Xl::PageBreakManual)
        throw WorkbookError(QStringLiteral("Unbekannte Art des Seitenumbruchs %1.").arg(pageBreak));
    if (m_ref.firstRow == 1)
        return;
    // The model keeps every break; the file writer keeps the first ones the
    // format admits and warns about the rest.
    m_sheet->rowBreaksForWrite().insert(m_ref.firstRow);
}

int Range::pageBreak() const
{
    return m_sheet->rowBreaks().count(m_ref.firstRow) ? Xl::PageBreakManual : Xl::PageBreakNone;
}

} // namespace tannbuch
