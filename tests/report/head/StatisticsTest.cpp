#include "report/totals/Statistics.h"

#include "common/ReportBench.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace reportbench;
using namespace Qt::StringLiterals;

namespace {

QString logs(const char *values)
{
    return u"INSERT INTO LOGS (ID_LOG, LISTE, DSART, KLST, LAENGE, STK, KUBATUR, KUBRM, KUBATRO) VALUES "_s
        + QLatin1String(values) + u";\n"_s;
}

// Runs the block for a record type and returns the lines written (label=figure|format).
QStringList lines(Bench &b, int recordType)
{
    WriteStatistics(b.run, b.selection, b.cursor, recordType);
    QStringList out;
    for (int row = StartRow; row < b.cursor.row; ++row) {
        const Range label = b.xl.range(u"A%1"_s.arg(row));
        if (label.value().isEmpty())
            continue;
        EXPECT_TRUE(label.font().bold()) << "row " << row;
        const Range figure = b.xl.range(u"D%1"_s.arg(row));
        out << label.value() + u'=' + figure.rawValue().toString() + u'|' + figure.numberFormat();
    }
    return out;
}

} // namespace

TEST(StatisticsRounding, ExactHalvesGoToTheEvenDigit)
{
    EXPECT_EQ(roundHalfEven(0.125, 2), 0.12);
    EXPECT_EQ(roundHalfEven(0.375, 2), 0.38);
    EXPECT_EQ(roundHalfEven(2.5, 0), 2.0);
    EXPECT_EQ(roundHalfEven(3.5, 0), 4.0);
    EXPECT_EQ(roundHalfEven(-2.5, 0), -2.0);
    EXPECT_EQ(roundHalfEven(1.23456, 3), 1.235);
}

TEST(StatisticsLines, LogsCountClassThreeOnlyWithTheirVolume)
{
    // 200 m of length in 10 pieces, 8 Fm, plus a class-3 log of 2 Fm: 10 Fm over 200 m. A log
    // without a class counts in full, like one of class 1.
    for (const char *firstClass : {"1", "NULL"}) {
        Bench b(logs(u"(1, '4711', 1, %1, 20, 5, 4, NULL, NULL), (2, '4711', 1, 2, 20, 5, 4, NULL, NULL),"
                     u" (3, '4711', 1, 3, 5, 1, 2, NULL, NULL), (4, '4712', 1, 1, 99, 9, 9, NULL, NULL)"_s
                         .arg(QLatin1String(firstClass))
                         .toLatin1()
                         .constData()));
        EXPECT_EQ(lines(b, 1),
            QStringList(
                {s("D-Länge (m):=20|0.00"), u"D-Durchmesser (cm):=25.23|0.00"_s, u"D-Kubatur (Fm/Stk):=1|0.000"_s}))
            << "class " << firstClass;
        EXPECT_EQ(b.cursor.row, StartRow + 4) << "one row per line and one after the block";
    }
}

TEST(StatisticsLines, OtherRecordTypes)
{
    Bench b(logs("(1, '4711', 2, NULL, 1, 3, 10, 20.5, NULL), (2, '4711', 3, NULL, NULL, 7, 1.2345, NULL, NULL),"
                 " (3, '4711', 4, NULL, NULL, 5, 40, NULL, NULL), (4, '4711', 5, NULL, 4, 4, 2, NULL, NULL),"
                 " (5, '4711', 6, NULL, 4, 3, 1, NULL, NULL)"));
    const struct
    {
        int type;
        QString kubaturFormat;
        QStringList lines;
    } cases[] = {
        {2, u"0.000"_s, {u"D-Volumen (Rm/Stk):=6.83|0.00"_s}},
        {3, u"0.000"_s, {u"D-KUBATUR (Fm/100Stk):=17.636|0.000"_s}},
        // No dry weight recorded: the total shows 0 and so does the mean.
        {4, u"0.000"_s, {u"Gesamtgewicht (Atro):=0|0.000"_s, u"D-Gewicht (Atro/Stk):=0|0.00"_s}},
        {5, u"0.00"_s, {u"D-Kubatur (Fm/Stk):=0.5|0.00"_s}},
        {6, u"0.00"_s, {u"D-Kubatur (Fm/Stk):=0.33|0.00"_s}},
    };
    for (const auto &c : cases) {
        b.cursor.row = StartRow;
        b.xl.range(u"A1:J20"_s).setValue(QVariant());
        b.run.kubaturFormat = c.kubaturFormat;
        b.run.kubaturPlaces = int(c.kubaturFormat.size()) - 2;
        EXPECT_EQ(lines(b, c.type), c.lines) << "record type " << c.type;
    }
}

// Only class-3 logs, no pieces, or a type without statistics: no line, and
// the block still leaves one row (the last ones without a statement).
TEST(StatisticsLines, NothingToAverageGivesNoLine)
{
    Bench classThree(logs("(1, '4711', 1, 3, 20, 5, 4, NULL, NULL)"));
    EXPECT_TRUE(lines(classThree, 1).isEmpty());
    EXPECT_EQ(classThree.cursor.row, StartRow + 1);
    Bench b(logs("(1, '4711', 2, NULL, 1, 0, 10, 20.5, NULL)"));
    EXPECT_TRUE(lines(b, 2).isEmpty());
    EXPECT_EQ(b.cursor.row, StartRow + 1);
    const int sent = b.statements().size();
    for (int type : {0, 7, -1}) {
        WriteStatistics(b.run, b.selection, b.cursor, type);
        EXPECT_EQ(b.cursor.row, StartRow + 1) << type;
    }
    EXPECT_EQ(b.statements().size(), sent);
}

} // namespace tannbuch
