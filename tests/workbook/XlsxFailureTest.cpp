// Saves that fail and files that cannot be read: each ends in a WorkbookError
// with a German message, never in a crash, a half-written file or a lost
// earlier report.

#include "XlsxTestHelpers.h"

#include "common/TestSupport.h"

#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include <gtest/gtest.h>

#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tannbuch {

using namespace xlsxtest;
using testsupport::messageOf;

namespace {

// A device that accepts `limit` bytes and then fails, as a full disk does.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 limit)
        : m_limit(limit)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 len) override
    {
        if (m_written + len > m_limit) {
            setErrorString(QStringLiteral("Auf dem Gerät ist kein Speicherplatz mehr verfügbar"));
            return -1;
        }
        m_written += len;
        return len;
    }

private:
    qint64 m_limit;
    qint64 m_written = 0;
};

std::unique_ptr<Workbook> bigWorkbook(int rows)
{
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(QStringLiteral("Tannbuch"));
    for (int r = 1; r <= rows; ++r) {
        Cell &a = sheet.cellForWrite(r, 1);
        a.type = CellType::Text;
        a.text = QStringLiteral("Stamm %1 mit einer Bemerkung, die sich nicht wiederholt").arg(r);
        Cell &b = sheet.cellForWrite(r, 2);
        b.type = CellType::Number;
        b.number = r * 0.731;
    }
    return wb;
}

// Runs `action` in a child process (so limits and a changed user stay there);
// true when the child reports success.
bool inChild(const std::function<bool()> &action)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(action() ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class XlsxFailureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        target = dir.filePath(QStringLiteral("Bericht.xlsx"));
        ASSERT_TRUE(testsupport::writeFile(target, "der Bericht von gestern"));
    }

    QByteArray targetContent() const { return testsupport::readFile(target); }

    QTemporaryDir dir;
    QString target;
};

TEST_F(XlsxFailureTest, DeviceFailingMidwayReportsTheError)
{
    const auto wb = bigWorkbook(2000);
    QBuffer whole;
    whole.open(QIODevice::WriteOnly);
    XlsxWriter::save(*wb, whole);
    for (qint64 limit : {qint64(0), qint64(100), whole.size() / 2, whole.size() - 1}) {
        FailingDevice device(limit);
        const QString message = messageOf([&] { XlsxWriter::save(*wb, device); });
        EXPECT_TRUE(message.contains(QStringLiteral("kein Speicherplatz"))) << limit << message.toStdString();
    }
    FailingDevice enough(whole.size());
    EXPECT_NO_THROW(XlsxWriter::save(*wb, enough));
}

// A folder that cannot take the temporary file, and a file size limit the
// report outgrows: the save fails with a message, the earlier report stays
// and no temporary file is left.
TEST_F(XlsxFailureTest, RefusedWritesKeepTheEarlierReport)
{
    const auto wb = bigWorkbook(20000);
    const std::function<bool()> limits[] = {
        [&] {
            // As an ordinary user the folder (owned by someone else, or
            // made read-only) cannot take the temporary file.
            if (geteuid() == 0) {
                const passwd *nobody = getpwnam("nobody");
                return nobody && setgid(nobody->pw_gid) == 0 && setuid(nobody->pw_uid) == 0;
            }
            return QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        },
        [] {
            rlimit limit{64 * 1024, 64 * 1024};
            return setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
    };
    for (const auto &limit : limits) {
        const bool reported = inChild([&] {
            return limit()
                && messageOf([&] { XlsxWriter::save(*wb, target); }).contains(QStringLiteral("Bericht.xlsx"));
        });
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_TRUE(reported);
        EXPECT_EQ(targetContent(), QByteArray("der Bericht von gestern"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("Bericht.xlsx")}));
    }
}

TEST_F(XlsxFailureTest, MissingFolderIsNamed)
{
    const auto wb = bigWorkbook(1);
    const QString message = messageOf([&] { XlsxWriter::save(*wb, dir.filePath(QStringLiteral("fehlt/x.xlsx"))); });
    EXPECT_TRUE(message.contains(QStringLiteral("existiert nicht"))) << message.toStdString();
}

TEST_F(XlsxFailureTest, WorkbookWithoutSheetsIsRefused)
{
    Workbook empty;
    EXPECT_TRUE(messageOf([&] { XlsxWriter::save(empty, target); }).contains(QStringLiteral("kein Tabellenblatt")));
    EXPECT_EQ(targetContent(), QByteArray("der Bericht von gestern"));
}

// Templates that are not what they claim to be.
class XlsxBadTemplateTest : public ::testing::Test
{
protected:
    QString write(const char *name, const std::vector<ZipEntry> &entries)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        writeZip(path, entries);
        return path;
    }
    static std::vector<ZipEntry> replaced(const char *name, const QByteArray &data)
    {
        std::vector<ZipEntry> entries = templateEntries();
        for (ZipEntry &e : entries) {
            if (e.name == QLatin1String(name))
                e.data = data;
        }
        return entries;
    }
    static std::vector<ZipEntry> without(const char *name)
    {
        std::vector<ZipEntry> entries = templateEntries();
        std::erase_if(entries, [name](const ZipEntry &e) { return e.name == QLatin1String(name); });
        return entries;
    }
    QString loadError(const QString &path)
    {
        return messageOf([&] { XlsxReader::load(path); });
    }

    QTemporaryDir dir;
};

TEST_F(XlsxBadTemplateTest, EachFailsWithAClearMessage)
{
    struct Case
    {
        QString path;
        QString expected;
    };
    const QString textFile = dir.filePath(QStringLiteral("Tannbuch_Text.xltx"));
    ASSERT_TRUE(testsupport::writeFile(textFile, "Dies ist keine Vorlage.\n"));
    const QString truncated = dir.filePath(QStringLiteral("Tannbuch_Kurz.xltx"));
    const QByteArray whole = ZipArchive::write(templateEntries());
    ASSERT_TRUE(testsupport::writeFile(truncated, whole.left(whole.size() / 2)));
    QByteArray noSheets = templateEntries()[4].data;
    noSheets.replace(
        noSheets.indexOf("<sheets>"), noSheets.indexOf("</sheets>") - noSheets.indexOf("<sheets>") + 9, "<sheets/>");

    const std::vector<Case> cases = {
        {dir.filePath(QStringLiteral("gibtsnicht.xltx")), QStringLiteral("nicht gefunden")},
        {textFile, QStringLiteral("keine Arbeitsmappe")},
        {truncated, QStringLiteral("Tannbuch_Kurz.xltx")},
        {write("Tannbuch_OhneMappe.xltx", without("xl/workbook.xml")), QStringLiteral("workbook.xml")},
        {write("Tannbuch_OhneBlatt.xltx", replaced("xl/workbook.xml", noSheets)), QStringLiteral("kein Tabellenblatt")},
        {write("Tannbuch_BlattFehlt.xltx", without("xl/worksheets/sheet2.xml")), QStringLiteral("Einstellungen")},
        {write("Tannbuch_Kaputt.xltx", replaced("xl/worksheets/sheet1.xml", "<worksheet><sheetData><row>")),
            QStringLiteral("fehlerhaftes XML")},
        {write("Tannbuch_Stil.xltx", replaced("xl/styles.xml", "<styleSheet><fonts></styleSheet>")),
            QStringLiteral("styles.xml")},
        {write("Tannbuch_Zelle.xltx",
             replaced("xl/worksheets/sheet2.xml",
                 "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
                 "<row r=\"1\"><c r=\"ZZZZ1\"><v>1</v></c></row></sheetData></worksheet>")),
            QStringLiteral("ZZZZ1")},
        {write("Tannbuch_Text2.xltx",
             replaced("xl/worksheets/sheet2.xml",
                 "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
                 "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>99</v></c></row></sheetData></worksheet>")),
            QStringLiteral("fehlenden Text")},
    };
    for (const Case &c : cases) {
        const QString message = loadError(c.path);
        EXPECT_TRUE(message.contains(c.expected)) << c.path.toStdString() << ": \"" << message.toStdString()
                                                  << "\" lacks \"" << c.expected.toStdString() << "\"";
    }
}

// A small file that unpacks to more than the ceiling is refused before it is unpacked.
TEST_F(XlsxBadTemplateTest, ZipBombIsRefused)
{
    const QString bomb = dir.filePath(QStringLiteral("Tannbuch_Bombe.xltx"));
    QProcess p;
    p.start(python,
        {QStringLiteral("-c"),
            QStringLiteral("import sys, zipfile\n"
                           "z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED, compresslevel=1)\n"
                           "with z.open('xl/worksheets/sheet1.xml', 'w', force_zip64=True) as f:\n"
                           "    block = bytes(1 << 20)\n"
                           "    for i in range(%1): f.write(block)\n"
                           "z.close()\n")
                .arg(SheetLimits::MaxPackageBytes / (1 << 20) + 1),
            bomb});
    ASSERT_TRUE(p.waitForFinished(120000) && p.exitCode() == 0) << p.readAllStandardError().constData();
    ASSERT_LT(QFileInfo(bomb).size(), 4 * 1024 * 1024);
    EXPECT_TRUE(loadError(bomb).contains(QStringLiteral("zu groß")));
}

TEST_F(XlsxBadTemplateTest, TooManyPartsOrBytesAreRefused)
{
    const QString path = write("Tannbuch.xltx", templateEntries());
    EXPECT_NO_THROW(ZipArchive::read(path));
    EXPECT_TRUE(messageOf([&] { ZipArchive::read(path, 1000); }).contains(QStringLiteral("zu groß")));
    EXPECT_TRUE(messageOf([&] {
        ZipArchive::read(path, SheetLimits::MaxPackageBytes, 5);
    }).contains(QStringLiteral("zu groß")));
}

TEST_F(XlsxBadTemplateTest, LegacyBinaryTemplateWithoutOfficeNamesTheFile)
{
    const QString legacy = dir.filePath(QStringLiteral("Tannbuch_Alt.xlt"));
    ASSERT_TRUE(
        testsupport::writeFile(legacy, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0')));
    testsupport::EnvironmentGuard office("TANNBUCH_OFFICE_PROGRAM", "/nicht/vorhanden/soffice");
    const QString message = loadError(legacy);
    EXPECT_TRUE(message.contains(legacy)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("LibreOffice"))) << message.toStdString();
}

} // namespace

} // namespace tannbuch
