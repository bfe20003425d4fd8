#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace tannbuch {

class SheetModel;
struct SheetCellLook;

// Draws the cells of a SheetModel as a spreadsheet program does: fill, the
// light grey grid, the text in its colour and by its alignment (running on
// over empty neighbours, "###" for a number too wide), links blue and
// underlined, and the border lines on top. Each cell draws only inside its
// own rectangle and owns the grid and border pixels of its right and bottom
// edges, so any part of the sheet can be repainted alone. Read only: it
// makes no editors.
class SheetDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The grid of a sheet: light grey lines between the cells.
    static inline const QColor GridColor = QColor(0xD4, 0xD4, 0xD4);

    explicit SheetDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void drawText(QPainter *painter, const QRect &cell, const SheetModel &model, const QModelIndex &index,
        const SheetCellLook &look) const;
};

} // namespace tannbuch
