#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <Qt>

namespace tannbuch {

class Connection;

// One column of the list browser: header, width in twips and alignment.
struct ListViewColumn
{
    QString header;
    int widthTwips = 0;
    Qt::Alignment alignment;
};

// The four columns of the list browser; the first header is the text table's
// caption for lists (text 726), passed in.
QList<ListViewColumn> ListViewColumns(const QString &listHeader);

// Twips (1/1440 inch) as pixels at the 96 dpi the window is laid out for.
int TwipsToPixels(int twips);

// One line of the list browser, every cell already as text.
struct ListViewRow
{
    QString liste;
    QString listdatum; // short date form of the report locale
    QString stk;
    QString kubatur; // formatted with the volume format
};

// Runs the list query and turns its rows into browser lines: the list date
// in the short date form, the pieces as a plain number, the volume under the
// volume format ("0.000") in the report locale; NULL gives an empty text.
// Database errors propagate as DbError.
QList<ListViewRow> ReadListViewRows(Connection &db, const QString &statement, const QString &volumeFormat);

// The cell texts of one row, exposed for tests.
QString ListDateText(const QVariant &value);
QString PlainNumberText(const QVariant &value);
QString VolumeText(const QVariant &value, const QString &volumeFormat);

} // namespace tannbuch
