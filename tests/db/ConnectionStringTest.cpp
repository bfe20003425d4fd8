#include "db/ConnectionString.h"
#include "common/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

namespace {

const QString hostString
    = QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=forst;"
                     "Data Source=SRV01\\SQLEXPRESS");

} // namespace

TEST(ConnectionString, ReadsKeysWithoutRegardToCaseAndQuotes)
{
    const ConnectionString cs(
        QStringLiteral(" provider = SQLOLEDB.1 ; Data Source=\"a;b\" ;Password='it''s';Empty=;Flag"));
    EXPECT_EQ(cs.value(QStringLiteral("PROVIDER")), QStringLiteral("SQLOLEDB.1"));
    EXPECT_EQ(cs.value(QStringLiteral("data source")), QStringLiteral("a;b"));
    EXPECT_EQ(cs.value(QStringLiteral("Password")), QStringLiteral("it's"));
    EXPECT_TRUE(cs.has(QStringLiteral("Empty")));
    EXPECT_TRUE(cs.value(QStringLiteral("Empty")).isEmpty());
    EXPECT_TRUE(cs.has(QStringLiteral("flag")));
    EXPECT_FALSE(cs.has(QStringLiteral("Initial Catalog")));

    // Every way of quoting keeps ";", "=", quotes and braces inside one value,
    // and the item after it is read as its own.
    const struct
    {
        const char *text;
        const char *password;
    } quoted[] = {
        {"User ID=o'neil;Password={a;b}}c};Provider=P", "a;b}c"},
        {"User ID=o'neil;Password=\"x\"\";y='z\";Provider=P", "x\";y='z"},
        {"User ID=o'neil;Password='{;}''=';Provider=P", "{;}'="},
        {"User ID=o'neil;Password={};Provider=P", ""},
        {"User ID=o'neil;Password=a}b{c;Provider=P", "a}b{c"},
    };
    for (const auto &c : quoted) {
        const ConnectionString parsed(QString::fromUtf8(c.text));
        EXPECT_EQ(parsed.value(QStringLiteral("Password")), QString::fromUtf8(c.password)) << c.text;
        EXPECT_EQ(parsed.value(QStringLiteral("User ID")), QStringLiteral("o'neil")) << c.text;
        EXPECT_EQ(parsed.value(QStringLiteral("Provider")), QStringLiteral("P")) << c.text;
    }
}

TEST(ConnectionString, TranslatesTheHostStringToOdbc)
{
    EXPECT_EQ(toOdbcConnectionString(ConnectionString(hostString), QStringLiteral("FreeTDS")),
        QStringLiteral("DRIVER={FreeTDS};SERVER=SRV01\\SQLEXPRESS;DATABASE=forst;Trusted_Connection=Yes;"
                       "TDS_Version=7.3;ApplicationIntent=ReadOnly;ClientCharset=UTF-8;"));

    // A user and password win over integrated security; a port in the data
    // source becomes the driver's PORT; values with ";" go into braces.
    const ConnectionString withLogin(
        QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=forst;Data Source=10.1.2.3,1444;"
                       "User ID=leser;Password=\"ge;heim}\""));
    EXPECT_EQ(toOdbcConnectionString(withLogin, QStringLiteral("/usr/lib/odbc/libtdsodbc.so")),
        QStringLiteral("DRIVER={/usr/lib/odbc/libtdsodbc.so};SERVER=10.1.2.3;PORT=1444;DATABASE=forst;"
                       "UID=leser;PWD={ge;heim}}};TDS_Version=7.3;ApplicationIntent=ReadOnly;ClientCharset=UTF-8;"));
}

TEST(ConnectionString, FindsTheEmbeddedDatabaseByProviderOrFileHeader)
{
    QTemporaryDir dir;
    const QString sqlite = dir.filePath(QStringLiteral("forst.sqlite"));
    const QString other = dir.filePath(QStringLiteral("forst.txt"));
    ASSERT_TRUE(testsupport::writeFile(sqlite, QByteArray("SQLite format 3\0rest of the page", 32)));
    ASSERT_TRUE(testsupport::writeFile(other, "SQLite format 2 is not it"));
    const QString prefix
        = QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=x;Data Source=");
    EXPECT_TRUE(targetsSqlite(ConnectionString(prefix + sqlite)));
    EXPECT_FALSE(targetsSqlite(ConnectionString(prefix + other)));
    EXPECT_FALSE(targetsSqlite(ConnectionString(prefix + dir.filePath(QStringLiteral("missing.sqlite")))));
    EXPECT_FALSE(targetsSqlite(ConnectionString(prefix + QStringLiteral("SRV01"))));
    EXPECT_TRUE(targetsSqlite(ConnectionString(QStringLiteral("Provider=sqlite;Data Source=/nowhere"))));
}

} // namespace tannbuch
