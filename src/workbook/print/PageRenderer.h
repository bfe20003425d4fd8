#pragma once

#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/print/BorderPen.h"
#include "workbook/print/GlyphBatch.h"
#include "workbook/print/HeaderFooterText.h"
#include "workbook/print/PageLayout.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>
class QPainter;

namespace tannbuch {

class NumberFormatter;
class Workbook;
class Worksheet;

// Draws the pages of one sheet as its page set-up lays them out (PageLayout):
// fills, grid lines when asked for, cell texts in their number formats,
// fonts, colours and alignment (wrapped, or running on over empty neighbours), merged
// cells, border lines, pictures, links blue and underlined (and, in a PDF,
// clickable), and the header and footer. The painter's units are points on
// the paper, its origin the paper's top left corner; any paint device will
// do (PDF, printer, image).
//
// The workbook is read, never changed, and must outlive the renderer; only
// reads happen, so the window may show the same workbook meanwhile. One
// renderer is used from one thread. Never throws.
class PageRenderer
{
public:
    PageRenderer(const Workbook &workbook, int sheetIndex);
    ~PageRenderer();
    PageRenderer(const PageRenderer &) = delete;
    PageRenderer &operator=(const PageRenderer &) = delete;

    const PageLayout &layout() const { return m_layout; }
    int pageCount() const { return m_layout.pageCount(); }

    // The moment &D and &T show (default: now).
    void setPrinted(const QDateTime &printed) { m_printed = printed; }
    // The file the workbook is saved as: &F shows its name, &Z its folder.
    // Without one, &F shows the name of the file the workbook was made from
    // and &Z nothing.
    void setFilePath(const QString &path);
    // Page numbers (&P, &N) count on from pages printed before this sheet.
    void setPageNumbering(int firstNumber, int total);

    // Draws page index (0-based) onto the painter.
    void drawPage(QPainter &painter, int index) const;
    // The header or footer of a page with its fields filled in.
    HeaderFooterText header(int index) const;
    HeaderFooterText footer(int index) const;

    // Padding between a cell's edge and its text, in points.
    static constexpr double TextPadding = 2.0;

private:
    struct Look
    {
        QString numberFormat;
        QFont font;
        HAlign horizontalAlignment = HAlign::General;
        Qt::Alignment verticalAlignment = Qt::AlignBottom;
        bool wrap = false;
        QColor color = Qt::black; // the text's
        QColor fill;
        std::array<BorderPen, 4> edges; // left, top, right, bottom
        // The font as drawn on the device of that resolution, its metrics
        // and the texts laid out in it, made once per look and resolution.
        int dpi = 0;
        QFont drawn;
        std::optional<QFontMetricsF> metrics;
        std::unique_ptr<TextShapes> shapes;
    };
    struct Block;
    class BlockPainter;

    // The look of a style, made on first use; its drawn font is filled in
    // when drawing.
    Look &look(quint32 styleId) const;
    // A number as the style's format shows it, formatted once per value
    // and style: a long list shows the same lengths, counts and grades
    // thousands of times.
    QString shownNumber(double value, quint32 styleId) const;
    QFont scaled(QFont font, const QPainter &painter) const;
    // The picture of that index, read on first use (null when Qt
    // cannot read it).
    const QImage &picture(size_t index) const;
    // The address of the cell's link (empty for one inside the workbook);
    // null when the cell has none.
    const QString *linkAt(int row, int column) const;
    void drawBlock(QPainter &painter, const Block &block) const;
    void drawHeaderFooter(QPainter &painter, const HeaderFooterText &text, bool isHeader) const;
    void drawHeaderFooterPart(
        QPainter &painter, const HeaderFooterText::Line &line, HeaderFooterText::Part part, bool isHeader) const;
    QFont runFont(const HeaderFooterText::Run &run, const QPainter &painter) const;
    HeaderFooterText fields(const QString &code, int index) const;

    const Workbook &m_workbook;
    const Worksheet &m_sheet;
    PageLayout m_layout;
    std::unique_ptr<NumberFormatter> m_formatter;
    QDateTime m_printed;
    QString m_fileName;
    QString m_folder;
    int m_firstNumber;
    int m_total;
    QString m_defaultFamily;
    double m_defaultSize = 11.0;
    std::vector<std::pair<qint64, QString>> m_linkCells; // the cells with a link and its address, row by row
    std::vector<Picture> m_pictures; // the template drawing's, then the sheet's own
    mutable std::vector<std::unique_ptr<Look>> m_looks;
    // Numbers shown, by the bits of the value and the style.
    struct ShownKey
    {
        quint64 bits;
        quint32 styleId;
        bool operator==(const ShownKey &other) const { return bits == other.bits && styleId == other.styleId; }
    };
    friend size_t qHash(const ShownKey &key, size_t seed) { return qHashMulti(seed, key.bits, key.styleId); }
    mutable QHash<ShownKey, QString> m_shownNumbers;
    mutable std::vector<QImage> m_images;
    mutable bool m_imagesRead = false;
};

} // namespace tannbuch
