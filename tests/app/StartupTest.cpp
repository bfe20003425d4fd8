#include "app/DateKeyFilter.h"
#include "app/IniReader.h"
#include "app/StartupCheck.h"
#include "app/StartupValues.h"
#include "app/WindowPositionStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tannbuch {

TEST(CommandLine, SplitsTrimsAndFillsTheListType)
{
    const StartupValues none = SplitCommandLine(QString());
    EXPECT_TRUE(none.connectionString.isEmpty());
    EXPECT_TRUE(none.listTypeNumber.isEmpty()) << "no command line keeps the list type empty, not 0";
    EXPECT_FALSE(none.isUnattended());

    const StartupValues seven = SplitCommandLine(QStringLiteral("| /opt/k.ini |3|RELTABLE1| 4711 | |DEMO"));
    EXPECT_TRUE(seven.connectionString.isEmpty());
    EXPECT_EQ(seven.iniPath, QStringLiteral("/opt/k.ini"));
    EXPECT_EQ(seven.accessLevelId, QStringLiteral("3"));
    EXPECT_EQ(seven.listNumber, QStringLiteral("4711"));
    EXPECT_EQ(seven.listTypeNumber, QStringLiteral("0"));
    EXPECT_EQ(seven.provisionName, QStringLiteral("DEMO"));
    EXPECT_TRUE(seven.isUnattended());

    const StartupValues many = SplitCommandLine(QStringLiteral("a|b|c|d|e|f|g|h|i|j"));
    EXPECT_EQ(many.saveFolder, QStringLiteral("h"));

    // Five fields: the list type is not present, so it stays empty.
    EXPECT_TRUE(SplitCommandLine(QStringLiteral("a|b|c|d|4711")).listTypeNumber.isEmpty());

    // Unquoted pieces arrive joined by blanks, as one quoted argument would.
    EXPECT_EQ(SplitCommandLine(JoinArguments({QStringLiteral("|k.ini|||4711|1|Bereit"), QStringLiteral("1|out/")}))
                  .provisionName,
        QStringLiteral("Bereit 1"));
}

// What statements may take: empty fields (no restriction, no list type, date
// range), whole numbers, and the ten year columns in any letter case.
TEST(CommandLine, AcceptsNumbersAndYearColumnsAndNamesTheFieldThatDoesNot)
{
    const struct
    {
        const char *accessLevel, *yearColumn, *listType, *normalisedColumn;
    } accepted[] = {
        {"", "", "", ""},
        {"0", "reltable10", "0", "RELTABLE10"},
        {"-1", "Reltable3", "12", "RELTABLE3"},
        {"007", "RELTABLE1", "2147483647", "RELTABLE1"},
    };
    for (const auto &c : accepted) {
        StartupValues v;
        v.accessLevelId = QString::fromUtf8(c.accessLevel);
        v.businessYearColumn = QString::fromUtf8(c.yearColumn);
        v.listTypeNumber = QString::fromUtf8(c.listType);
        EXPECT_EQ(CheckStartupValues(v), std::nullopt) << c.accessLevel << "|" << c.yearColumn << "|" << c.listType;
        EXPECT_EQ(v.businessYearColumn, QString::fromUtf8(c.normalisedColumn));
        EXPECT_EQ(v.accessLevelId, QString::fromUtf8(c.accessLevel)) << "numbers stay as given";
    }

    // Refused: the message names the field and says what is wrong with it;
    // a number of digits alone is too large, not "other than digits".
    const struct
    {
        const char *commandLine, *field, *why;
    } refused[] = {
        {"c|i|12345678901234567890", "Zugriffsstufe", "zu groß"},
        {"c|i|-99999999999", "Zugriffsstufe", "zu klein"},
        {"c|i|3||4711|2147483648", "Listenart", "zu groß"},
        {"c|i|3 OR 1=1", "Zugriffsstufe", "nur Ziffern 0 bis 9"},
        {"c|i|3|RELTABLE1 = reltable.id --|4711|1", "Geschäftsjahresspalte", "RELTABLE1 bis RELTABLE10"},
    };
    for (const auto &c : refused) {
        StartupValues bad = SplitCommandLine(QString::fromUtf8(c.commandLine));
        const StartupValues before = bad;
        const std::optional<QString> message = CheckStartupValues(bad);
        ASSERT_TRUE(message) << c.commandLine;
        EXPECT_TRUE(message->contains(QString::fromUtf8(c.field)) && message->contains(QString::fromUtf8(c.why)))
            << message->toStdString();
        EXPECT_EQ(message->contains(QStringLiteral("nur Ziffern")), QByteArray(c.why) == "nur Ziffern 0 bis 9")
            << message->toStdString();
        EXPECT_EQ(bad.businessYearColumn, before.businessYearColumn) << "nothing changes on refusal";
    }
}

TEST(IniFile, MatchesKeysAsTheHostWritesThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kelmora.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Kelmora]\r\n"
                "; comment\r\n"
                "=VALUE\r\n"
                "  databasename  =  forst  \r\n"
                "DATABASE=prefix-only\r\n"
                "Connect=a=b;c=d\r\n"
                "DATABASENAME=second\r\n"
                "Ort=M\xfcnchen\r\n");
    }
    EXPECT_EQ(IniReader::value(path, QStringLiteral("DATABASENAME")), QStringLiteral("forst"));
    EXPECT_EQ(IniReader::value(path, QStringLiteral(" DatabaseName ")), QStringLiteral("forst"));
    EXPECT_EQ(IniReader::value(path, QStringLiteral("connect")), QStringLiteral("a=b;c=d"));
    EXPECT_EQ(IniReader::value(path, QStringLiteral("DATABASEN")), QString());
    EXPECT_EQ(IniReader::value(path, QStringLiteral("VALUE")), QString()) << "a line starting with = never matches";
    EXPECT_EQ(IniReader::value(path, QStringLiteral("ORT")), QStringLiteral("München")) << "Windows-1252";
    EXPECT_EQ(IniReader::value(dir.filePath(QStringLiteral("missing.ini")), QStringLiteral("X")), std::nullopt);
}

TEST(IniFile, ReadsUtf8WithAndWithoutByteOrderMark)
{
    EXPECT_EQ(IniReader::decode(QByteArray("\xEF\xBB\xBFOrt=M\xC3\xBCnchen")), QStringLiteral("Ort=München"));
    EXPECT_EQ(IniReader::decode(QByteArray("Ort=M\xC3\xBCnchen")), QStringLiteral("Ort=München"));
    EXPECT_EQ(IniReader::decode(QByteArray("Preis=5 \x80")), QStringLiteral("Preis=5 €"));
}

// What the ini path may name that is no ini file: each is refused at once,
// unread, with a message naming it (and the limit where size is the reason).
TEST(IniFile, RefusesDevicesPipesHugeFilesAndUtf16)
{
    QTemporaryDir dir;
    const auto file = [&](const char *name, const QByteArray &bytes, qint64 size = -1) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        if (size >= 0) {
            EXPECT_TRUE(f.resize(size)); // sparse: no disk is used
        }
        return path;
    };
    const QByteArray line = "DATABASENAME=forst\r\n";
    const QString fifo = dir.filePath(QStringLiteral("pipe.ini"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QString utf16 = QStringLiteral("\uFEFF") + QString::fromLatin1(line);
    const QByteArray utf16Bytes(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2);

    const struct
    {
        QString path;
        const char *says; // nullptr: read
    } cases[] = {
        {QStringLiteral("/dev/zero"), "keine gewöhnliche Datei"},
        {fifo, "keine gewöhnliche Datei"},
        {dir.path(), "keine gewöhnliche Datei"},
        {file("riesig.ini", line, qint64(2) << 30), "größer als 1 MB"},
        {file("knapp-zu-gross.ini", line, IniReader::MaxBytes + 1), "größer als 1 MB"},
        {file("utf16.ini", utf16Bytes), "nicht als Text"},
        {file("utf16-ohne-bom.ini", utf16Bytes.mid(2)), "nicht als Text"},
        {file("grenze.ini", line + QByteArray(IniReader::MaxBytes - line.size(), ' ')), nullptr},
    };
    for (const auto &c : cases) {
        QString problem;
        const std::optional<QString> value = IniReader::value(c.path, QStringLiteral("DATABASENAME"), &problem);
        if (!c.says) {
            EXPECT_EQ(value, QStringLiteral("forst")) << c.path.toStdString();
            continue;
        }
        EXPECT_EQ(value, std::nullopt) << c.path.toStdString();
        EXPECT_TRUE(problem.contains(QString::fromUtf8(c.says)) && problem.contains(c.path)) << problem.toStdString();
    }
    QString problem = QStringLiteral("unchanged");
    EXPECT_EQ(IniReader::value(dir.filePath(QStringLiteral("fehlt.ini")), QStringLiteral("X"), &problem), std::nullopt);
    EXPECT_EQ(problem, QString()) << "a missing file has its own message";
}

TEST(DateKeyFilter, KeepsTheBoxToDayMonthYear)
{
    const int dot = '.';
    // Two digits without a dot: a third is swallowed, "." passes.
    EXPECT_EQ(FilterDateKey(QStringLiteral("12"), 2, 0, '3'), 0);
    EXPECT_EQ(FilterDateKey(QStringLiteral("12"), 2, 0, dot), dot);
    // Month full: digit swallowed, "." passes (caret 5, dot at 3).
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05"), 5, 0, '1'), 0);
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05"), 5, 0, dot), dot);
    // After the second dot: no further dot; digits until the year has four.
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05."), 6, 0, dot), 0);
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05.202"), 9, 0, '4'), '4');
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05.2024"), 10, 0, '4'), 0);
    // A selection lets a digit through; "." at caret 0 never passes.
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05.2024"), 0, 10, '1'), '1');
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05.2024"), 0, 10, dot), 0);
    // The caret in the day part of a full date still takes a digit.
    EXPECT_EQ(FilterDateKey(QStringLiteral("1.05.2024"), 1, 0, '2'), '2');
    // A dot right before or after the existing one is swallowed.
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05"), 3, 0, dot), 0);
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05"), 2, 0, dot), 0);
    EXPECT_EQ(FilterDateKey(QStringLiteral("1205"), 6, 0, dot), 0);
    for (int key : {'a', ' ', '-', '/', 'Z'})
        EXPECT_EQ(FilterDateKey(QStringLiteral("1"), 1, 0, key), 0) << char(key);
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05.2024"), 10, 0, 8), 8);
    EXPECT_EQ(FilterDateKey(QStringLiteral("12.05.2024"), 10, 0, 13), 13);
}

TEST(WindowPosition, SurvivesARestartAndSkipsAnEdgeAtZero)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());

    EXPECT_FALSE(WindowPositionStore::storedX());
    ASSERT_TRUE(WindowPositionStore::store(QPoint(100, 40)));
    EXPECT_EQ(WindowPositionStore::storedX(), 100);
    EXPECT_EQ(WindowPositionStore::storedY(), 40);
    {
        QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tannbuch_exe"));
        EXPECT_EQ(s.value(QStringLiteral("FormPos/X")).toString(), QStringLiteral("1500")) << "stored in twips";
    }

    // Left edge 0, or a coordinate beyond 16 bits of twips: nothing stored.
    EXPECT_FALSE(WindowPositionStore::store(QPoint(0, 300)));
    EXPECT_FALSE(WindowPositionStore::store(QPoint(3000, 300)));
    EXPECT_EQ(WindowPositionStore::storedX(), 100);

    // A value that is not a number is left alone.
    {
        QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tannbuch_exe"));
        s.setValue(QStringLiteral("FormPos/Y"), QStringLiteral("oben"));
    }
    EXPECT_FALSE(WindowPositionStore::storedY());
    EXPECT_EQ(WindowPositionStore::storedX(), 100);
}

} // namespace tannbuch
