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

using namespace Qt::StringLiterals;

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
            setErrorString(u"Auf dem Gerät ist kein Speicherplatz mehr verfügbar"_s);
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
    Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
    for (int r = 1; r <= rows; ++r) {
        setText(sheet, r, 1, u"Stamm %1 mit einer Bemerkung, die sich nicht wiederholt"_s.arg(r));
        setNumber(sheet, r, 2, r * 0.731);
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
        target = dir.filePath(u"Bericht.xlsx"_s);
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
        EXPECT_TRUE(message.contains(u"kein Speicherplatz"_s)) << limit << message.toStdString();
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
        const bool reported = inChild(
            [&] { return limit() && messageOf([&] { XlsxWriter::save(*wb, target); }).contains(u"Bericht.xlsx"_s); });
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_TRUE(reported);
        EXPECT_EQ(targetContent(), QByteArray("der Bericht von gestern"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({u"Bericht.xlsx"_s}));
    }
}

TEST_F(XlsxFailureTest, MissingFolderIsNamed)
{
    const auto wb = bigWorkbook(1);
    const QString message = messageOf([&] { XlsxWriter::save(*wb, dir.filePath(u"fehlt/x.xlsx"_s)); });
    EXPECT_TRUE(message.contains(u"existiert nicht"_s)) << message.toStdString();
}

TEST_F(XlsxFailureTest, WorkbookWithoutSheetsIsRefused)
{
    Workbook empty;
    EXPECT_TRUE(messageOf([&] { XlsxWriter::save(empty, target); }).contains(u"kein Tabellenblatt"_s));
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
    const QString textFile = dir.filePath(u"Tannbuch_Text.xltx"_s);
    ASSERT_TRUE(testsupport::writeFile(textFile, "Dies ist keine Vorlage.\n"));
    const QString truncated = dir.filePath(u"Tannbuch_Kurz.xltx"_s);
    const QByteArray whole = ZipArchive::write(templateEntries());
    ASSERT_TRUE(testsupport::writeFile(truncated, whole.left(whole.size() / 2)));
    QByteArray noSheets = templateEntries()[4].data;
    noSheets.replace(
        noSheets.indexOf("<sheets>"), noSheets.indexOf("</sheets>") - noSheets.indexOf("<sheets>") + 9, "<sheets/>");

    const std::vector<Case> cases = {
        {dir.filePath(u"gibtsnicht.xltx"_s), u"nicht gefunden"_s},
        {textFile, u"keine Arbeitsmappe"_s},
        {truncated, u"Tannbuch_Kurz.xltx"_s},
        {write("Tannbuch_OhneMappe.xltx", without("xl/workbook.xml")), u"workbook.xml"_s},
        {write("Tannbuch_OhneBlatt.xltx", replaced("xl/workbook.xml", noSheets)), u"kein Tabellenblatt"_s},
        {write("Tannbuch_BlattFehlt.xltx", without("xl/worksheets/sheet2.xml")), u"Einstellungen"_s},
        {write("Tannbuch_Kaputt.xltx", replaced("xl/worksheets/sheet1.xml", "<worksheet><sheetData><row>")),
            u"fehlerhaftes XML"_s},
        {write("Tannbuch_Stil.xltx", replaced("xl/styles.xml", "<styleSheet><fonts></styleSheet>")), u"styles.xml"_s},
        {write("Tannbuch_Zelle.xltx",
             replaced("xl/worksheets/sheet2.xml",
                 "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
                 "<row r=\"1\"><c r=\"ZZZZ1\"><v>1</v></c></row></sheetData></worksheet>")),
            u"ZZZZ1"_s},
        {write("Tannbuch_Text2.xltx",
             replaced("xl/worksheets/sheet2.xml",
                 "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
                 "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>99</v></c></row></sheetData></worksheet>")),
            u"fehlenden Text"_s},
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
    const QString bomb = dir.filePath(u"Tannbuch_Bombe.xltx"_s);
    QProcess p;
    p.start(python,
        {u"-c"_s,
            u"import sys, zipfile\n"
            u"z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED, compresslevel=1)\n"
            u"with z.open('xl/worksheets/sheet1.xml', 'w', force_zip64=True) as f:\n"
            u"    block = bytes(1 << 20)\n"
            u"    for i in range(%1): f.write(block)\n"
            u"z.close()\n"_s.arg(SheetLimits::MaxPackageBytes / (1 << 20) + 1),
            bomb});
    ASSERT_TRUE(p.waitForFinished(120000) && p.exitCode() == 0) << p.readAllStandardError().constData();
    ASSERT_LT(QFileInfo(bomb).size(), 4 * 1024 * 1024);
    EXPECT_TRUE(loadError(bomb).contains(u"zu groß"_s));
}

TEST_F(XlsxBadTemplateTest, TooManyPartsOrBytesAreRefused)
{
    const QString path = write("Tannbuch.xltx", templateEntries());
    EXPECT_NO_THROW(ZipArchive::read(path));
    EXPECT_TRUE(messageOf([&] { ZipArchive::read(path, 1000); }).contains(u"zu groß"_s));
    EXPECT_TRUE(messageOf([&] { ZipArchive::read(path, SheetLimits::MaxPackageBytes, 5); }).contains(u"zu groß"_s));
}

TEST_F(XlsxBadTemplateTest, LegacyBinaryTemplateWithoutOfficeNamesTheFile)
{
    const QString legacy = dir.filePath(u"Tannbuch_Alt.xlt"_s);
    ASSERT_TRUE(
        testsupport::writeFile(legacy, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0')));
    testsupport::EnvironmentGuard office("TANNBUCH_OFFICE_PROGRAM", "/nicht/vorhanden/soffice");
    const QString message = loadError(legacy);
    EXPECT_TRUE(message.contains(legacy)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"LibreOffice"_s)) << message.toStdString();
}

} // namespace

} // namespace tannbuch
