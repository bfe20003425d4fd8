#include "report/totals/Totals.h"

#include "common/ReportBench.h"
#include "db/DbError.h"
#include "report/totals/Statistics.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace reportbench;
using namespace Qt::StringLiterals;

namespace {

const QString Units = s("INSERT INTO WARENEINHEIT VALUES (1, 'Fm', NULL, 0), (2, 'Rm', NULL, 0), (3, 'rM', NULL, 0),"
                        " (4, 'SRm', NULL, 0), (5, 'tatro', NULL, 0), (6, 'm3', NULL, 0);\n");

QString logs(const char *values)
{
    return u"INSERT INTO LOGS (ID_LOG, LISTE, DSART, LAENGE, STK, KUBATUR, KUBRM, KUBATRO, ID_MASSEINHEIT) VALUES "_s
        + QLatin1String(values) + u";\n"_s;
}

QStringList block(Bench &b)
{
    QStringList out;
    for (int row = StartRow; row < b.cursor.row; ++row) {
        const Range label = b.xl.range(u"A%1"_s.arg(row));
        const Range figure = b.xl.range(u"E%1"_s.arg(row));
        if (label.value().isEmpty())
            continue;
        EXPECT_TRUE(label.font().bold() && b.xl.range(u"D%1"_s.arg(row)).font().bold() && figure.font().bold())
            << "row " << row << " bold from A to E";
        out << label.value() + u'=' + figure.value() + u'|' + figure.numberFormat();
    }
    return out;
}

} // namespace

TEST(TotalsBlock, OneLinePerFigureWithItsFormat)
{
    // Round wood 20 m, 2 pieces, 3 Fm; stacked 10 Rm and 4 "rM" (the database ignores letter case); 6 SRm;
    // 2.5 dry tonnes; 5 of an unlisted unit; another list's records do not count.
    Bench b(Units
        + logs("(1, '4711', 1, 20, 2, 3, NULL, NULL, 1), (2, '4711', 2, 1, 1, 7, 10, NULL, 2),"
               " (3, '4711', 2, 1, 1, 2, 4, NULL, 3), (4, '4711', 2, 1, 1, 3, 6, NULL, 4),"
               " (5, '4711', 4, NULL, 1, 4, NULL, 2.5, 5), (6, '4711', 2, 1, 1, 1, 5, NULL, 6),"
               " (7, '4712', 1, 10, 1, 99, 99, 99, 2)"));
    WriteTotals(b.run, b.selection, b.cursor);
    EXPECT_EQ(block(b),
        QStringList({u"Gesamtkubatur (Fm)=20|0.000"_s, s("Gesamtstück (STK)=7|0.00"), u"GesamtRaummeter (RM)=14|0.00"_s,
            s("GesamtSchüttraummeter (SRm)=6|0.00"), u"GesamtAtrotonnen (To)=2,5|0.000"_s,
            u"D-DM Rundholz (cm)=30,901900030834|0.00"_s, s("D-Länge Rundholz (m)=20|0.000")}));
    EXPECT_TRUE(b.xl.range(u"A8"_s).value().isEmpty()) << "one blank row first";
    EXPECT_EQ(b.cursor.row, StartRow + 8);
    EXPECT_FALSE(b.run.failed);
}

// Figures of 0 are left out; every mean divides by the pieces, so round
// wood without pieces keeps its volume only.
TEST(TotalsBlock, ZeroFiguresAndMeansWithoutPiecesAreLeftOut)
{
    const struct
    {
        const char *rows;
        QStringList block;
    } cases[] = {
        {"(1, '4711', 2, 1, 0, 0, 5, NULL, 6)", {}}, // pieces and volume 0, the unit in neither list
        {"(1, '4711', 1, 20, 0, 3, NULL, NULL, 1)", {u"Gesamtkubatur (Fm)=3|0.000"_s}},
    };
    for (const auto &c : cases) {
        Bench b(Units + logs(c.rows));
        WriteTotals(b.run, b.selection, b.cursor);
        EXPECT_EQ(block(b), c.block) << c.rows;
        EXPECT_EQ(b.cursor.row, StartRow + 1 + int(c.block.size()));
    }
}

TEST(TotalsBlock, MeanDiameterAgreesWithTheStatisticsBlock)
{
    // Round wood over several records, pieces and lengths; records without a length count in neither,
    // class-3 logs with their volume only, a log without a class in full.
    const char *cases[] = {
        "(1, '4711', 1, 20, 2, 3, NULL, NULL, 1), (2, '4711', 1, 10, 4, 1.2, NULL, NULL, 1)",
        "(1, '4711', 1, 4, 1, 0.25, NULL, NULL, 1), (2, '4711', 1, 4, 1, 0.35, NULL, NULL, 1),"
        " (3, '4711', 1, 12, 3, 2.4, NULL, NULL, 1), (4, '4711', 1, 5.5, 10, 4.1, NULL, NULL, 1)",
        "(1, '4711', 1, 18, 1, 1.6, NULL, NULL, 1), (2, '4711', 1, 0, 1, 0.5, NULL, NULL, 1),"
        " (3, '4711', 1, 18, 1, 1.1, NULL, NULL, 1)",
        "(1, '4711', 1, 20, 2, 3, NULL, NULL, 1), (2, '4711', 1, 14, 1, 0.8, NULL, NULL, 1),"
        " (3, '4711', 1, 10, 4, 1.2, NULL, NULL, 1);\nUPDATE LOGS SET KLST = 3 WHERE ID_LOG = 2;\n"
        "UPDATE LOGS SET KLST = 1 WHERE ID_LOG = 3",
    };
    for (const char *rows : cases) {
        Bench b(Units + logs(rows));
        const QString filter = b.selection.filter;
        b.selection.filter += u" AND LAENGE > 0"_s; // the statistics block would count the volume of no length
        WriteStatistics(b.run, b.selection, b.cursor, 1);
        b.selection.filter = filter;
        WriteTotals(b.run, b.selection, b.cursor);
        auto figure = [&](const QString &label, const char *column) {
            for (int row = StartRow; row < b.cursor.row; ++row) {
                if (b.xl.range(u"A%1"_s.arg(row)).value() == label)
                    return b.xl.range(QLatin1String(column) + QString::number(row)).rawValue().toDouble();
            }
            ADD_FAILURE() << "no line " << label.toStdString() << " for " << rows;
            return -1.0;
        };
        EXPECT_NEAR(figure(u"D-DM Rundholz (cm)"_s, "E"), figure(u"D-Durchmesser (cm):"_s, "D"), 0.0051) << rows;
    }
}

TEST(TotalsBlock, DatabaseFailureEndsTheReport)
{
    Bench b(Units + logs("(1, '4711', 1, 20, 2, 3, NULL, NULL, 1)"));
    b.selection.filter = u"LOGS.GIBT_ES_NICHT = 1"_s;
    EXPECT_THROW(WriteTotals(b.run, b.selection, b.cursor), DbError);
    EXPECT_EQ(b.cursor.row, StartRow + 1);
    EXPECT_TRUE(block(b).isEmpty());
}

} // namespace tannbuch
