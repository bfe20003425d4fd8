#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tannbuch {

class Recordset;
struct ReportRun;

// Sends the look-ups of a section's coming rows to the database ahead, a
// window of rows at a time, so a networked server answers many of them in
// one round trip instead of one each. The section names the look-ups a row
// will ask for with the very functions it asks with, so the texts match to
// the last character; a look-up not foreseen simply runs when asked. Texts
// are built one window at a time (a provision's filter of thousands of ids
// is in most of them), and answers the rows did not ask for are forgotten
// when the next window starts and when the section ends. Database failures
// of a look-up sent ahead show when the row asks for it (DbError).
class LookAhead
{
public:
    // Appends what one row will ask for; called once per row, in row order,
    // so it may keep state from row to row (the last pile, the last jacket).
    using Foresight = std::function<void(const Recordset &row, QStringList &lookups)>;

    LookAhead(ReportRun &run, Foresight foresight);
    ~LookAhead();
    LookAhead(const LookAhead &) = delete;
    LookAhead &operator=(const LookAhead &) = delete;

    // Called before the row the result stands on (numbered from 0) asks for
    // anything. On a row where a window starts, the look-ups of this and the
    // following rows go ahead; the result is left on the row it came with.
    void reach(Recordset &records, qint64 row);

    // Rows in a window (a list of a thousand records goes in one round
    // trip), and the most characters of statement text built at once (the
    // window ends early when its texts reach this; a provision of up to a
    // thousand records lists its ids in the pile statements).
    static constexpr int WindowRows = 1024;
    static constexpr qsizetype WindowChars = 8 * 1024 * 1024;

private:
    void forgetUnasked();

    ReportRun &m_run;
    Foresight m_foresight;
    qint64 m_nextWindow = 0;
};

} // namespace tannbuch
