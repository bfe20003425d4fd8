#include "SheetView.h"

#include "gui/SheetDelegate.h"
#include "gui/SheetModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tannbuch {

namespace {

// A manual page break: a dashed dark line on the grid line above its row.
const QColor PageBreakColor(0x40, 0x40, 0x40);

} // namespace

SheetView::SheetView(QWidget *parent)
    : QTableView(parent)
    , m_model(new SheetModel(this))
{
    setModel(m_model);
    setItemDelegate(new SheetDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // The delegate draws the grid, so each cell owns the lines it needs.
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setMouseTracking(true);

    // The sheet sets the sizes; sections keep them whatever the font asks.
    for (QHeaderView *header : {horizontalHeader(), verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setHighlightSections(true);
    }
    horizontalHeader()->setDefaultSectionSize(SheetModel::DefaultColumnPixels);
    verticalHeader()->setDefaultSectionSize(SheetModel::DefaultRowPixels);

    connect(this, &QAbstractItemView::clicked, this, &SheetView::activateLink);
}

SheetView::~SheetView() = default;

void SheetView::setSheet(const Workbook *book, const Worksheet *sheet)
{
    // Hidden sections and spans outlive a model reset; sizes do not, so
    // only the columns and rows of another size are set one by one.
    clearSpans();
    for (const auto &[column, pixels] : m_model->columnWidths()) {
        if (pixels == 0)
            setColumnHidden(column, false);
    }
    for (const auto &[row, pixels] : m_model->rowHeights()) {
        if (pixels == 0)
            setRowHidden(row, false);
    }
    m_model->setSheet(book, sheet);
    horizontalHeader()->setDefaultSectionSize(SheetModel::DefaultColumnPixels);
    verticalHeader()->setDefaultSectionSize(m_model->defaultRowPixels());
    for (const auto &[column, pixels] : m_model->columnWidths()) {
        if (pixels == 0)
            setColumnHidden(column, true);
        else
            setColumnWidth(column, pixels);
    }
    for (const auto &[row, pixels] : m_model->rowHeights()) {
        if (pixels == 0)
            setRowHidden(row, true);
        else
            setRowHeight(row, pixels);
    }
    for (const SheetSpan &span : m_model->spans())
        setSpan(span.row, span.column, span.rowCount, span.columnCount);
    scrollToTop();
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

QString SheetView::displayText(int row, int column) const
{
    return m_model->displayText(row - 1, column - 1);
}

// Cells first, then the page breaks across the whole width, then the
// pictures, which float above the cells and the breaks.
void SheetView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    QPainter painter(viewport());
    const QRect area = event->rect();

    painter.setPen(QPen(PageBreakColor, 1, Qt::DashLine));
    const int firstRow = std::max(0, rowAt(area.top()) - 1);
    const int lastRow = rowAt(area.bottom()) < 0 ? m_model->rowCount() - 1 : rowAt(area.bottom()) + 1;
    const auto &breaks = m_model->pageBreakRows();
    for (auto it = std::lower_bound(breaks.begin(), breaks.end(), firstRow); it != breaks.end() && *it <= lastRow;
         ++it) {
        if (isRowHidden(*it))
            continue;
        const int y = rowViewportPosition(*it) - 1;
        painter.drawLine(0, y, viewport()->width(), y);
    }

    for (const SheetPicture &picture : m_model->pictures()) {
        if (isRowHidden(picture.row) || isColumnHidden(picture.column))
            continue;
        const QRect place(
            QPoint(columnViewportPosition(picture.column), rowViewportPosition(picture.row)), picture.image.size());
        if (place.intersects(area))
            painter.drawImage(place.topLeft(), picture.image);
    }
}

void SheetView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()
        && !m_model->look(currentIndex().row(), currentIndex().column()).hyperlink.isEmpty()) {
        activateLink(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Over a link the pointer becomes a hand, as it does on a web page.
void SheetView::mouseMoveEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool overLink = index.isValid() && !m_model->look(index.row(), index.column()).hyperlink.isEmpty();
    if (overLink)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
    QTableView::mouseMoveEvent(event);
}

void SheetView::activateLink(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QString address = m_model->look(index.row(), index.column()).hyperlink;
    if (!address.isEmpty())
        emit hyperlinkActivated(address);
}

} // namespace tannbuch
