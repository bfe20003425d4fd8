// Statements run ahead: over the wire they go to the test endpoint in few
// batches, and the answers the report then asks for come from memory, the
// same as the statements' own answers, journal and failures included.

#include "common/QtPrinters.h"
#include "common/TestSupport.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/PrefetchedAnswers.h"
#include "db/SqliteBackend.h"
#include "db/StatementBatch.h"
#include "tds/TdsEndpoint.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

const char *const Schema = R"(
CREATE TABLE POLTER (ID INTEGER PRIMARY KEY, ART TEXT, MENGE REAL, DATUM DATETIME, NOTIZ TEXT);
INSERT INTO POLTER VALUES (1, 'Fichte', 12.5, '2024-03-05 14:30:00', 'a;b');
INSERT INTO POLTER VALUES (2, '', NULL, NULL, NULL);
INSERT INTO POLTER VALUES (3, 'Buche', 0.25, '2023-12-31 00:00:00', 'Ränder');
)";

// Look-ups as the report sends them: values of every kind, NULLs, an empty
// result, a ";" in a literal and a line comment at the end.
const QStringList LookUps = {
    u"SELECT ID, ART, MENGE, DATUM, NOTIZ FROM POLTER WHERE ID = 1"_s,
    u"SELECT ART, MENGE, DATUM, NOTIZ FROM POLTER WHERE ID = 2"_s,
    u"SELECT * FROM POLTER WHERE ID = 99"_s,
    u"SELECT COUNT(*) AS N, SUM(MENGE) AS S, MIN(DATUM) FROM POLTER"_s,
    u"SELECT ID FROM POLTER WHERE NOTIZ = 'a;b' -- Ende"_s,
    u"SELECT DATUM FROM POLTER ORDER BY ID"_s,
};
const QString Unforeseen = u"SELECT ART FROM POLTER WHERE ID = 3"_s;

// A result as text, each value with its kind (none for NULL), so that a
// difference in kind shows as well as one in value.
QString shown(Recordset rs)
{
    QStringList values;
    for (int i = 0; i < rs.fieldCount(); ++i)
        values << rs.fieldName(i);
    for (; !rs.eof(); rs.moveNext()) {
        for (int i = 0; i < rs.fieldCount(); ++i)
            values << QString::fromLatin1(rs.value(i).typeName()) + u':' + rs.value(i).toString();
    }
    return values.join(u'|');
}

class Prefetch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.filePath(u"polter.sqlite"_s);
        testsupport::createSqliteDatabase(path, QString::fromUtf8(Schema));
        endpoint = std::make_unique<tds::Endpoint>(path);
    }

    // A connection over the endpoint, or to the file itself.
    void open(bool overWire, int queryTimeout = 60)
    {
        db.setQueryTimeout(queryTimeout);
        if (overWire)
            db.open(endpoint->connectionString());
        else
            db.open(std::make_unique<SqliteBackend>(path));
    }

    qsizetype roundTrips() const { return endpoint->batches().size(); }

    // What each statement gives when asked: its result, or its message (the
    // first line: below it the driver says how it noticed a lost connection,
    // which differs with the moment).
    QStringList outcomes(const QStringList &statements)
    {
        QStringList shownOutcomes;
        for (const QString &sql : statements) {
            try {
                shownOutcomes << shown(db.execute(sql));
            } catch (const DbError &e) {
                shownOutcomes << u"failed: "_s + e.message().section(u'\n', 0, 0);
            }
        }
        return shownOutcomes;
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<tds::Endpoint> endpoint;
    Connection db;
};

// Hundreds of different texts, some of them asked twice, in one round trip;
// nothing is sent ahead while prefetching is off.
TEST_F(Prefetch, ManyLookUpsGoInOneRoundTripAndAnswerAsTheStatementsAlone)
{
    QStringList statements = LookUps;
    for (qsizetype id = 1; statements.size() < 300; ++id)
        statements << u"SELECT ART, MENGE FROM POLTER WHERE ID = %1"_s.arg(id);
    open(true);
    db.setPrefetchEnabled(false);
    db.prefetch(statements);
    qsizetype before = roundTrips();
    const QStringList direct = outcomes(statements);
    EXPECT_EQ(roundTrips(), before + statements.size());
    db.setPrefetchEnabled(true);
    before = roundTrips();
    db.prefetch(statements + LookUps);
    EXPECT_EQ(roundTrips(), before + 1);
    EXPECT_EQ(outcomes(statements), direct);
    EXPECT_EQ(roundTrips(), before + 1);
}

// A batch holds what the server accepts (packet size × 65,536 bytes, two
// bytes a character) whatever the number of statements; a statement beyond
// the limit goes alone, and only joinable statements are planned.
TEST(StatementBatch, BatchesGrowToTheCharacterLimit)
{
    EXPECT_EQ(StatementBatch::characterLimit(4096), qsizetype(4096) * 65536 / 2);
    const QString shortOne = u"SELECT 1"_s;
    const QString longOne = u"SELECT '%1'"_s.arg(QString(2000, u'x'));
    const struct
    {
        QStringList statements;
        qsizetype limit;
        std::vector<qsizetype> sizes; // statements per batch
    } cases[] = {
        {QStringList(5000, shortOne), 128 * 1024 * 1024, {5000}},
        {{shortOne, longOne, shortOne}, 1500, {1, 1, 1}},
        {{shortOne, shortOne, longOne, u"SET NOCOUNT ON"_s, shortOne}, 2200, {3, 1}},
    };
    for (const auto &c : cases) {
        std::vector<qsizetype> sizes;
        for (const StatementBatch &batch : StatementBatch::plan(c.statements, c.limit))
            sizes.push_back(batch.answerLimit() / 2);
        EXPECT_EQ(sizes, c.sizes) << c.limit;
    }
}

// Both engines: the journal records what is asked, in the asking order; an
// answer serves as often as its text was listed; what was not run ahead
// makes its own round trip; a
// new connection or turning prefetching off drops the answers.
TEST_F(Prefetch, TheJournalRecordsTheAskingAndAnswersServeAsOftenAsListed)
{
    for (const bool overWire : {true, false}) {
        SCOPED_TRACE(overWire ? "ODBC" : "SQLite");
        open(overWire);
        EXPECT_EQ(db.prefetched().size(), 0);
        db.journal().clear();
        db.journal().setRecording(true);
        db.prefetch(LookUps + QStringList{LookUps[3]});
        const qsizetype before = roundTrips();
        const QStringList asked = {LookUps[3], LookUps[0], Unforeseen, LookUps[0], LookUps[3]};
        outcomes(asked);
        EXPECT_EQ(db.journal().statements(), asked);
        if (overWire) {
            EXPECT_EQ(endpoint->batches().mid(before), QStringList({Unforeseen, LookUps[0]}));
        }
        EXPECT_EQ(db.prefetched().size(), LookUps.size() - 2);
    }
    db.setPrefetchEnabled(false);
    EXPECT_EQ(db.prefetched().size(), 0);
}

// Faults in a batch: an error in one statement, a stall cancelled after the
// query timeout, the connection lost. The prefetch does not fail; the
// statements answered before the fault are kept, and each statement asked
// afterwards succeeds or fails as it does alone.
TEST_F(Prefetch, FaultsInABatchShowWhenTheStatementsAreAskedAsTheyWouldAlone)
{
    const std::pair<tds::Faults, qsizetype> cases[] = {
        {{.failOn = LookUps[1], .errorNumber = 208, .errorMessage = u"Ungültiger Name"_s}, 5},
        {{.stallOn = u"WHERE ID = 99"_s}, 0},
        {{.dropOn = u"WHERE ID = 2"_s}, 1},
    };
    for (const auto &[faults, kept] : cases) {
        open(true, 1);
        endpoint->setFaults(faults);
        db.setPrefetchEnabled(false);
        const QStringList alone = outcomes(LookUps);
        open(true, 1);
        db.setPrefetchEnabled(true);
        db.prefetch(LookUps);
        EXPECT_EQ(db.prefetched().size(), kept);
        EXPECT_EQ(outcomes(LookUps), alone);
    }
}

TEST_F(Prefetch, OnlySingleReadingStatementsAreSentAhead)
{
    const std::pair<const char *, bool> cases[] = {
        {"  /* Kopf */ select ID FROM POLTER -- Ende", true},
        {"SELECT ';' AS [a;b], \"GO\" FROM POLTER", true},
        {"SET NOCOUNT ON", false},
        {"SELECT 1; SELECT 2", false},
        {"SELECT 1\nGO\nSELECT 2", false},
        {"SELECT * INTO #kopie FROM POLTER", false},
        {"SELECT 'offen", false},
        {"SELECT 1 AS tannbuch_batch_mark", false},
    };
    open(true);
    const qsizetype before = roundTrips();
    for (const auto &[sql, joins] : cases) {
        EXPECT_EQ(StatementBatch::canJoin(QString::fromUtf8(sql)), joins) << sql;
        if (!joins)
            db.prefetch({QString::fromUtf8(sql)});
    }
    EXPECT_EQ(roundTrips(), before);
}

// The count and the size are both bounded; the answers kept longest go first.
TEST(PrefetchedAnswers, StayWithinTheirBoundsDroppingTheOldestFirst)
{
    PrefetchedAnswers store;
    for (qsizetype i = 0; i <= PrefetchedAnswers::MaxAnswers; ++i)
        store.keep(QString::number(i), ResultData());
    EXPECT_TRUE(store.size() == PrefetchedAnswers::MaxAnswers && !store.contains(u"0"_s));
    store.clear();
    const QString third(PrefetchedAnswers::MaxBytes / 3 / 2, u'x'); // a third of the room
    for (const QString &sql : {u'a' + third, u'b' + third, u'c' + third})
        store.keep(sql, ResultData());
    EXPECT_FALSE(store.contains(u'a' + third));
    EXPECT_TRUE(store.take(u'b' + third) && store.take(u'c' + third) && store.bytes() == 0);
}

} // namespace

} // namespace tannbuch
