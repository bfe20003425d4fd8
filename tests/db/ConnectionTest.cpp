#include "db/Connection.h"
#include "common/TestSupport.h"
#include "db/Backend.h"
#include "db/DbError.h"

#include <QFile>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace tannbuch {

namespace {

// An engine that answers every statement with one row holding its text.
class EchoBackend : public Backend
{
public:
    ResultData query(const QString &sql) override
    {
        if (sql.contains(QStringLiteral("FAIL")))
            throw DbError(QStringLiteral("Syntaxfehler bei FAIL"));
        ResultData data;
        data.columns << QStringLiteral("SQL");
        data.rows.push_back({QVariant(sql)});
        return data;
    }
    QString name() const override { return QStringLiteral("Echo"); }
};

// The message of the DbError opening the connection string raises (empty
// when it opens).
QString openFailure(const QString &connectionString)
{
    Connection db;
    QString message;
    try {
        db.open(connectionString);
    } catch (const DbError &e) {
        message = e.message();
    }
    EXPECT_FALSE(db.isOpen());
    return message;
}

} // namespace

TEST(Connection, JournalRecordsEveryStatementTextExactly)
{
    Connection db;
    db.open(std::make_unique<EchoBackend>());
    db.journal().setRecording(true);

    const QString withBreaks = QStringLiteral("Select property_id \rfrom FORMS_CONFIG  \r");
    EXPECT_EQ(db.execute(withBreaks).field(QStringLiteral("sql")).toString(), withBreaks);
    EXPECT_THROW(db.openStatic(QStringLiteral("SELECT FAIL ")), DbError);

    // Failing statements are recorded too: they were sent.
    EXPECT_EQ(db.journal().statements(), QStringList({withBreaks, QStringLiteral("SELECT FAIL ")}));
    EXPECT_EQ(db.journal().count(), 2);

    db.journal().setRecording(false);
    db.execute(QStringLiteral("SELECT 1"));
    EXPECT_EQ(db.journal().statements().size(), 2);
    EXPECT_EQ(db.journal().count(), 3);
}

TEST(Connection, StatementsOnAClosedConnectionFail)
{
    Connection db;
    EXPECT_FALSE(db.isOpen());
    EXPECT_THROW(db.execute(QStringLiteral("SELECT 1")), DbError);
}

// A data source that names a file is never taken for a server: a missing or
// foreign file is told as such, with the path and where to mend it.
TEST(Connection, MissingDatabaseFileIsToldAsSuch)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(testsupport::writeFile(text, "no database"));
    for (const QString &path : {dir.filePath(QStringLiteral("fehlt/forst.sqlite")), text}) {
        const QString message = openFailure(
            QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=forst;Data Source=") + path);
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("SQLSERVER"))) << message.toStdString();
    }
}

// A SQL Server that does not answer: opening fails with the driver's
// message, it neither hangs nor crashes (how soon, bench_timeouts measures).
// Port 1 on the loopback address is closed on any ordinary machine.
TEST(Connection, UnreachableServerFails)
{
    for (const QString &cs : {
             QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                            "Initial Catalog=forst;Data Source=127.0.0.1,1"),
             QStringLiteral("Provider=SQLOLEDB.1;Initial Catalog=forst;Data Source=127.0.0.1,1;"
                            "User ID=leser;Password=x"),
         }) {
        EXPECT_FALSE(openFailure(cs).trimmed().isEmpty());
    }
}

// A server that takes the connection but never answers the login: opening
// gives up after the login timeout instead of hanging. The socket listens on
// the loopback address and never accepts; the kernel completes the handshake.
TEST(Connection, SilentServerFailsAfterTheLoginTimeout)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length), 0);
    const int port = ntohs(address.sin_port);

    const QString message = openFailure(QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;"
                                                       "Initial Catalog=forst;Data Source=127.0.0.1,%1")
                                            .arg(port));
    ::close(listener);
    EXPECT_FALSE(message.trimmed().isEmpty());
}

} // namespace tannbuch
