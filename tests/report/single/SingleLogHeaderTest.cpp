#include "report/common/SingleLogHeader.h"

#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Border.h"
#include "workbook/automation/Font.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

constexpr int StartRow = 8;
constexpr int HeaderRow = StartRow + 1;

// An empty workbook and a report run with the cursor on row 8.
struct HeaderBench
{
    HeaderBench()
    {
        xl.addWorkbook();
        run.xl = &xl;
        run.settings = &settings;
        cursor.row = StartRow;
    }

    // The raw text, untrimmed, so a single blank is told from an empty cell.
    QString value(const QString &cell) { return xl.range(cell).rawValue().toString(); }
    QString at(char16_t column, int row = HeaderRow) { return value(QString(QChar(column)) + QString::number(row)); }

    Application xl;
    ReportSettings settings;
    ReportRun run;
    SheetCursor cursor;
};

QString cell(char16_t column, int row)
{
    return QString(QChar(column)) + QString::number(row);
}

// The captions of A onwards, "|" between them.
QStringList captions(const char16_t *joined)
{
    const QString text = QString::fromUtf16(joined);
    return text.isEmpty() ? QStringList() : text.split(u'|');
}

// The captions of A onwards; every later column up to T must be empty.
void expectCaptions(HeaderBench &b, const QStringList &expected)
{
    for (int i = 0; i < 20; ++i) {
        const char16_t column = char16_t(u'A' + i);
        const QString want = i < expected.size() ? expected.at(i) : QString();
        EXPECT_EQ(b.at(column), want) << "cell " << cell(column, HeaderRow).toStdString();
    }
}

// Bold and ruled thin at top and bottom exactly on A..last, without side
// lines; nothing beyond.
void expectBoldRuled(HeaderBench &b, char16_t last)
{
    const BorderLine thin{Xl::Continuous, Xl::Thin, Xl::ColorIndexAutomatic};
    for (char16_t column = u'A'; column <= u'T'; ++column) {
        const Range r = b.xl.range(cell(column, HeaderRow));
        const bool inside = column <= last;
        const std::string name = cell(column, HeaderRow).toStdString();
        EXPECT_EQ(r.font().bold(), inside) << name;
        for (BorderEdge edge : {BorderEdge::Top, BorderEdge::Bottom}) {
            if (inside)
                EXPECT_EQ(r.borders(edge).line(), thin) << name;
            else
                EXPECT_EQ(r.borders(edge).lineStyle(), Xl::None) << name;
        }
        EXPECT_EQ(r.borders(BorderEdge::Left).lineStyle(), Xl::None) << name;
        EXPECT_EQ(r.borders(BorderEdge::Right).lineStyle(), Xl::None) << name;
    }
}

} // namespace

// --- Captions by layout code -------------------------------------------------

struct CaptionCase
{
    int code;
    bool airDry;
    QStringList captions;
    char16_t alignFirst;
    char16_t alignLast;
};

class SingleLogHeaderCaptions : public ::testing::TestWithParam<CaptionCase>
{
};

TEST_P(SingleLogHeaderCaptions, WritesCaptionsAlignmentAndMovesCursorByTwo)
{
    const CaptionCase &c = GetParam();
    HeaderBench b;
    WriteSingleLogHeader(b.run, b.cursor, c.code, c.airDry);
    EXPECT_EQ(b.cursor.row, StartRow + 2);
    expectCaptions(b, c.captions);
    for (char16_t column = u'A'; column <= u'M'; ++column) {
        const bool right = column >= c.alignFirst && column <= c.alignLast;
        EXPECT_EQ(b.xl.range(cell(column, HeaderRow)).horizontalAlignment() == HAlign::Right, right)
            << "code " << c.code << " cell " << cell(column, HeaderRow).toStdString();
    }
    // Nothing on the cursor's old row or the row below the header.
    for (char16_t column = u'A'; column <= u'M'; ++column) {
        EXPECT_TRUE(b.at(column, StartRow).isEmpty());
        EXPECT_TRUE(b.at(column, HeaderRow + 1).isEmpty());
    }
    expectBoldRuled(b, u'K');
}

INSTANTIATE_TEST_SUITE_P(Codes, SingleLogHeaderCaptions,
    ::testing::Values(CaptionCase{1, true, captions(u"LOS|StmNr|HA|HS|GKL|Stkl|Länge|DM|Stück|Kubatur"), u'G', u'J'},
        CaptionCase{5, false, captions(u"LOS|StmNr|HA|HS|GKL|Stkl|G-Länge|DDM|Stück|Kubatur"), u'G', u'J'},
        CaptionCase{2, true, captions(u"LOS|Stück|HA|HS|GKL|Lä-Holz|Menge|Einheit|UFakt|Kubatur"), u'F', u'I'},
        CaptionCase{3, true, captions(u"LOS|StmNr|HA|HS|GKL|STKL|STK|UFakt|Kubatur"), u'G', u'I'},
        CaptionCase{4, true, captions(u"LOS|StmNr|HA|HS|GKL|STKL|LUTRO|UFakt|Kubatur"), u'G', u'I'},
        CaptionCase{4, false, captions(u"LOS|StmNr|HA|HS|GKL|STKL|ATRO|UFakt|Kubatur"), u'G', u'I'},
        CaptionCase{6, true, captions(u"LOS|StmNr|HA|HS|GKL|Stkl|Stück|Kubatur"), u'G', u'H'},
        CaptionCase{7, true, captions(u"LOS|Stück|HA|HS|GKL|RM|UFakt|Kubatur|KorrFkt|Lä-Holz| "), u'F', u'K'},
        CaptionCase{8, false, captions(u"LOS|StmNr|HA|HS|GKL|Stkl|Länge|DM|Stück|Kubatur"), u'G', u'J'},
        // Unknown codes write no caption and no alignment.
        CaptionCase{0, false, {}, u'Z', u'A'}, CaptionCase{9, true, {}, u'Z', u'A'}));

// --- Column-list captions ----------------------------------------------------

// The column list's captions follow the layout's from L on; a caption left
// empty leaves its column blank, and the bold, ruled stretch ends at the
// last caption (at K at least).
TEST(SingleLogHeaderColumns, CaptionsFromLOnAndTheRuledStretch)
{
    const QStringList six = captions(u"LOS|StmNr|HA|HS|GKL|Stkl|Stück|Kubatur");
    const QStringList plain = captions(u"LOS|StmNr|HA|HS|GKL|Stkl|Länge|DM|Stück|Kubatur");
    const struct
    {
        const char *name;
        std::vector<ColumnEntry> columnList;
        int code;
        QStringList captions; // A onwards
        char16_t ruledTo;
    } cases[] = {
        {"empty middle caption",
            {ColumnEntry(), {u"Preis"_s, u"LOGS_RECH.PREIS"_s}, {QString(), u"LOGS.MITTE"_s},
                {u"Datum"_s, u"TL.Z_DATUM_1"_s}},
            1, plain + QStringList{QString(), u"Preis"_s, QString(), u"Datum"_s}, u'M'},
        {"no captions", {ColumnEntry(), {QString(), u"LOGS.MITTE"_s}, ColumnEntry()}, 6, six, u'K'},
        {"unknown code", {ColumnEntry(), {u"Preis"_s, u"LOGS_RECH.PREIS"_s}}, 0,
            QStringList(11, QString()) + QStringList{u"Preis"_s}, u'L'},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        HeaderBench b;
        b.settings.columnList = c.columnList;
        WriteSingleLogHeader(b.run, b.cursor, c.code, false);
        expectCaptions(b, c.captions);
        expectBoldRuled(b, c.ruledTo);
        EXPECT_EQ(b.cursor.row, StartRow + 2);
    }
}

// --- Rules -------------------------------------------------------------------

// Both rules clear the side, inner vertical and diagonal lines and keep the
// lines between rows; the header rules also rule the bottom, the top rule
// keeps it.
TEST(SingleLogHeaderRules, ThinRulesReplaceTheSideLines)
{
    const BorderLine thin{Xl::Continuous, Xl::Thin, Xl::ColorIndexAutomatic};
    const struct
    {
        const char *name;
        void (*draw)(ReportRun &, const QString &);
        bool bottomRuled;
    } cases[] = {{"header rules", DrawHeaderRules, true}, {"top rule", DrawTopRule, false}};
    for (const auto &c : cases) {
        HeaderBench b;
        const Range before = b.xl.range(u"B5:E6"_s);
        for (BorderEdge edge : {BorderEdge::Left, BorderEdge::Right, BorderEdge::InsideVertical,
                 BorderEdge::InsideHorizontal, BorderEdge::DiagonalDown, BorderEdge::DiagonalUp, BorderEdge::Bottom})
            before.borders(edge).setLineStyle(Xl::Continuous);
        c.draw(b.run, u"B5:E6"_s);
        EXPECT_EQ(b.xl.selection().address(), u"B5:E6"_s) << c.name;
        for (char16_t column = u'B'; column <= u'E'; ++column) {
            const std::string name = c.name + (" " + cell(column, 5).toStdString());
            const Range top = b.xl.range(cell(column, 5));
            const Range bottom = b.xl.range(cell(column, 6));
            EXPECT_EQ(top.borders(BorderEdge::Top).line(), thin) << name;
            EXPECT_EQ(top.borders(BorderEdge::Bottom).lineStyle(), Xl::Continuous) << name;
            if (c.bottomRuled)
                EXPECT_EQ(bottom.borders(BorderEdge::Bottom).line(), thin) << name;
            else
                EXPECT_EQ(bottom.borders(BorderEdge::Bottom).lineStyle(), Xl::Continuous) << name;
            for (const Range &r : {top, bottom}) {
                for (BorderEdge edge :
                    {BorderEdge::Left, BorderEdge::Right, BorderEdge::DiagonalDown, BorderEdge::DiagonalUp})
                    EXPECT_EQ(r.borders(edge).lineStyle(), Xl::None) << name;
            }
        }
    }
}

} // namespace tannbuch
