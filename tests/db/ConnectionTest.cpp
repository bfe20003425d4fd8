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

using namespace Qt::StringLiterals;

namespace {

// An engine that answers every statement with one row holding its text.
class EchoBackend : public Backend
{
public:
    ResultData query(const QString &sql) override
    {
        if (sql.contains(u"FAIL"_s))
            throw DbError(u"Syntaxfehler bei FAIL"_s);
        ResultData data;
        data.columns << u"SQL"_s;
        data.rows.push_back({QVariant(sql)});
        return data;
    }
    QString name() const override { return u"Echo"_s; }
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
    EXPECT_THROW(Connection().execute(u"SELECT 1"_s), DbError) << "a closed connection runs nothing";
    Connection db;
    db.open(std::make_unique<EchoBackend>());
    db.journal().setRecording(true);

    const QString withBreaks = u"Select property_id \rfrom FORMS_CONFIG  \r"_s;
    EXPECT_EQ(db.execute(withBreaks).field(u"sql"_s).toString(), withBreaks);
    EXPECT_THROW(db.openStatic(u"SELECT FAIL "_s), DbError);

    // Failing statements are recorded too: they were sent.
    EXPECT_EQ(db.journal().statements(), QStringList({withBreaks, u"SELECT FAIL "_s}));
    EXPECT_EQ(db.journal().count(), 2);

    db.journal().setRecording(false);
    db.execute(u"SELECT 1"_s);
    EXPECT_EQ(db.journal().statements().size(), 2);
    EXPECT_EQ(db.journal().count(), 3);
}

// A data source that names a file is never taken for a server: a missing or
// foreign file is told as such, with the path and where to mend it.
TEST(Connection, MissingDatabaseFileIsToldAsSuch)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(u"notes.txt"_s);
    ASSERT_TRUE(testsupport::writeFile(text, "no database"));
    for (const QString &path : {dir.filePath(u"fehlt/forst.sqlite"_s), text}) {
        const QString message
            = openFailure(u"Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=forst;Data Source="_s + path);
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
        EXPECT_TRUE(message.contains(u"SQLSERVER"_s)) << message.toStdString();
    }
}

// A SQL Server that does not answer: opening fails with the driver's
// message, it neither hangs nor crashes (how soon, bench_timeouts measures).
// Port 1 on the loopback address is closed on any ordinary machine.
TEST(Connection, UnreachableServerFails)
{
    for (const QString &cs : {u"Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                              u"Initial Catalog=forst;Data Source=127.0.0.1,1"_s,
             u"Provider=SQLOLEDB.1;Initial Catalog=forst;Data Source=127.0.0.1,1;"
             u"User ID=leser;Password=x"_s})
        EXPECT_FALSE(openFailure(cs).trimmed().isEmpty());
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

    const QString message = openFailure(u"Provider=SQLOLEDB.1;Integrated Security=SSPI;"
                                        u"Initial Catalog=forst;Data Source=127.0.0.1,%1"_s.arg(port));
    ::close(listener);
    EXPECT_FALSE(message.trimmed().isEmpty());
}

} // namespace tannbuch
