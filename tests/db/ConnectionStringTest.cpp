#include "db/ConnectionString.h"
#include "common/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

const QString hostString
    = u"Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=forst;"
      u"Data Source=SRV01\\SQLEXPRESS"_s;

} // namespace

TEST(ConnectionString, ReadsKeysWithoutRegardToCaseAndQuotes)
{
    const ConnectionString cs(u" provider = SQLOLEDB.1 ; Data Source=\"a;b\" ;Password='it''s';Empty=;Flag"_s);
    EXPECT_EQ(cs.value(u"PROVIDER"_s), u"SQLOLEDB.1"_s);
    EXPECT_EQ(cs.value(u"data source"_s), u"a;b"_s);
    EXPECT_EQ(cs.value(u"Password"_s), u"it's"_s);
    EXPECT_TRUE(cs.has(u"Empty"_s));
    EXPECT_TRUE(cs.value(u"Empty"_s).isEmpty());
    EXPECT_TRUE(cs.has(u"flag"_s));
    EXPECT_FALSE(cs.has(u"Initial Catalog"_s));

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
        EXPECT_EQ(parsed.value(u"Password"_s), QString::fromUtf8(c.password)) << c.text;
        EXPECT_EQ(parsed.value(u"User ID"_s), u"o'neil"_s) << c.text;
        EXPECT_EQ(parsed.value(u"Provider"_s), u"P"_s) << c.text;
    }
}

TEST(ConnectionString, TranslatesTheHostStringToOdbc)
{
    EXPECT_EQ(toOdbcConnectionString(ConnectionString(hostString), u"FreeTDS"_s),
        u"DRIVER={FreeTDS};SERVER=SRV01\\SQLEXPRESS;DATABASE=forst;Trusted_Connection=Yes;"
        u"TDS_Version=7.3;ApplicationIntent=ReadOnly;ClientCharset=UTF-8;"_s);

    // A user and password win over integrated security; a port in the data
    // source becomes the driver's PORT; values with ";" go into braces.
    const ConnectionString withLogin(
        u"Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=forst;Data Source=10.1.2.3,1444;"
        u"User ID=leser;Password=\"ge;heim}\""_s);
    EXPECT_EQ(toOdbcConnectionString(withLogin, u"/usr/lib/odbc/libtdsodbc.so"_s),
        u"DRIVER={/usr/lib/odbc/libtdsodbc.so};SERVER=10.1.2.3;PORT=1444;DATABASE=forst;"
        u"UID=leser;PWD={ge;heim}}};TDS_Version=7.3;ApplicationIntent=ReadOnly;ClientCharset=UTF-8;"_s);
}

TEST(ConnectionString, FindsTheEmbeddedDatabaseByProviderOrFileHeader)
{
    QTemporaryDir dir;
    const QString sqlite = dir.filePath(u"forst.sqlite"_s);
    const QString other = dir.filePath(u"forst.txt"_s);
    ASSERT_TRUE(testsupport::writeFile(sqlite, QByteArray("SQLite format 3\0rest of the page", 32)));
    ASSERT_TRUE(testsupport::writeFile(other, "SQLite format 2 is not it"));
    const QString prefix = u"Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=x;Data Source="_s;
    EXPECT_TRUE(targetsSqlite(ConnectionString(prefix + sqlite)));
    EXPECT_FALSE(targetsSqlite(ConnectionString(prefix + other)));
    EXPECT_FALSE(targetsSqlite(ConnectionString(prefix + dir.filePath(u"missing.sqlite"_s))));
    EXPECT_FALSE(targetsSqlite(ConnectionString(prefix + u"SRV01"_s)));
    EXPECT_TRUE(targetsSqlite(ConnectionString(u"Provider=sqlite;Data Source=/nowhere"_s)));
}

} // namespace tannbuch
