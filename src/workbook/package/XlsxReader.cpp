#include "XlsxReader.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/formula/FormulaReferences.h"
#include "workbook/package/OfficeConverter.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/Relationships.h"
#include "workbook/package/StyleCodes.h"
#include "workbook/package/TemplatePackage.h"
#include "workbook/package/XmlDom.h"
#include "workbook/package/XmlText.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace tannbuch {

namespace {

using XmlDom::attribute;
using XmlDom::child;
using XmlDom::is;
using XmlDom::isTrue;

// Everything one load needs to know: the file's name for messages, the
// package being filled and the workbook being built.
struct Loader
{
    QString fileName;
    std::shared_ptr<TemplatePackage> package;
    Workbook *workbook = nullptr;
    std::vector<quint32> styleOfXf; // cell format number -> style id, interned once

    [[noreturn]] void damaged(const QString &detail) const
    {
        throw WorkbookError(
            QStringLiteral("Die Datei \"%1\" ist beschädigt und kann nicht gelesen werden: %2").arg(fileName, detail));
    }

    void parsePart(pugi::xml_document &doc, const QString &path) const
    {
        const QByteArray *bytes = package->part(path);
        if (!bytes)
            damaged(QStringLiteral("der Teil \"%1\" fehlt").arg(path));
        XmlDom::parse(doc, *bytes, path, fileName);
    }

    Relationships relationshipsOf(const QString &partPath) const
    {
        const QString relsPath = Relationships::relsPathFor(partPath);
        const QByteArray *bytes = package->part(relsPath);
        if (!bytes)
            return Relationships();
        try {
            return Relationships::parse(*bytes, relsPath);
        } catch (const WorkbookError &e) {
            damaged(e.message());
        }
    }

    quint32 styleFor(int xf)
    {
        if (xf <= 0)
            return 0;
        if (size_t(xf) >= styleOfXf.size())
            styleOfXf.resize(size_t(xf) + 1, quint32(-1));
        quint32 &id = styleOfXf[size_t(xf)];
        if (id == quint32(-1)) {
            CellStyle style;
            style.baseXf = xf;
            id = workbook->styles().intern(style);
        }
        return id;
    }

    void loadStyles(const QString &path);
    void loadSharedStrings(const QString &path);
    void loadSheet(const TemplatePackage::SheetInfo &info, Worksheet &sheet);
    void loadPrintNames(const pugi::xml_node &definedNames);
    void loadCustomProperties();
    void load(const QString &zipPath);
    QString workbookPartPath() const;
    QString linkedPart(const Relationships &workbookRels, const char *type) const;
    void readSheetEntries(const pugi::xml_node &sheets, const Relationships &workbookRels);
    void loadSheets();
};

int toInt(const pugi::xml_attribute &attr, int fallback = 0)
{
    if (!attr)
        return fallback;
    return attr.as_int(fallback);
}

double toDouble(const char *text, bool *ok = nullptr)
{
    double value = 0.0;
    const char *end = text + std::strlen(text);
    while (text < end && (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r'))
        ++text;
    if (text < end && *text == '+')
        ++text;
    const auto result = std::from_chars(text, end, value);
    if (ok)
        *ok = result.ec == std::errc() && text != end;
    return value;
}

// "AB12" -> row 12, column 28. False for anything else.
bool parseCellName(const char *text, int &row, int &column)
{
    column = 0;
    row = 0;
    const char *p = text;
    if (*p == '$')
        ++p;
    int letters = 0;
    while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')) {
        column = column * 26 + ((*p & ~0x20) - 'A' + 1);
        ++p;
        if (++letters > 3)
            return false;
    }
    if (*p == '$')
        ++p;
    qint64 r = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        r = r * 10 + (*p - '0');
        ++p;
        if (++digits > 7)
            return false;
    }
    if (*p != '\0' || letters == 0 || digits == 0)
        return false;
    row = int(r);
    return row >= 1 && row <= SheetLimits::MaxRows && column >= 1 && column <= SheetLimits::MaxColumns;
}

// The visible text of a string item: its plain text, or its rich text runs
// joined; phonetic guides are not part of the text.
QString stringItemText(const pugi::xml_node &item)
{
    QString text;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (is(c, "t")) {
            text += QString::fromUtf8(c.text().get());
        } else if (is(c, "r")) {
            const pugi::xml_node t = child(c, "t");
            if (t)
                text += QString::fromUtf8(t.text().get());
        }
    }
    return XmlText::decodeCellText(text);
}

QString colorOf(const pugi::xml_node &color)
{
    const QString rgb = XmlDom::text(attribute(color, "rgb"));
    if (rgb.size() == 8)
        return QLatin1Char('#') + rgb.mid(2).toUpper();
    if (rgb.size() == 6)
        return QLatin1Char('#') + rgb.toUpper();
    return QString();
}

// A font of the styles part, as far as the model resolves it.
struct FontFace
{
    QString name = QStringLiteral("Calibri");
    double size = 11.0;
    bool bold = false;
    bool italic = false;
    QString color; // #RRGGBB, empty for automatic
};

// A colour element as #RRGGBB: its own, from the palette, or from the
// default theme, lightened or darkened by its tint; empty for automatic.
QString colorValue(const pugi::xml_node &color)
{
    if (!color || isTrue(attribute(color, "auto")))
        return QString();
    QString rgb;
    if (attribute(color, "rgb"))
        rgb = colorOf(color);
    else if (attribute(color, "indexed"))
        rgb = StyleCodes::paletteColor(StyleCodes::colorIndexOfIndexed(toInt(attribute(color, "indexed"), -1)));
    else if (attribute(color, "theme"))
        rgb = StyleCodes::themeColor(toInt(attribute(color, "theme"), -1));
    return rgb.isEmpty() ? rgb : StyleCodes::tintedColor(rgb, toDouble(attribute(color, "tint").value()));
}

FontFace fontFace(const pugi::xml_node &font)
{
    FontFace face;
    if (const pugi::xml_node n = child(font, "name"))
        face.name = XmlDom::text(attribute(n, "val"));
    if (const pugi::xml_node n = child(font, "sz"))
        face.size = attribute(n, "val").as_double(11.0);
    if (const pugi::xml_node n = child(font, "b"))
        face.bold = isTrue(attribute(n, "val"), true);
    if (const pugi::xml_node n = child(font, "i"))
        face.italic = isTrue(attribute(n, "val"), true);
    face.color = colorValue(child(font, "color"));
    return face;
}

// The colour of a solid fill; empty for none or a pattern.
QString fillColor(const pugi::xml_node &fill)
{
    const pugi::xml_node pattern = child(fill, "patternFill");
    if (pattern && std::strcmp(attribute(pattern, "patternType").value(), "solid") == 0)
        return colorValue(child(pattern, "fgColor"));
    return QString();
}

// A border's lines; the diagonal one counts for the directions it is drawn in.
std::array<BorderLine, EdgeCount> borderLines(const pugi::xml_node &border)
{
    const auto edge = [&](const char *name, const char *alternative) {
        const pugi::xml_node e = XmlDom::childOr(border, name, alternative);
        const pugi::xml_node color = child(e, "color");
        const int indexed = color && attribute(color, "indexed") ? toInt(attribute(color, "indexed"), -1) : -1;
        return StyleCodes::borderLine(XmlDom::text(attribute(e, "style")), indexed);
    };
    std::array<BorderLine, EdgeCount> lines;
    lines[EdgeLeft] = edge("left", "start");
    lines[EdgeRight] = edge("right", "end");
    lines[EdgeTop] = edge("top", nullptr);
    lines[EdgeBottom] = edge("bottom", nullptr);
    const BorderLine diagonal = edge("diagonal", nullptr);
    if (isTrue(attribute(border, "diagonalDown")))
        lines[EdgeDiagonalDown] = diagonal;
    if (isTrue(attribute(border, "diagonalUp")))
        lines[EdgeDiagonalUp] = diagonal;
    return lines;
}

// Each element `local` of the list `listName` below root, read by `read`.
template <typename Read> auto readList(const pugi::xml_node &root, const char *listName, const char *local, Read read)
{
    std::vector<decltype(read(pugi::xml_node()))> items;
    for (const pugi::xml_node &n : XmlDom::children(child(root, listName), local))
        items.push_back(read(n));
    return items;
}

// The lists of a styles part that its cell formats point into.
struct StyleLists
{
    QHash<int, QString> customFormats; // number format id -> format code
    std::vector<FontFace> fonts;
    std::vector<QString> fills;
    std::vector<std::array<BorderLine, EdgeCount>> borders;

    explicit StyleLists(const pugi::xml_node &root)
        : fonts(readList(root, "fonts", "font", fontFace))
        , fills(readList(root, "fills", "fill", fillColor))
        , borders(readList(root, "borders", "border", borderLines))
    {
        for (const pugi::xml_node &f : XmlDom::children(child(root, "numFmts"), "numFmt"))
            customFormats.insert(toInt(attribute(f, "numFmtId"), -1), XmlDom::text(attribute(f, "formatCode")));
    }

    // A cell format with everything it points at looked up.
    ResolvedStyle resolve(const pugi::xml_node &xf) const
    {
        ResolvedStyle style;
        const int numFmtId = toInt(attribute(xf, "numFmtId"));
        if (customFormats.contains(numFmtId))
            style.numberFormat = customFormats.value(numFmtId);
        else if (const QString builtin = StyleCodes::builtinNumberFormat(numFmtId); !builtin.isEmpty())
            style.numberFormat = builtin;
        const int fontId = toInt(attribute(xf, "fontId"));
        if (fontId >= 0 && size_t(fontId) < fonts.size()) {
            style.fontName = fonts[size_t(fontId)].name;
            style.fontSize = fonts[size_t(fontId)].size;
            style.bold = fonts[size_t(fontId)].bold;
            style.italic = fonts[size_t(fontId)].italic;
            style.fontColor = fonts[size_t(fontId)].color;
        }
        const int fillId = toInt(attribute(xf, "fillId"));
        if (fillId >= 0 && size_t(fillId) < fills.size())
            style.fillColor = fills[size_t(fillId)];
        const int borderId = toInt(attribute(xf, "borderId"));
        if (borderId >= 0 && size_t(borderId) < borders.size())
            style.borders = borders[size_t(borderId)];
        if (const pugi::xml_node alignment = child(xf, "alignment")) {
            style.horizontalAlignment = StyleCodes::horizontalAlign(XmlDom::text(attribute(alignment, "horizontal")));
            style.verticalAlignment = StyleCodes::verticalAlign(XmlDom::text(attribute(alignment, "vertical")));
            style.wrapText = isTrue(attribute(alignment, "wrapText"));
        }
        style.quotePrefix = isTrue(attribute(xf, "quotePrefix"));
        return style;
    }
};

void Loader::loadStyles(const QString &path)
{
    pugi::xml_document doc;
    parsePart(doc, path);
    const StyleLists lists(doc.document_element());
    workbook->setBaseStyles(readList(
        doc.document_element(), "cellXfs", "xf", [&lists](const pugi::xml_node &xf) { return lists.resolve(xf); }));
}

void Loader::loadSharedStrings(const QString &path)
{
    pugi::xml_document doc;
    parsePart(doc, path);
    for (pugi::xml_node si = doc.document_element().first_child(); si; si = si.next_sibling()) {
        if (is(si, "si"))
            package->sharedStrings.append(stringItemText(si));
    }
}

// Days since 30 December 1899, the workbook's date numbers, of an ISO date text.
double serialOfIsoDate(const QString &text, bool *ok)
{
    QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(text, Qt::ISODate), QTime(0, 0));
    *ok = dt.isValid();
    if (!*ok)
        return 0.0;
    const QDate epoch(1899, 12, 30);
    return double(epoch.daysTo(dt.date())) + double(dt.time().msecsSinceStartOfDay()) / 86400000.0;
}

constexpr double PointsPerInch = 72.0;

// A number of the print format; the fallback when it is missing or no number.
double printNumber(const pugi::xml_attribute &a, double fallback)
{
    bool ok = false;
    const double value = XmlDom::text(a).toDouble(&ok);
    return ok ? value : fallback;
}

// How the sheet of a worksheet element prints beyond its page set-up:
// default row height and column width, fitting to pages, centring, grid
// lines, margins and the first page number.
TemplatePrintFormat readPrintFormat(const pugi::xml_node &root)
{
    TemplatePrintFormat format;
    const pugi::xml_node sheetFormat = child(root, "sheetFormatPr");
    format.defaultRowHeight = printNumber(attribute(sheetFormat, "defaultRowHeight"), format.defaultRowHeight);
    format.defaultColumnWidth = printNumber(attribute(sheetFormat, "defaultColWidth"), -1.0);
    if (format.defaultColumnWidth < 0 && attribute(sheetFormat, "baseColWidth")) {
        // A base width in characters gets the cell margins and rounding to
        // whole pixels the format adds: 5 pixels, then up to a multiple of 8.
        const double base = printNumber(attribute(sheetFormat, "baseColWidth"), 8.0);
        const double pixels = std::ceil((base * 7.0 + 5.0) / 8.0) * 8.0;
        format.defaultColumnWidth = pixels / 7.0;
    }

    format.fitToPage = isTrue(attribute(child(child(root, "sheetPr"), "pageSetUpPr"), "fitToPage"));

    const pugi::xml_node options = child(root, "printOptions");
    format.centerHorizontally = isTrue(attribute(options, "horizontalCentered"));
    format.centerVertically = isTrue(attribute(options, "verticalCentered"));
    format.gridLines = isTrue(attribute(options, "gridLines"));

    if (const pugi::xml_node m = child(root, "pageMargins")) {
        format.margins = QMarginsF(printNumber(attribute(m, "left"), 0.7) * PointsPerInch,
            printNumber(attribute(m, "top"), 0.75) * PointsPerInch,
            printNumber(attribute(m, "right"), 0.7) * PointsPerInch,
            printNumber(attribute(m, "bottom"), 0.75) * PointsPerInch);
        format.headerMargin = printNumber(attribute(m, "header"), 0.3) * PointsPerInch;
        format.footerMargin = printNumber(attribute(m, "footer"), 0.3) * PointsPerInch;
    }

    const pugi::xml_node page = child(root, "pageSetup");
    format.fitToWidth = std::max(0, attribute(page, "fitToWidth").as_int(1));
    format.fitToHeight = std::max(0, attribute(page, "fitToHeight").as_int(1));
    if (isTrue(attribute(page, "useFirstPageNumber")))
        format.firstPageNumber = attribute(page, "firstPageNumber").as_int(1);
    return format;
}

// Reads one worksheet part into its sheet of the model, element by element.
class SheetLoader
{
public:
    SheetLoader(Loader &loader, const TemplatePackage::SheetInfo &info, Worksheet &sheet)
        : m_loader(loader)
        , m_info(info)
        , m_sheet(sheet)
    { }

    void loadColumns(const pugi::xml_node &cols);
    void loadRows(const pugi::xml_node &sheetData);
    void loadMerges(const pugi::xml_node &mergeCells);
    void loadHyperlinks(const pugi::xml_node &hyperlinks, const Relationships &rels);
    void loadRowBreaks(const pugi::xml_node &rowBreaks);
    void loadView(const pugi::xml_node &sheetViews);
    void loadPageSetup(const pugi::xml_node &pageSetup, const pugi::xml_node &headerFooter);

private:
    [[noreturn]] void damaged(const QString &detail) const
    {
        m_loader.damaged(QStringLiteral("Blatt \"%1\": %2").arg(m_info.name, detail));
    }
    RangeRef range(const QString &text) const
    {
        try {
            return CellAddress::parse(text);
        } catch (const WorkbookError &e) {
            damaged(e.message());
        }
    }
    int rowNumberOf(const pugi::xml_node &rowNode, int previous) const;
    int columnOf(const pugi::xml_node &c, int row, int previous) const;
    void loadRow(const pugi::xml_node &rowNode, int r, RowData &row);
    void loadCell(const pugi::xml_node &c, int r, int column);
    CellType readValue(Cell &cell, const pugi::xml_node &c, int r, int column) const;
    void readFormula(Cell &cell, const pugi::xml_node &f, int r, int column);
    void resolvePendingFormulas();

    // Shared formulas are expanded into ordinary ones, each moved from its
    // master cell, so copying rows later cannot break them.
    struct SharedMaster
    {
        int row = 0;
        int column = 0;
        QString formula;
    };
    struct PendingShared
    {
        int row;
        int column;
        int index;
    };

    Loader &m_loader;
    const TemplatePackage::SheetInfo &m_info;
    Worksheet &m_sheet;
    QHash<int, SharedMaster> m_masters; // shared formula index -> its master
    std::vector<PendingShared> m_pending; // dependent cells met before their master
};

// Column formats: a span min..max stands for each of its columns.
void SheetLoader::loadColumns(const pugi::xml_node &cols)
{
    for (const pugi::xml_node &col : XmlDom::children(cols, "col")) {
        const int first = qBound(1, toInt(attribute(col, "min"), 1), SheetLimits::MaxColumns);
        const int last = qBound(first, toInt(attribute(col, "max"), first), SheetLimits::MaxColumns);
        ColumnData data;
        if (attribute(col, "width"))
            data.width = attribute(col, "width").as_double(-1.0);
        data.customWidth = isTrue(attribute(col, "customWidth"));
        data.hidden = isTrue(attribute(col, "hidden"));
        data.styleId = m_loader.styleFor(toInt(attribute(col, "style")));
        auto &columns = m_sheet.columnsForWrite();
        for (int c = first; c <= last; ++c)
            columns[c] = data;
    }
}

// Cells, row by row; rows and the cells of a row come in ascending order.
void SheetLoader::loadRows(const pugi::xml_node &sheetData)
{
    auto &rows = m_sheet.rowsForWrite();
    int rowNumber = 0;
    for (pugi::xml_node rowNode = sheetData.first_child(); rowNode; rowNode = rowNode.next_sibling()) {
        if (!is(rowNode, "row"))
            continue;
        rowNumber = rowNumberOf(rowNode, rowNumber);
        loadRow(rowNode, rowNumber, rows[rowNumber]);
    }
    resolvePendingFormulas();
}

int SheetLoader::rowNumberOf(const pugi::xml_node &rowNode, int previous) const
{
    const int r = toInt(attribute(rowNode, "r"), previous + 1);
    if (r < 1 || r > SheetLimits::MaxRows || r <= previous)
        damaged(QStringLiteral("ungültige Zeilennummer %1").arg(r));
    return r;
}

void SheetLoader::loadRow(const pugi::xml_node &rowNode, int r, RowData &row)
{
    if (const pugi::xml_attribute ht = attribute(rowNode, "ht"))
        row.height = ht.as_double(-1.0);
    row.customHeight = isTrue(attribute(rowNode, "customHeight"));
    row.hidden = isTrue(attribute(rowNode, "hidden"));
    if (isTrue(attribute(rowNode, "customFormat")))
        row.styleId = m_loader.styleFor(toInt(attribute(rowNode, "s")));

    int columnNumber = 0;
    for (pugi::xml_node c = rowNode.first_child(); c; c = c.next_sibling()) {
        if (!is(c, "c"))
            continue;
        columnNumber = columnOf(c, r, columnNumber);
        loadCell(c, r, columnNumber);
    }
}

int SheetLoader::columnOf(const pugi::xml_node &c, int row, int previous) const
{
    int cellRow = row;
    int column = previous + 1;
    if (const pugi::xml_attribute ref = attribute(c, "r")) {
        if (!parseCellName(ref.value(), cellRow, column) || cellRow != row)
            damaged(QStringLiteral("ungültige Zelle \"%1\"").arg(QString::fromUtf8(ref.value())));
    }
    if (column <= previous)
        damaged(QStringLiteral("Zellen außer der Reihe in Zeile %1").arg(row));
    return column;
}

// A cell with its format and value; a cell with neither is not made.
void SheetLoader::loadCell(const pugi::xml_node &c, int r, int column)
{
    const pugi::xml_node f = child(c, "f");
    const int xf = toInt(attribute(c, "s"));
    if (!f && !child(c, "v") && !child(c, "is") && xf <= 0)
        return;
    Cell &cell = m_sheet.cellForWrite(r, column);
    cell.styleId = m_loader.styleFor(xf);
    const CellType valueType = readValue(cell, c, r, column);
    if (cell.text.size() > SheetLimits::MaxTextLength)
        cell.text.truncate(SheetLimits::MaxTextLength);
    if (f && std::strcmp(attribute(f, "t").value(), "dataTable") != 0) {
        readFormula(cell, f, r, column);
        cell.type = CellType::Formula;
        cell.cachedType = valueType;
    } else {
        cell.type = valueType;
    }
}

// The cell's value (for a formula: its last result) by the cell's type; the
// kind of value read.
CellType SheetLoader::readValue(Cell &cell, const pugi::xml_node &c, int r, int column) const
{
    const char *type = attribute(c, "t").value();
    const pugi::xml_node v = child(c, "v");
    if (std::strcmp(type, "inlineStr") == 0) {
        const pugi::xml_node is = child(c, "is");
        if (!is)
            return CellType::Empty;
        cell.text = stringItemText(is);
        return CellType::Text;
    }
    if (!v)
        return CellType::Empty;
    const char *value = v.text().get();
    if (std::strcmp(type, "s") == 0) {
        bool ok = false;
        const int index = QByteArrayView(value).trimmed().toInt(&ok);
        const QStringList &strings = m_loader.package->sharedStrings;
        if (!ok || index < 0 || index >= strings.size())
            damaged(QStringLiteral("Zelle %1 verweist auf einen fehlenden Text").arg(CellAddress::cellName(r, column)));
        cell.text = strings.at(index);
        cell.sharedString = index;
        return CellType::Text;
    }
    if (std::strcmp(type, "str") == 0) {
        cell.text = XmlText::decodeCellText(QString::fromUtf8(value));
        return CellType::Text;
    }
    if (std::strcmp(type, "b") == 0) {
        cell.number = toDouble(value) != 0.0 ? 1.0 : 0.0;
        return CellType::Boolean;
    }
    if (std::strcmp(type, "e") == 0) {
        // An error value, on its own or as a formula's last result.
        cell.text = QString::fromUtf8(value).trimmed();
        return CellType::Error;
    }
    bool ok = false;
    if (std::strcmp(type, "d") == 0) {
        cell.number = serialOfIsoDate(QString::fromUtf8(value), &ok);
        return ok ? CellType::Number : CellType::Empty;
    }
    cell.number = toDouble(value, &ok);
    if (!ok)
        damaged(QStringLiteral("Zelle %1 enthält keine Zahl").arg(CellAddress::cellName(r, column)));
    return CellType::Number;
}

// The formula of a cell; a shared formula's dependent cell gets its master's
// formula moved to it, or waits for a master further on.
void SheetLoader::readFormula(Cell &cell, const pugi::xml_node &f, int r, int column)
{
    const QString formulaText = QString::fromUtf8(f.text().get());
    if (std::strcmp(attribute(f, "t").value(), "shared") != 0) {
        cell.formula = QLatin1Char('=') + formulaText;
        return;
    }
    const int index = toInt(attribute(f, "si"), -1);
    if (!formulaText.isEmpty()) {
        m_masters.insert(index, {r, column, formulaText});
        cell.formula = QLatin1Char('=') + formulaText;
    } else if (const auto m = m_masters.constFind(index); m != m_masters.constEnd()) {
        cell.formula = QLatin1Char('=') + FormulaReferences::shift(m->formula, r - m->row, column - m->column);
    } else {
        m_pending.push_back({r, column, index});
    }
}

void SheetLoader::resolvePendingFormulas()
{
    for (const PendingShared &p : m_pending) {
        Cell &cell = m_sheet.cellForWrite(p.row, p.column);
        const auto m = m_masters.constFind(p.index);
        if (m == m_masters.constEnd()) {
            // A dependent cell whose master is gone keeps its last result.
            cell.type = cell.cachedType;
            continue;
        }
        cell.formula = QLatin1Char('=') + FormulaReferences::shift(m->formula, p.row - m->row, p.column - m->column);
    }
}

void SheetLoader::loadMerges(const pugi::xml_node &mergeCells)
{
    for (const pugi::xml_node &m : XmlDom::children(mergeCells, "mergeCell"))
        m_sheet.mergesForWrite().push_back(range(XmlDom::text(attribute(m, "ref"))));
}

// A link to an address names it through the sheet's relationships.
void SheetLoader::loadHyperlinks(const pugi::xml_node &hyperlinks, const Relationships &rels)
{
    for (const pugi::xml_node &h : XmlDom::children(hyperlinks, "hyperlink")) {
        Hyperlink link;
        const RangeRef ref = range(XmlDom::text(attribute(h, "ref")));
        link.anchor = {ref.firstRow, ref.firstColumn};
        if (const pugi::xml_attribute id = attribute(h, "id")) {
            if (const Relationship *rel = rels.find(XmlDom::text(id)))
                link.address = rel->target;
        }
        link.location = XmlDom::text(attribute(h, "location"));
        link.textToDisplay = XmlDom::text(attribute(h, "display"));
        link.tooltip = XmlDom::text(attribute(h, "tooltip"));
        m_sheet.hyperlinksForWrite().push_back(link);
    }
}

// A break's id is the row above it; the model keeps the row below.
void SheetLoader::loadRowBreaks(const pugi::xml_node &rowBreaks)
{
    for (const pugi::xml_node &b : XmlDom::children(rowBreaks, "brk")) {
        if (!isTrue(attribute(b, "man")))
            continue;
        const int above = toInt(attribute(b, "id"), 0);
        if (above >= 1 && above < SheetLimits::MaxRows)
            m_sheet.rowBreaksForWrite().insert(above + 1);
    }
}

// The view the sheet opens in, from its first sheet view.
void SheetLoader::loadView(const pugi::xml_node &sheetViews)
{
    const QByteArray view = child(sheetViews, "sheetView").attribute("view").value();
    if (view == "pageBreakPreview")
        m_sheet.setView(SheetViewMode::PageBreakPreview);
    else if (view == "pageLayout")
        m_sheet.setView(SheetViewMode::PageLayout);
}

// The page set-up as the template has it; unchanged until the program sets it.
void SheetLoader::loadPageSetup(const pugi::xml_node &pageSetup, const pugi::xml_node &headerFooter)
{
    PageSetup &page = m_sheet.pageSetupForWrite();
    if (pageSetup) {
        page.scale = toInt(attribute(pageSetup, "scale"), 100);
        page.paperSize = toInt(attribute(pageSetup, "paperSize"), 0);
        page.orientation = XmlDom::text(attribute(pageSetup, "orientation"));
    }
    if (headerFooter) {
        page.oddHeader = XmlDom::text(child(headerFooter, "oddHeader"));
        page.oddFooter = XmlDom::text(child(headerFooter, "oddFooter"));
    }
    page.changed = false;
}

void Loader::loadSheet(const TemplatePackage::SheetInfo &info, Worksheet &sheet)
{
    const QByteArray *bytes = package->part(info.partPath);
    if (!bytes)
        damaged(QStringLiteral("das Tabellenblatt \"%1\" (%2) fehlt").arg(info.name, info.partPath));
    sheet.setTemplateXml(*bytes);

    pugi::xml_document doc;
    XmlDom::parse(doc, *bytes, info.partPath, fileName);
    const pugi::xml_node root = doc.document_element();
    const Relationships rels = relationshipsOf(info.partPath);
    SheetLoader loader(*this, info, sheet);
    loader.loadColumns(child(root, "cols"));
    loader.loadRows(child(root, "sheetData"));
    loader.loadMerges(child(root, "mergeCells"));
    loader.loadHyperlinks(child(root, "hyperlinks"), rels);
    loader.loadRowBreaks(child(root, "rowBreaks"));
    loader.loadView(child(root, "sheetViews"));
    loader.loadPageSetup(child(root, "pageSetup"), child(root, "headerFooter"));
    sheet.setTemplatePrintFormat(readPrintFormat(root));
}

// The print area and the rows and columns printed on every page that the
// workbook's defined names give its worksheets, by the sheet's position in
// the workbook part's list.
void Loader::loadPrintNames(const pugi::xml_node &definedNames)
{
    for (pugi::xml_node n : definedNames.children()) {
        if (n.type() != pugi::node_element)
            continue;
        const int position = attribute(n, "localSheetId").as_int(-1);
        if (position < 0 || size_t(position) >= package->sheets.size()
            || package->sheets[size_t(position)].modelIndex < 0)
            continue;
        Worksheet &sheet = workbook->sheet(package->sheets[size_t(position)].modelIndex);
        TemplatePrintFormat format = sheet.templatePrintFormat();
        const QString name = XmlDom::text(attribute(n, "name"));
        if (name.compare(QLatin1String("_xlnm.Print_Area"), Qt::CaseInsensitive) == 0)
            format.printAreas.append(XmlDom::text(n));
        else if (name.compare(QLatin1String("_xlnm.Print_Titles"), Qt::CaseInsensitive) == 0)
            format.printTitles.append(XmlDom::text(n));
        sheet.setTemplatePrintFormat(format);
    }
}

void Loader::loadCustomProperties()
{
    const Relationships rootRels = relationshipsOf(QString());
    const Relationship *rel = rootRels.findType(Ooxml::RelCustomProperties);
    if (!rel)
        return;
    const QString path = Relationships::resolve(QString(), rel->target);
    if (!package->part(path))
        return;
    pugi::xml_document doc;
    parsePart(doc, path);
    for (pugi::xml_node p = doc.document_element().first_child(); p; p = p.next_sibling()) {
        if (!is(p, "property"))
            continue;
        const QString name = XmlDom::text(attribute(p, "name"));
        pugi::xml_node value = p.first_child();
        while (value && value.type() != pugi::node_element)
            value = value.next_sibling();
        if (name.isEmpty() || !value)
            continue;
        const char *kind = XmlDom::localName(value.name());
        const QString text = XmlDom::text(value);
        const auto isKind = [kind](std::initializer_list<const char *> kinds) {
            return std::any_of(kinds.begin(), kinds.end(), [kind](const char *k) { return !std::strcmp(kind, k); });
        };
        QVariant v;
        if (isKind({"i1", "i2", "i4", "int", "ui1", "ui2"}))
            v = text.toInt();
        else if (isKind({"i8"}))
            v = text.toLongLong();
        else if (isKind({"ui4", "uint", "ui8"}))
            v = text.toULongLong();
        else if (isKind({"r8", "r4"}))
            v = text.toDouble();
        else if (isKind({"bool"}))
            v = text == QLatin1String("true") || text == QLatin1String("1");
        else if (isKind({"filetime", "date"}))
            v = QDateTime::fromString(text, Qt::ISODate);
        else
            v = text;
        workbook->customProperties().insert(name, v);
        // Values with inner elements (vectors, arrays) have no single text.
        if (!value.find_child([](pugi::xml_node c) { return c.type() == pugi::node_element; }))
            package->customPropertyValues.insert(name, {QByteArray(kind), text});
    }
    package->customProperties = workbook->customProperties();
}

void Loader::load(const QString &zipPath)
{
    for (ZipEntry &entry : ZipArchive::read(zipPath)) {
        if (!package->part(entry.name))
            package->addPart(entry.name, entry.data);
    }
    const QString workbookPath = workbookPartPath();
    package->workbookPart = workbookPath;

    pugi::xml_document doc;
    parsePart(doc, workbookPath);
    const pugi::xml_node root = doc.document_element();
    const Relationships rels = relationshipsOf(workbookPath);
    if (const QString path = linkedPart(rels, Ooxml::RelStyles); !path.isEmpty()) {
        package->stylesPart = path;
        loadStyles(path);
    }
    if (const QString path = linkedPart(rels, Ooxml::RelSharedStrings); !path.isEmpty()) {
        package->sharedStringsPart = path;
        loadSharedStrings(path);
    }
    readSheetEntries(child(root, "sheets"), rels);
    loadSheets();
    loadPrintNames(child(root, "definedNames"));

    // The sheet shown when the file was saved becomes the active one.
    const int activeTab = toInt(attribute(child(child(root, "bookViews"), "workbookView"), "activeTab"), 0);
    int active = 0;
    if (activeTab >= 0 && size_t(activeTab) < package->sheets.size() && package->sheets[size_t(activeTab)].isWorksheet)
        active = package->sheets[size_t(activeTab)].modelIndex;
    workbook->setActiveSheetIndex(active);

    loadCustomProperties();

    for (int i = 0; i < workbook->sheetCount(); ++i)
        workbook->sheet(i).setChanged(false);
}

// The workbook part the package's relationships name, or the usual one.
QString Loader::workbookPartPath() const
{
    const Relationships rootRels = relationshipsOf(QString());
    const Relationship *office = rootRels.findType(Ooxml::RelOfficeDocument);
    QString workbookPath = office ? Relationships::resolve(QString(), office->target) : QString();
    if (workbookPath.isEmpty() && package->part(QStringLiteral("xl/workbook.xml")))
        workbookPath = QStringLiteral("xl/workbook.xml");
    if (workbookPath.isEmpty() || !package->part(workbookPath))
        throw WorkbookError(QStringLiteral("Die Datei \"%1\" ist keine Arbeitsmappe: ihr fehlt der "
                                           "Arbeitsmappenteil (workbook.xml).")
                                .arg(fileName));
    return workbookPath;
}

// The part the workbook refers to with a relationship of that type; empty
// when there is none or the package lacks it.
QString Loader::linkedPart(const Relationships &workbookRels, const char *type) const
{
    const Relationship *rel = workbookRels.findType(type);
    if (!rel)
        return QString();
    const QString path = Relationships::resolve(package->workbookPart, rel->target);
    return package->part(path) ? path : QString();
}

// The workbook's sheets in tab order, each with the part that holds it.
void Loader::readSheetEntries(const pugi::xml_node &sheets, const Relationships &workbookRels)
{
    for (const pugi::xml_node &s : XmlDom::children(sheets, "sheet")) {
        TemplatePackage::SheetInfo info;
        info.name = XmlDom::text(attribute(s, "name"));
        info.relationId = XmlDom::text(attribute(s, "id"));
        const Relationship *rel = workbookRels.find(info.relationId);
        if (!rel)
            damaged(QStringLiteral("das Tabellenblatt \"%1\" hat keinen Verweis auf seinen Inhalt").arg(info.name));
        info.partPath = Relationships::resolve(package->workbookPart, rel->target);
        info.isWorksheet = rel->isType(Ooxml::RelWorksheet);
        package->sheets.push_back(info);
    }
}

// A sheet of the model for each worksheet; a workbook without one is no use.
void Loader::loadSheets()
{
    for (TemplatePackage::SheetInfo &info : package->sheets) {
        if (!info.isWorksheet)
            continue;
        info.modelIndex = workbook->sheetCount();
        Worksheet &sheet = workbook->addSheet(info.name);
        loadSheet(info, sheet);
    }
    if (workbook->sheetCount() == 0)
        throw WorkbookError(
            QStringLiteral("Die Datei \"%1\" enthält kein Tabellenblatt und kann nicht verwendet werden.")
                .arg(fileName));
}

bool isLegacyBinary(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    static const char ole[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    return file.read(8) == QByteArray(ole, 8);
}

} // namespace

std::unique_ptr<Workbook> XlsxReader::load(const QString &path)
{
    const QFileInfo fileInfo(path);
    if (!fileInfo.isFile())
        throw WorkbookError(QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(path));

    auto workbook = std::make_unique<Workbook>();
    Loader loader;
    loader.fileName = fileInfo.fileName();
    loader.package = std::make_shared<TemplatePackage>();
    loader.workbook = workbook.get();

    if (isLegacyBinary(path)) {
        // An old binary template: the office suite turns it into the open
        // format first (its macros do not survive; the program runs its own).
        if (OfficeConverter::program().isEmpty())
            throw WorkbookError(
                QStringLiteral("Die Vorlage \"%1\" ist im alten binären Tabellenformat gespeichert. Zum Lesen "
                               "wird LibreOffice benötigt, das nicht installiert ist. Bitte die "
                               "Vorlage als .xltx speichern.")
                    .arg(path));
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tannbuch-convert-XXXXXX"));
        if (!dir.isValid())
            throw WorkbookError(QStringLiteral("Für die Umwandlung von \"%1\" kann kein temporärer Ordner angelegt "
                                               "werden.")
                                    .arg(path));
        // The copy gets a plain name: the suite picks its import by content.
        const QString copy = dir.filePath(QStringLiteral("vorlage.xls"));
        if (!QFile::copy(path, copy))
            throw WorkbookError(QStringLiteral("Die Vorlage \"%1\" kann nicht gelesen werden.").arg(path));
        QString converted;
        try {
            converted = OfficeConverter::convert(copy, QStringLiteral("xlsx"), dir.path());
        } catch (const WorkbookError &e) {
            throw WorkbookError(
                QStringLiteral("Die Vorlage \"%1\" kann nicht umgewandelt werden: %2").arg(path, e.message()));
        }
        loader.load(converted);
    } else {
        loader.load(path);
    }

    workbook->setSourcePath(fileInfo.absoluteFilePath());
    workbook->setPackage(loader.package);
    return workbook;
}

TemplatePrintFormat XlsxReader::printFormatOf(const QByteArray &sheetXml, const QString &partName)
{
    pugi::xml_document doc;
    XmlDom::parse(doc, sheetXml, partName, partName);
    return readPrintFormat(doc.document_element());
}

} // namespace tannbuch
