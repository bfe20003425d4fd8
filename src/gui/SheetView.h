#pragma once

#include <QTableView>

namespace tannbuch {

class SheetModel;
class Workbook;
class Worksheet;

// One worksheet shown read-only as a spreadsheet program shows it: column
// widths and row heights of the sheet, fonts, alignment, borders, fills,
// merged cells, numbers in their formats and the workbook's locale, links
// (blue, underlined, activated by a click or Enter), manual page breaks as
// dashed lines, pictures at their cells, light grey grid lines, row numbers
// and column letters. The cells come from a SheetModel that works out only
// the rows on screen, so large sheets open at once.
class SheetView : public QTableView
{
    Q_OBJECT

public:
    explicit SheetView(QWidget *parent = nullptr);
    ~SheetView() override;

    // Shows the sheet (not owned; both must outlive the view, or call
    // setSheet(nullptr, nullptr) first). Null shows nothing. The view reads
    // the sheet as it is now; after changing it, set it again.
    void setSheet(const Workbook *book, const Worksheet *sheet);
    // What the cell (1-based row and column) shows: the value formatted by
    // its number format in the workbook's locale, a formula's cached result,
    // a hyperlink's text; "" for empty.
    QString displayText(int row, int column) const;
    // The model the view shows.
    const SheetModel *sheetModel() const { return m_model; }

signals:
    // A click (or Enter) on a cell that holds a hyperlink; the address as
    // stored (https://... or a "#Sheet!A1" location).
    void hyperlinkActivated(const QString &address);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void activateLink(const QModelIndex &index);

    SheetModel *m_model;
};

} // namespace tannbuch
