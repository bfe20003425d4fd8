#pragma once

#include <QHash>
#include <QString>

namespace tannbuch {

struct ReportRun;
struct Selection;
struct SheetCursor;

// The lot summary above the logs of a pile in the single-log section: a bold
// totals line (pieces and volume of the pile), a bold line of the pile's
// additional texts and coordinates, and for the client "ALF" a link to the
// public map viewer at the pile's coordinates. Database (DbError) and
// workbook (WorkbookError) failures go to the caller.

// Sums pieces and volume over the records of the selection that share list,
// pile and lot with the given record.
QString LotSummaryStatement(const QString &filter, const QString &idLog);

// The pile totals statements of the records ahead, each built once: the
// look-ahead lists the text a row will ask with, and the row then asks with
// that very text (no second build, and the answer kept ahead is found
// without comparing the texts). They carry the selection filter, which
// makes them the longest statements of a report. A text is kept for as
// many asks as it was listed.
class PileTotalsTexts
{
public:
    explicit PileTotalsTexts(const QString &filter)
        : m_filter(filter)
    { }
    // The statement of the record's pile, kept for one more ask.
    QString listed(const QString &idLog);
    // The statement to ask with: the one listed, or one built now.
    QString asked(const QString &idLog);

private:
    struct Kept
    {
        QString text;
        int asks = 0;
    };
    QString m_filter;
    QHash<QString, Kept> m_kept; // by record id
};

// The additional texts and coordinates of one record.
QString LotTextsStatement(const QString &idLog);

// The map viewer's address centred on the coordinates; every character of a
// coordinate outside the URI's unreserved set (letters, digits, "-._~") is
// percent-encoded, so a plain number goes in as it is.
QString MapLinkAddress(const QString &coordinate1, const QString &coordinate2);

// Writes the summary of the pile of the record at the sheet cursor and leaves
// the cursor on the first free row below its lines.
void WriteLotSummary(
    ReportRun &run, const Selection &selection, SheetCursor &cursor, const QString &pile, const QString &idLog);
// The same with the pile totals statement already built.
void WriteLotSummary(
    ReportRun &run, SheetCursor &cursor, const QString &pile, const QString &idLog, const QString &totalsStatement);

} // namespace tannbuch
