#include "db/SqlDialect.h"
#include "common/QtPrinters.h"
#include "db/SqlTokenizer.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

QString rw(const QString &sql)
{
    return SqlDialect::toSqlite(sql);
}

} // namespace

TEST(SqlTokenizer, TokensJoinBackToTheTextAndKeepQuotedPartsWhole)
{
    const QString sql = u"SELECT [a]]b], \"x\"\"y\", N'it''s', 'Ä', 1.5e3 AS [n]\r"
                        u"/* c /* nested */ */ FROM t -- rest\nWHERE a<>b AND c!<d"_s;
    const auto tokens = SqlTokenizer::tokenize(sql);
    QString joined;
    for (const auto &t : tokens) {
        joined += t.text;
        EXPECT_FALSE(t.unterminated) << qPrintable(t.text);
    }
    EXPECT_EQ(joined, sql);

    auto find = [&](const QString &text) {
        for (const auto &t : tokens) {
            if (t.text == text)
                return t.kind;
        }
        ADD_FAILURE() << "no token " << qPrintable(text);
        return SqlTokenizer::Kind::Symbol;
    };
    EXPECT_EQ(find(u"[a]]b]"_s), SqlTokenizer::Kind::BracketName);
    EXPECT_EQ(find(u"\"x\"\"y\""_s), SqlTokenizer::Kind::QuotedName);
    EXPECT_EQ(find(u"N'it''s'"_s), SqlTokenizer::Kind::String);
    EXPECT_EQ(find(u"1.5e3"_s), SqlTokenizer::Kind::Number);
    EXPECT_EQ(find(u"/* c /* nested */ */"_s), SqlTokenizer::Kind::Comment);
    EXPECT_EQ(find(u"<>"_s), SqlTokenizer::Kind::Symbol);
    EXPECT_EQ(find(u"!<"_s), SqlTokenizer::Kind::Symbol);

    for (const QString &open : {u"SELECT 'abc"_s, u"SELECT [abc"_s, u"SELECT \"abc"_s, u"SELECT /* abc"_s}) {
        const auto t = SqlTokenizer::tokenize(open);
        ASSERT_FALSE(t.empty());
        EXPECT_TRUE(t.back().unterminated) << qPrintable(open);
    }
}

TEST(SqlDialect, StatementsWithoutSqlServerConstructsStayAsTheyAre)
{
    for (const QString &sql : {
             u"SELECT * FROM STRINGS WHERE ID_STRING = 716"_s,
             u"Select property_id, number_value \rfrom FORMS_CONFIG  \rWHERE FORM_ID LIKE 'F_STAMMEINKONF' "
             u"and (property_id like 'zustext%' or property_id like 'ZUSATZTEXT')  \rorder by property_id "_s,
             u"SELECT SUM(KUBATUR) AS \"Gesamtkubatur (Fm)\", (SELECT SUM(KUBRM) FROM LOGS) AS "
             u"'GesamtRaummeter (RM)', LOGS.X as [TL.EINGANGS_DATUM] FROM LOGS WHERE 1=1"_s,
             QStringLiteral(
                 "SELECT DISTINCT(LOS) FROM LOGS WHERE LOGS.LOS IN ('1','2')  AND LOGS.LISTENART = 1 ORDER BY LOS"),
             u"SELECT SUM(LAENGE*STK) AS GLAENGE FROM LOGS WHERE DSART = 1 AND KLST<>3"_s,
             u"SELECT a - b, -c, x * 2 FROM LOGS inner join LOGS_RECH ON LOGS_RECH.ID_LOG = LOGS.ID_LOG, "
             u"MANTEL WHERE  MANTEL.ID_MANTEL = 7"_s,
             u"SELECT * FROM A LEFT JOIN B ON A.X = B.X RIGHT OUTER JOIN C ON C.Y = B.Y"_s,
         }) {
        EXPECT_EQ(rw(sql), sql);
    }
}

TEST(SqlDialect, RewritesTheSqlServerConstructs)
{
    const struct
    {
        const char16_t *sqlServer;
        const char16_t *sqlite; // null: left as it is
    } cases[] = {
        // Text results and compared literals compare without case.
        {u"SELECT ISNULL(LOGS.POLTNR,'0') POLTNR FROM LOGS WHERE ISNULL (L.LISTENART , 0) = 1",
            u"SELECT (ifnull(LOGS.POLTNR,'0') COLLATE NOCASE) POLTNR FROM LOGS WHERE "
            u"(ifnull(L.LISTENART , 0) COLLATE NOCASE) = 1"},
        {u"SELECT isnull(ISNULL(a,b),c)", u"SELECT (ifnull((ifnull(a,b) COLLATE NOCASE),c) COLLATE NOCASE)"},
        // A literal next to a comparison; the parentheses keep a following word apart.
        {u"WHERE 'a'='A' AND LISTE = '4711'ORDER BY x",
            u"WHERE ('a' COLLATE NOCASE)=('A' COLLATE NOCASE) AND LISTE = ('4711' COLLATE NOCASE)ORDER BY x"},
        {u"SELECT ISNULL(a,b)AS x", u"SELECT (ifnull(a,b) COLLATE NOCASE)AS x"},
        // SQL Server ends a number at a letter; SQLite needs the blank.
        {u"WHERE LOGS.LISTENART = 1AND x = 2ORDER BY x", u"WHERE LOGS.LISTENART = 1 AND x = 2 ORDER BY x"},
        // LEFT and RIGHT as functions, the same words before JOIN untouched.
        {u"SELECT * FROM A LEFT JOIN B ON LEFT(ACCESS_LEVELS,4) = B.Y "
         u"right outer join C on right(c.k,2) = right('2024',2)",
            u"SELECT * FROM A LEFT JOIN B ON (tb_left(ACCESS_LEVELS,4) COLLATE NOCASE) = B.Y "
            u"right outer join C on (tb_right(c.k,2) COLLATE NOCASE) = (tb_right('2024',2) COLLATE NOCASE)"},
        {u"SELECT 1 WHERE ISNUMERIC(KURZNAME) = 1", u"SELECT 1 WHERE tb_isnumeric(KURZNAME) = 1"},
        // Conversions.
        {u"convert(smalldatetime,L.LISTDATUM,104) BETWEEN convert(smalldatetime,'01.02.2024',104)",
            u"tb_datetime(L.LISTDATUM, 104, 0) BETWEEN tb_datetime('01.02.2024', 104, 0)"},
        {u",  convert(nvarchar(10),TL.Z_DATUM_1,104) as [TL.Z_DATUM_1]",
            u",  (tb_text(TL.Z_DATUM_1, 10, 0, 104) COLLATE NOCASE) as [TL.Z_DATUM_1]"},
        {u"MAX(cast(LAENGE as nvarchar(15)))", u"MAX((tb_text(LAENGE, 15, 0, 0) COLLATE NOCASE))"},
        // Defaults: no length is 30, max is unlimited, char pads.
        {u"CONVERT(varchar, a), cast(b as nvarchar(max)), CAST(c AS nchar(5))",
            u"(tb_text(a, 30, 0, 0) COLLATE NOCASE), (tb_text(b, -1, 0, 0) COLLATE NOCASE), "
            u"(tb_text(c, 5, 1, 0) COLLATE NOCASE)"},
        {u"CAST(x AS datetime), CONVERT(date, y, 104), CAST(z AS decimal(10,2)), CONVERT(int, w, 1)",
            u"tb_datetime(x, 0, 1), tb_datetime(y, 104, 2), CAST(z AS decimal(10,2)), CAST(w AS int)"},
        // TOP moves to LIMIT.
        {u"select TOP 1 KURZNAME from RELTABLE where RELTABLE_ID = 1 ORDER BY KURZNAME DESC",
            u"select  KURZNAME from RELTABLE where RELTABLE_ID = 1 ORDER BY KURZNAME DESC LIMIT 1"},
        {u"SELECT DISTINCT TOP (5) a FROM t ORDER BY a ;\r", u"SELECT DISTINCT  a FROM t ORDER BY a LIMIT (5) ;\r"},
        {u"SELECT x FROM t WHERE y IN (SELECT TOP 2 y FROM u ORDER BY z)",
            u"SELECT x FROM t WHERE y IN (SELECT  y FROM u ORDER BY z LIMIT 2)"},
        // Forms without a sound LIMIT equivalent stay, so SQLite rejects them.
        {u"SELECT TOP 10 PERCENT a FROM t", nullptr},
        {u"SELECT TOP 1 WITH TIES a FROM t ORDER BY a", nullptr},
        {u"SELECT TOP 1 a FROM t UNION SELECT b FROM u", nullptr},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rw(QString::fromUtf16(c.sqlServer)), QString::fromUtf16(c.sqlite ? c.sqlite : c.sqlServer));
}

TEST(SqlDialect, PlusJoinsTextsAndStaysArithmeticForNumbers)
{
    // The lot summary's length range: a chain folded from the left.
    EXPECT_EQ(rw(u"MIN(cast(L as nvarchar(15))) + ' bis ' + MAX(cast(L as nvarchar(15)))"_s),
        u"(tb_plus(tb_plus(MIN((tb_text(L, 15, 0, 0) COLLATE NOCASE)), ' bis '), "
        u"MAX((tb_text(L, 15, 0, 0) COLLATE NOCASE))) COLLATE NOCASE)"_s);
    EXPECT_EQ(rw(u"SELECT LISTE + '/' + LOS AS K FROM LOGS"_s),
        u"SELECT (tb_plus(tb_plus(LISTE, '/'), LOS) COLLATE NOCASE) AS K FROM LOGS"_s);
    // A surely numeric operand keeps the plain '+'.
    for (const QString &sql : {u"SELECT LAENGE + 1 FROM LOGS"_s, u"SELECT SUM(KUBATUR) + SUM(KUBRM) FROM LOGS"_s,
             u"SELECT LAENGE * STK + KUBATUR FROM LOGS"_s,
             u"SELECT a - b + c, -a + b, (a*b) + c, CAST(a AS int) + b FROM t"_s,
             u"SELECT COUNT(*) + x, ROUND(a, 2) + b FROM t"_s})
        EXPECT_EQ(rw(sql), sql);
    // Two columns of unknown type: decided by the values at run time.
    EXPECT_EQ(rw(u"SELECT LAENGE + STK"_s), u"SELECT (tb_plus(LAENGE, STK) COLLATE NOCASE)"_s);
    EXPECT_EQ(
        rw(u"WHERE (a + b) + c > 0"_s), u"WHERE (tb_plus(((tb_plus(a, b) COLLATE NOCASE)), c) COLLATE NOCASE) > 0"_s);
}

TEST(SqlDialect, NeverChangesLiteralsOrQuotedNames)
{
    const QString sql = u"SELECT 'ISNULL(a,b) + TOP 1 LEFT(x,1)' AS [RIGHT(y,2) + z], "
                        u"\"CONVERT(int, q)\" FROM t WHERE c LIKE 'x''+''y'"_s;
    EXPECT_EQ(rw(sql), sql);
    // What SQLite reads differently gets its SQLite spelling; comments become a blank.
    EXPECT_EQ(rw(u"SELECT N'Fichte', [a]]b] FROM t /* ISNULL( */ WHERE x !< 1 -- TOP 1\r"_s),
        u"SELECT 'Fichte', \"a]b\" FROM t   WHERE x >= 1  \r"_s);
}

TEST(SqlDialect, StatementsAlikeButForTheirLiteralsShareOneRewrite)
{
    // Each rule that meets a literal: the rewrite of the marked form with
    // the literals put back is the rewrite of the statement itself.
    for (const QString &sql :
        {
            QStringLiteral("SELECT SUM(STK) FROM LOGS WHERE LOGS.LISTE='4711' AND isnull(LOGS.LOS,'')='1 2'ORDER BY x"),
            QStringLiteral("SELECT N'Fichte', n'x''y', ISNULL(a, N'') + ' bis ' + MAX(b) FROM t -- it's\r"),
            QStringLiteral("SELECT TOP 1 RIGHT('2024',2), [a']]b], \"q'\" FROM t /* 'x' */ WHERE c LIKE 'x''+''y'"),
            QStringLiteral("SELECT convert(smalldatetime,'01.02.2024',104), CAST('5' AS int) + 1 FROM t "
                           "WHERE a IN ('a', 'b') AND 'A' = b"),
        }) {
        const std::optional<MarkedLiterals> marked = MarkedLiterals::of(sql);
        ASSERT_TRUE(marked.has_value()) << sql.toStdString();
        EXPECT_EQ(marked->restoredIn(rw(marked->sql)), std::optional<QString>(rw(sql)));
    }
    // Two lots' statements: one marked form.
    const auto lot = [](const QString &name) {
        return MarkedLiterals::of(QStringLiteral("SELECT * FROM LOGS WHERE isnull(LOGS.LOS,'')='%1'").arg(name))->sql;
    };
    EXPECT_EQ(lot(QStringLiteral("1")), lot(QStringLiteral("Los 12")));

    // Nothing to mark, or no sure marks: no marked form.
    for (const QString &sql : {QStringLiteral("SELECT a FROM t WHERE b = 1"), QStringLiteral("SELECT 'abc"),
             QStringLiteral("SELECT 'a', [b"), QStringLiteral("SELECT '\x01' FROM t")})
        EXPECT_FALSE(MarkedLiterals::of(sql).has_value()) << sql.toStdString();
    // A rewrite that lost or repeated a mark is not restored.
    const MarkedLiterals two = *MarkedLiterals::of(QStringLiteral("SELECT 'a', 'b'"));
    EXPECT_FALSE(two.restoredIn(two.sql.left(two.sql.lastIndexOf(u','))).has_value());
    EXPECT_FALSE(two.restoredIn(two.sql.left(two.sql.lastIndexOf(u',')) + two.sql.mid(6)).has_value());
}

TEST(SqlDialect, MalformedInputPassesThroughUnchanged)
{
    for (const QString &sql : {u"SELECT ISNULL(a,b"_s, u"SELECT ISNULL(a,b))"_s, u"SELECT 'abc"_s, u"SELECT [abc"_s,
             u"SELECT CASE WHEN a THEN ISNULL(b,c)"_s, u"SELECT (CASE WHEN a THEN b) END"_s, QString(), u"SELECT TOP"_s,
             u"SELECT a + FROM t"_s, u"SELECT cast(a) , Convert(x)"_s})
        EXPECT_EQ(rw(sql), sql);
    // Every prefix of a long statement: no crash, no endless loop.
    const QString full = u"SELECT TOP 1 ISNULL(a,'x') + RIGHT([b c],2), CASE WHEN x THEN 'y' END, "
                         u"convert(smalldatetime,'01.02.2024',104) FROM t WHERE u IN (SELECT v FROM w)"_s;
    for (qsizetype n = 0; n <= full.size(); ++n)
        rw(full.left(n));
    const QString deep = u"SELECT "_s + QString(20000, u'(') + u"ISNULL(a,b)"_s + QString(20000, u')');
    EXPECT_EQ(rw(deep), deep);
}

TEST(SqlDialect, LongNumberListsPassUnchangedInOnePiece)
{
    QStringList ids;
    for (int i = 1; i <= 3000; ++i)
        ids << QString::number(i * 7);
    const QString list = ids.join(u", "_s);
    const QString shape = u"SELECT ISNULL(LOGS.LOS,'') + 'x' FROM LOGS WHERE LOGS.LISTE = '4711' "
                          u"AND LOGS.ID_LOG IN (%1)AND DSART = 1ORDER BY 1"_s;
    QString expected = rw(shape.arg(u"5"_s));
    expected.replace(u"IN (5)"_s, u"IN ("_s + list + QLatin1Char(')'));
    EXPECT_EQ(rw(shape.arg(list)), expected);
    // Offered to the caller (the last first): the list's place takes its
    // answer; lists inside quoted texts, bracketed names and comments stay.
    QStringList offered;
    const auto table = [&](const QString &l) {
        offered << l;
        return u"SELECT id FROM temp.t%1"_s.arg(offered.size());
    };
    const QString twenty = u"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20"_s;
    const QString quoted = u"SELECT 'a IN (%1)' AS \"x in (%1)\", [in (%1)] FROM t -- in (%1)\n"
                           u"WHERE /* IN (%1) */ ID in(%1 ) AND K NOT IN (%2)"_s.arg(twenty, list);
    EXPECT_EQ(SqlDialect::toSqlite(quoted, table).toStdString(),
        rw(quoted)
            .replace(u"in(%1 )"_s.arg(twenty), u"in(SELECT id FROM temp.t2 )"_s)
            .replace(u"IN (%1)"_s.arg(list), u"IN (SELECT id FROM temp.t1)"_s)
            .toStdString());
    EXPECT_EQ(offered, QStringList({list, twenty}));
    // Fifteen numbers, a word joined to IN, or an empty answer: the list stays.
    const QString fifteen = u"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"_s;
    const QString padding = u" AND B = 1"_s.repeated(20);
    for (const QString &sql : {u"SELECT 1 FROM t WHERE a IN (%1)"_s.arg(fifteen) + padding,
             u"SELECT 1 FROM t WHERE a JOIN_IN (%1)"_s.arg(twenty) + padding})
        EXPECT_EQ(SqlDialect::toSqlite(sql, table), rw(sql));
    EXPECT_EQ(offered.size(), 2);
    const QString kept = u"SELECT 1 FROM t WHERE a IN (%1)"_s.arg(twenty) + padding;
    EXPECT_EQ(SqlDialect::toSqlite(kept, [](const QString &) { return QString(); }), rw(kept));
    // A known list is recognised whole and handed on as that very string; a
    // longer list that merely starts like it is read number by number.
    offered.clear();
    const QString known = u"SELECT 1 FROM t WHERE a IN ( %1 ) AND b IN (%1,21)"_s.arg(twenty) + padding;
    EXPECT_EQ(SqlDialect::toSqlite(known, table, {twenty}),
        rw(known)
            .replace(u"IN ( %1 )"_s.arg(twenty), u"IN ( SELECT id FROM temp.t2 )"_s)
            .replace(u"IN (%1,21)"_s.arg(twenty), u"IN (SELECT id FROM temp.t1)"_s));
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(offered[0], twenty + u",21"_s);
    EXPECT_EQ(offered[1].constData(), twenty.constData());
    // A column named with its table gets a unary plus when its list is
    // answered by a subquery, so that SQLite does not fetch the list's rows
    // one by one; an expression, a bare column or an inline list stays.
    offered.clear();
    const QString columns = u"SELECT 1 FROM LOGS WHERE LOGS.LISTE = 'x' AND LOGS.ID_LOG IN (%1) AND (l.ID NOT  IN(%1)) "
                            u"OR ID IN (%1) OR ISNULL(LOGS.ID_LOG, 0) IN (%1) OR s.LOGS.ID IN (%1)"_s.arg(twenty);
    const QString planned = SqlDialect::toSqlite(columns, table);
    EXPECT_TRUE(planned.contains(u" AND +LOGS.ID_LOG IN (SELECT id FROM temp.t"_s));
    EXPECT_TRUE(planned.contains(u"(+l.ID NOT  IN(SELECT id FROM temp.t"_s));
    EXPECT_TRUE(planned.contains(u"OR ID IN (SELECT"_s));
    EXPECT_TRUE(planned.contains(u" COLLATE NOCASE) IN (SELECT"_s));
    EXPECT_TRUE(planned.contains(u"OR s.LOGS.ID IN (SELECT"_s));
    EXPECT_EQ(planned.count(u'+'), 2) << planned.toStdString();
    EXPECT_FALSE(SqlDialect::toSqlite(columns, [](const QString &) { return QString(); }).contains(u'+'));
    // A statement holding the digits that stand in for a list keeps its lists.
    const QString digits = u"SELECT 82718281828459045230 FROM t WHERE a IN (%1)"_s.arg(twenty) + padding;
    offered.clear();
    EXPECT_EQ(SqlDialect::toSqlite(digits, table), rw(digits));
    EXPECT_TRUE(offered.isEmpty());
    // A list holding anything but numbers is rewritten piece by piece as before.
    EXPECT_EQ(rw(u"SELECT 1 WHERE a IN (1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,ISNULL(b,0))"_s),
        u"SELECT 1 WHERE a IN (1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,"_s + rw(u"ISNULL(b,0)"_s) + QLatin1Char(')'));
}

} // namespace tannbuch
