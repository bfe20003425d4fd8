// Attacks through the host's command line, ini file and template, and what a
// report gives away: refused values send no statement, every statement sent is one
// statement, and no password, user or database path leaves the program.
#include "HostileInputs.h"
#include "RecordingWindow.h"
#include "common/TestSupport.h"
#include "tds/TdsEndpoint.h"
#include "workbook/XlsxTestHelpers.h"
#include "workbook/automation/TemplateMacros.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/ZipArchive.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tannbuch {

using namespace Qt::StringLiterals;
using namespace demofiles;

TEST(HostileInput, EveryFieldRefusesWhatIsNotANumberOrAYearColumnBeforeAnyStatement)
{
    hostile::expectRefusedBeforeAnyStatement(
        u"Provider=SQLite;Data Source="_s + QStringLiteral(TANNBUCH_DEMO_DB), demoIni);

    // SQL Server runs whole batches, so there the refusal matters most: the
    // server sees not one statement, not even a login.
    tds::Endpoint server(QStringLiteral(TANNBUCH_DEMO_DB));
    hostile::expectRefusedBeforeAnyStatement(server.connectionString(), demoIni);
    EXPECT_EQ(server.logins(), 0);
    EXPECT_EQ(server.batches(), QStringList());

    // Interactively the clerk is told once and the program ends, as when the
    // ini file is missing.
    RecordingWindow clerk;
    clerk.program().connection().journal().setRecording(true);
    clerk.Form_Load(
        u"Provider=SQLite;Data Source="_s + QStringLiteral(TANNBUCH_DEMO_DB) + u"|"_s + demoIni + u"|1 OR 1=1|||"_s);
    EXPECT_TRUE(clerk.hasEnded());
    EXPECT_EQ(clerk.messages.size(), 1);
    EXPECT_EQ(clerk.program().connection().journal().count(), 0);

    // The same from the ini file, which fills access level and year column
    // when the command line has no connection.
    for (const char *line : {"AL=1;DELETE FROM LOGS", "RELTABLE=RELTABLE1 = reltable.id --"}) {
        const QString keyValue = QString::fromLatin1(line);
        DemoCopy folder(nullptr, {{keyValue.section(u'=', 0, 0), keyValue.section(u'=', 1)}});
        RecordingRun w;
        w.program().connection().journal().setRecording(true);
        EXPECT_NE(folder.printUnattended(w), 0) << line;
        EXPECT_EQ(w.program().connection().journal().count(), 0) << line;
        EXPECT_EQ(w.messages.size(), 1) << line;
        EXPECT_FALSE(QFile::exists(folder.saved())) << line;
    }
}

// A template with a value in the sheet's last cell would make millions of
// pages: the unattended run saves its workbook, refuses the PDF at once
// with a message that names the cell, and ends with a failure.
TEST(HostileInput, AStrayCellFarOutInTheTemplateStopsThePdfAtOnce)
{
    DemoCopy folder;
    folder.useTemplate(u"Tannbuch.xltx"_s);
    folder.setIniValue(u"SavePdf"_s, u"1"_s);
    const QString path = folder.dir.filePath(u"vorlagen/Tannbuch.xltx"_s);
    std::vector<ZipEntry> parts = ZipArchive::read(path);
    for (ZipEntry &part : parts) {
        if (part.name == u"xl/worksheets/sheet1.xml")
            part.data.replace("</sheetData>",
                "<row r=\"1048576\"><c r=\"XFD1048576\" t=\"inlineStr\"><is><t>x</t></is></c></row></sheetData>");
    }
    ASSERT_TRUE(testsupport::writeFile(path, ZipArchive::write(parts)));

    RecordingRun w;
    EXPECT_NE(folder.print(w, u"DEMO"_s), 0);
    EXPECT_TRUE(w.messages.join(u'\n').contains(u"XFD1048576"_s)) << w.messages.join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(folder.saved()));
    EXPECT_FALSE(QFile::exists(folder.dir.filePath(u"DEMO_4711.pdf"_s)));
}

// A whole unattended report with a login whose values carry quotes, braces
// and semicolons: every statement sent is a single one, and neither the
// statements, the messages nor the saved workbook hold the password, the
// user or where the database lies.
TEST(HostileInput, AReportSendsSingleStatementsAndGivesNoCredentialsAway)
{
    DemoCopy folder;
    const QString connection = u"Provider=SQLite;Data Source="_s + folder.db
        + u";User ID=o'neil;Password={a;b}}c};Initial Catalog='k;''at'"_s;
    RecordingRun w;
    w.program().connection().journal().setRecording(true);
    ASSERT_EQ(w.run(connection + u"|"_s + folder.ini + u"|||4711|1|DEMO|"_s + folder.dir.path() + u'/'), 0)
        << w.messages.join(u'\n').toStdString();

    const QStringList &sent = w.program().connection().journal().statements();
    ASSERT_GT(sent.size(), 20);
    const QStringList secrets = {u"a;b"_s, u"b}}c"_s, u"neil"_s, u"k;'at"_s, folder.dir.path()};
    for (const QString &sql : sent) {
        EXPECT_EQ(hostile::secondStatementIn(sql), QString()) << sql.left(300).toStdString();
        for (const QString &secret : secrets)
            EXPECT_FALSE(sql.contains(secret)) << secret.toStdString() << " in " << sql.left(300).toStdString();
    }
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(u'\n').toStdString();

    const auto book = XlsxReader::load(folder.saved());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->customProperties().value(TemplateMacros::connectionProperty()).toString(), u"Provider=SQLite"_s);
    for (const QString &name : xlsxtest::partNames(folder.saved())) {
        const QByteArray bytes = xlsxtest::part(folder.saved(), name);
        for (const QString &secret : secrets)
            EXPECT_FALSE(bytes.contains(secret.toUtf8())) << name.toStdString() << " holds " << secret.toStdString();
    }
}

// The password never shows in what an open failure tells, over either engine.
TEST(HostileInput, AFailedOpenTellsNoPassword)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"fehlt.sqlite"_s);
    for (const QString &connection :
        {u"Provider=SQLite;Data Source="_s + missing + u";User ID=o'neil;Password={Ge;Heim}}99}"_s,
            u"Provider=SQLOLEDB;Data Source=127.0.0.1,1;User ID=o'neil;Password={Ge;Heim}}99};Initial Catalog=k"_s}) {
        RecordingRun w;
        w.program().connection().journal().setRecording(true);
        EXPECT_NE(w.run(connection + u"|"_s + demoIni + u"|||4711|1|DEMO|"_s + dir.path() + u'/'), 0)
            << connection.toStdString();
        ASSERT_FALSE(w.messages.isEmpty()) << connection.toStdString();
        const QString told = w.messages.join(u'\n') + w.program().connection().journal().statements().join(u'\n');
        EXPECT_FALSE(told.contains(u"Heim"_s)) << told.toStdString();
        EXPECT_FALSE(told.contains(u"Ge;"_s)) << told.toStdString();
    }
}

// An ini file or header picture that is a device, a pipe, a file of
// gigabytes or no text: the unattended run ends at once with a message
// naming the file, exits non-zero, and the report saved before stays.
TEST(HostileInput, DevicesPipesHugeAndUtf16FilesEndTheRunWithAMessage)
{
    struct Case
    {
        const char *ini; // nullptr: the folder's own
        const char *picture; // nullptr: the demo's logo
        const char *says;
    };
    const Case cases[] = {
        {"/dev/zero", nullptr, "keine gewöhnliche Datei"},
        {"pipe.ini", nullptr, "keine gewöhnliche Datei"},
        {"utf16.ini", nullptr, "nicht als Text"},
        {nullptr, "/dev/zero", "keine gewöhnliche Datei"},
        {nullptr, "riesig.png", "größer als 20 MB"},
    };
    for (const Case &c : cases) {
        DemoCopy folder;
        const auto inFolder = [&](const char *name) {
            return QString::fromUtf8(name).startsWith(u'/') ? QString::fromUtf8(name)
                                                            : folder.dir.filePath(QString::fromUtf8(name));
        };
        ASSERT_EQ(mkfifo(QFile::encodeName(folder.dir.filePath(u"pipe.ini"_s)).constData(), 0600), 0);
        QFile huge(folder.dir.filePath(u"riesig.png"_s));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(2) << 30));
        const QString utf16 = u'\uFEFF' + QString::fromLatin1(testsupport::readFile(folder.ini));
        ASSERT_TRUE(testsupport::writeFile(folder.dir.filePath(u"utf16.ini"_s),
            QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)));
        if (c.picture)
            folder.setIniValue(u"Headerpicture1"_s, inFolder(c.picture));
        ASSERT_TRUE(testsupport::writeFile(folder.saved(), "earlier report"));

        const QString named = c.ini ? inFolder(c.ini) : inFolder(c.picture);
        RecordingRun w;
        w.run(u"|"_s + (c.ini ? named : folder.ini) + u"|||4711|1|DEMO|"_s + folder.dir.path() + u'/');
        EXPECT_NE(w.exitCode(), 0) << named.toStdString();
        const QString told = w.messages.join(u'\n');
        EXPECT_TRUE(told.contains(QString::fromUtf8(c.says)) && told.contains(named)) << told.toStdString();
        EXPECT_EQ(testsupport::readFile(folder.saved()), QByteArray("earlier report")) << named.toStdString();
    }
}

} // namespace tannbuch
