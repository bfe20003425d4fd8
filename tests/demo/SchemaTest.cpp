// The demo schema: it runs on its own and keeps text columns fit for the
// run-time collation that replaces NOCASE. (That it holds every column the
// program reads, and which indexes may cover text, the statement corpus
// checks.)

#include "DemoTestDb.h"
#include "common/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

struct ColumnInfo
{
    bool exists = false;
    QString type;
    QString collation;
};

ColumnInfo columnInfo(sqlite3 *db, const QString &table, const QString &column)
{
    const char *type = nullptr;
    const char *collation = nullptr;
    ColumnInfo info;
    info.exists = sqlite3_table_column_metadata(db, nullptr, table.toUtf8().constData(), column.toUtf8().constData(),
                      &type, &collation, nullptr, nullptr, nullptr)
        == SQLITE_OK;
    if (info.exists) {
        info.type = QString::fromUtf8(type).toUpper();
        info.collation = QString::fromUtf8(collation).toUpper();
    }
    return info;
}

class SchemaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(u"schema.sqlite"_s);
        testsupport::createSqliteDatabase(m_path, testsupport::schemaSql());
        m_db = std::make_unique<DemoTestDb>(m_path);
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<DemoTestDb> m_db;
};

} // namespace

TEST(SchemaShellTest, RunsInTheSqliteShellOnItsOwn)
{
    const QString shell = u"/usr/bin/sqlite3"_s;
    if (!QFile::exists(shell))
        GTEST_SKIP() << "no sqlite3 shell on this machine";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"new.sqlite"_s);

    QProcess process;
    process.setStandardInputFile(QStringLiteral(TANNBUCH_SCHEMA_SQL));
    process.start(shell, {path});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

    // The same tables as the program's own way of creating it makes.
    const QString tables = u"SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"_s;
    const QString programs = dir.filePath(u"program.sqlite"_s);
    testsupport::createSqliteDatabase(programs, testsupport::schemaSql());
    EXPECT_GT(DemoTestDb(path).texts(tables).size(), 20);
    EXPECT_EQ(DemoTestDb(path).texts(tables), DemoTestDb(programs).texts(tables));
}

TEST_F(SchemaTest, TextColumnsCompareWithoutCase)
{
    // List, lot and pile numbers are compared with quoted literals.
    for (const char *column : {"LISTE", "LOS", "POLTNR", "HA", "HS", "GKL", "STKL"})
        EXPECT_EQ(columnInfo(m_db->handle(), u"LOGS"_s, QString::fromLatin1(column)).type, u"TEXT"_s) << column;
    const QStringList tables = m_db->texts(u"SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"_s);
    for (const QString &table : tables) {
        for (const auto &row : m_db->rows(u"PRAGMA table_info(%1)"_s.arg(table))) {
            const QString column = row[1].toString();
            const ColumnInfo info = columnInfo(m_db->handle(), table, column);
            if (info.type == u"TEXT"_s) {
                EXPECT_EQ(info.collation, u"NOCASE"_s) << table.toStdString() << "." << column.toStdString();
            } else {
                EXPECT_TRUE(info.type == u"INTEGER"_s || info.type == u"REAL"_s || info.type == u"DATETIME"_s)
                    << table.toStdString() << "." << column.toStdString() << " has type " << info.type.toStdString();
            }
            const bool primaryKey = row[5].toInt() != 0;
            if (primaryKey) {
                EXPECT_EQ(info.type, u"INTEGER"_s) << table.toStdString() << " has a key of another type";
            }
        }
    }
}

} // namespace tannbuch
