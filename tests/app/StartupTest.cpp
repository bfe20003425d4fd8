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

using namespace Qt::StringLiterals;

TEST(CommandLine, SplitsTrimsAndFillsTheListType)
{
    const StartupValues none = SplitCommandLine(QString());
    EXPECT_TRUE(none.connectionString.isEmpty());
    EXPECT_TRUE(none.listTypeNumber.isEmpty()) << "no command line keeps the list type empty, not 0";
    EXPECT_FALSE(none.isUnattended());

    const StartupValues seven = SplitCommandLine(u"| /opt/k.ini |3|RELTABLE1| 4711 | |DEMO"_s);
    EXPECT_TRUE(seven.connectionString.isEmpty());
    EXPECT_EQ(seven.iniPath, u"/opt/k.ini"_s);
    EXPECT_EQ(seven.accessLevelId, u"3"_s);
    EXPECT_EQ(seven.listNumber, u"4711"_s);
    EXPECT_EQ(seven.listTypeNumber, u"0"_s);
    EXPECT_EQ(seven.provisionName, u"DEMO"_s);
    EXPECT_TRUE(seven.isUnattended());

    const StartupValues many = SplitCommandLine(u"a|b|c|d|e|f|g|h|i|j"_s);
    EXPECT_EQ(many.saveFolder, u"h"_s);

    // Five fields: the list type is not present, so it stays empty.
    EXPECT_TRUE(SplitCommandLine(u"a|b|c|d|4711"_s).listTypeNumber.isEmpty());

    // Unquoted pieces arrive joined by blanks, as one quoted argument would.
    EXPECT_EQ(SplitCommandLine(JoinArguments({u"|k.ini|||4711|1|Bereit"_s, u"1|out/"_s})).provisionName, u"Bereit 1"_s);
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
        EXPECT_EQ(message->contains(u"nur Ziffern"_s), QByteArray(c.why) == "nur Ziffern 0 bis 9")
            << message->toStdString();
        EXPECT_EQ(bad.businessYearColumn, before.businessYearColumn) << "nothing changes on refusal";
    }
}

TEST(IniFile, MatchesKeysAsTheHostWritesThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"kelmora.ini"_s);
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
    EXPECT_EQ(IniReader::value(path, u"DATABASENAME"_s), u"forst"_s);
    EXPECT_EQ(IniReader::value(path, u" DatabaseName "_s), u"forst"_s);
    EXPECT_EQ(IniReader::value(path, u"connect"_s), u"a=b;c=d"_s);
    EXPECT_EQ(IniReader::value(path, u"DATABASEN"_s), QString());
    EXPECT_EQ(IniReader::value(path, u"VALUE"_s), QString()) << "a line starting with = never matches";
    EXPECT_EQ(IniReader::value(path, u"ORT"_s), u"München"_s) << "Windows-1252";
    EXPECT_EQ(IniReader::value(dir.filePath(u"missing.ini"_s), u"X"_s), std::nullopt);
}

TEST(IniFile, ReadsUtf8WithAndWithoutByteOrderMark)
{
    EXPECT_EQ(IniReader::decode(QByteArray("\xEF\xBB\xBFOrt=M\xC3\xBCnchen")), u"Ort=München"_s);
    EXPECT_EQ(IniReader::decode(QByteArray("Ort=M\xC3\xBCnchen")), u"Ort=München"_s);
    EXPECT_EQ(IniReader::decode(QByteArray("Preis=5 \x80")), u"Preis=5 €"_s);
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
    const QString fifo = dir.filePath(u"pipe.ini"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QString utf16 = u"\uFEFF"_s + QString::fromLatin1(line);
    const QByteArray utf16Bytes(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2);

    const struct
    {
        QString path;
        const char *says; // nullptr: read
    } cases[] = {
        {u"/dev/zero"_s, "keine gewöhnliche Datei"},
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
        const std::optional<QString> value = IniReader::value(c.path, u"DATABASENAME"_s, &problem);
        if (!c.says) {
            EXPECT_EQ(value, u"forst"_s) << c.path.toStdString();
            continue;
        }
        EXPECT_EQ(value, std::nullopt) << c.path.toStdString();
        EXPECT_TRUE(problem.contains(QString::fromUtf8(c.says)) && problem.contains(c.path)) << problem.toStdString();
    }
    QString problem = u"unchanged"_s;
    EXPECT_EQ(IniReader::value(dir.filePath(u"fehlt.ini"_s), u"X"_s, &problem), std::nullopt);
    EXPECT_EQ(problem, QString()) << "a missing file has its own message";
}

TEST(DateKeyFilter, KeepsTheBoxToDayMonthYear)
{
    const int dot = '.';
    // Two digits without a dot: a third is swallowed, "." passes.
    EXPECT_EQ(FilterDateKey(u"12"_s, 2, 0, '3'), 0);
    EXPECT_EQ(FilterDateKey(u"12"_s, 2, 0, dot), dot);
    // Month full: digit swallowed, "." passes (caret 5, dot at 3).
    EXPECT_EQ(FilterDateKey(u"12.05"_s, 5, 0, '1'), 0);
    EXPECT_EQ(FilterDateKey(u"12.05"_s, 5, 0, dot), dot);
    // After the second dot: no further dot; digits until the year has four.
    EXPECT_EQ(FilterDateKey(u"12.05."_s, 6, 0, dot), 0);
    EXPECT_EQ(FilterDateKey(u"12.05.202"_s, 9, 0, '4'), '4');
    EXPECT_EQ(FilterDateKey(u"12.05.2024"_s, 10, 0, '4'), 0);
    // A selection lets a digit through; "." at caret 0 never passes.
    EXPECT_EQ(FilterDateKey(u"12.05.2024"_s, 0, 10, '1'), '1');
    EXPECT_EQ(FilterDateKey(u"12.05.2024"_s, 0, 10, dot), 0);
    // The caret in the day part of a full date still takes a digit.
    EXPECT_EQ(FilterDateKey(u"1.05.2024"_s, 1, 0, '2'), '2');
    // A dot right before or after the existing one is swallowed.
    EXPECT_EQ(FilterDateKey(u"12.05"_s, 3, 0, dot), 0);
    EXPECT_EQ(FilterDateKey(u"12.05"_s, 2, 0, dot), 0);
    EXPECT_EQ(FilterDateKey(u"1205"_s, 6, 0, dot), 0);
    for (int key : {'a', ' ', '-', '/', 'Z'})
        EXPECT_EQ(FilterDateKey(u"1"_s, 1, 0, key), 0) << char(key);
    EXPECT_EQ(FilterDateKey(u"12.05.2024"_s, 10, 0, 8), 8);
    EXPECT_EQ(FilterDateKey(u"12.05.2024"_s, 10, 0, 13), 13);
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
        QSettings s(QSettings::IniFormat, QSettings::UserScope, u"Tannbuch_exe"_s);
        EXPECT_EQ(s.value(u"FormPos/X"_s).toString(), u"1500"_s) << "stored in twips";
    }

    // Left edge 0, or a coordinate beyond 16 bits of twips: nothing stored.
    EXPECT_FALSE(WindowPositionStore::store(QPoint(0, 300)));
    EXPECT_FALSE(WindowPositionStore::store(QPoint(3000, 300)));
    EXPECT_EQ(WindowPositionStore::storedX(), 100);

    // A value that is not a number is left alone.
    {
        QSettings s(QSettings::IniFormat, QSettings::UserScope, u"Tannbuch_exe"_s);
        s.setValue(u"FormPos/Y"_s, u"oben"_s);
    }
    EXPECT_FALSE(WindowPositionStore::storedY());
    EXPECT_EQ(WindowPositionStore::storedX(), 100);
}

// The restored window comes back onto the available screen area whatever
// position was stored.
TEST(WindowPosition, ClampedToTheAvailableScreen)
{
    const QRect screen(0, 0, 1920, 1040); // a task bar below
    const QRect rightScreen(1920, 0, 1280, 1024);
    const QSize frame(800, 600);
    const struct
    {
        const char *name;
        QPoint stored;
        QSize frame;
        QRect available;
        QPoint expected;
    } cases[] = {
        {"inside stays", {100, 100}, frame, screen, {100, 100}},
        {"touching the far corner stays", {1120, 440}, frame, screen, {1120, 440}},
        {"title bar above the screen", {100, -300}, frame, screen, {100, 0}},
        {"left of the screen", {-5000, 100}, frame, screen, {0, 100}},
        {"past the right and bottom edge", {1800, 1000}, frame, screen, {1120, 440}},
        {"larger than the screen keeps its top-left corner", {300, 200}, {2500, 1200}, screen, {0, 0}},
        {"on a second screen", {3000, 900}, frame, rightScreen, {2400, 424}},
        {"empty frame", {1920, 1040}, {0, 0}, screen, {1920, 1040}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WindowPositionStore::clampedTopLeft(c.stored, c.frame, c.available), c.expected) << c.name;
}

} // namespace tannbuch
