// How long the program waits on a server that does not answer: a closed
// port, a server that takes the connection but never answers the login,
// and a statement the server never answers (over the SQL Server test
// endpoint, with a query timeout of one second). Each wait is printed and
// checked against its goal: the timeout itself plus a little for the driver.
// The tests prove that each case fails with a message; how soon it fails
// depends on the machine and is measured here.
//
//   bench_timeouts        exit code 1 when a wait exceeds its goal

#include "db/Connection.h"
#include "db/DbError.h"
#include "tds/TdsEndpoint.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tannbuch {

namespace {

// Milliseconds until the call gives up with a DbError; -1 when it succeeds.
template <typename Call> qint64 millisUntilFailure(Call call)
{
    QElapsedTimer timer;
    timer.start();
    try {
        call();
    } catch (const DbError &) {
        return timer.elapsed();
    }
    return -1;
}

qint64 openMillis(const QString &connectionString)
{
    return millisUntilFailure([&] {
        Connection db;
        db.open(connectionString);
    });
}

// A socket on the loopback address that listens and never accepts: the
// kernel completes the handshake, the login is never answered.
qint64 silentServerMillis()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(listener, 8) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return -1;
    const qint64 millis = openMillis(QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;"
                                                    "Initial Catalog=forst;Data Source=127.0.0.1,%1")
                                         .arg(ntohs(address.sin_port)));
    ::close(listener);
    return millis;
}

// A statement the endpoint never answers, with a query timeout of one second.
qint64 stalledStatementMillis(const QString &folder)
{
    const QString path = folder + QStringLiteral("/stall.sqlite");
    sqlite3 *file = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &file) != SQLITE_OK
        || sqlite3_exec(
               file, "CREATE TABLE T (ID INTEGER PRIMARY KEY); INSERT INTO T VALUES (1);", nullptr, nullptr, nullptr)
            != SQLITE_OK)
        return -1;
    sqlite3_close(file);
    tds::Endpoint endpoint(path);
    Connection db;
    db.setQueryTimeout(1);
    db.open(endpoint.connectionString());
    endpoint.setFaults({.stallOn = QStringLiteral("FROM T")});
    return millisUntilFailure([&] { db.execute(QStringLiteral("SELECT ID FROM T")); });
}

} // namespace

} // namespace tannbuch

using namespace tannbuch;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream print(stdout);
    QTemporaryDir dir;
    const qint64 login = Connection::LoginTimeoutSeconds * 1000;
    const struct
    {
        const char *what;
        qint64 millis;
        qint64 goal;
    } waits[] = {
        {"closed port",
            openMillis(QStringLiteral("Provider=SQLOLEDB.1;Initial Catalog=forst;"
                                      "Data Source=127.0.0.1,1;User ID=leser;Password=x")),
            login + 5000},
        {"silent server (login)", silentServerMillis(), login + 2000},
        {"stalled statement (1 s)", stalledStatementMillis(dir.path()), 4000},
    };
    int failed = 0;
    for (const auto &w : waits) {
        const bool ok = w.millis >= 0 && w.millis < w.goal;
        print << qSetFieldWidth(26) << Qt::left << w.what << qSetFieldWidth(0) << w.millis << " ms (goal under "
              << w.goal << " ms)" << (ok ? "" : "  NOT MET") << '\n';
        failed += ok ? 0 : 1;
    }
    return failed == 0 ? 0 : 1;
}
