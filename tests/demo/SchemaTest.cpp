// The demo schema: it runs on its own, holds every column the reports read,
// and keeps text columns fit for the run-time collation that replaces NOCASE.

#include "DemoTestDb.h"
#include "common/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QStringList numbered(const QString &prefix, int count, const QString &suffix = QString())
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << prefix + QString::number(i) + suffix;
    return names;
}

// Table and columns as the host's statements name them.
std::vector<std::pair<QString, QStringList>> columnsRead()
{
    const auto l = [](const char *list) { return QString::fromLatin1(list).split(QLatin1Char(' ')); };
    return {
        {QStringLiteral("ACCESS_LEVELS"), l("ID ACCESS_LEVELS")},
        {QStringLiteral("STRINGS"), l("ID_STRING CUSTOM_GERMAN GERMAN")},
        {QStringLiteral("OPTIONEN"), l("PROPERTY_ID NUMBER_VALUE")},
        {QStringLiteral("FORMS_CONFIG"), l("FORM_ID PROPERTY_ID NUMBER_VALUE")},
        {QStringLiteral("LISTENART"), l("LISTENART TEXT")},
        {QStringLiteral("RELTABLE"), l("ID RELTABLE_ID KURZNAME LANGNAME DISABLE")},
        {QStringLiteral("LISTENKOPF"),
            l("LISTE ID_ACCESS_LEVELS LISTENKOPFZUSTXT") + numbered(QStringLiteral("TEXT"), 15)
                + numbered(QStringLiteral("NUMBER"), 10) + numbered(QStringLiteral("DATE"), 5)},
        {QStringLiteral("DSART"), l("ID NAME")},
        {QStringLiteral("HOLZART"), l("HA HA_LANG ZUORD_MSZ")},
        {QStringLiteral("HOLZSORTE"), l("HS HS_LANG ZUORD_MSZ")},
        {QStringLiteral("D_MSZ"), l("HA HS STKL DSART MSZ_EURO")},
        {QStringLiteral("WARENEINHEIT"), l("EINHEIT_ID EINHEIT GEWICHT_LUTRO")},
        {QStringLiteral("KUBATURKLASSE"), l("ID KKLASSE")},
        {QStringLiteral("RINDENKENNZ"), l("ID_RINDENKENNZ RINDENKENNZ")},
        {QStringLiteral("VERKAUFSART"), l("ID LONG")},
        {QStringLiteral("WALDORT"), l("ID_WALDORT LANGNAME WO1 WO2 WO3 WO4 WO5 WO6")},
        {QStringLiteral("PERSONAL"), l("ID_PERSONAL KURZBEZEICHNUNG NUMMER NAME VORNAME PLZ ORT STRASSE")},
        {QStringLiteral("TRANSPORTLOGISTIK_WAGGON"), l("ID DATUM_VERLADE WAGGON_NR")},
        {QStringLiteral("TRANSPORTLOGISTIK"),
            l("ID ID_TRANSPORTLOGISTIK_WAGGON LOS STUCK KUBATUR EINGANGS_DATUM Z_TEXT_1 Z_TEXT_2 Z_DATUM_1 PID POLTER "
              "LKW_NR BAHNHOF LIEFERSCHEIN_NR")},
        {QStringLiteral("LOGS"),
            l("ID_LOG LISTE LISTDATUM LISTZUSTXT LISTENART LOS POLTNR DSART BLNR KLST HA HS GKL STKL LAENGE "
              "STAPELLANGE "
              "KORREKTUR DURCH STK KUBATUR KUBRM KUBATRO KUBLUTO UFAKT_RM UFAKT_STK UFAKT_ATO UFAKT_LUT ID_MASSEINHEIT "
              "ID_WALDORT ID_MANTEL KKLASSE ID_RINDENKENNZ RINDEPROZENT RINDE_WERT ZUSTXT ZUSTEXT1 ZUSTEXT2 ZUSTEXT3 "
              "ZUSTEXT4 ZUSTEXT5 COORDINATE1 COORDINATE2 WAGNR FARBE FREI1 FREI2 FREI3 FREI4 FREI5 ANGEBOT MEFVERF "
              "MENGEN EST ZUGANG ABGANG RUCKE SPALT ABGANGSDATUM MSZ NA KA ID_VERKAUFSART ID_TRANSPORTLOGISTIK")
                + numbered(QStringLiteral("RELTABLE"), 10)},
        {QStringLiteral("LOGS_RECH"),
            l("ID_LOG R_KUNDE R_PREIS") + numbered(QStringLiteral("A"), 8, QStringLiteral("_KUNDE"))
                + numbered(QStringLiteral("A"), 8, QStringLiteral("_PREIS"))},
        {QStringLiteral("MANTEL"), l("ID_MANTEL HA HS GKL STKL LANGE DURCH STUCK KUBATUR ENTRINDUNG RINDE")},
        {QStringLiteral("SCHICHT_HOEHEN"), l("ID_LOG HEIGHT")},
        {QStringLiteral("SCHICHT_HOEHEN_HINTEN"), l("ID_LOG HEIGHT")},
        {QStringLiteral("SCHICHT_HOEHEN_KOPF"),
            l("ID_LOG LANG_V LANG_A_V LANG_B_V HOEHE_B_V LANG_H LANG_A_H LANG_B_H HOEHE_B_H HOEHE_A LANG_A LANG_B "
              "HOEHE_B VOL_A VOL_B VOL_C VOL")},
        {QStringLiteral("BEREITSTELLUNG_KOPF"), l("ID BEREITSTELLUNGSNAME")},
        {QStringLiteral("BEREITSTELLUNG_LOGS"), l("ID_BEREITSTELLUNG_KOPF ID_LOGS")},
    };
}

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
        m_path = m_dir.filePath(QStringLiteral("schema.sqlite"));
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
    const QString shell = QStringLiteral("/usr/bin/sqlite3");
    if (!QFile::exists(shell))
        GTEST_SKIP() << "no sqlite3 shell on this machine";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("new.sqlite"));

    QProcess process;
    process.setStandardInputFile(QStringLiteral(TANNBUCH_SCHEMA_SQL));
    process.start(shell, {path});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

    DemoTestDb db(path);
    EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'")).toInt(),
        int(columnsRead().size()));
}

TEST_F(SchemaTest, HoldsEveryColumnTheReportsRead)
{
    for (const auto &[table, columns] : columnsRead())
        for (const QString &column : columns)
            EXPECT_TRUE(columnInfo(m_db->handle(), table, column).exists)
                << table.toStdString() << "." << column.toStdString() << " is missing";

    // List, lot and pile numbers are compared with quoted literals.
    for (const char *column : {"LISTE", "LOS", "POLTNR", "HA", "HS", "GKL", "STKL"})
        EXPECT_EQ(columnInfo(m_db->handle(), QStringLiteral("LOGS"), QString::fromLatin1(column)).type,
            QStringLiteral("TEXT"))
            << column;
}

TEST_F(SchemaTest, TextColumnsCompareWithoutCaseAndOnlyPileAndLotIndexesCoverThem)
{
    const QStringList tables
        = m_db->texts(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    for (const QString &table : tables) {
        for (const auto &row : m_db->rows(QStringLiteral("PRAGMA table_info(%1)").arg(table))) {
            const QString column = row[1].toString();
            const ColumnInfo info = columnInfo(m_db->handle(), table, column);
            if (info.type == QStringLiteral("TEXT")) {
                EXPECT_EQ(info.collation, QStringLiteral("NOCASE"))
                    << table.toStdString() << "." << column.toStdString();
            } else {
                EXPECT_TRUE(info.type == QStringLiteral("INTEGER") || info.type == QStringLiteral("REAL")
                    || info.type == QStringLiteral("DATETIME"))
                    << table.toStdString() << "." << column.toStdString() << " has type " << info.type.toStdString();
            }
            const bool primaryKey = row[5].toInt() != 0;
            if (primaryKey) {
                EXPECT_EQ(info.type, QStringLiteral("INTEGER")) << table.toStdString() << " has a key of another type";
            }
        }
    }

    // An index keeps the order of the collation it was built with, which the
    // run-time comparison replaces: only integer columns may be indexed (the
    // pile and lot indexes aside), and text keys (which would bring an automatic index)
    // are not allowed.
    const auto indexes = m_db->rows(QStringLiteral("SELECT name, tbl_name FROM sqlite_master WHERE type = 'index'"));
    EXPECT_FALSE(indexes.empty());
    for (const auto &index : indexes) {
        const QString name = index[0].toString();
        EXPECT_FALSE(name.startsWith(QStringLiteral("sqlite_autoindex"))) << name.toStdString();
        if (name == QStringLiteral("IX_LOGS_POLTER") || name == QStringLiteral("IX_LOGS_LOS"))
            continue;
        for (const auto &column : m_db->rows(QStringLiteral("PRAGMA index_info(%1)").arg(name)))
            EXPECT_EQ(
                columnInfo(m_db->handle(), index[1].toString(), column[2].toString()).type, QStringLiteral("INTEGER"))
                << name.toStdString() << " covers " << column[2].toString().toStdString();
    }
}
