#include "SheetDataWriter.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/CellStream.h"
#include "workbook/package/SharedStringTable.h"
#include "workbook/package/StyleTable.h"
#include "workbook/package/XmlText.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace tannbuch {

namespace {

// Column letters, computed once per column number.
class ColumnNames
{
public:
    const QByteArray &operator()(int column)
    {
        if (size_t(column) >= m_names.size())
            m_names.resize(size_t(column) + 1);
        QByteArray &name = m_names[size_t(column)];
        if (name.isEmpty())
            name = CellAddress::columnLetters(column).toLatin1();
        return name;
    }

private:
    std::vector<QByteArray> m_names;
};

} // namespace

// One sheetData element being streamed.
class CellWriter
{
public:
    CellWriter(const Worksheet &sheet, const Workbook &workbook, StyleTable &styles, SharedStringTable &strings)
        : m_sheet(sheet)
        , m_workbook(workbook)
        , m_styles(styles)
        , m_strings(strings)
        , m_data(PieceBytes + PieceBytes / 4)
        , m_nextRow(sheet.rows().end())
    { }

    qint64 number()
    {
        qint64 size = 0;
        start();
        for (QByteArray piece; next(piece);)
            size += piece.size();
        m_numbered = true;
        return size;
    }

    void start()
    {
        m_nextRow = m_sheet.rows().begin();
        m_begun = false;
        m_done = false;
    }

    // Whole rows until the piece is full, the end tag after the last row.
    bool next(QByteArray &piece)
    {
        if (m_done)
            return false;
        if (!m_begun)
            m_data.append("<sheetData>");
        m_begun = true;
        const auto end = m_sheet.rows().end();
        for (; m_nextRow != end && m_data.size() < PieceBytes; ++m_nextRow) {
            if (m_nextRow->first >= 1 && m_nextRow->first <= SheetLimits::MaxRows)
                writeRow(m_nextRow->first, m_nextRow->second);
        }
        if (m_nextRow == end) {
            m_data.append("</sheetData>");
            m_done = true;
        }
        piece = m_data.take();
        return true;
    }

private:
    int xfOf(quint32 styleId) { return styleId ? m_styles.xfIndex(m_workbook, styleId) : 0; }

    // A row with its cells; a row without cells only when it has a format of its own.
    void writeRow(int number, const RowData &row)
    {
        const int rowXf = xfOf(row.styleId);
        if (row.cells.empty() && row.height < 0 && !row.hidden && rowXf == 0)
            return;
        m_rowNumberLength = int(std::to_chars(m_rowNumber, m_rowNumber + sizeof m_rowNumber, number).ptr - m_rowNumber);
        m_data.append("<row r=\"");
        m_data.append(m_rowNumber, m_rowNumberLength);
        m_data.append('"');
        writeRowFormat(row, rowXf);
        if (row.cells.empty()) {
            m_data.append("/>");
            return;
        }
        m_data.append('>');
        for (const Cell &cell : row.cells) {
            if (cell.column >= 1 && cell.column <= SheetLimits::MaxColumns)
                writeCell(cell);
        }
        m_data.append("</row>");
    }

    void writeRowFormat(const RowData &row, int rowXf)
    {
        if (rowXf != 0) {
            m_data.append(" s=\"");
            m_data.appendInt(rowXf);
            m_data.append("\" customFormat=\"1\"");
        }
        if (row.height >= 0) {
            m_data.append(" ht=\"");
            m_data.appendNumber(std::min(row.height, 409.0));
            m_data.append('"');
            if (row.customHeight)
                m_data.append(" customHeight=\"1\"");
        }
        if (row.hidden)
            m_data.append(" hidden=\"1\"");
    }

    // A cell with its address and format; an empty cell only when it has a format.
    void writeCell(const Cell &cell)
    {
        const int xf = xfOf(cell.styleId);
        if (cell.type == CellType::Empty && xf == 0)
            return;
        m_data.append("<c r=\"");
        m_data.append(m_columnNames(cell.column));
        m_data.append(m_rowNumber, m_rowNumberLength);
        m_data.append('"');
        if (xf != 0) {
            m_data.append(" s=\"");
            m_data.appendInt(xf);
            m_data.append('"');
        }
        writeCellValue(cell);
    }

    // The rest of the cell from behind its attributes: its type and value.
    void writeCellValue(const Cell &cell)
    {
        switch (cell.type) {
        case CellType::Empty:
            m_data.append("/>");
            break;
        case CellType::Number:
            if (std::isfinite(cell.number)) {
                m_data.append("><v>");
                m_data.appendNumber(cell.number);
                m_data.append("</v></c>");
            } else {
                // No file can hold an infinite or undefined number.
                m_data.append(" t=\"e\"><v>#NUM!</v></c>");
            }
            break;
        case CellType::Boolean:
            if (cell.number != 0.0)
                m_data.append(" t=\"b\"><v>1</v></c>");
            else
                m_data.append(" t=\"b\"><v>0</v></c>");
            break;
        case CellType::Error:
            m_data.append(" t=\"e\"><v>");
            appendErrorCode(cell.text);
            m_data.append("</v></c>");
            break;
        case CellType::Text:
            m_data.append(" t=\"s\"><v>");
            m_data.appendInt(sharedStringOf(cell));
            m_data.append("</v></c>");
            break;
        case CellType::Formula:
            writeFormula(cell);
            break;
        }
    }

    // Entered and counted while numbering, looked up afterwards.
    int sharedStringOf(const Cell &cell)
    {
        if (cell.text.size() > SheetLimits::MaxTextLength) {
            const QString cut = cell.text.left(SheetLimits::MaxTextLength);
            return m_numbered ? m_strings.indexOf(cut) : m_strings.indexFor(cut);
        }
        return m_numbered ? m_strings.indexOf(cell) : m_strings.indexFor(cell);
    }

    // A formula without its leading "=", and its last result.
    void writeFormula(const Cell &cell)
    {
        const QStringView formula = QStringView(cell.formula).startsWith(QLatin1Char('='))
            ? QStringView(cell.formula).mid(1)
            : QStringView(cell.formula);
        if (cell.cachedType == CellType::Text)
            m_data.append(" t=\"str\"");
        else if (cell.cachedType == CellType::Boolean)
            m_data.append(" t=\"b\"");
        else if (cell.cachedType == CellType::Error)
            m_data.append(" t=\"e\"");
        m_data.append("><f>");
        m_scratch.clear();
        XmlText::appendPlain(m_scratch, formula);
        m_data.append(m_scratch);
        m_data.append("</f>");
        writeCachedResult(cell);
        m_data.append("</c>");
    }

    // A formula's last result; none for an empty one or a number no file can hold.
    void writeCachedResult(const Cell &cell)
    {
        if (cell.cachedType == CellType::Number && std::isfinite(cell.number)) {
            m_data.append("<v>");
            m_data.appendNumber(cell.number);
            m_data.append("</v>");
        } else if (cell.cachedType == CellType::Boolean) {
            if (cell.number != 0.0)
                m_data.append("<v>1</v>");
            else
                m_data.append("<v>0</v>");
        } else if (cell.cachedType == CellType::Text) {
            m_data.append("<v>");
            m_scratch.clear();
            XmlText::appendCellText(m_scratch, QStringView(cell.text).left(SheetLimits::MaxTextLength));
            m_data.append(m_scratch);
            m_data.append("</v>");
        } else if (cell.cachedType == CellType::Error) {
            m_data.append("<v>");
            appendErrorCode(cell.text);
            m_data.append("</v>");
        }
    }

    // An error value's code ("#DIV/0!", "#N/A"). The known codes need no
    // escaping, but a code read from elsewhere is escaped all the same; an
    // error without a code is written as "#N/A", since the file holds no
    // empty error.
    void appendErrorCode(const QString &code)
    {
        m_scratch.clear();
        XmlText::appendPlain(m_scratch, code.isEmpty() ? QStringLiteral("#N/A") : code);
        m_data.append(m_scratch);
    }

    static constexpr qsizetype PieceBytes = 256 * 1024;

    const Worksheet &m_sheet;
    const Workbook &m_workbook;
    StyleTable &m_styles;
    SharedStringTable &m_strings;
    CellStream m_data;
    std::map<int, RowData>::const_iterator m_nextRow;
    bool m_begun = false;
    bool m_done = false;
    bool m_numbered = false;
    QByteArray m_scratch; // one escaped text at a time
    ColumnNames m_columnNames;
    char m_rowNumber[12] = {}; // the current row's number, shared by its cells' addresses
    int m_rowNumberLength = 0;
};

SheetDataWriter::SheetDataWriter(
    const Worksheet &sheet, const Workbook &workbook, StyleTable &styles, SharedStringTable &strings)
    : m_writer(std::make_unique<CellWriter>(sheet, workbook, styles, strings))
{ }

SheetDataWriter::~SheetDataWriter() = default;

qint64 SheetDataWriter::number()
{
    return m_writer->number();
}

void SheetDataWriter::start()
{
    m_writer->start();
}

bool SheetDataWriter::next(QByteArray &piece)
{
    return m_writer->next(piece);
}

} // namespace tannbuch
