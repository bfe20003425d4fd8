// What an unattended run leaves behind besides its report: the line in the
// run log, and the report in the save folder the host named.
#include "app/RunLog.h"

#include "RecordingWindow.h"
#include "common/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace tannbuch {

using namespace Qt::StringLiterals;
using namespace demofiles;

namespace {

// The lines of a log, each split into its fields.
QList<QStringList> logLines(const QString &path)
{
    QList<QStringList> lines;
    const QString text = QString::fromUtf8(testsupport::readFile(path));
    EXPECT_TRUE(text.isEmpty() || text.endsWith(u'\n')) << "the last line is whole";
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
        lines << line.split(u'\t');
    return lines;
}

// A run that meets something to warn about while its report is written.
class WarnedRun : public RecordingRun
{
public:
    void showProgress(qint64 done, qint64 total) override
    {
        RecordingRun::showProgress(done, total);
        if (!m_warned) {
            m_warned = true;
            showWarning(u"Nicht jeder Seitenumbruch passt in die Datei."_s);
        }
    }

private:
    bool m_warned = false;
};

} // namespace

// One line per run: who printed which list with which outcome, where it
// went, how long it took and the first thing that went wrong.
TEST(RunLog, EachRunAppendsOneLineWithItsOutcome)
{
    const struct
    {
        const char *provision;
        bool warned;
        int exitCode;
        const char *outcome;
        bool saved;
        const char *message;
    } cases[] = {
        {"DEMO", false, 0, "gedruckt", true, "-"},
        {"DEMO", true, 0, "warnungen", true, "Nicht jeder Seitenumbruch passt in die Datei."},
        {"NIEMAND", false, 1, "fehlgeschlagen", false, "Die Bereitstellung \"NIEMAND\" gibt es nicht"},
    };
    DemoCopy copy;
    const QString log = copy.dir.filePath(u"protokolle/runs.log"_s);
    copy.setIniValue(u"RunLog"_s, log);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.outcome);
        QFile::remove(copy.saved());
        const std::unique_ptr<RecordingRun> run
            = c.warned ? std::make_unique<WarnedRun>() : std::make_unique<RecordingRun>();
        RecordingRun &w = *run;
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        EXPECT_EQ(copy.print(w, QString::fromUtf8(c.provision)), c.exitCode) << w.messages.join(u'\n').toStdString();

        const QList<QStringList> lines = logLines(log);
        ASSERT_FALSE(lines.isEmpty());
        const QStringList &f = lines.last();
        ASSERT_EQ(f.size(), 10) << f.join(u'|').toStdString();
        const QDateTime started = QDateTime::fromString(f[0], Qt::ISODate);
        EXPECT_TRUE(started.isValid() && started >= before && started.offsetFromUtc() == before.offsetFromUtc())
            << f[0].toStdString();
        EXPECT_NE(f[1], u"-"_s) << "user";
        EXPECT_NE(f[2], u"-"_s) << "host";
        EXPECT_EQ(f.mid(3, 4),
            (QStringList{u"4711"_s, u"1"_s, QString::fromUtf8(c.provision), QString::fromUtf8(c.outcome)}));
        EXPECT_EQ(f[7], c.saved ? QFileInfo(copy.saved()).absoluteFilePath() : u"-"_s);
        bool isNumber = false;
        EXPECT_GE(f[8].toDouble(&isNumber), 0.0);
        EXPECT_TRUE(isNumber) << f[8].toStdString();
        EXPECT_TRUE(f[9].startsWith(QString::fromUtf8(c.message))) << f[9].toStdString();
    }
    EXPECT_EQ(logLines(log).size(), 3) << "one line per run, appended";
}

// Two runs that finish at once each leave their whole line.
TEST(RunLog, LinesOfRunsFinishingAtOnceStayWhole)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(u"runs.log"_s);
    constexpr int perRun = 300;
    const auto run = [&log](QChar mark) {
        RunRecord record;
        record.started = QDateTime::currentDateTime();
        record.outcome = RunRecord::Outcome::Failed;
        record.firstMessage = QString(480, mark);
        for (int i = 0; i < perRun; ++i)
            EXPECT_EQ(RunLog::append(log, RunLog::line(record, {})), QString());
    };
    std::thread first(run, u'a');
    std::thread second(run, u'b');
    first.join();
    second.join();
    const QList<QStringList> lines = logLines(log);
    ASSERT_EQ(lines.size(), 2 * perRun);
    for (const QStringList &f : lines) {
        ASSERT_EQ(f.size(), 10);
        EXPECT_TRUE(f[9] == QString(480, u'a') || f[9] == QString(480, u'b')) << f[9].left(60).toStdString();
    }
}

// A log that cannot be written costs a warning, never the report.
TEST(RunLog, AnUnwritableLogWarnsAndThePrintSucceeds)
{
    DemoCopy copy;
    const QString notAFolder = copy.dir.filePath(u"datei"_s);
    ASSERT_TRUE(testsupport::writeFile(notAFolder, "kein Ordner"));
    copy.setIniValue(u"RunLog"_s, notAFolder + u"/runs.log"_s);
    RecordingRun w;
    EXPECT_EQ(copy.print(w, u"DEMO"_s), 0) << w.messages.join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(copy.saved()));
    ASSERT_EQ(w.warnings.size(), 1);
    EXPECT_TRUE(w.warnings.first().contains(notAFolder + u"/runs.log"_s)) << w.warnings.first().toStdString();
}

// Neither a good nor a failed run writes the password, user, server,
// database or database file of its connection into the log.
TEST(RunLog, NoConnectionDetailReachesTheLog)
{
    DemoCopy copy;
    const QString log = copy.dir.filePath(u"runs.log"_s);
    copy.setIniValue(u"RunLog"_s, log);
    const QString missing = copy.dir.filePath(u"fehlt/geheim.sqlite"_s);
    const QString details = u";Initial Catalog=forstkasse;User ID=kassierer;Password=Ge;Heim-7"_s;
    const QStringList connections{
        QString(), // the ini's: the database file as SQLSERVER
        u"Provider=SQLite;Data Source="_s + copy.db + details,
        u"Provider=SQLite;Data Source="_s + missing + details,
        u"Provider=SQLOLEDB;Data Source=127.0.0.1,1"_s + details,
    };
    for (const QString &connection : connections) {
        RecordingRun w;
        w.run(connection + u'|' + copy.ini + u"|||4711|1|DEMO|"_s + copy.dir.path() + u'/');
    }
    const QByteArray text = testsupport::readFile(log);
    ASSERT_EQ(logLines(log).size(), connections.size());
    EXPECT_EQ(text.count("\tfehlgeschlagen\t"), 2) << text.constData();
    for (const QString &secret :
        {copy.db, missing, u"geheim.sqlite"_s, u"forstkasse"_s, u"kassierer"_s, u"Heim-7"_s, u"Ge;"_s, u"127.0.0.1"_s})
        EXPECT_FALSE(text.contains(secret.toUtf8())) << secret.toStdString() << " in\n" << text.constData();
}

// A save folder without a trailing "/" that exists is saved into; one that
// does not exist fails the run naming it, instead of saving beside it under
// a wrong name. With the "/" the folder is taken as given.
TEST(SaveFolder, AFolderWithoutTrailingSeparatorIsSavedIntoOrRefused)
{
    DemoCopy copy;
    const QString folder = copy.dir.filePath(u"listen"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString missing = copy.dir.filePath(u"fehlt"_s);
    const struct
    {
        QString field;
        int exitCode;
        QString saved;
        QString told;
    } cases[] = {
        {folder, 0, folder + u"/DEMO_4711.xlsx"_s, QString()},
        {missing, 1, QString(), u"„"_s + missing + u"“"_s},
        {missing + u'/', 1, QString(), missing + u"/DEMO_4711.xlsx"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        RecordingRun w;
        EXPECT_EQ(w.run(u'|' + copy.ini + u"|||4711|1|DEMO|"_s + c.field), c.exitCode);
        if (!c.saved.isEmpty()) {
            EXPECT_TRUE(QFile::exists(c.saved));
        }
        if (!c.told.isEmpty()) {
            EXPECT_TRUE(w.messages.join(u'\n').contains(c.told)) << w.messages.join(u'\n').toStdString();
        }
        EXPECT_EQ(QDir(copy.dir.path()).entryList({u"*DEMO_4711.xlsx"_s}), QStringList())
            << "nothing beside the folder";
    }
    EXPECT_FALSE(QFileInfo::exists(missing)) << "a missing folder is not made";
}

} // namespace tannbuch
