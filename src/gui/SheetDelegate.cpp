#include "SheetDelegate.h"

#include "gui/SheetModel.h"

#include <QPainter>

namespace tannbuch {

namespace {

// The pixels a line takes on one edge of a cell: along the edge, inwards
// from it.
QRect lineBand(const QRect &cell, SheetEdge edge, int width)
{
    switch (edge) {
    case SheetEdgeLeft:
        return QRect(cell.left(), cell.top(), width, cell.height());
    case SheetEdgeTop:
        return QRect(cell.left(), cell.top(), cell.width(), width);
    case SheetEdgeRight:
        return QRect(cell.right() - width + 1, cell.top(), width, cell.height());
    default:
        return QRect(cell.left(), cell.bottom() - width + 1, cell.width(), width);
    }
}

void drawLine(QPainter *painter, const QRect &cell, SheetEdge edge, const SheetLine &line)
{
    if (line.isNone())
        return;
    const QRect band = lineBand(cell, edge, line.width);
    const bool vertical = edge == SheetEdgeLeft || edge == SheetEdgeRight;
    if (line.isDouble) {
        // Two thin lines with a pixel between them.
        painter->setPen(line.color);
        if (vertical) {
            painter->drawLine(band.left(), band.top(), band.left(), band.bottom());
            painter->drawLine(band.right(), band.top(), band.right(), band.bottom());
        } else {
            painter->drawLine(band.left(), band.top(), band.right(), band.top());
            painter->drawLine(band.left(), band.bottom(), band.right(), band.bottom());
        }
        return;
    }
    if (line.style == Qt::SolidLine) {
        painter->fillRect(band, line.color);
        return;
    }
    painter->setPen(QPen(line.color, line.width, line.style, Qt::FlatCap));
    if (line.width == 1) {
        if (vertical)
            painter->drawLine(band.left(), band.top(), band.left(), band.bottom());
        else
            painter->drawLine(band.left(), band.top(), band.right(), band.top());
        return;
    }
    // A wider pen is centred on its line: put the line in the band's middle.
    const QRectF b(band);
    if (vertical)
        painter->drawLine(QLineF(b.center().x(), b.top(), b.center().x(), b.bottom() + 1));
    else
        painter->drawLine(QLineF(b.left(), b.center().y(), b.right() + 1, b.center().y()));
}

} // namespace

SheetDelegate::SheetDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{ }

void SheetDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const SheetModel *>(index.model());
    if (!model) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const SheetCellLook &look = model->look(index.row(), index.column());
    const QRect cell = option.rect;
    painter->save();
    painter->setClipRect(cell, Qt::IntersectClip);

    // A fill covers the grid, as in a spreadsheet program.
    if (look.fill.isValid()) {
        painter->fillRect(cell, look.fill);
    } else {
        painter->fillRect(cell, Qt::white);
        painter->setPen(GridColor);
        // Inside a run of text the grid line between the cells is left out.
        if (look.spillLast < 0 || index.column() >= look.spillLast)
            painter->drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
        painter->drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
    }

    drawText(painter, cell, *model, index, look);

    drawLine(painter, cell, SheetEdgeRight, look.edges[SheetEdgeRight]);
    drawLine(painter, cell, SheetEdgeBottom, look.edges[SheetEdgeBottom]);
    // The first column and row have no neighbour to draw their outer edges.
    if (index.column() == 0)
        drawLine(painter, cell, SheetEdgeLeft, look.edges[SheetEdgeLeft]);
    if (index.row() == 0)
        drawLine(painter, cell, SheetEdgeTop, look.edges[SheetEdgeTop]);

    // The current cell gets a frame; other selected cells a light tint.
    const QColor highlight = option.palette.color(QPalette::Highlight);
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(highlight, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(cell).adjusted(1, 1, -1, -1));
    } else if (option.state & QStyle::State_Selected) {
        QColor tint = highlight;
        tint.setAlpha(48);
        painter->fillRect(cell, tint);
    }
    painter->restore();
}

// Draws the part of a text that falls into the cell: its own text, or the
// part of a neighbour's text that runs on into it.
void SheetDelegate::drawText(QPainter *painter, const QRect &cell, const SheetModel &model, const QModelIndex &index,
    const SheetCellLook &look) const
{
    if (look.textColumn < 0)
        return;
    const int column = index.column();
    const SheetCellLook &source = look.textColumn == column ? look : model.look(index.row(), look.textColumn);
    QRect sourceCell = cell;
    if (look.textColumn < column)
        sourceCell = QRect(cell.left() - model.columnsPixels(look.textColumn, column - 1), cell.top(),
            model.columnPixels(look.textColumn), cell.height());
    else if (look.textColumn > column)
        sourceCell = QRect(cell.left() + model.columnsPixels(column, look.textColumn - 1), cell.top(),
            model.columnPixels(look.textColumn), cell.height());
    // Text sits above the bottom grid line, below the top edge and clear of
    // the side margins, in its font's colour.
    const QRect textRect = sourceCell.adjusted(SheetModel::TextPadding, 1, -(SheetModel::TextPadding + 1), -2);

    painter->setFont(source.font);
    painter->setPen(source.foreground);
    QString text = source.text;
    int flags = int(source.alignment) | Qt::TextDontClip;
    flags |= source.wrap ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine);
    if (source.isNumber) {
        // A number is never cut: one that does not fit shows as "###".
        const QFontMetrics metrics = painter->fontMetrics();
        if (metrics.horizontalAdvance(text) > textRect.width()) {
            const int hash = std::max(1, metrics.horizontalAdvance(QLatin1Char('#')));
            text = QString(std::max(1, textRect.width() / hash), QLatin1Char('#'));
        }
    }
    painter->drawText(textRect, flags, text);
}

QSize SheetDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (const auto *model = qobject_cast<const SheetModel *>(index.model()))
        return QSize(model->columnPixels(index.column()), model->defaultRowPixels());
    return QStyledItemDelegate::sizeHint(option, index);
}

QWidget *SheetDelegate::createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const
{
    return nullptr;
}

} // namespace tannbuch
